// The pause: play stands still under a dimmed picture of its last frame, and
// a menu offers Resume, Restart stage, Practice from the last checkpoint
// (the respawn point held now), Settings and Leave to title. P or Pause (held
// when the pause began, so once let go) resumes as well, and so does Escape.
// The scene goes back to the play scene below with what was chosen; the play
// scene takes the pause out of the run's clock.
#pragma once
#include <cstdint>

#include "game/menu.h"
#include "game/scene_frame.h"
#include "gfx/surface.h"

struct SceneChange;

// What the pause goes back to the play scene with.
// (Apart from the results screen's RESULTS_*, which go back to the same scene.)
enum { PAUSE_RESUME = 11, PAUSE_RESTART = 12, PAUSE_TO_TITLE = 13, PAUSE_PRACTICE = 14 };

enum { PAUSE_ROW_RESUME, PAUSE_ROW_RESTART, PAUSE_ROW_PRACTICE, PAUSE_ROW_SETTINGS, PAUSE_ROW_TITLE, PAUSE_ROWS };

struct PauseScene {
    int stage = 1;
    Menu menu;
    // The play frame the pause began on, dimmed; made when it is entered and
    // freed when it ends.
    Surface imgPausedFrame = nullptr;
    bool pauseKeyWas = true;
    int leaving = 0;  // this frame's: 0 stay, else PAUSE_*
    bool toSettings = false;  // this frame's: the settings page comes over the pause
};

// The menu's rows on the 1280 x 720 screen.
MenuLayout PauseMenuLayout();
// True while an input bound to pausing is held (P, Pause and the pad's Start
// unless the player bound others): what pauses play and ends the pause.
bool PauseKeyHeld();

SceneChange EnterPause(PauseScene& pause, FrameClock& clock);
void StepPause(PauseScene& pause, const FrameClock& clock, FrameEnd* end);
SceneChange AfterPauseFrame(PauseScene& pause, FrameClock& clock);
// Back from the settings page: the menu again, as if every key were held.
SceneChange ResumePause(PauseScene& pause, int result, FrameClock& clock);
