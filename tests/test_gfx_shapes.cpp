// Outline primitives: runs, the late-stepping line in both directions, the
// 360-segment circle, boxes filled and outlined, doubling and message pumping.
#include <cmath>
#include <set>

#include "gfx/rotate.h"
#include "gfx/shapes.h"
#include "test_gfx_support.h"

namespace {

class Shapes : public GfxTest {
protected:
    // The set of (x, y) whose pixel is not the background 0.
    static std::set<std::pair<int, int>> Lit(Surface s) {
        std::set<std::pair<int, int>> lit;
        for (int y = 0; y < s->height; y++)
            for (int x = 0; x < s->width; x++)
                if (At(s, x, y)) lit.insert({x, y});
        return lit;
    }
    using Pixels = std::set<std::pair<int, int>>;
};

TEST_F(Shapes, RunsCoverLengthPixelsAndNothingWhenNotPositive) {
    Surface s = Make(10, 10);
    DrawHLine(s, 2, 3, 4, 0x0000FF);
    DrawVLine(s, 8, 5, 3, 0x0000FF);
    DrawHLine(s, 0, 0, 0, 0x0000FF);
    DrawVLine(s, 0, 0, -3, 0x0000FF);
    EXPECT_EQ(Lit(s), (Pixels{{2, 3}, {3, 3}, {4, 3}, {5, 3}, {8, 5}, {8, 6}, {8, 7}}));
    EXPECT_EQ(At(s, 2, 3), 0xFF0000u); // colours arrive as 0x00BBGGRR
}

TEST_F(Shapes, LineStepsItsMinorAxisLateAndDependsOnDirection) {
    auto line = [&](int x0, int y0, int x1, int y1) {
        Surface s = Make(10, 10);
        DrawLine(s, x0, y0, x1, y1, 0xFFFFFF);
        return Lit(s);
    };
    EXPECT_EQ(line(4, 4, 4, 4), (Pixels{{4, 4}}));
    EXPECT_EQ(line(0, 0, 3, 1), (Pixels{{0, 0}, {1, 0}, {2, 0}, {3, 1}}));
    EXPECT_EQ(line(3, 1, 0, 0), (Pixels{{3, 1}, {2, 1}, {1, 1}, {0, 0}}));
    EXPECT_EQ(line(0, 0, 2, 2), (Pixels{{0, 0}, {1, 1}, {2, 2}}));
    EXPECT_EQ(line(1, 0, 2, 3), (Pixels{{1, 0}, {1, 1}, {1, 2}, {2, 3}}));
    EXPECT_EQ(line(5, 2, 1, 2), (Pixels{{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}));
    EXPECT_EQ(line(6, 7, 6, 4), (Pixels{{6, 4}, {6, 5}, {6, 6}, {6, 7}}));
}

TEST_F(Shapes, CircleOfRadiusZeroIsTheCentreAndLargerOnesAreClosed) {
    FillTrigTables();
    Surface dot = Make(10, 10);
    DrawCircle(dot, 5, 5, 0, 0xFFFFFF);
    EXPECT_EQ(Lit(dot), (Pixels{{5, 5}}));
    Surface ring = Make(40, 40);
    DrawCircle(ring, 20, 20, 10, 0xFFFFFF);
    Pixels lit = Lit(ring);
    // The four compass points, truncated from values just short of whole
    // (the tables' pi is 3.141592): 0 degrees lands on (29, 19), not (30, 20).
    for (auto p : {std::pair{29, 19}, {20, 29}, {10, 20}, {19, 10}}) EXPECT_TRUE(lit.count(p));
    EXPECT_FALSE(lit.count({30, 20}));
    EXPECT_FALSE(lit.count({20, 30}));
    // Truncation keeps each pixel on the true circle's point: centres within
    // a pixel's diagonal of radius 10.
    for (auto [x, y] : lit) {
        double d = std::hypot(x + 0.5 - 20, y + 0.5 - 20);
        EXPECT_GT(d, 9.0) << x << "," << y;
        EXPECT_LT(d, 11.0) << x << "," << y;
    }
    // Every lit pixel has a lit neighbour: the segments join up.
    for (auto [x, y] : lit) {
        bool joined = false;
        for (int dy = -1; dy <= 1; dy++)
            for (int dx = -1; dx <= 1; dx++)
                if ((dx || dy) && lit.count({x + dx, y + dy})) joined = true;
        EXPECT_TRUE(joined) << x << "," << y;
    }
}

TEST_F(Shapes, OutlinedAndFilledBoxesCoverTheSameArea) {
    Surface filled = Make(12, 12), outlined = Make(12, 12);
    DrawBox(filled, 2, 3, 5, 4, 1, 0x00FF00);
    DrawBox(outlined, 2, 3, 5, 4, 0, 0x00FF00);
    Pixels area, border;
    for (int y = 3; y < 7; y++)
        for (int x = 2; x < 7; x++) {
            area.insert({x, y});
            if (x == 2 || x == 6 || y == 3 || y == 6) border.insert({x, y});
        }
    EXPECT_EQ(Lit(filled), area);
    EXPECT_EQ(Lit(outlined), border);
    EXPECT_EQ(At(filled, 4, 4), 0x00FF00u);
    EXPECT_EQ(gfxCalls.pumps, 2);
}

TEST_F(Shapes, OneByOneOutlinePlotsWithoutPumping) {
    Surface s = Make(6, 6);
    DrawBox(s, 3, 4, 1, 1, 0, 0xFFFFFF);
    EXPECT_EQ(Lit(s), (Pixels{{3, 4}}));
    EXPECT_EQ(gfxCalls.pumps, 0);
    DrawBox(s, 0, 0, 1, 2, 0, 0xFFFFFF); // a real outline, all edge
    EXPECT_EQ(Lit(s), (Pixels{{3, 4}, {0, 0}, {0, 1}}));
    EXPECT_EQ(gfxCalls.pumps, 1);
}

TEST_F(Shapes, BoxesClipAndNegativeSizesRunBackwards) {
    Surface s = Make(6, 6);
    DrawBox(s, -2, -2, 4, 4, 1, 0xFFFFFF);
    EXPECT_EQ(Lit(s), (Pixels{{0, 0}, {1, 0}, {0, 1}, {1, 1}}));
    Surface t = Make(6, 6);
    DrawBox(t, 4, 4, -2, -2, 1, 0xFFFFFF);
    EXPECT_EQ(Lit(t), (Pixels{{2, 2}, {3, 2}, {2, 3}, {3, 3}}));
}

TEST_F(Shapes, DoubledModeDoublesPixelsAndPenWidth) {
    displayMode = DISPLAY_WINDOWED_DOUBLE;
    Surface s = Make(20, 20);
    DrawLine(s, 0, 0, 1, 0, 0xFFFFFF);
    EXPECT_EQ(Lit(s), (Pixels{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}}));
    Surface box = Make(20, 20);
    DrawBox(box, 1, 1, 4, 3, 0, 0xFFFFFF);
    Pixels want;
    for (int y = 2; y < 8; y++)
        for (int x = 2; x < 10; x++)
            if (x < 4 || x >= 8 || y < 4 || y >= 6) want.insert({x, y});
    EXPECT_EQ(Lit(box), want);
    Surface filled = Make(20, 20);
    DrawBox(filled, 1, 1, 4, 3, 1, 0xFFFFFF);
    EXPECT_EQ(Lit(filled).size(), 48u);
}

} // namespace
