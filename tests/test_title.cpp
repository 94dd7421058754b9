// The title menu's rules: where the buttons sit, when they count as hovered,
// what a click does, and the background and cursor animations.
#include "game/scene_rules.h"
#include "input/input.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    auto start = [](int x, int y) { return HoverMenuBox(START_BOX_NORMAL, START_BOX_HOVERED, x, y); };
    auto end = [](int x, int y) { return HoverMenuBox(END_BOX_NORMAL, END_BOX_HOVERED, x, y); };
    // START rests at 220, 520, 267 x 124: the edges themselves do not count.
    EXPECT_TRUE(Same(start(221, 521), START_ENLARGED));
    EXPECT_TRUE(Same(start(486, 643), START_ENLARGED));
    EXPECT_TRUE(Same(start(220, 560), START_AT_REST));
    EXPECT_TRUE(Same(start(300, 520), START_AT_REST));
    EXPECT_TRUE(Same(start(487, 560), START_AT_REST));
    EXPECT_TRUE(Same(start(300, 644), START_AT_REST));
    // The test is against the resting box, not the enlarged one it was drawn at:
    // a point inside the enlarged START but outside the resting one is no hover.
    EXPECT_TRUE(Same(start(100, 470), START_AT_REST));
    // END rests at 870, 512, 198 x 124.
    EXPECT_TRUE(Same(end(871, 513), END_ENLARGED));
    EXPECT_TRUE(Same(end(1067, 635), END_ENLARGED));
    EXPECT_TRUE(Same(end(870, 600), END_AT_REST));
    EXPECT_TRUE(Same(end(900, 512), END_AT_REST));
    EXPECT_TRUE(Same(end(1068, 600), END_AT_REST));
    EXPECT_TRUE(Same(end(900, 636), END_AT_REST));
    EXPECT_TRUE(Same(end(-5000, -5000), END_AT_REST));
}

TEST(TitleHover, HoveredMeansTheEnlargedSize)
{
    EXPECT_TRUE(IsStartHovered(START_BOX_HOVERED));
    EXPECT_FALSE(IsStartHovered(START_BOX_NORMAL));
    EXPECT_FALSE(IsStartHovered(START_BOX_FIRST));
    EXPECT_TRUE(IsEndHovered(END_BOX_HOVERED));
    EXPECT_FALSE(IsEndHovered(END_BOX_NORMAL));
    EXPECT_FALSE(IsEndHovered(END_BOX_FIRST));
    // Only the size matters, wherever the box is: START 534 x 248, END 396 x 248.
    EXPECT_TRUE(IsStartHovered(MenuBox{0, 0, 534, 248}));
    EXPECT_FALSE(IsStartHovered(MenuBox{90, 458, 534, 247}));
    EXPECT_FALSE(IsStartHovered(MenuBox{90, 458, 533, 248}));
    EXPECT_TRUE(IsEndHovered(MenuBox{0, 0, 396, 248}));
    EXPECT_FALSE(IsEndHovered(MenuBox{790, 450, 395, 248}));
    EXPECT_FALSE(IsEndHovered(MenuBox{790, 450, 396, 249}));
    // The two sizes differ, so neither button counts as the other.
    EXPECT_FALSE(IsEndHovered(START_ENLARGED));
    EXPECT_FALSE(IsStartHovered(END_ENLARGED));
}

TEST(TitleClick, LeftButtonAloneClicksWhereverThePointerIs)
{
    TitleClick c = TitleClickOf(MOUSE_LEFT, START_BOX_NORMAL, END_BOX_NORMAL);
    EXPECT_TRUE(c.clickSound);  // outside both buttons: only the sound
    EXPECT_FALSE(c.quit);
    EXPECT_FALSE(c.start);
    c = TitleClickOf(MOUSE_LEFT, START_BOX_HOVERED, END_BOX_NORMAL);
    EXPECT_TRUE(c.clickSound);
    EXPECT_TRUE(c.start);
    EXPECT_FALSE(c.quit);
    c = TitleClickOf(MOUSE_LEFT, START_BOX_NORMAL, END_BOX_HOVERED);
    EXPECT_TRUE(c.quit);
    EXPECT_FALSE(c.start);
    // The first frame's boxes are not hovered.
    c = TitleClickOf(MOUSE_LEFT, START_BOX_FIRST, END_BOX_FIRST);
    EXPECT_FALSE(c.start || c.quit);
    // END is tested first.
    c = TitleClickOf(MOUSE_LEFT, START_BOX_HOVERED, END_BOX_HOVERED);
    EXPECT_TRUE(c.quit);
    EXPECT_FALSE(c.start);
}

TEST(TitleClick, BothButtonsOrRightAloneIsNoClick)
{
    for (int buttons : {0, int(MOUSE_RIGHT), MOUSE_LEFT | MOUSE_RIGHT}) {
        TitleClick c = TitleClickOf(buttons, START_BOX_HOVERED, END_BOX_NORMAL);
        EXPECT_FALSE(c.clickSound || c.start || c.quit) << buttons;
        c = TitleClickOf(buttons, START_BOX_NORMAL, END_BOX_HOVERED);
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
