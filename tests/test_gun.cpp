// Aiming and the beam's march: directions, the gun's pose, where the beam stops.
#include <gtest/gtest.h>
#include <cstring>
#include "game/gun.h"
#include "game/stage.h"

namespace {

TEST(AngleBetweenPoints, TruncatesBeforeWrappingAndAnswers270ForEqualPoints)
{
    struct { int x, y, expected; } cases[] = {
        {640, 350, 270}, {1000, 350, 0}, {640, 700, 90}, {0, 350, 180}, {640, 0, 270},
        {1000, 349, 0}, {1000, 330, 357}, {0, 349, 181}, {0, 351, 179}, {1000, 700, 44},
        {641, 349, 315},
    };
    for (auto& c : cases)
        EXPECT_EQ(AngleBetweenPoints(640, 350, c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST(AngleBetweenPoints, FarApartPointsDoNotOverflow)
{
    EXPECT_EQ(AngleBetweenPoints(-2000000000, 0, 2000000000, 0), 0);
    EXPECT_EQ(AngleBetweenPoints(0, 2000000000, 0, -2000000000), 270);
}

TEST(GunPose, AimingRightAndLeftPutTheMuzzleAboveTheLine)
{
    GunPose right = ComputeGunPose(0);
    EXPECT_EQ(right.b, 35); EXPECT_EQ(right.c, 0); EXPECT_EQ(right.e, 40); EXPECT_EQ(right.g, 0);
    EXPECT_EQ(right.d, 0); EXPECT_EQ(right.f, -11);
    EXPECT_EQ(right.muzzleX, 715); EXPECT_EQ(right.muzzleY, 339);
    EXPECT_EQ(610 + right.b, 645);
    EXPECT_EQ(right.pictureX, 0); EXPECT_EQ(right.turn, 20);

    GunPose left = ComputeGunPose(180);
    EXPECT_EQ(left.b, -35); EXPECT_EQ(left.c, 0); EXPECT_EQ(left.e, -40); EXPECT_EQ(left.g, 0);
    EXPECT_EQ(left.d, 0); EXPECT_EQ(left.f, 11); EXPECT_EQ(left.side, -1);
    EXPECT_EQ(left.muzzleX, 565); EXPECT_EQ(left.muzzleY, 339);
    EXPECT_EQ(610 + left.b, 575);
    EXPECT_EQ(left.pictureX, 64); EXPECT_EQ(left.turn, 340);
    // The cursor's corner goes where the mouse is moved by the muzzle's
    // offset, less half the 32-pixel cursor.
    int x = 0, y = 0;
    CursorOnBeamLine(right, 1000, 300, &x, &y);
    EXPECT_EQ(x, 1000 + 59); EXPECT_EQ(y, 300 - 27);
    CursorOnBeamLine(left, 100, 300, &x, &y);
    EXPECT_EQ(x, 100 - 91); EXPECT_EQ(y, 300 - 27);
}

TEST(GunPose, StraightUpAndDownFaceLeft)
{
    GunPose down = ComputeGunPose(90);
    EXPECT_EQ(down.d, 11); EXPECT_EQ(down.f, 0); EXPECT_EQ(down.side, -1);
    EXPECT_EQ(down.pictureX, 64); EXPECT_EQ(down.turn, 250);
    EXPECT_EQ(down.muzzleX, 629); EXPECT_EQ(down.muzzleY, 425);
    GunPose up = ComputeGunPose(270);
    EXPECT_EQ(up.d, -11); EXPECT_EQ(up.side, -1); EXPECT_EQ(up.turn, 430);
    EXPECT_EQ(up.muzzleX, 651); EXPECT_EQ(up.muzzleY, 275);
    GunPose diagonal = ComputeGunPose(45);
    EXPECT_EQ(diagonal.b, 24); EXPECT_EQ(diagonal.c, 24);
    EXPECT_EQ(diagonal.e, 28); EXPECT_EQ(diagonal.g, 28);
    EXPECT_EQ(diagonal.d, 7); EXPECT_EQ(diagonal.f, -7);
    EXPECT_EQ(diagonal.muzzleX, 699); EXPECT_EQ(diagonal.muzzleY, 395);
}

class Beam : public ::testing::Test {
protected:
    void SetUp() override { std::memset(tileMap, 0, sizeof tileMap); }
};

TEST_F(Beam, StopsAtTheFirstEvenSampleInsideASolidTile)
{
    // Camera (0, 0): the pivot is world (640, 350). Column 11 starts at x 704.
    for (int r = 0; r < MAP_ROWS; ++r) tileMap[r][11] = 1;
    EXPECT_EQ(MarchBeam(0, 0.0f, 0, 0), 64);
    EXPECT_EQ(MarchBeam(0, 3.7f, 0, 0), 65);  // odd start: samples 3, 5, ... 65
    // A tile 100 pixels out: x 740 lies in column 11 too; move the camera 36 left.
    EXPECT_EQ(MarchBeam(0, 0.0f, -36 + 64, 0), 36);
}

TEST_F(Beam, SceneryDeadlyAndGoalTilesLetTheBeamThrough)
{
    for (int c = 11; c < 14; ++c) tileMap[5][c] = c == 11 ? 6 : (c == 12 ? 11 : 30);
    tileMap[5][14] = 46;
    EXPECT_EQ(MarchBeam(0, 0.0f, 0, 0), 14 * 64 - 640);
    tileMap[5][14] = 27;
    EXPECT_EQ(MarchBeam(0, 0.0f, 0, 0), -1);
}

TEST_F(Beam, NothingWithinRangeMeansNoHit)
{
    for (int r = 0; r < MAP_ROWS; ++r) tileMap[r][25] = 1;  // x 1600: 960 from the pivot
    EXPECT_EQ(MarchBeam(0, 0.0f, 0, 0), -1);
    EXPECT_EQ(MarchBeam(0, 0.0f, 212, 0), 748);  // last sample 748 reaches x 1600
    EXPECT_EQ(MarchBeam(0, 0.0f, 211, 0), -1);
    EXPECT_EQ(MarchBeam(0, 800.0f, 0, 0), -1);  // starting past the range: no samples
}

TEST_F(Beam, ATracedBeamEndsAPixelShortOfItsHitWithTheSparkOnTheBarrelsSide)
{
    int length = 0, sparkX = 0, sparkY = 0;
    // Nothing in reach: the whole 750 pixels, no spark.
    EXPECT_FALSE(TraceBeam(ComputeGunPose(0), 0.0f, 0, 0, &length, &sparkX, &sparkY));
    EXPECT_EQ(length, 750);
    // Column 11 (x 704): hit at 64, the beam 63 long; the spark at the end of
    // the drawn beam, the barrel's 11 pixels above the aim.
    for (int r = 0; r < MAP_ROWS; ++r) tileMap[r][11] = 1;
    EXPECT_TRUE(TraceBeam(ComputeGunPose(0), 0.0f, 0, 0, &length, &sparkX, &sparkY));
    EXPECT_EQ(length, 63);
    EXPECT_EQ(sparkX, 640 + 63); EXPECT_EQ(sparkY, 350 - 11);
    // Facing left from camera x 800 (the pivot at world x 1440): the first
    // even sample in the column is 674 (x 766). The gun's picture is
    // mirrored, so the barrel is still 11 pixels above the aim.
    EXPECT_TRUE(TraceBeam(ComputeGunPose(180), 0.0f, 800, 0, &length, &sparkX, &sparkY));
    EXPECT_EQ(length, 673);
    EXPECT_EQ(sparkX, 640 - 673); EXPECT_EQ(sparkY, 350 - 11);
}

TEST_F(Beam, LeavingTheMapCountsAsAHit)
{
    // Aiming up from near the top: the stage above row 0 is solid.
    EXPECT_EQ(MarchBeam(270, 0.0f, 0, -300), 52);  // sin 270 falls a hair short of -1
    EXPECT_EQ(MarchBeam(180, 0.0f, -600, 100), 42);
    EXPECT_EQ(MarchBeam(0, 0.0f, 12800 - 700, 100), 60);
    // A camera far outside: the first sample is a hit.
    EXPECT_EQ(MarchBeam(45, 0.0f, -100000, -100000), 0);
    EXPECT_EQ(MarchBeam(45, -0.3f, 2000000000, 2000000000), 0);
}

}  // namespace
