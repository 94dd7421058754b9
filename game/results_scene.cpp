// The results screen: the run's time and the stage's five best times, then the
// next stage's curtain and countdown, or the way back to the title.
#include "game/results_scene.h"

#include "game/assets.h"
#include "game/controls.h"
#include "game/menu_draw.h"
#include "game/online.h"
#include "game/scene_rules.h"
#include "game/score.h"
#include "game/stage_pack.h"
#include "game/segments.h"
#include "gfx/blit.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/shell.h"
#include "game/scenes.h"

namespace {

// One row of the ranking: "No.n" and the entry, lit up when it is this run's.
void DrawRankRow(int r, int32_t entry, bool own, Pulse highlight)
{
    int y = 230 + 65 * r;
    TimeText text = FormatEntryTime(entry);
    Colour clockColour = own ? HighlightColour(highlight) : 0xFAFAFA;
    Colour fractionColour = own ? HighlightColour(highlight) : 0xFFFFFF;
    SetFont(40, 80, "IMPACT");
    PrintTextOn(backBuffer, 910, y, clockColour, COLOR_NONE, "%s", text.clock);
    SetFont(20, 40, "IMPACT");
    PrintTextOn(backBuffer, 1065, y + 33, fractionColour, COLOR_NONE, "%s", text.fraction);
    SetFont(40, 80, "IMPACT");
    PrintTextOn(backBuffer, 790, y, RankColour(r), COLOR_NONE, "No.%d", r + 1);
}

// Under the run's time when it ranked but its table could not be saved (a
// full disk, a damaged file, no folder for it, a folder held by another
// program): the row lit up is this session's only.
// With the splits panel there, smaller, beside its heading.
void DrawNotSaved(bool panel)
{
    SetFont(panel ? 12 : 24, panel ? 24 : 48, "IMPACT");
    PrintOutlined(backBuffer, panel ? 440 : 276, panel ? 394 : 420, 0x1E1E78, 0x5A5AFF, "TIME NOT SAVED");
}

// In the same place, for a run played at a lower game speed.
void DrawNotRanked(bool panel)
{
    SetFont(panel ? 12 : 24, panel ? 24 : 48, "IMPACT");
    PrintOutlined(backBuffer, panel ? 440 : 246, panel ? 394 : 420, 0x3C3C3C, 0xDCDCDC, "ASSIST: NOT RANKED");
}

// The choices after a stage played alone, each centred in its part of the
// bar, the selected one lit as a menu's row is.
void DrawChoices(const ResultsScene& r)
{
    int results[3];
    int count = SingleStageChoices(r.stage, results);
    int part = RESULTS_CHOICE_BAR.w / count;
    for (int i = 0; i < count; i++) {
        const char* label = results[i] == RESULTS_RETRY        ? "RETRY"
                            : results[i] == RESULTS_NEXT_STAGE ? "NEXT STAGE"
                                                               : "TITLE";
        // Measured before the font is set: measuring reopens the face.
        int width = 0, height = 0;
        MeasureTextWithFace("IMPACT", 24, 48, label, &width, &height);
        SetFont(24, 48, "IMPACT");
        int x = RESULTS_CHOICE_BAR.x + part * i + (part - width) / 2;
        int y = RESULTS_CHOICE_BAR.y + 9;
        if (i == r.choices.selected)
            PrintOutlined(backBuffer, x, y, 0x649B64, 0xC8FFC8, "%s", label);
        else
            PrintTextOn(backBuffer, x, y, 0xB4B4B4, COLOR_NONE, "%s", label);
        ReleaseFont();
    }
}

// In the same place, for a run ended with E, or a practice run.
void DrawUnranked(const char* why)
{
    // Centred where SKIPPED has always stood, at 336.
    int width = 0, skippedWidth = 0, height = 0;
    MeasureTextWithFace("IMPACT", 24, 48, why, &width, &height);
    MeasureTextWithFace("IMPACT", 24, 48, "SKIPPED", &skippedWidth, &height);
    SetFont(24, 48, "IMPACT");
    PrintOutlined(backBuffer, 336 + (skippedWidth - width) / 2, 420, 0x1E5A78, 0x64DCFF, "%s", why);
}

// One row of the splits panel: its name, the run's time and the best's
// ("--:--.--" for one missing), and their difference when both are there.
void DrawSplitRow(int y, const char* name, const Split* run, const Split* best)
{
    constexpr int NAME_X = 40, RUN_X = 160, BEST_X = 340, DIFF_X = 520;
    SetFont(14, 28, "IMPACT");
    PrintTextOn(backBuffer, NAME_X, y, 0xC8C8FF, COLOR_NONE, "%s", name);
    TimeText t;
    if (run) t = FormatRunTime(run->clockMs);
    PrintTextOn(backBuffer, RUN_X, y, 0xFAFAFA, COLOR_NONE, "%s%s", run ? t.clock : "--:--",
                run ? t.fraction : ".--");
    if (best) t = FormatRunTime(best->clockMs);
    PrintTextOn(backBuffer, BEST_X, y, 0xB4B4B4, COLOR_NONE, "%s%s", best ? t.clock : "--:--",
                best ? t.fraction : ".--");
    if (run && best) {
        int32_t diff = int32_t(int64_t(run->clockMs) - int64_t(best->clockMs));
        char text[32];
        FormatSplitDifference(diff, text, sizeof text);
        Colour c = diff < 0 ? 0x78FF78 : diff > 0 ? 0x6464FF : 0xFAFAFA;  // 0xBBGGRR
        PrintTextOn(backBuffer, DIFF_X, y, c, COLOR_NONE, "%s", text);
    }
}

// Under the run's time: each checkpoint the run or the best reached (the
// run's in its order, then the best's others), the goal, and the sum of best.
void DrawSplitsPanel(const ResultsScene& r)
{
    constexpr int TOP = 394, ROW = 25;
    std::vector<Split> none;
    const std::vector<Split>& run = r.runSplits ? *r.runSplits : none;
    const std::vector<Split>& best = *r.bestSplits;
    std::vector<int> checkpoints;
    for (const Split& s : run) checkpoints.push_back(s.checkpoint);
    for (const Split& s : best)
        if (!FindSplit(run, s.checkpoint)) checkpoints.push_back(s.checkpoint);
    // Room for five checkpoints; more are left out, the goal never.
    if (checkpoints.size() > 5) checkpoints.resize(5);
    SetFont(12, 24, "IMPACT");
    PrintTextOn(backBuffer, 160, TOP, 0x8C8C8C, COLOR_NONE, "RUN");
    PrintTextOn(backBuffer, 340, TOP, 0x8C8C8C, COLOR_NONE, "BEST");
    int y = TOP + 22;
    for (int cp : checkpoints) {
        char name[16];
        snprintf(name, sizeof name, "CP%d", cp);
        DrawSplitRow(y, name, FindSplit(run, cp), FindSplit(best, cp));
        y += ROW;
    }
    Split runGoal{0, r.runTimeMs}, bestGoal{0, uint32_t(r.bestTimeMs)};
    DrawSplitRow(y, "GOAL", &runGoal, &bestGoal);
    y += ROW;
    TimeText sum = FormatRunTime(r.sumOfBestMs);
    SetFont(14, 28, "IMPACT");
    PrintTextOn(backBuffer, 40, y, 0xFFDC78, COLOR_NONE, "SUM OF BEST %s%s", r.sumOfBestKnown ? sum.clock : "--:--",
                r.sumOfBestKnown ? sum.fraction : ".--");
    ReleaseFont();
}

void DrawResults(uint32_t runTimeMs, int stage, const int32_t row[RANKS_PER_STAGE],
                 Pulse highlight, Pulse click, bool notSaved, bool assisted, const char* unranked, bool clickStart,
                 bool panel)
{
    TimeText run = FormatRunTime(runTimeMs);
    SetFont(64, 128, "IMPACT");
    PrintOutlined(backBuffer, 485, 20, 0x9B6464, 0xFFC8C8, "SCORE");
    PrintOutlined(backBuffer, 240, 130, 0x649B64, 0xC8FFC8, "MAP%d", stage);
    PrintOutlined(backBuffer, 220, 270, 0x9B649B, 0xFFC8FF, "%s", run.clock);
    PrintOutlined(backBuffer, 760, 130, 0x64649B, 0xC8C8FF, "RANKING");
    SetFont(32, 64, "IMPACT");
    PrintOutlined(backBuffer, 466, 324, 0x9B649B, 0xFFC8FF, "%s", run.fraction);
    if (clickStart) {
        SetFont(96, 80, "IMPACT");
        PrintTextOn(backBuffer, 250, 570, ClickColour(click), COLOR_NONE, "CLICK START");
    }
    // Bottom row first. Every entry equal to the run lights up, so equal
    // times light up together, and a run that did not enter (or was not
    // ranked) lights none.
    for (int r = RANKS_PER_STAGE - 1; r >= 0; r--)
        DrawRankRow(r, row[r], !assisted && !unranked && static_cast<uint32_t>(row[r]) == runTimeMs,
                    highlight);
    if (notSaved) DrawNotSaved(panel);
    if (unranked) DrawUnranked(unranked);
    else if (assisted) DrawNotRanked(panel);
    ReleaseFont();
}

// Small, at the bottom left, once the board has answered for the run.
void DrawWorldRank(const std::string& onlineRun)
{
    int rank = 0;
    int answer = OnlineAnswer(onlineRun, &rank);
    if (answer == ONLINE_UNKNOWN || (answer == ONLINE_RANKED && rank <= 0)) return;
    SetFont(16, 32, "IMPACT");
    if (answer == ONLINE_RANKED)
        PrintOutlined(backBuffer, 40, 660, 0x649B64, 0xC8FFC8, "WORLD #%d", rank);
    else
        PrintOutlined(backBuffer, 40, 660, 0x1E1E78, 0x5A5AFF, "BOARD REFUSED THE RUN");
    ReleaseFont();
}

}  // namespace

