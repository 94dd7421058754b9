// The results screen after a cleared stage: the run's time and the stage's
// five best times, until a click leads on to the next stage or Escape (or
// the last stage's click) back to the title. The time is ranked into the
// score file, with the run's recording, when the screen is entered, before
// anything is shown, so that leaving with Escape never costs it. An assisted
// run (played at a lower game speed) is never ranked: the screen shows the
// best times as they stand and says so, and nothing is written. Nor is a
// run ended with E ranked: the screen says SKIPPED, and nothing is written.
#pragma once
#include <cstdint>
#include "game/scene_frame.h"
#include "game/scene_rules.h"
#include "game/score.h"

struct Recording;
struct SceneChange;

// What the screen goes back to the play scene with.
enum { RESULTS_NEXT_STAGE = 1, RESULTS_TO_TITLE = 2 };

struct ResultsScene {
    uint32_t runTimeMs = 0;     // curtain included
    int stage = 1;
    // The run's recording (the play scene's, which waits below while the
    // screen is up), or nullptr when the run outgrew what one holds.
    const Recording* recording = nullptr;
    bool assisted = false;      // some of the run was played at a lower game speed
    bool skipped = false;       // E ended the run

    RunEntry entry{};
    bool notSaved = false;  // ranked, but the table could not be kept
    Pulse highlight = HIGHLIGHT_PULSE_START;
    Pulse click = CLICK_PULSE_START;
    ResultsClickWait clickWait;
    // Going back (the pad's B) counts once it has been let go: a press still
    // held from the stage is not one.
    bool backWasHeld = true;
    int leaving = 0;  // this frame's: 0 stay, else RESULTS_*
};

SceneChange EnterResults(ResultsScene& results, FrameClock& clock);
void StepResults(ResultsScene& results, const FrameClock& clock, FrameEnd* end);
SceneChange AfterResultsFrame(ResultsScene& results, FrameClock& clock);
