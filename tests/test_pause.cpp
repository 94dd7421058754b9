// The pause and its menu: the rules of moving through a menu and choosing
// (once per press, a click that begins and ends on its row), and through the
// real game, what each of the pause's choices leads to.
#include "game/menu.h"
#include "game/pause_scene.h"
#include "tests/test_wholegame_harness.h"

namespace {

Menu ThreeRows()
{
    Menu menu;
    menu.layout = MenuLayout{100, 200, 300, 50, 3};  // rows at y 200, 250, 300
    return menu;
}

MenuInput At(int x, int y, bool moved = false)
{
    MenuInput in;
    in.mouseX = x;
    in.mouseY = y;
    in.pointerMoved = moved;
    return in;
}

}  // namespace

TEST(MenuRules, RowsAreHitInsideTheirBandOnly)
{
    MenuLayout layout{100, 200, 300, 50, 3};
    EXPECT_EQ(MenuRowAt(layout, 100, 200), 0);
    EXPECT_EQ(MenuRowAt(layout, 399, 249), 0);
    EXPECT_EQ(MenuRowAt(layout, 250, 250), 1);
    EXPECT_EQ(MenuRowAt(layout, 250, 349), 2);
    EXPECT_EQ(MenuRowAt(layout, 250, 350), -1);  // below the last row
    EXPECT_EQ(MenuRowAt(layout, 99, 220), -1);
    EXPECT_EQ(MenuRowAt(layout, 400, 220), -1);
    EXPECT_EQ(MenuRowAt(layout, 250, 199), -1);
    EXPECT_EQ(MenuRowAt(layout, -100000, -100000), -1);
}

TEST(MenuRules, AKeyCountsOncePerPressAndNotAtAllIfHeldFromBefore)
{
    Menu menu = ThreeRows();
    MenuInput in = At(0, 0);
    in.down = in.accept = true;  // held as the menu came up
    EXPECT_EQ(StepMenu(&menu, in), MENU_NONE);
    EXPECT_EQ(StepMenu(&menu, in), MENU_NONE);
    EXPECT_EQ(menu.selected, 0);
    in = At(0, 0);
    StepMenu(&menu, in);
    in.down = true;
    StepMenu(&menu, in);
    StepMenu(&menu, in);  // still held: no second step
    EXPECT_EQ(menu.selected, 1);
    in.down = false;
    StepMenu(&menu, in);
    in.down = true;
    StepMenu(&menu, in);
    EXPECT_EQ(menu.selected, 2);
    in.down = false;
    StepMenu(&menu, in);
    in.down = true;
    StepMenu(&menu, in);  // past the last row: the first again
    EXPECT_EQ(menu.selected, 0);
    in = At(0, 0);
    in.up = true;
    StepMenu(&menu, in);
    EXPECT_EQ(menu.selected, 2);
    in = At(0, 0);
    StepMenu(&menu, in);
    for (auto [key, action] : {std::pair{&MenuInput::accept, MENU_CHOSEN}, {&MenuInput::back, MENU_BACK},
                               {&MenuInput::left, MENU_LESS}, {&MenuInput::right, MENU_MORE}}) {
        MenuInput pressed = At(0, 0);
        pressed.*key = true;
        EXPECT_EQ(StepMenu(&menu, pressed), action);
        EXPECT_EQ(StepMenu(&menu, pressed), MENU_NONE);  // held
        StepMenu(&menu, At(0, 0));
    }
    EXPECT_EQ(menu.selected, 2);
}

TEST(MenuRules, AClickMustBeginAndEndOnTheSameRow)
{
    Menu menu = ThreeRows();
    StepMenu(&menu, At(0, 0));  // nothing held any more
    MenuInput in = At(200, 260, true);
    EXPECT_EQ(StepMenu(&menu, in), MENU_NONE);
    EXPECT_EQ(menu.selected, 1);  // the pointer moved onto row 1
    in.pointerMoved = false;
    in.leftButton = true;
    EXPECT_EQ(StepMenu(&menu, in), MENU_NONE);  // pressed: nothing yet
    in.leftButton = false;
    EXPECT_EQ(StepMenu(&menu, in), MENU_CHOSEN);  // let go on the same row
    EXPECT_EQ(menu.selected, 1);
    // Pressed on row 1, let go on row 2: nothing.
    in = At(200, 260);
    in.leftButton = true;
    StepMenu(&menu, in);
    in = At(200, 310, true);
    in.leftButton = true;
    EXPECT_EQ(StepMenu(&menu, in), MENU_NONE);
    in.leftButton = false;
    EXPECT_EQ(StepMenu(&menu, in), MENU_NONE);
    // Pressed on empty space and dragged onto a row: nothing.
    in = At(10, 10, true);
    in.leftButton = true;
    StepMenu(&menu, in);
    in = At(200, 210, true);
    in.leftButton = true;
    StepMenu(&menu, in);
    in.leftButton = false;
    EXPECT_EQ(StepMenu(&menu, in), MENU_NONE);
    // A button held as the menu came up is no click when let go.
    Menu fresh = ThreeRows();
    in = At(200, 210);
    in.leftButton = true;
    StepMenu(&fresh, in);
    in.leftButton = false;
    EXPECT_EQ(StepMenu(&fresh, in), MENU_NONE);
}