int ResultsChoiceAt(int count, int x, int y)
{
    const MenuBox& bar = RESULTS_CHOICE_BAR;
    if (count <= 0 || x < bar.x || y < bar.y || x >= bar.x + bar.w || y >= bar.y + bar.h) return -1;
    int choice = (x - bar.x) / (bar.w / count);
    return choice < count ? choice : -1;
}

MenuInput ResultsChoiceInput(MenuInput in, int count)
{
    int choice = ResultsChoiceAt(count, in.mouseX, in.mouseY);
    in.mouseX = choice >= 0 ? 0 : -1;
    in.mouseY = choice >= 0 ? choice : -1;
    in.up = in.up || in.left;
    in.down = in.down || in.right;
    in.left = in.right = false;
    return in;
}

int SingleStageChoices(int stage, int results[3])
{
    int count = 0;
    results[count++] = RESULTS_RETRY;
    if (stage >= 1 && stage < StagesInPlay()) results[count++] = RESULTS_NEXT_STAGE;
    results[count++] = RESULTS_TO_TITLE;
    return count;
}

bool RunCounts(const ResultsScene& r) { return !r.assisted && !r.skipped && !r.practice; }

int DrawResultsBackdropAndReadButtons(bool* back)
{
    DrawStretchedColorKeyed(backBuffer, 0, 0, 1280, 720, imgClear, 0, 0, 1280, 680,
                            static_cast<uint32_t>(-1));
    int buttons;
    GetMouseButtons(&buttons);
    PadState pad;
    bool attached = PlatformReadPad(&pad);
    if (BindingHeld(settings.bindings[ACTION_MENU_ACCEPT], pad, attached)) buttons |= MOUSE_LEFT;
    *back = BindingHeld(settings.bindings[ACTION_MENU_BACK], pad, attached);
    return buttons;
}

