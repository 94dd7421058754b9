// The replay viewer: the recording's frames through the run's own steps and
// drawing, its clock as recorded.
#include "game/replay_scene.h"

#include <cstdio>
#include <string>

#include "game/assets.h"
#include "game/scenes.h"
#include "game/stage.h"
#include "gfx/text.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/phrases.h"
#include "shell/shell.h"

namespace {

// What the viewer shows over the run: its speed, or that it is paused or over.
void DrawViewerCaption(const char* text)
{
    SetFont(24, 48, "IMPACT");
    PrintOutlined(backBuffer, 24, 12, 0x303030, 0xF0F0F0, "%s", text);
    ReleaseFont();
}

}  // namespace

SceneChange EnterReplay(ReplayScene& v, FrameClock& clock)
{
    std::string why;
    if (!ReadRecordingFile(v.path.c_str(), &v.recording, &why)) {
        std::string text = std::string(Said(PHRASE_CANNOT_REPLAY)) + v.path + "\n" + why;
        PlatformMessageBox(text.c_str(), Said(PHRASE_ERROR_CAPTION), PLATFORM_BOX_OK_ERROR);
        return EndScenes();
    }
    LoadStage(v.recording.stage);
    if (StageHash() != v.recording.stageHash)
        fprintf(stderr, "Prismveldt: %s was played on another file of stage %d; it may not replay as it was\n",
                v.path.c_str(), v.recording.stage);
    StartRecordedRun(v.recording, &v.run);
    clock.frameStart = GameTimeMs();
    SetMouseCursor(0);
    DrawPlayFrame(PlayView());  // until the first frame: the stage as it starts
    return Stay();
}

void StepReplay(ReplayScene& v, const FrameClock&, FrameEnd* end)
{
    bool space = IsKeyDown(VK_SPACE);
    if (space && !v.spaceWas) v.paused = !v.paused;
    v.spaceWas = space;
    for (int key : {1, 2, 4})
        if (IsKeyDown('0' + key)) v.speed = key;
    if (IsKeyDown(VK_ESCAPE)) {
        v.leaving = true;
        end->kind = FRAME_SILENT;
        return;
    }

    // Several recorded frames to one shown at higher speeds; the last is
    // drawn. Frames are drawn exactly as the run showed them.
    bool advanced = false;
    for (int step = 0; !v.paused && step < v.speed && v.next < v.recording.frames.size() &&
                       !RunOver(v.run);
         step++) {
        const RecordedFrame& f = v.recording.frames[v.next++];
        advanced = true;
        RunInput in;
        in.frameStart = f.clockMs;
        in.mouseX = f.mouseX;
        in.mouseY = f.mouseY;
        in.buttons = f.buttons;
        StepRun(v.run, in, &v.frame);
        DrawRunFrame(v.frame);
        // Behind a death's curtain the stage is loaded again, as in play.
        if (v.frame.event == RUN_EVENT_RESPAWNED) LoadStage(v.recording.stage);
    }
    if (v.paused)
        DrawViewerCaption("PAUSE");
    else if (!advanced)
        DrawViewerCaption("END  ESC");  // after the run's last frame was shown
    else if (v.speed > 1)
        DrawViewerCaption(v.speed == 2 ? "x2" : "x4");
    *end = FrameEnd{FRAME_SHOWN, "replay", SCENE_PLAYING, v.recording.stage, ""};
}

SceneChange AfterReplayFrame(ReplayScene& v, FrameClock&) { return v.leaving ? EndScenes() : Stay(); }
