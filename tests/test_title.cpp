// The title menu's rules: where the buttons sit, when they count as hovered,
// what a click does, and the background and cursor animations.
#include "game/scene_rules.h"
#include "input/input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace {

bool Same(MenuBox a, MenuBox b)
{
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

// Where the title draws its buttons: at rest, and enlarged while hovered.
constexpr MenuBox START_AT_REST = {220, 520, 267, 124};
constexpr MenuBox START_ENLARGED = {90, 458, 534, 248};
constexpr MenuBox END_AT_REST = {870, 512, 198, 124};
constexpr MenuBox END_ENLARGED = {790, 450, 396, 248};

}  // namespace

TEST(TitleHover, InsideTheRestingBoxStrictly)
{
    // START rests at 220, 520, 267 x 124: the edges themselves do not count.
    for (auto [x, y, over] : {std::tuple{221, 521, true}, {486, 643, true}, {220, 560, false},
                              {300, 520, false}, {487, 560, false}, {300, 644, false},
                              // inside the enlarged START but outside the resting one
                              {100, 470, false}}) {
        TitleHover h = TitleHoverAt(x, y);
        EXPECT_EQ(h.start, over) << x << "," << y;
        EXPECT_FALSE(h.end) << x << "," << y;
    }
    // END rests at 870, 512, 198 x 124.
    for (auto [x, y, over] : {std::tuple{871, 513, true}, {1067, 635, true}, {870, 600, false},
                              {900, 512, false}, {1068, 600, false}, {900, 636, false},
                              {-5000, -5000, false}, {800, 460, false}}) {
        TitleHover h = TitleHoverAt(x, y);
        EXPECT_EQ(h.end, over) << x << "," << y;
        EXPECT_FALSE(h.start) << x << "," << y;
    }
}

TEST(TitleHover, SettingsIsTheTopRightCorner)
{
    // SETTINGS is lettered at 1070, 12, 196 x 60; its edges do not count.
    for (auto [x, y, over] : {std::tuple{1071, 13, true}, {1265, 71, true}, {1150, 40, true},
                              {1070, 40, false}, {1266, 40, false}, {1150, 12, false}, {1150, 72, false}}) {
        TitleHover h = TitleHoverAt(x, y);
        EXPECT_EQ(h.settings, over) << x << "," << y;
        EXPECT_FALSE(h.start || h.end) << x << "," << y;
    }
    TitleHover settings;
    settings.settings = true;
    TitleClick c = TitleClickOf(MOUSE_LEFT, settings);
    EXPECT_TRUE(c.clickSound && c.settings);
    EXPECT_FALSE(c.start || c.quit);
    EXPECT_FALSE(TitleClickOf(MOUSE_RIGHT, settings).settings);
}

TEST(TitleHover, StagesIsTheTopLeftCornerClearOfTheButtons)
{
    // STAGES is lettered at 14, 12, 170 x 60; its edges do not count.
    for (auto [x, y, over] : {std::tuple{15, 13, true}, {183, 71, true}, {80, 40, true},
                              {14, 40, false}, {184, 40, false}, {80, 12, false}, {80, 72, false}}) {
        TitleHover h = TitleHoverAt(x, y);
        EXPECT_EQ(h.stages, over) << x << "," << y;
        EXPECT_FALSE(h.start || h.end || h.settings) << x << "," << y;
    }
    // Not even START or END grown under the pointer reach it.
    for (MenuBox box : {START_BOX_FIRST, START_BOX_HOVERED, END_BOX_FIRST, END_BOX_HOVERED})
        EXPECT_TRUE(box.y >= STAGES_BOX.y + STAGES_BOX.h || box.x >= STAGES_BOX.x + STAGES_BOX.w);
    TitleHover stages;
    stages.stages = true;
    TitleClick c = TitleClickOf(MOUSE_LEFT, stages);
    EXPECT_TRUE(c.clickSound && c.stages);
    EXPECT_FALSE(c.start || c.quit || c.settings);
    EXPECT_FALSE(TitleClickOf(MOUSE_LEFT | MOUSE_RIGHT, stages).stages);
}