SceneChange EnterResults(ResultsScene& r, FrameClock& clock)
{
    if (r.singleStage) {
        int results[3];
        // One row a choice, row i at (0, i): where ResultsChoiceInput puts
        // the pointer over choice i.
        r.choices = StartMenu(MenuLayout{0, 0, 1, 1, SingleStageChoices(r.stage, results), 1});
        GetMousePos(&r.mouseWasX, &r.mouseWasY);
        r.choices.was.mouseX = r.choices.was.mouseY = -1;
    }
    // A pack's stage keeps its times in a table of its own.
    StageRecords records = RecordsOfStage(r.stage);
    r.row = records.row;
    if (!RunCounts(r)) {
        r.entry = StandingBestTimes(records.scorePath, records.session);
    } else {
        // Only a run of a shipped stage that beat the player's best goes to
        // the board: it knows no pack's stage until the stage is sent to it.
        bool online = OnlineReady(settings) && PackInPlay() == nullptr;
        uint32_t bestWas =
            online ? (uint32_t)StandingBestTimes(records.scorePath, records.session).table.times[records.row - 1][0]
                   : 0;
        r.entry = EnterRunTime(records.scorePath, r.runTimeMs, records.row, r.recording, records.session);
        if (online && r.recording && r.entry.rank == 1 && r.runTimeMs < bestWas)
            r.onlineRun = QueueOnlineRun(*r.recording);
        if (r.runSplits) KeepRunSegments(records.scorePath, RunSegments(r.stageHash, *r.runSplits, r.runTimeMs));
    }
    if (r.bestSplits)
        r.sumOfBestKnown = SumOfBest(StandingSegments(records.scorePath), r.stageHash, &r.sumOfBestMs);
    r.notSaved = r.entry.rank > 0 && !r.entry.fileWritten;
    clock.frameStart = GameTimeMs();
    return Stay();
}

