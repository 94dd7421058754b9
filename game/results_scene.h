// The results screen after a cleared stage: the run's time, the stage's best
// times, and on to the next stage or back to the title.
#pragma once
#include <cstdint>

// Called by RunPlayScene after the clear curtain, with the run's time in
// milliseconds (curtain included) and stageNo. Ranks the time into the score
// file, shows the results until a click, and leaves sceneId at
// SCENE_NEXT_STAGE (stageNo advanced; the play scene loads that stage and
// runs its start) or SCENE_TO_TITLE (Escape, or stage 4 confirmed), with its
// last frame's start in *lastFrameStart for the frames that follow. A missing
// score file is made anew; one that cannot be written costs the new time but
// not the screen. The run's recording, when given, is kept with its time.
struct Recording;
void RunResultsScene(uint32_t runTimeMs, int stage, uint32_t* lastFrameStart,
                     const Recording* recording = nullptr);
