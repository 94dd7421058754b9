// Tests of the start-up asset table on the pictures the build generates: every
// surface loaded, the back buffer at the screen's size, the backdrop layers
// composed from the two backdrop pictures as the game draws them, and
// everything released at the end.
#include <gtest/gtest.h>

#include <unistd.h>

#include "game/assets.h"
#include "game/stage.h"
#include "shell/shell.h"

namespace {

bool SameBlock(Surface a, int ax, Surface b, int bx, int w, int h)
{
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if (a->pixels[size_t(y) * a->width + ax + x] != b->pixels[size_t(y) * b->width + bx + x])
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
    for (int y = 0; y < 720; y++)
        for (int x = 0; x < 1000; x++)
            imgHaikei1->pixels[size_t(y) * 1000 + x] = 0x203040;
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
                      imgBee, imgCursor, imgLazer, imgHansya, imgHansya2, imgGun, imgBackdropStrip, imgLevel})
        EXPECT_EQ(s, nullptr);
    for (Surface s : imgCurtain)
        EXPECT_EQ(s, nullptr);
    for (Surface s : imgBackdrop)
        EXPECT_EQ(s, nullptr);
    // A second call (nothing left) is harmless.
    DeleteStartupSurfaces();
}