void StepResults(ResultsScene& r, const FrameClock&, FrameEnd* end)
{
    int rowIndex = r.row >= 1 && r.row <= STAGE_COUNT ? r.row - 1 : 0;
    const int32_t* row = r.entry.table.times[rowIndex];
    // Enter and the pad's A go on as a click does, the pad's B leaves as Escape.
    bool back = false;
    int buttons = DrawResultsBackdropAndReadButtons(&back);
    if (!back) r.backWasHeld = false;
    const char* unranked = r.practice ? "PRACTICE" : r.skipped ? "SKIPPED" : nullptr;
    DrawResults(r.runTimeMs, r.stage, row, r.highlight, r.click, r.notSaved, r.assisted, unranked,
                !r.singleStage, r.bestSplits && !r.skipped);
    if (r.bestSplits && !r.skipped) DrawSplitsPanel(r);
    if (!r.onlineRun.empty()) DrawWorldRank(r.onlineRun);
    AdvanceHighlightPulse(&r.highlight);
    AdvanceClickPulse(&r.click);
    *end = FrameEnd{FRAME_SHOWN, "results", SCENE_GOAL, r.stage, ""};
    r.leaving = 0;
    if (r.singleStage) {
        // The menu counts only presses begun on this screen, so the fire
        // button the player arrives holding chooses nothing; the screen's
        // first frames pass before any choice counts, as a click's do.
        int results[3];
        int count = SingleStageChoices(r.stage, results);
        MenuInput in = ReadMenuInput(r.choices);
        in.pointerMoved = in.mouseX != r.mouseWasX || in.mouseY != r.mouseWasY;
        r.mouseWasX = in.mouseX;
        r.mouseWasY = in.mouseY;
        int action = StepMenu(&r.choices, ResultsChoiceInput(in, count));
        DrawChoices(r);
        if (r.clickWait.delay > 0) {
            r.clickWait.delay--;
            action = MENU_NONE;
        }
        if (action == MENU_CHOSEN && r.choices.selected >= 0 && r.choices.selected < count)
            r.leaving = results[r.choices.selected];
        if (action == MENU_BACK || IsKeyDown(VK_ESCAPE)) r.leaving = RESULTS_TO_TITLE;
        if (r.leaving) end->kind = FRAME_TRACED;
        if (r.leaving == RESULTS_TO_TITLE) end->selector = SCENE_TO_TITLE;
    } else if (IsKeyDown(VK_ESCAPE) || (back && !r.backWasHeld)) {
        r.leaving = RESULTS_TO_TITLE;
        *end = FrameEnd{FRAME_TRACED, "results", SCENE_TO_TITLE, r.stage, ""};
    } else if (TakeResultsClick(buttons, &r.clickWait)) {
        // After the last stage the game is over.
        r.leaving = r.stage >= 1 && r.stage < StagesInPlay() ? RESULTS_NEXT_STAGE : RESULTS_GAME_DONE;
        end->kind = FRAME_TRACED;  // left without being shown
    }
}

SceneChange AfterResultsFrame(ResultsScene& r, FrameClock&)
{
    return r.leaving ? Pop(r.leaving) : Stay();
}
