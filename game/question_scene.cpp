// The start-up question, asked without blocking where the platform can.
#include "game/question_scene.h"

#include "game/assets.h"
#include "game/scenes.h"
#include "game/settings.h"
#include "gfx/screen.h"
#include "platform/platform.h"
#include "shell/phrases.h"
#include "shell/shell.h"

namespace {

int AskFullScreen()
{
    return PlatformAskBox(Said(PHRASE_FULL_SCREEN_QUESTION), Said(PHRASE_FULL_SCREEN_CAPTION), PLATFORM_BOX_YESNO);
}


// The answer taken: the display as asked for, the pictures, then the title.
SceneChange Answered(const QuestionScene& q)
{
    SetDisplayMode(0, 0, 1280, 720, q.answer == 1 ? DISPLAY_FULLSCREEN : DISPLAY_WINDOWED, "Prismveldt");
    LoadAssets();
    return Replace(FirstScene());
}

}  // namespace

SceneChange EnterQuestion(QuestionScene& q, FrameClock&)
{
    // A 1 x 1 window titled "未定" ("not yet") stands while the player is asked.
    SetDisplayMode(0, 0, 1, 1, DISPLAY_WINDOWED, Said(PHRASE_QUESTION_WINDOW_TITLE));
    // A player who chose the display in the settings is not asked.
    if (settings.startDisplay != START_DISPLAY_ASK) {
        q.answer = settings.startDisplay == START_DISPLAY_FULLSCREEN ? 1 : 0;
        return Answered(q);
    }
    q.answer = AskFullScreen();
    return q.answer == PLATFORM_BOX_WAITING ? Stay() : Answered(q);
}

void StepQuestion(QuestionScene& q, const FrameClock&, FrameEnd* end)
{
    q.answer = AskFullScreen();
    end->kind = FRAME_SILENT;  // the box is all there is to see
}

SceneChange AfterQuestionFrame(QuestionScene& q, FrameClock&)
{
    return q.answer == PLATFORM_BOX_WAITING ? Stay() : Answered(q);
}
