// The results screen after a cleared stage: the run's time and the stage's
// five best times, until a click leads on to the next stage (after the last
// stage, to the game's end) or Escape back to the title. The time is ranked into the
// score file, with the run's recording, when the screen is entered, before
// anything is shown, so that leaving with Escape never costs it. An assisted
// run (played at a lower game speed) is never ranked: the screen shows the
// best times as they stand and says so, and nothing is written. Nor is a
// run ended with E ranked: the screen says SKIPPED, and nothing is written;
// nor a practice run, which says PRACTICE and offers the stage's choices.
// After a stage played alone (from the stage select) the screen offers
// RETRY, NEXT STAGE (not after the last) and TITLE side by side in place of
// CLICK START, chosen as a menu's rows are (game/menu.h): the pointer, the
// arrows (left and right, or up and down) and Enter, the pad. A run that
// counts (RunCounts) gives its segments to the best segments (game/
// segments.h). When the stage's best run before this one had its splits
// worked out, the left column lists this run's splits beside the best's,
// their differences, and the stage's sum of best. A run that improved the
// player's best is sent to the records board when online records are on
// (game/online.h); once the board's answer is in, the screen shows the
// run's world rank (WORLD #12), or that the board refused it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "game/splits.h"
#include "game/menu.h"
#include "game/scene_frame.h"
#include "game/scene_rules.h"
#include "game/score.h"

struct Recording;
struct SceneChange;

// What the screen goes back to the play scene with: RESULTS_GAME_DONE is
// the last stage's click in a game begun with START, which ends the game
// (on the closing screen when it counts).
enum { RESULTS_NEXT_STAGE = 1, RESULTS_TO_TITLE = 2, RESULTS_RETRY = 3, RESULTS_GAME_DONE = 4 };

struct ResultsScene {
    uint32_t runTimeMs = 0;     // curtain included
    int stage = 1;
    int row = 1;  // the stage's row in the table its times are kept in (set on entering)
    // The run's recording (the play scene's, which waits below while the
    // screen is up), or nullptr when the run outgrew what one holds.
    const Recording* recording = nullptr;
    bool assisted = false;      // some of the run was played at a lower game speed
    bool skipped = false;       // E ended the run
    bool practice = false;      // a practice run, from a checkpoint
    bool singleStage = false;   // the stage was played alone: the choices follow
    uint64_t stageHash = 0;     // the stage file's the run was played on (StageHash)
    // The run's splits, and the best run's before it with that run's time
    // (nullptr: not known, and no splits are listed); the play scene's.
    const std::vector<Split>* runSplits = nullptr;
    const std::vector<Split>* bestSplits = nullptr;
    int32_t bestTimeMs = 0;
    bool sumOfBestKnown = false;  // after this run's segments were kept
    uint32_t sumOfBestMs = 0;
    // RETRY, NEXT STAGE, TITLE (or RETRY, TITLE) as a menu's rows, one for
    // each choice; the pointer where it really was last frame.
    Menu choices;
    int mouseWasX = 0, mouseWasY = 0;

    RunEntry entry{};
    std::string onlineRun;  // the run's name in the outbox, "" when it was not sent
    bool notSaved = false;  // ranked, but the table could not be kept
    Pulse highlight = HIGHLIGHT_PULSE_START;
    Pulse click = CLICK_PULSE_START;
    ResultsClickWait clickWait;
    // Going back (the pad's B) counts once it has been let go: a press still
    // held from the stage is not one.
    bool backWasHeld = true;
    int leaving = 0;  // this frame's: 0 stay, else RESULTS_*
};

// The choices after a stage played alone: RETRY, NEXT STAGE and TITLE, the
// second left out after the last stage. Writes each row's result
// (RESULTS_*) into results, at most 3; returns how many there are.
int SingleStageChoices(int stage, int results[3]);
// The bar the choices share, in count equal parts from the left, and the
// choice (0..count-1) the point is in, -1 for none.
constexpr MenuBox RESULTS_CHOICE_BAR = {228, 573, 777, 67};
int ResultsChoiceAt(int count, int x, int y);
// One frame's menu input read on the results screen, as the choices' menu
// takes it: the pointer put on the row of the choice it is over (off the
// rows elsewhere), left and right moving as up and down do.
MenuInput ResultsChoiceInput(MenuInput in, int count);

// Whether a finished run counts: enters the best times and gives its
// segments to the best segments. Not one ended with E, nor one played with
// an assist.
bool RunCounts(const ResultsScene& results);

// What the results screen and the closing screen after it share in a
// frame: their backdrop drawn into backBuffer, and the mouse's buttons with
// Enter and the pad's A read as the left button; *back says whether the pad's
// B (or what is bound to going back) is held.
int DrawResultsBackdropAndReadButtons(bool* back);

SceneChange EnterResults(ResultsScene& results, FrameClock& clock);
void StepResults(ResultsScene& results, const FrameClock& clock, FrameEnd* end);
SceneChange AfterResultsFrame(ResultsScene& results, FrameClock& clock);
