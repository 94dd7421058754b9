// The stage select, over the title: the four stages (or a pack's, four to a
// page; their par shows as dashes) one under the other,
// each with a small picture of it, its best time (the table's rank 1) and
// its par (the solver's time) and its sum of best (game/segments.h). Left
// and right on a stage's row (or a click on its arrows) turn what choosing it
// does: PLAY from the start, or PRACTICE FROM CHECKPOINT N for each of its
// checkpoints. Choosing a stage goes back to the title with it, to be played
// alone or practised; BACK, Escape or the pad's B go back with nothing.
// A pack of more than four stages has pages: BACK's row then shows
// "< PAGE 2/3 >", which left and right on that row (or a click on its
// arrows) turn, from the last page round to the first; the page comes up
// holding the stage last played. The rows are a menu (game/menu.h): the
// pointer, the arrows and Enter, the pad's d-pad and A.
#pragma once
#include "game/menu.h"
#include "game/scene_frame.h"
#include "game/score.h"
#include "game/stage_pack.h"
#include "gfx/surface.h"

struct SceneChange;

// What the page goes back with: apart from every other scene's result.
constexpr int STAGE_SELECT_BACK = 31;
constexpr int STAGE_SELECT_FIRST_STAGE = 32;  // stage n chosen: this + n - 1
// Stage n practised from checkpoint c (1..STAGE_SELECT_MAX_CHECKPOINTS):
// this + (n - 1) * STAGE_SELECT_MAX_CHECKPOINTS + c - 1.
constexpr int STAGE_SELECT_FIRST_PRACTICE = STAGE_SELECT_FIRST_STAGE + PACK_MOST_STAGES;
constexpr int STAGE_SELECT_MAX_CHECKPOINTS = 64;  // a stage with more offers the first 64
// The stage (1..StagesInPlay()) a result of the page chose, to play or to
// practise, 0 for any other result.
int StageChosen(int result);
// The checkpoint (1..) a result chose to practise from, 0 when it chose none.
int PracticeCheckpointChosen(int result);

// The stages a page shows.
constexpr int STAGE_SELECT_PAGE_ROWS = 4;
// Rows 0.. are the stages of the page from firstStage on (the shipped four,
// or up to four of a pack's), the last is BACK.
MenuLayout StageSelectLayout(int firstStage = 1);
// Where a stage's row shows what choosing it does, "< PLAY >" or "< PRACTICE
// FROM CHECKPOINT N >": a click in its left half turns it back, in its right
// half on. Returns -1, +1, or 0 when (x, y) is not on that line of row.
int PracticeArrowAt(int row, int x, int y);
// Where BACK's row (row of layout) shows the page, "< PAGE 2/3 >": -1 for
// a click that turns back a page, +1 on, 0 when (x, y) is elsewhere or
// there is only one page.
int PageArrowAt(const MenuLayout& layout, int x, int y);

struct StageSelectScene {
    Menu menu;
    // The page's first stage (1, 5, 9, ...); before the scene is entered,
    // any stage, whose page comes up.
    int firstStage = 1;
    // Made when the page is entered and freed when it is left (or turned):
    // the sky behind it and each row's picture.
    Surface imgSky = nullptr;
    Surface imgStage[STAGE_SELECT_PAGE_ROWS] = {};
    // Each row's best time as the table stood when the page came up.
    int32_t best[STAGE_SELECT_PAGE_ROWS] = {};
    // Each row's checkpoints, and the one choosing it practises from (0:
    // it plays from the start).
    int checkpoints[STAGE_SELECT_PAGE_ROWS] = {};
    int practiceFrom[STAGE_SELECT_PAGE_ROWS] = {};
    // And each row's sum of best, when its segments reach the goal.
    bool sumOfBestKnown[STAGE_SELECT_PAGE_ROWS] = {};
    uint32_t sumOfBest[STAGE_SELECT_PAGE_ROWS] = {};
    int result = 0;  // this frame's: 0 stay, else what the page goes back with
    int turn = 0;    // this frame's: -1 or +1, the page turns after it
};

SceneChange EnterStageSelect(StageSelectScene& page, FrameClock& clock);
void StepStageSelect(StageSelectScene& page, const FrameClock& clock, FrameEnd* end);
SceneChange AfterStageSelectFrame(StageSelectScene& page, FrameClock& clock);
