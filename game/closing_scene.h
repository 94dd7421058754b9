// The closing screen of a whole game begun with START, after the last
// stage's results when every stage was cleared by a run that counts: the
// four stage times, their total, and the best total so far (NEW BEST when
// this game set it). The total was kept (game/best_game.h) when the last
// stage was cleared, before any of this is shown. A click, Enter or the
// pad's A (once the screen's first frames have passed and the button has
// been let go on it, as on the results screen), or Escape or the pad's B
// (pressed on it) go back to the title.
#pragma once
#include <cstdint>

#include "game/best_game.h"
#include "game/scene_frame.h"
#include "game/scene_rules.h"
#include "game/score.h"

struct SceneChange;

struct ClosingScene {
    uint32_t stageMs[STAGE_COUNT] = {};  // each stage's cleared run, curtain included
    uint32_t totalMs = 0;
    BestGameEntry entry{};  // what keeping the game did: the best after it
    // What the title takes over after the game: the stage last played and
    // the bees' speed.
    int stage = STAGE_COUNT;
    int beeSteps = 0;

    Pulse highlight = HIGHLIGHT_PULSE_START;
    Pulse click = CLICK_PULSE_START;
    ResultsClickWait clickWait;
    // Going back counts once it has been let go on this screen.
    bool backWasHeld = true;
    bool leaving = false;  // this frame's
};

SceneChange EnterClosing(ClosingScene& closing, FrameClock& clock);
void StepClosing(ClosingScene& closing, const FrameClock& clock, FrameEnd* end);
SceneChange AfterClosingFrame(ClosingScene& closing, FrameClock& clock);
