// Rotated copies: the trig tables, the corner arithmetic at 0, 90, 180 and 45
// degrees and for any angle, the pivot rules, negative sizes (the beam's two
// half-bands), keys, coverage of the parallelogram and display doubling.
#include <cmath>
#include <random>

#include "gfx/rotate.h"
#include "test_gfx_support.h"

namespace {

class Rotation : public GfxTest {
protected:
    void SetUp() override {
        GfxTest::SetUp();
        FillTrigTables();
    }
};

struct Corner {
    int64_t x, y;
    bool operator==(const Corner&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Corner& c) { return o << "(" << c.x << "," << c.y << ")"; }

std::vector<Corner> Corners(const TurnedCorners& t) {
    return {{t.x[0], t.y[0]}, {t.x[1], t.y[1]}, {t.x[2], t.y[2]}};
}

TEST_F(Rotation, TablesUseTheShortPi) {
    FillTrigTables(); // a second fill changes nothing
    EXPECT_EQ(sinTable[0], 0.0);
    EXPECT_EQ(cosTable[0], 1.0);
    EXPECT_DOUBLE_EQ(sinTable[30], std::sin(30 * 3.141592 / 180));
    EXPECT_DOUBLE_EQ(cosTable[364], std::cos(364 * 3.141592 / 180));
    EXPECT_GT(cosTable[90], 3.2e-7);
    EXPECT_LT(cosTable[90], 3.4e-7);
}

TEST_F(Rotation, CornersOfA64SquareAboutItsCentre) {
    using V = std::vector<Corner>;
    EXPECT_EQ(Corners(TurnCorners(0, 0, 64, 64, 0, 32, 32)), (V{{0, 0}, {64, 0}, {0, 64}}));
    EXPECT_EQ(Corners(TurnCorners(0, 0, 64, 64, 90, 32, 32)), (V{{63, 0}, {64, 63}, {0, 1}}));
    EXPECT_EQ(Corners(TurnCorners(0, 0, 64, 64, 180, 32, 32)), (V{{64, 63}, {1, 64}, {63, 0}}));
    EXPECT_EQ(Corners(TurnCorners(0, 0, 64, 64, 45, 32, 32)), (V{{32, -13}, {77, 32}, {-13, 32}}));
    EXPECT_EQ(Corners(TurnCorners(5, 7, 10, 3, 0, 2, 2)), (V{{5, 7}, {15, 7}, {5, 10}}));
}

TEST_F(Rotation, AnglesWrapWithTruncatingRemainder) {
    auto same = [](int a, int b) {
        EXPECT_EQ(Corners(TurnCorners(3, 4, 40, 24, a, 20, 9)), Corners(TurnCorners(3, 4, 40, 24, b, 20, 9)))
            << a << " vs " << b;
    };
    same(360, 0);
    same(-360, 0);
    same(-90, 270);
    same(725, 5);
    same(-725, 355);
    same(-1, 359);
}

TEST_F(Rotation, AngleZeroIsAnExactCopyOfTheRectangle) {
    Surface src = MakePattern(20, 20);
    Surface dst = Make(30, 30, 7);
    DrawRotated(dst, 4, 6, 10, 8, src, 3, 2, 10, 8, 0, 0xFF00FF);
    for (int y = 0; y < 30; y++)
        for (int x = 0; x < 30; x++) {
            bool in = x >= 4 && x < 14 && y >= 6 && y < 14;
            ASSERT_EQ(At(dst, x, y), in ? At(src, x - 1, y - 4) : 7u) << x << "," << y;
        }
    // 360 and -360 draw the same picture.
    for (int angle : {360, -360}) {
        Surface again = Make(30, 30, 7);
        DrawRotated(again, 4, 6, 10, 8, src, 3, 2, 10, 8, angle, 0xFF00FF);
        EXPECT_EQ(Differences(again, dst), 0) << angle;
    }
}

TEST_F(Rotation, NegativeAnglesMatchTheirPositiveTwins) {
    Surface src = MakePattern(64, 64);
    for (auto [a, b] : {std::pair{-90, 270}, {725, 5}, {-45, 315}}) {
        Surface one = Make(100, 100, 7), two = Make(100, 100, 7);
        DrawRotated(one, 10, 10, 64, 64, src, 0, 0, 64, 64, a, 0xFF00FF);
        DrawRotated(two, 10, 10, 64, 64, src, 0, 0, 64, 64, b, 0xFF00FF);
        EXPECT_EQ(Differences(one, two), 0) << a;
    }
}

// The source pixel a destination pixel shows, decoded from MakePattern's values.
Corner SourceOf(uint32_t pixel) {
    uint32_t v = pixel - 0x010000;
    return {int64_t(v & 0xFF), int64_t(v >> 8)};
}

TEST_F(Rotation, QuarterAndHalfTurnsMoveThePictureClockwise) {
    Surface src = MakePattern(64, 64);
    Surface quarter = Make(64, 64, 7), half = Make(64, 64, 7);
    DrawRotated(quarter, 0, 0, 64, 64, src, 0, 0, 64, 64, 90, 0xFF00FF);
    DrawRotated(half, 0, 0, 64, 64, src, 0, 0, 64, 64, 180, 0xFF00FF);
    // The corners land 1 pixel off (short pi, truncation): compare inside a
    // margin, allowing the same pixel of slack.
    for (int y = 2; y < 62; y++)
        for (int x = 2; x < 62; x++) {
            Corner q = SourceOf(At(quarter, x, y)); // clockwise: (u, v) -> (63 - v, u)
            EXPECT_LE(std::abs(q.x - y), 1) << x << "," << y;
            EXPECT_LE(std::abs(q.y - (63 - x)), 1) << x << "," << y;
            Corner h = SourceOf(At(half, x, y));
            EXPECT_LE(std::abs(h.x - (63 - x)), 1) << x << "," << y;
            EXPECT_LE(std::abs(h.y - (63 - y)), 1) << x << "," << y;
        }
}

TEST_F(Rotation, NoKeyCoversTheParallelogramAndKeyLeavesKeyPixelsAlone) {
    Surface src = MakePattern(64, 64);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++)
            if ((x / 8 + y / 8) % 2) Set(src, x, y, 0x80FF00FF); // key, top byte set
    Surface plain = Make(120, 120, 7), keyed = Make(120, 120, 7);
    DrawRotated(plain, 20, 20, 64, 64, src, 0, 0, 64, 64, 45, 0x01FF00FF); // above 0xFFFFFF: no key
    DrawRotated(keyed, 20, 20, 64, 64, src, 0, 0, 64, 64, 45, 0xFF00FF);
    int covered = 0;
    for (int i = 0; i < 120 * 120; i++) {
        covered += plain->pixels[i] != 7;
        if ((plain->pixels[i] & 0xFFFFFF) == 0xFF00FF) {
            ASSERT_EQ(keyed->pixels[i], 7u) << i;
        } else {
            ASSERT_EQ(keyed->pixels[i], plain->pixels[i]) << i;
        }
    }
    // The turned square's corners (52,7), (97,52), (7,52) span 45 x 45 + 45 x 45.
    EXPECT_NEAR(covered, 4050, 90);
    // The pivot form reads top-bit keys as "no key".
    Surface pivot = Make(120, 120, 7);
    DrawRotatedAboutPivot(pivot, 20, 20, 64, 64, src, 0, 0, 64, 64, 45, uint32_t(-1), 32, 32);
    EXPECT_EQ(Differences(pivot, plain), 0);
}

TEST_F(Rotation, CentrePivotTruncatesOddSizes) {
    Surface src = MakePattern(33, 5);
    Surface centre = Make(80, 40, 7), pivot16 = Make(80, 40, 7), pivot17 = Make(80, 40, 7);
    DrawRotated(centre, 20, 10, 33, 5, src, 0, 0, 33, 5, 180, 0xFF00FF);
    DrawRotatedAboutPivot(pivot16, 20, 10, 33, 5, src, 0, 0, 33, 5, 180, 0xFF00FF, 16, 2);
    DrawRotatedAboutPivot(pivot17, 20, 10, 33, 5, src, 0, 0, 33, 5, 180, 0xFF00FF, 17, 2);
    EXPECT_EQ(Differences(centre, pivot16), 0);
    EXPECT_GT(Differences(centre, pivot17), 0);
}

// The beam: a 1 x 16 column stretched along the aim, drawn as the half with
// height 16 (rows sy..sy+15) and the half with height -16 (rows sy-1 down to
// sy-16), both turning about the rectangle's corner.
void DrawBeam(Surface dst, Surface src, int x, int y, int length, int angle) {
    DrawRotatedAboutPivot(dst, x, y, length, 16, src, 0, 16, 1, 16, angle, uint32_t(-1), 0, 0);
    DrawRotatedAboutPivot(dst, x, y, length, -16, src, 0, 16, 1, -16, angle, uint32_t(-1), 0, 0);
}

Surface MakeBeamSource(GfxTest*, Surface s) {
    for (int row = 0; row < 32; row++) WritablePixels(s)[row] = 0x100 + row;
    return s;
}

TEST_F(Rotation, BeamHalvesFormOneBandInSourceRowOrder) {
    Surface src = MakeBeamSource(this, Make(1, 32));
    Surface flat = Make(60, 60, 7);
    DrawBeam(flat, src, 5, 30, 40, 0);
    for (int y = 0; y < 60; y++)
        for (int x = 0; x < 60; x++) {
            bool in = x >= 5 && x < 45 && y >= 14 && y < 46;
            ASSERT_EQ(At(flat, x, y), in ? 0x100u + uint32_t(y - 14) : 7u) << x << "," << y;
        }
    // Turned a quarter: the band runs down from the pivot. sin 90 falls just
    // short of 1, so each half is 15 pixels across and 39 long; rows still
    // run in order from the left (row 31) to the right (row 0), rows 16 and
    // 15 on either side of the line.
    Surface down = Make(60, 60, 7);
    DrawBeam(down, src, 30, 5, 40, 90);
    for (int y = 0; y < 60; y++) {
        bool in = y >= 5 && y < 44;
        for (int x = 0; x < 60; x++) {
            if (!in || x < 15 || x > 44) {
                ASSERT_EQ(At(down, x, y), 7u) << x << "," << y;
                continue;
            }
            uint32_t row = At(down, x, y) - 0x100;
            const uint32_t pinned[4][2] = {{15, 31}, {29, 16}, {30, 15}, {44, 0}};
            for (auto [column, sourceRow] : pinned) {
                if (uint32_t(x) == column) {
                    EXPECT_EQ(row, sourceRow) << x << "," << y;
                }
            }
            if (x > 15) {
                EXPECT_LT(row, At(down, x - 1, y) - 0x100) << x << "," << y;
            }
        }
    }
}

TEST_F(Rotation, DiagonalBeamHasNoGapsAndKeepsRowOrder) {
    Surface src = MakeBeamSource(this, Make(1, 32));
    Surface dst = Make(200, 200, 7);
    const int x0 = 20, y0 = 20, length = 150;
    DrawBeam(dst, src, x0, y0, length, 45);
    const double c = std::cos(45 * 3.141592 / 180), s = std::sin(45 * 3.141592 / 180);
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 200; x++) {
            double px = x + 0.5 - x0, py = y + 0.5 - y0;
            double along = px * c + py * s, across = -px * s + py * c;
            if (along < 2 || along > length - 2 || std::abs(across) > 15) continue;
            uint32_t p = At(dst, x, y);
            ASSERT_NE(p, 7u) << x << "," << y;
            int row = int(p - 0x100);
            EXPECT_LE(std::abs(row - (16 + std::floor(across))), 1) << x << "," << y;
        }
}

