// The results screen after a cleared stage: the run's time, the stage's best
// times, and on to the next stage or back to the title.
#pragma once
#include <cstdint>

// Called by RunPlayScene after the clear curtain, with the run's time in
// milliseconds (curtain included) and stageNo. Leaves sceneId at
// SCENE_NEXT_STAGE (stageNo advanced, next stage loaded), SCENE_TO_TITLE, or
// unchanged when the score file could not be opened.
void RunResultsScene(uint32_t runTimeMs, int stage);
