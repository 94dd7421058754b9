// The question the game starts with: full screen or a window. Once it is
// answered the display takes its mode, the start-up pictures are loaded and
// the title follows. On the desktop the box is modal and the answer comes at
// once, before any frame; in the browser the box stays up over the page
// while frames go by, until the player answers it.
#pragma once
#include "game/scene_frame.h"

struct SceneChange;

struct QuestionScene {
    int answer = -1;  // PLATFORM_BOX_WAITING until the player answers; then 1 Yes, 0 No
};

SceneChange EnterQuestion(QuestionScene& question, FrameClock& clock);
void StepQuestion(QuestionScene& question, const FrameClock& clock, FrameEnd* end);
SceneChange AfterQuestionFrame(QuestionScene& question, FrameClock& clock);
