// Tests of the start-up asset table on the pictures the build generates: every
// surface loaded, the back buffer at the screen's size, the backdrop layers
// composed from the two backdrop pictures as the game draws them, and
// everything released at the end.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>

#include "game/assets.h"
#include "game/stage.h"
#include "gfx/rotate.h"
#include "gfx/screen.h"

namespace {

bool SameBlock(Surface a, int ax, Surface b, int bx, int w, int h)
{
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if (ReadPixel(a, ax + x, y) != ReadPixel(b, bx + x, y))
                return false;
    return true;
}

class AssetTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        displayMode = DISPLAY_WINDOWED;
        screenWidth = 1280;
        screenHeight = 720;
        ASSERT_EQ(chdir(BUILD_DIR "/data"), 0);
    }
    void TearDown() override { DeleteStartupSurfaces(); }
};

}  // namespace

TEST_F(AssetTable, LoadAssetsFillsTheWholeTable)
{
    LoadAssets();
    for (Surface s : {imgTiles, imgKyara2, imgKyara3, imgKyara, imgHaikei1, imgHaikei2, imgClear, imgBee,
                      imgCursor, imgLazer, imgHansya, imgHansya2, imgGun})
        ASSERT_NE(s, nullptr);
    for (Surface s : imgCurtain)
        ASSERT_NE(s, nullptr);
    ASSERT_NE(backBuffer, nullptr);
    EXPECT_EQ(backBuffer->width, 1280);
    EXPECT_EQ(backBuffer->height, 720);
    EXPECT_NE(imgCurtain[0], imgCurtain[49]);
}

TEST_F(AssetTable, BackdropStripIsFourCopiesOfTheMiddleLayer)
{
    LoadAssets();
    ASSERT_EQ(imgBackdropStrip->width, 7680);
    ASSERT_EQ(imgBackdropStrip->height, 720);
    for (int quarter = 0; quarter < 4; quarter++)
        EXPECT_TRUE(SameBlock(imgBackdropStrip, 1920 * quarter, imgHaikei1, 0, 1920, 720)) << quarter;
    for (Surface panel : imgBackdrop) {
        ASSERT_EQ(panel->width, 1920);
        ASSERT_EQ(panel->height, 720);
        EXPECT_TRUE(SameBlock(panel, 0, imgHaikei2, 0, 1920, 720));
    }
}

TEST_F(AssetTable, ColumnsANarrowMiddleLayerLacksStayWhite)
{
    // A middle layer narrower than a panel: what it lacks lets the far
    // backdrop through (white) in every quarter.
    imgHaikei1 = CreateBlankSurface(1000, 720);
    imgHaikei2 = CreateBlankSurface(1920, 720);
    uint32_t* near = WritablePixels(imgHaikei1);
    for (int y = 0; y < 720; y++)
        for (int x = 0; x < 1000; x++)
            near[size_t(y) * 1000 + x] = 0x203040;
    BuildBackdrops();
    for (int quarter = 0; quarter < 4; quarter++) {
        EXPECT_EQ(imgBackdropStrip->pixels[size_t(100) * 7680 + 1920 * quarter + 999], 0x203040u);
        EXPECT_EQ(imgBackdropStrip->pixels[size_t(100) * 7680 + 1920 * quarter + 1000] & 0xFFFFFF, 0xFFFFFFu);
        EXPECT_EQ(imgBackdropStrip->pixels[size_t(719) * 7680 + 1920 * quarter + 1919] & 0xFFFFFF, 0xFFFFFFu);
    }
}

TEST_F(AssetTable, DeleteStartupSurfacesLeavesNothingBehind)
{
    LoadAssets();
    DeleteStartupSurfaces();
    for (Surface s : {backBuffer, imgTiles, imgKyara2, imgKyara3, imgKyara, imgHaikei1, imgHaikei2, imgClear,
                      imgBee, imgCursor, imgLazer, imgHansya, imgHansya2, imgGun, imgBackdropStrip})
        EXPECT_EQ(s, nullptr);
    for (Surface s : imgCurtain)
        EXPECT_EQ(s, nullptr);
    for (Surface s : imgBackdrop)
        EXPECT_EQ(s, nullptr);
    // A second call (nothing left) is harmless.
    DeleteStartupSurfaces();
}

namespace {

// Where the gun picture, turned as the game turns it, reaches furthest
// toward the aim: the rows of its outermost column on a 200 x 200 screen
// whose gun rectangle sits at (68, 68).
struct Reach {
    int column = -1, top = 0, bottom = 0;
};

Reach DrawGunAndMeasure(int pictureX, int turn, bool towardRight)
{
    Surface screen = CreateBlankSurface(200, 200);
    std::fill_n(WritablePixels(screen), 200 * 200, 0xFF00FFu);
    DrawRotated(screen, 68, 68, 64, 64, imgGun, pictureX, 0, 64, 64, turn, 0xFF00FF);
    Reach r;
    for (int step = 0; step < 200 && r.column < 0; step++) {
        int x = towardRight ? 199 - step : step;
        for (int y = 0; y < 200; y++)
            if ((screen->pixels[size_t(y) * 200 + x] & 0xFFFFFF) != 0xFF00FF) {
                if (r.column < 0)
                    r.top = y;
                r.column = x;
                r.bottom = y;
            }
    }
    DeleteSurface(screen);
    return r;
}

}  // namespace

TEST_F(AssetTable, GunBarrelEndsWhereTheBeamStarts)
{
    // Aiming straight right the gun is turned by 20 degrees and the beam
    // leaves 11 pixels above the aiming line; straight left, the left-facing
    // picture turned by 340 degrees, the same 11 pixels above. The aiming
    // line runs 2 pixels above the gun rectangle's centre row.
    FillTrigTables();
    LoadAssets();
    const int aimRow = 68 + 32 - 2, muzzleRow = aimRow - 11;
    Reach right = DrawGunAndMeasure(0, 20, true);
    ASSERT_GE(right.column, 0);
    EXPECT_GE(right.column, 68 + 56);
    EXPECT_LE(right.top, muzzleRow + 3);
    EXPECT_GE(right.bottom, muzzleRow - 3);
    EXPECT_LT(right.bottom, aimRow + 4);
    Reach left = DrawGunAndMeasure(64, 340, false);
    ASSERT_GE(left.column, 0);
    EXPECT_LE(left.column, 68 + 8);
    EXPECT_LE(left.top, muzzleRow + 3);
    EXPECT_GE(left.bottom, muzzleRow - 3);
    EXPECT_LT(left.bottom, aimRow + 4);
}
