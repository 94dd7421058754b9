// The stage select, over the title: the four stages (or a pack's, up to
// four; their par shows as dashes) one under the other,
// each with a small picture of it, its best time (the table's rank 1) and
// its par (the solver's time) and its sum of best (game/segments.h). Left
// and right on a stage's row (or a click on its arrows) turn what choosing it
// does: PLAY from the start, or PRACTICE FROM CHECKPOINT N for each of its
// checkpoints. Choosing a stage goes back to the title with it, to be played
// alone or practised; BACK, Escape or the pad's B go back with nothing.
// The rows are a menu (game/menu.h): the pointer, the arrows and Enter, the
// pad's d-pad and A.
#pragma once
#include "game/menu.h"
#include "game/scene_frame.h"
#include "game/score.h"
#include "gfx/surface.h"

struct SceneChange;

// What the page goes back with: apart from every other scene's result.
constexpr int STAGE_SELECT_BACK = 31;
constexpr int STAGE_SELECT_FIRST_STAGE = 32;  // stage n chosen: this + n - 1
// Stage n practised from checkpoint c (1..STAGE_SELECT_MAX_CHECKPOINTS):
// this + (n - 1) * STAGE_SELECT_MAX_CHECKPOINTS + c - 1.
constexpr int STAGE_SELECT_FIRST_PRACTICE = 64;
constexpr int STAGE_SELECT_MAX_CHECKPOINTS = 64;  // a stage with more offers the first 64
// The stage (1..STAGE_COUNT) a result of the page chose, to play or to
// practise, 0 for any other result.
int StageChosen(int result);
// The checkpoint (1..) a result chose to practise from, 0 when it chose none.
int PracticeCheckpointChosen(int result);

// Rows 0..StagesInPlay()-1 are the stages (the shipped four, or a pack's),
// the last is BACK.
MenuLayout StageSelectLayout();
// Where a stage's row shows what choosing it does, "< PLAY >" or "< PRACTICE
// FROM CHECKPOINT N >": a click in its left half turns it back, in its right
// half on. Returns -1, +1, or 0 when (x, y) is not on that line of row.
int PracticeArrowAt(int row, int x, int y);

struct StageSelectScene {
    Menu menu;
    // Made when the page is entered and freed when it is left: the sky
    // behind it and each stage's picture.
    Surface imgSky = nullptr;
    Surface imgStage[STAGE_COUNT] = {};
    // Each stage's best time as the table stood when the page came up.
    int32_t best[STAGE_COUNT] = {};
    // Each stage's checkpoints, and the one choosing it practises from (0:
    // it plays from the start).
    int checkpoints[STAGE_COUNT] = {};
    int practiceFrom[STAGE_COUNT] = {};
    // And each stage's sum of best, when its segments reach the goal.
    bool sumOfBestKnown[STAGE_COUNT] = {};
    uint32_t sumOfBest[STAGE_COUNT] = {};
    int result = 0;  // this frame's: 0 stay, else what the page goes back with
};

SceneChange EnterStageSelect(StageSelectScene& page, FrameClock& clock);
void StepStageSelect(StageSelectScene& page, const FrameClock& clock, FrameEnd* end);
SceneChange AfterStageSelectFrame(StageSelectScene& page, FrameClock& clock);
