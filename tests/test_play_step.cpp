// One play frame through StepPlay and DrawPlayFrame, in the game's own
// process: the bees die at the radius the play frame passes, and the stage
// picture is drawn over the gun.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "game/assets.h"
#include "game/bees.h"
#include "game/play_step.h"
#include "game/scenes.h"
#include "game/stage.h"
#include "game/stage_view.h"
#include "gfx/rotate.h"
#include "gfx/screen.h"

namespace {

// Aimed to the right from the start, the beam runs from the muzzle (about
// 715, 339 on the screen) to x 1390 with its band 16 pixels each side of
// y 339 (the stage is empty, so nothing stops it). A bee dies when its centre
// lies less than 16 pixels from the band: at 16 it lives.
TEST(PlayStep, BeesDieWithinSixteenPixelsOfTheBeamsBand)
{
    std::memset(tileMap, 0, sizeof tileMap);
    struct { int gap; bool dies; } cases[] = {
        {-16, true},  // on the band's centre line
        {0, true}, {14, true}, {15, true}, {16, false}, {17, false}, {18, false},
    };
    for (int side : {1, -1}) {  // below the band, then above it
        for (auto c : cases) {
            SCOPED_TRACE(testing::Message() << "side " << side << " gap " << c.gap);
            PlayState s;
            s.beeCount = 1;
            Bee& bee = s.bees[0];
            bee = Bee{};
            bee.state = BEE_ACTIVE;
            // Its centre gap pixels outside the band's edge, x 900 on the
            // screen. The first frame moves neither the character nor (with
            // no probe made) the bees, so the gap holds when the beam is tested.
            bee.x = 900 - 32 + (int)s.camX;
            bee.y = 339 + side * (16 + c.gap) - 32 + (int)s.camY;
            PlayView view;
            EXPECT_EQ(StepPlay(s, 1200, 350, 1, &view), SCENE_PLAYING);
            EXPECT_EQ(s.beamLength, 750);
            ASSERT_EQ(bee.x - (int)s.camX + 32, 900);
            ASSERT_EQ(bee.y - (int)s.camY + 32, 339 + side * (16 + c.gap));
            EXPECT_EQ(bee.state, c.dies ? BEE_DYING_LEFT : BEE_ACTIVE);
        }
    }
}

// What one frame leaves for the drawing besides the moves: the beam as the
// previous trace found it, the far backdrop's window, the cursor's turn.
TEST(PlayStep, TheBeamIsDrawnFromTheLastTraceLessTheMuzzlesReach)
{
    std::memset(tileMap, 0, sizeof tileMap);
    PlayState s;
    PlayView view;
    StepPlay(s, 1200, 350, 1, &view);  // the first firing frame: nothing traced yet
    EXPECT_TRUE(view.gun.firing);
    EXPECT_EQ(view.gun.beamDrawn, 0);
    EXPECT_EQ(s.beamLength, 750);
    StepPlay(s, 1200, 350, 1, &view);
    EXPECT_EQ(view.gun.beamDrawn, 750 - 75);
    // A trace that stopped within the muzzle's reach leaves nothing to draw.
    for (auto [traced, drawn] : {std::pair{74, 0}, std::pair{75, 0}, std::pair{76, 1}}) {
        s.beamLength = traced;
        StepPlay(s, 1200, 350, 1, &view);
        EXPECT_EQ(view.gun.beamDrawn, drawn) << traced;
    }
    // Let go: no beam.
    StepPlay(s, 1200, 350, 0, &view);
    EXPECT_FALSE(view.gun.firing);
    EXPECT_EQ(s.beamLength, 0);
}

TEST(PlayStep, TheRightButtonAloneDoesNotFireButBothTogetherDo)
{
    std::memset(tileMap, 0, sizeof tileMap);
    struct { int buttons, firing; } cases[] = {{0, 0}, {1, 1}, {2, 0}, {3, 1}};
    for (auto c : cases) {
        PlayState s;
        PlayView view;
        StepPlay(s, 1200, 350, c.buttons, &view);
        EXPECT_EQ(s.firing, c.firing) << c.buttons;
        EXPECT_EQ(view.gun.firing, c.firing == 1) << c.buttons;
    }
}

TEST(PlayStep, TheBackdropWrapsAfter3840FramesAndTheCursorAfterAFullTurn)
{
    std::memset(tileMap, 0, sizeof tileMap);
    PlayState s;
    PlayView view;
    StepPlay(s, 700, 300, 0, &view);
    EXPECT_EQ(view.farScroll, 0);  // the window of before the frame
    EXPECT_EQ(view.cursorAngle, 1);
    s.backdropScroll = 3838;
    s.cursorSpin = 716;  // 358 degrees
    std::vector<int> scrolls, angles;
    for (int i = 0; i < 4; ++i) {
        StepPlay(s, 700, 300, 0, &view);
        scrolls.push_back(view.farScroll);
        angles.push_back(view.cursorAngle);
    }
    EXPECT_EQ(scrolls, (std::vector<int>{3838, 3839, 0, 1}));
    EXPECT_EQ(angles, (std::vector<int>{359, 360, 0, 1}));
}

// Pictures of one colour each; white is see-through for the keyed layers.
Surface Solid(int width, int height, uint32_t pixel)
{
    Surface s = CreateBlankSurface(width, height);
    std::fill_n(WritablePixels(s), size_t(s->width) * s->height, pixel);
    return s;
}

TEST(PlayStep, TheStagePictureIsDrawnOverTheGun)
{
    displayMode = DISPLAY_WINDOWED;
    screenWidth = 1280;
    screenHeight = 720;
    FillTrigTables();
    backBuffer = CreateBackBuffer();
    imgBackdrop[0] = imgBackdrop[1] = Solid(1920, 720, 0x000000);
    imgBackdropStrip = Solid(7680, 720, 0xFFFFFF);
    imgGun = Solid(128, 64, 0xFF0000);  // red, both facings
    imgKyara = imgKyara2 = imgKyara3 = Solid(160, 128, 0xFF00FF);
    imgCursor = Solid(32, 32, 0xFF00FF);
    imgBee = Solid(512, 320, 0xFF00FF);
    imgLazer = Solid(8, 32, 0x000000);
    imgHansya = Solid(32, 32, 0x000000);
    imgHansya2 = Solid(46, 46, 0x000000);
    imgTiles = Solid(64 * 46, 64, 0x0000FF);  // every code a blue block
    // The gun's picture, for a mouse to the right, covers about screen x
    // 645..708, y 320..383; with the camera at the start (34, 1700), a block
    // at cell (31, 10) covers screen x 606..669, y 284..347: the two overlap.
    std::memset(tileMap, 0, sizeof tileMap);
    tileMap[31][10] = 12;
    InvalidateLevel();
    RenderLevel();

    PlayState s;
    PlayView view;
    StepPlay(s, 1200, 352, 0, &view);
    DrawPlayFrame(view);
    ASSERT_EQ(view.stageX, 34);
    ASSERT_EQ(view.stageY, 1700);
    // A point inside both the gun's picture and the block: the block shows.
    EXPECT_EQ(backBuffer->pixels[335 * backBuffer->width + 660], 0x0000FFu);
    // Where there is no block the gun shows (so the test sees the gun at all).
    EXPECT_EQ(backBuffer->pixels[370 * backBuffer->width + 690], 0xFF0000u);
}

// The play frame leaves out its clear when the far backdrop covers it: that
// must hold exactly where the clear could never show, at both pixel scales.
TEST(PlayStep, TheClearIsLeftOutOnlyWhereTheFarBackdropHidesIt)
{
    screenWidth = 1280;
    screenHeight = 720;
    for (int mode : {DISPLAY_WINDOWED, DISPLAY_WINDOWED_DOUBLE}) {
        displayMode = mode;
        SCOPED_TRACE(mode);
        Surface saved[] = {backBuffer, imgBackdrop[0], imgBackdrop[1]};
        backBuffer = CreateBackBuffer();
        auto hidden = [&](int scroll) {
            // Drawn over last frame's pixels with the clear and without.
            std::fill_n(WritablePixels(backBuffer), size_t(backBuffer->width) * backBuffer->height, 0x123456u);
            DrawFarBackdrop(scroll);
            std::vector<uint32_t> without(backBuffer->pixels, backBuffer->pixels + backBuffer->width * backBuffer->height);
            FillSurface(backBuffer, 0);
            DrawFarBackdrop(scroll);
            return std::memcmp(without.data(), backBuffer->pixels, without.size() * 4) == 0;
        };
        const int scrolls[] = {0, 1, 640, 1919, 1920, 2559, 2560, 2561, 3000, 3839};
        // The game's panels cover the screen wherever the band has scrolled.
        imgBackdrop[0] = Solid(1920, 720, 0x00FF00);
        imgBackdrop[1] = Solid(1920, 720, 0x0000FF);
        for (int scroll : scrolls) {
            EXPECT_TRUE(FarBackdropHidesClear(scroll)) << scroll;
            EXPECT_TRUE(hidden(scroll)) << scroll;
        }
        // Narrower or shorter panels leave gaps the clear shows through.
        for (auto [w, h] : {std::pair{1000, 720}, std::pair{1920, 700}}) {
            DeleteSurface(imgBackdrop[1]);
            imgBackdrop[1] = Solid(w, h, 0x0000FF);
            int kept = 0;
            for (int scroll : scrolls) {
                if (!FarBackdropHidesClear(scroll)) continue;
                kept++;
                EXPECT_TRUE(hidden(scroll)) << w << "x" << h << " at " << scroll;
            }
            EXPECT_LT(kept, 10) << w << "x" << h;
        }
        DeleteSurface(imgBackdrop[1]);
        imgBackdrop[1] = nullptr;  // a panel that failed to load
        EXPECT_FALSE(FarBackdropHidesClear(1000));
        DeleteSurface(imgBackdrop[0]);
        DeleteSurface(backBuffer);
        backBuffer = saved[0];
        imgBackdrop[0] = saved[1];
        imgBackdrop[1] = saved[2];
    }
    displayMode = DISPLAY_WINDOWED;
}

}  // namespace
