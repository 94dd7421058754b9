// The end of every scene's frame: the finished picture shown, the frame
// recorded for replays, the window's messages handled.
#pragma once

// Called by every scene loop once per frame, after its present (or as it leaves
// its loop without one): records the frame for replays with the scene's name,
// sceneId and stageNo. extraFields are the scene's own JSON fields (without a
// leading comma), or nullptr.
void TraceFrame(const char* sceneName, const char* extraFields = nullptr);
// Called by every scene loop at the end of a frame it shows: presents
// backBuffer, TraceFrame, then PumpMessages.
void FinishFrame(const char* sceneName, const char* extraFields = nullptr);
