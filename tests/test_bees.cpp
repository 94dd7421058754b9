// The bees: where they start, when they wake, how they fly, touch, die and are hit.
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <vector>
#include "game/bees.h"
#include "game/gun.h"
#include "game/motion.h"
#include "game/play_state.h"
#include "game/stage.h"

namespace {

class Bees : public ::testing::Test {
protected:
    PlayState s;
    Bee* bees = s.bees;
    BeeSprite sprites[MAX_BEES];
    bool killed = false;
    void SetUp() override
    {
        std::memset(tileMap, 0, sizeof tileMap);
        s.beeCount = 0;
        s.beeStepsPerFrame = 1;
        s.beamLength = 0;
    }
    // One bee at world (x, y), already in the given state.
    Bee& Place(int x, int y, int state = BEE_WAITING)
    {
        Bee& bee = s.bees[s.beeCount++];
        bee = Bee{};
        bee.x = x;
        bee.y = y;
        bee.state = state;
        bee.facing = 1;
        return bee;
    }
    // A frame with the camera at (camX, camY), the gun aimed at the mouse.
    int Step(int camX = 0, int camY = 0, int mouseX = 640, int mouseY = 100, int firing = 0)
    {
        s.camX = (float)camX;
        s.camY = (float)camY;
        s.firing = firing;
        GunPose gun = ComputeGunPose(AngleBetweenPoints(GUN_PIVOT_X, GUN_PIVOT_Y, mouseX, mouseY));
        return StepBees(s, gun, sprites, &killed);
    }
};

TEST_F(Bees, OneWaitingBeePerNestInRowOrder)
{
    // The stage files' codes: 3 a nest, 2 a hive without a bee.
    tileMap[3][0] = 3;
    tileMap[2][5] = 3;
    tileMap[2][6] = 2;
    tileMap[39][199] = 3;
    SpawnBees(s);
    ASSERT_EQ(s.beeCount, 3);
    EXPECT_EQ(bees[0].x, 5 * 64); EXPECT_EQ(bees[0].y, 2 * 64);
    EXPECT_EQ(bees[1].x, 0); EXPECT_EQ(bees[1].y, 3 * 64);
    EXPECT_EQ(bees[2].x, 199 * 64); EXPECT_EQ(bees[2].y, 39 * 64);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bees[i].state, BEE_WAITING);
        EXPECT_EQ(bees[i].facing, 1);
        EXPECT_EQ(bees[i].animFrame, 0);
        EXPECT_EQ(bees[i].deathFrame, 0.0f);
        EXPECT_EQ(bees[i].vx, 0);
    }
    EXPECT_EQ(tileMap[2][5], 3);  // the nest stays in the map
}

TEST_F(Bees, NestsBeyondTheListsRoomAreIgnored)
{
    // Room for 256 bees: of 600 nests, the first 256 in row order get one.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < MAP_COLS; ++c) tileMap[r][c] = 3;
    bees[255].x = -1;
    SpawnBees(s);
    EXPECT_EQ(s.beeCount, 256);
    EXPECT_EQ(bees[255].x, 55 * 64);  // row 1, column 55
    EXPECT_EQ(bees[255].y, 64);
    // Exactly 256 nests fill the list; one fewer leaves the last place empty.
    std::memset(tileMap, 0, sizeof tileMap);
    for (int n = 0; n < 256; ++n) tileMap[n / MAP_COLS][n % MAP_COLS] = 3;
    SpawnBees(s);
    EXPECT_EQ(s.beeCount, 256);
    tileMap[1][55] = 0;
    SpawnBees(s);
    EXPECT_EQ(s.beeCount, 255);
}

TEST_F(Bees, AStageWithoutNestsHasNoBeesAndDrawsNothing)
{
    SpawnBees(s);
    EXPECT_EQ(s.beeCount, 0);
    EXPECT_EQ(Step(), 0);
}