TEST_F(Rotation, NegativeWidthMirrorsAboutTheCorner) {
    Surface src = MakePattern(8, 2);
    Surface dst = Make(20, 4, 7);
    DrawRotatedAboutPivot(dst, 10, 1, -4, 2, src, 2, 0, 4, 2, 0, 0xFF00FF, 0, 0);
    for (int x = 0; x < 20; x++) {
        uint32_t want = x >= 6 && x < 10 ? At(src, 2 + (9 - x), 0) : 7u;
        EXPECT_EQ(At(dst, x, 1), want) << x;
    }
    // A negative source width takes the columns left of sx.
    Surface dst2 = Make(20, 4, 7);
    DrawRotatedAboutPivot(dst2, 10, 1, 4, 2, src, 6, 0, -4, 2, 0, 0xFF00FF, 0, 0);
    for (int x = 10; x < 14; x++) EXPECT_EQ(At(dst2, x, 1), At(src, 5 - (x - 10), 0)) << x;
}

TEST_F(Rotation, ClippedAtTheDestinationAndSkipsOutsideTheSource) {
    Surface src = MakePattern(64, 64);
    Surface dst = Make(40, 40, 7);
    DrawRotated(dst, -30, -30, 64, 64, src, 0, 0, 64, 64, 30, 0xFF00FF);
    DrawRotated(dst, 20, 20, 64, 64, src, 0, 0, 64, 64, 200, 0xFF00FF);
    Surface small = Make(4, 4, 0x123456);
    DrawRotated(dst, 0, 0, 40, 40, small, -10, -10, 40, 40, 10, 0xFF00FF);
    SUCCEED(); // no write outside (checked under AddressSanitizer) and no crash
    DrawRotated(dst, 0, 0, 0, 10, src, 0, 0, 10, 10, 10, 0xFF00FF);
    DrawRotated(dst, 0, 0, 10, 10, src, 0, 0, 0, 10, 10, 0xFF00FF);
}