TEST(TitleHover, TheButtonsAreDrawnWhereTheHoverSays)
{
    // Before any hover test: the first frame's places.
    EXPECT_TRUE(Same(StartBoxOf(nullptr), MenuBox{150, 500, 267, 124}));
    EXPECT_TRUE(Same(EndBoxOf(nullptr), MenuBox{850, 490, 198, 124}));
    TitleHover none, start, end;
    start.start = true;
    end.end = true;
    EXPECT_TRUE(Same(StartBoxOf(&none), START_AT_REST));
    EXPECT_TRUE(Same(EndBoxOf(&none), END_AT_REST));
    EXPECT_TRUE(Same(StartBoxOf(&start), START_ENLARGED));
    EXPECT_TRUE(Same(EndBoxOf(&start), END_AT_REST));
    EXPECT_TRUE(Same(StartBoxOf(&end), START_AT_REST));
    EXPECT_TRUE(Same(EndBoxOf(&end), END_ENLARGED));
}

TEST(TitleClick, LeftButtonAloneClicksWhereverThePointerIs)
{
    TitleHover none, start, end, both;
    start.start = true;
    end.end = true;
    both.start = both.end = true;
    TitleClick c = TitleClickOf(MOUSE_LEFT, none);
    EXPECT_TRUE(c.clickSound);  // outside both buttons: only the sound
    EXPECT_FALSE(c.quit);
    EXPECT_FALSE(c.start);
    c = TitleClickOf(MOUSE_LEFT, start);
    EXPECT_TRUE(c.clickSound);
    EXPECT_TRUE(c.start);
    EXPECT_FALSE(c.quit);
    c = TitleClickOf(MOUSE_LEFT, end);
    EXPECT_TRUE(c.quit);
    EXPECT_FALSE(c.start);
    // END is tested first.
    c = TitleClickOf(MOUSE_LEFT, both);
    EXPECT_TRUE(c.quit);
    EXPECT_FALSE(c.start);
}

TEST(TitleClick, BothButtonsOrRightAloneIsNoClick)
{
    TitleHover start, end;
    start.start = true;
    end.end = true;
    for (int buttons : {0, int(MOUSE_RIGHT), MOUSE_LEFT | MOUSE_RIGHT}) {
        TitleClick c = TitleClickOf(buttons, start);
        EXPECT_FALSE(c.clickSound || c.start || c.quit) << buttons;
        c = TitleClickOf(buttons, end);
        EXPECT_FALSE(c.clickSound || c.start || c.quit) << buttons;
    }
}

TEST(TitleBackground, WalksUpAndDownThroughPictures0To68)
{
    float pos = 0.0f;
    int dir = 0;
    std::vector<int> shown;
    for (int frame = 0; frame < 271 * 3; frame++) {
        StepTitleCurtain(&pos, &dir);
        shown.push_back(static_cast<int>(pos));
    }
    // 0, then 1..68 twice each on the way up, 67..1 twice each on the way down.
    std::vector<int> cycle = {0};
    for (int k = 1; k <= 68; k++) cycle.insert(cycle.end(), {k, k});
    for (int k = 67; k >= 1; k--) cycle.insert(cycle.end(), {k, k});
    ASSERT_EQ(cycle.size(), 271u);
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 271), cycle);
    for (size_t i = 0; i + 271 < shown.size(); i++)
        ASSERT_EQ(shown[i], shown[i + 271]) << i;
    // Picture 69 (file 120) is loaded but never shown.
    EXPECT_EQ(*std::max_element(shown.begin(), shown.end()), 68);
}

TEST(TitleCursor, TurnsOneDegreePerFrame1To360)
{
    int angle = 0;
    std::vector<int> seen;
    for (int i = 0; i < 722; i++) {
        angle = NextCursorAngle(angle);
        seen.push_back(angle);
    }
    EXPECT_EQ(seen[0], 1);
    EXPECT_EQ(seen[359], 360);
    EXPECT_EQ(seen[360], 1);
    EXPECT_EQ(seen[721], 2);
}

TEST(Countdown, ThreeTwoOneStartThenDone)
{
    const uint32_t start = 0xFFFFF000u;  // across the clock's wrap
    EXPECT_EQ(CountdownValue(start + 16, start), 3);
    EXPECT_EQ(CountdownValue(start + 999, start), 3);
    EXPECT_EQ(CountdownValue(start + 1000, start), 2);
    EXPECT_EQ(CountdownValue(start + 2999, start), 1);
    EXPECT_EQ(CountdownValue(start + 3000, start), 0);
    EXPECT_EQ(CountdownValue(start + 3999, start), 0);
    EXPECT_EQ(CountdownValue(start + 4000, start), -1);
    // A stalled frame past the fifth second still ends it.
    EXPECT_EQ(CountdownValue(start + 7500, start), -1);
    EXPECT_EQ(CountdownValue(start + 12000, start), -1);
}