TEST_F(Bees, WakeOnlyInsideTheScreenWindowWidenedBy64)
{
    s.beeStepsPerFrame = 0;  // no motion, so position alone decides
    int xs[] = {-64, -63, 1279, 1280};
    int wakesX[] = {0, 1, 1, 0};
    for (int i = 0; i < 4; ++i) Place(xs[i], 300);
    int ys[] = {-64, -63, 719, 720};
    for (int i = 0; i < 4; ++i) Place(300, ys[i]);
    Step();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bees[i].state, wakesX[i] ? BEE_ACTIVE : BEE_WAITING) << "x " << xs[i];
        EXPECT_EQ(bees[4 + i].state, wakesX[i] ? BEE_ACTIVE : BEE_WAITING) << "y " << ys[i];
    }
    // The camera counts: a bee far off wakes when the view reaches it, and
    // stays awake wherever it goes.
    Bee& far = Place(5000, 3000);
    Step();
    EXPECT_EQ(far.state, BEE_WAITING);
    Step(4000, 2500);
    EXPECT_EQ(far.state, BEE_ACTIVE);
    Step();
    EXPECT_EQ(far.state, BEE_ACTIVE);
}

TEST_F(Bees, StepsPerHeadingAndEightStepsNearAHive)
{
    // A bee whose centre point (x + 34, y + 34) lies 100 up-left of (640, 360)
    // heads 45 degrees.
    Bee& diagonal = Place(506, 226);
    Bee& straight = Place(640 - 34 - 200, 360 - 34);
    // Heading 30: dx = 173, dy = 100.
    Bee& thirty = Place(640 - 34 - 173, 360 - 34 - 100);
    Step();
    EXPECT_EQ(diagonal.heading, 45);
    EXPECT_EQ(diagonal.x, 507); EXPECT_EQ(diagonal.y, 227);
    EXPECT_EQ(straight.heading, 0);
    EXPECT_EQ(straight.x, 408); EXPECT_EQ(straight.y, 326);
    EXPECT_EQ(thirty.heading, 30);
    EXPECT_EQ(thirty.vx, 1); EXPECT_EQ(thirty.vy, 0);
    s.beeStepsPerFrame = 8;
    Step();
    EXPECT_EQ(diagonal.x, 515); EXPECT_EQ(diagonal.y, 235);
    EXPECT_EQ(straight.x, 424);
}

TEST_F(Bees, FacingFollowsTheSignOfVx)
{
    Bee& left = Place(900, 326);
    Bee& below = Place(640 - 34, 600);  // heading 270: vx 0
    Step();
    EXPECT_EQ(left.vx, -2); EXPECT_EQ(left.facing, 0);
    EXPECT_EQ(below.vx, 0); EXPECT_EQ(below.facing, 1);
    EXPECT_EQ(sprites[0].sheetY, 0);
    EXPECT_EQ(sprites[1].sheetY, 64);
}

TEST_F(Bees, TouchNeedsTheCentreStrictlyInsideTheBox)
{
    s.beeStepsPerFrame = 0;
    Place(576, 296, BEE_ACTIVE);
    Step();
    EXPECT_FALSE(killed);
    bees[0].x = 577; bees[0].y = 297;
    Step();
    EXPECT_TRUE(killed);
    // A waiting bee on the spot wakes and touches in the same frame.
    bees[0] = Bee{}; bees[0].x = 600; bees[0].y = 320;
    Step();
    EXPECT_TRUE(killed);
    // A dying bee no longer touches.
    bees[0].state = BEE_DYING_LEFT;
    Step();
    EXPECT_FALSE(killed);
}

TEST_F(Bees, TheFirstTouchingBeeEndsTheFrameForTheRest)
{
    s.beeStepsPerFrame = 0;
    Place(100, 100, BEE_ACTIVE);
    Place(600, 320, BEE_ACTIVE);
    Place(610, 330, BEE_ACTIVE);
    Place(200, 100, BEE_ACTIVE);
    int drawn = Step();
    EXPECT_TRUE(killed);
    EXPECT_EQ(drawn, 1);               // only the bee before the toucher
    EXPECT_EQ(bees[0].animFrame, 1);
    EXPECT_EQ(bees[2].animFrame, 0);   // not updated at all
    EXPECT_EQ(bees[3].animFrame, 0);
    EXPECT_EQ(bees[3].heading, 0);
}

TEST_F(Bees, WingsCycleThroughFourPictures)
{
    s.beeStepsPerFrame = 0;
    Place(100, 100, BEE_ACTIVE);
    int columns[6];
    for (int i = 0; i < 6; ++i) {
        Step();
        columns[i] = sprites[0].sheetX / 64;
    }
    int expected[6] = {0, 1, 2, 3, 0, 1};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(columns[i], expected[i]);
}