// Random rectangles, sizes of either sign, angles and sources hanging off
// their surface: every pixel drawn must come from the source block, and only
// from the part of it on the source surface.
TEST_F(Rotation, RandomDrawsOnlyCopySourceBlockPixels) {
    std::mt19937 random(99);
    Surface src = MakePattern(40, 30);
    for (int round = 0; round < 500; round++) {
        Surface dst = Make(50, 50, 7);
        auto pick = [&](int lo, int hi) { return lo + int(random() % uint32_t(hi - lo + 1)); };
        int x = pick(-40, 60), y = pick(-40, 60), w = pick(-50, 50), h = pick(-50, 50);
        int sx = pick(-10, 50), sy = pick(-10, 40), sw = pick(-30, 30), sh = pick(-30, 30);
        int angle = pick(-800, 800);
        if (round % 2) {
            DrawRotated(dst, x, y, w, h, src, sx, sy, sw, sh, angle, 0xFF00FF);
        } else {
            DrawRotatedAboutPivot(dst, x, y, w, h, src, sx, sy, sw, sh, angle, uint32_t(-1),
                                  pick(-20, 20), pick(-20, 20));
        }
        int xLo = sw > 0 ? sx : sx + sw, xHi = sw > 0 ? sx + sw - 1 : sx - 1;
        int yLo = sh > 0 ? sy : sy + sh, yHi = sh > 0 ? sy + sh - 1 : sy - 1;
        for (int i = 0; i < 50 * 50; i++) {
            if (dst->pixels[i] == 7) continue;
            Corner c = SourceOf(dst->pixels[i]);
            ASSERT_TRUE(c.x >= xLo && c.x <= xHi && c.y >= yLo && c.y <= yHi && c.x < 40 && c.y < 30)
                << "round " << round << ": pixel " << i << " shows " << c;
        }
    }
}

TEST_F(Rotation, DoubledModeScalesRectanglesAndPivot) {
    displayMode = DISPLAY_WINDOWED_DOUBLE;
    Surface src = MakePattern(16, 16);
    Surface dst = Make(20, 20, 7);
    DrawRotated(dst, 1, 2, 3, 2, src, 4, 5, 3, 2, 0, 0xFF00FF);
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 20; x++) {
            bool in = x >= 2 && x < 8 && y >= 4 && y < 8;
            ASSERT_EQ(At(dst, x, y), in ? At(src, x + 6, y + 6) : 7u) << x << "," << y;
        }
    Surface a = Make(40, 40, 7), b = Make(40, 40, 7);
    DrawRotatedAboutPivot(a, 5, 5, 6, 4, src, 0, 0, 6, 4, 90, 0xFF00FF, 1, 1);
    displayMode = DISPLAY_WINDOWED;
    DrawRotatedAboutPivot(b, 10, 10, 12, 8, src, 0, 0, 12, 8, 90, 0xFF00FF, 2, 2);
    EXPECT_EQ(Differences(a, b), 0);
}

} // namespace