TEST(MenuRules, APointerAtRestLeavesTheKeysTheSelection)
{
    Menu menu = ThreeRows();
    StepMenu(&menu, At(200, 210, true));
    EXPECT_EQ(menu.selected, 0);
    MenuInput in = At(200, 210);
    in.down = true;
    StepMenu(&menu, in);
    EXPECT_EQ(menu.selected, 1);  // the pointer still rests on row 0
    StepMenu(&menu, At(200, 210));
    EXPECT_EQ(menu.selected, 1);
}

// ---- through the game ----

namespace {

// Stage 1's play begins on frame 276: the title's click, 25 frames of
// curtain, 250 of countdown. P on frame 300 pauses after it.
const std::string TO_PLAY = "dialog no\n0 mouse 300 580\n0 down lmb\n1 up lmb\n"
                            "290 mouse 100 100\n290 down lmb\n"
                            "300 down p\n301 up p\n";

std::vector<long long> ClocksOf(const GameRun& run, const std::string& scene)
{
    std::vector<long long> clocks;
    for (const TraceEvent* e : run.Frames(scene)) clocks.push_back((long long)NumberField(e->line, "clockMs", -1));
    return clocks;
}

}  // namespace

class PauseMenu : public HarnessTest {};

TEST_F(PauseMenu, RestartBeginsANewRunAtOnceAndTheAbandonedOneIsNotKept)
{
    std::string before = Scores();
    // Down to RESTART STAGE, Enter.
    GameRun run = Play(TO_PLAY + "310 down down\n311 up down\n320 down enter\n321 up enter\n", 400);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    std::vector<long long> clocks = ClocksOf(run, "play");
    ASSERT_GE(clocks.size(), 30u);
    // 25 play frames, 20 of the pause (its last not shown), then play again
    // from the clock's start, with no curtain or countdown between.
    EXPECT_EQ(clocks[0], 16);
    EXPECT_EQ(clocks[24], 25 * 16);
    EXPECT_EQ(clocks[25], 16);
    EXPECT_EQ(clocks[26], 32);
    EXPECT_EQ(run.Frames("pause").size(), 20u);
    ASSERT_GE(runs.size(), 6u);
    EXPECT_EQ(runs[3].scene, "play");
    EXPECT_EQ(runs[4].scene, "pause");
    EXPECT_EQ(runs[5].scene, "play");
    EXPECT_EQ(Scores(), before);
    EXPECT_FALSE(fs::exists(folder + "/txt/stage1-rank1.replay"));
}

TEST_F(PauseMenu, LeavingGoesStraightToTheTitleAndEscapeOrPResume)
{
    GameRun run = Play(TO_PLAY + "310 down up\n311 up up\n"  // from the first row up to the last
                                 "320 down enter\n321 up enter\n",
                       400);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    ASSERT_GE(runs.size(), 6u);
    EXPECT_EQ(runs[4].scene, "pause");
    EXPECT_EQ(runs[5].scene, "title");
    // Escape resumes, as P does, and the clock goes on from where it stood.
    for (std::string key : {"esc", "p"}) {
        run = Play(TO_PLAY + "330 down " + key + "\n331 up " + key + "\n", 400);
        std::vector<long long> clocks = ClocksOf(run, "play");
        ASSERT_GE(clocks.size(), 27u) << key;
        EXPECT_EQ(clocks[24], 25 * 16) << key;
        EXPECT_EQ(clocks[25], 26 * 16) << key;
        EXPECT_EQ(run.Frames("pause").size(), 30u) << key;
    }
}

TEST_F(PauseMenu, TheKeyThatResumesIsNotTakenByPlayUntilLetGo)
{
    // Escape held for ten frames resumes the pause and does not leave the
    // stage; P held after a pause of a pad pulled out does not pause again.
    GameRun run = Play(TO_PLAY + "330 down esc\n340 up esc\n", 400);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    EXPECT_TRUE(run.Frames("leave-curtain").empty());
    EXPECT_EQ(runs.back().scene, "play");
    run = Play("dialog no\n0 mouse 300 580\n0 down lmb\n1 up lmb\n0 pad connect\n"
               "300 pad disconnect\n320 down p\n330 up p\n",
               400);
    runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    EXPECT_EQ(run.Frames("pause").size(), 20u);  // frames 301 to 320, once
    EXPECT_EQ(runs.back().scene, "play");
}