TEST_F(Bees, ABeamHitPlaysFifteenDeathPicturesThenTheLastOnceThenNothing)
{
    s.beeStepsPerFrame = 0;
    // Aiming right: the band runs from the muzzle (about 715, 339) to the right.
    Bee& bee = Place(800 - 32, 339 - 32, BEE_ACTIVE);
    bee.vx = 2;
    s.beamLength = 750;
    int drawn = Step(0, 0, 1200, 350, 1);
    ASSERT_EQ(drawn, 1);
    // vx was recomputed this frame: the bee heads left toward the character.
    EXPECT_EQ(bee.state, BEE_DYING_LEFT);
    std::vector<std::pair<int, int>> shown = {{sprites[0].sheetX / 64, sprites[0].sheetY / 64}};
    for (int i = 0; i < 20; ++i) {
        // Once dying, neither firing nor the beam matters.
        int n = Step(0, 0, 100, 100, 0);
        if (n) shown.push_back({sprites[0].sheetX / 64, sprites[0].sheetY / 64});
    }
    ASSERT_EQ(shown.size(), 16u);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(shown[i].first, i / 2);
        EXPECT_EQ(shown[i].second, 2);
    }
    EXPECT_EQ(shown[15], std::make_pair(7, 4));
    EXPECT_EQ(bee.state, BEE_DEAD);
    EXPECT_EQ(bee.x, 768);  // a dying bee does not move
}

TEST_F(Bees, AHitCountsOnlyWhileFiringAndOnlyForActiveBees)
{
    s.beeStepsPerFrame = 0;
    Bee& bee = Place(800 - 32, 339 - 32, BEE_ACTIVE);
    s.beamLength = 750;
    Step(0, 0, 1200, 350, 0);
    EXPECT_EQ(bee.state, BEE_ACTIVE);
    // Straight below the character: vx = 0, so it dies in row 3.
    Bee& vertical = Place(640 - 34, 600, BEE_WAITING);
    Step(0, 0, 640 - 2, 900, 1);
    EXPECT_EQ(vertical.vx, 0);
    EXPECT_EQ(vertical.state, BEE_DYING_RIGHT);
}

// The gun as a mouse at (x, y) turns it.
GunPose Aimed(int x, int y)
{
    return ComputeGunPose(AngleBetweenPoints(GUN_PIVOT_X, GUN_PIVOT_Y, x, y));
}

TEST(BeamHitsBee, TheBandIs32PixelsWideWithRoundedLongEdges)
{
    int beam = 750;
    // Aiming right: the centre line runs at y 339 from x about 715.
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 900, 339), 1);
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 900, 339 + 31), 1);  // within 16 of the edge
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 900, 339 - 31), 1);
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 900, 339 + 32), 0);  // exactly 16: not hit
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 900, 339 - 32), 0);
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 900, 339 + 33), 0);
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 900, 339 - 33), 0);
    // Just past the far end (x 715 + 675 = 1390) on the centre line: not hit.
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 1395, 339), 0);
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 1385, 339), 1);
    // Behind the muzzle.
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 600, 339), 0);
}

TEST(BeamHitsBee, ABeamOfNoLengthHitsOnlyNearItsTwoStartCorners)
{
    int beam = 75;
    // Aiming right, the corners lie 16 above and below the muzzle (715, 339).
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 715, 339 - 16 - 15), 1);
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 715, 339 + 16 + 15), 1);
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 715, 339 - 16 - 16), 0);
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 715, 339 - 16 - 17), 0);
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 740, 339), 0);
    beam = 0;
    EXPECT_EQ(BeamHitsBee(Aimed(1200, 350), beam, 16, 715, 339 - 16), 1);
}

TEST(BeamHitsBee, WorksInEveryDirection)
{
    int beam = 400;
    for (int a = 0; a < 360; a += 15) {
        double r = a * GAME_PI / 180;
        int mx = 640 + (int)(300 * std::cos(r)), my = 350 + (int)(300 * std::sin(r));
        int aim = AngleBetweenPoints(640, 350, mx, my);
        double ra = aim * GAME_PI / 180;
        int px = 640 + (int)(200 * std::cos(ra)), py = 350 + (int)(200 * std::sin(ra));
        int qx = 640 + (int)(200 * std::cos(ra) - 60 * std::sin(ra));
        int qy = 350 + (int)(200 * std::sin(ra) + 60 * std::cos(ra));
        EXPECT_EQ(BeamHitsBee(Aimed(mx, my), beam, 16, px, py), 1) << a;
        EXPECT_EQ(BeamHitsBee(Aimed(mx, my), beam, 16, qx, qy), 0) << a;
    }
}

}  // namespace
