// The whole-degree maths every build shares: its tables hold exactly what
// Linux's library computes for the game's own formulas (so the game on Linux
// computes what it always has), and the portable arc tangent, which may
// differ from the library's in the last bit, turns every direction the game
// can meet into the same whole degree.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "game/gun.h"
#include "gfx/degrees.h"

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The game's three pis, written out: a recorded run plays again alike only
// while every build turns with exactly these.
constexpr double TURN_PI = 3.14159265358978;           // the gun, the beam, the bees, the recoil
constexpr double AIM_DIRECTION_PI = 3.14159265358979;  // the direction function
constexpr double DRAWING_PI = 3.141592;                // the rotated drawing's tables

// The library's value, computed at run time (volatile: never folded by the compiler).
double Cos(double x) { volatile double v = x; return std::cos(v); }
double Sin(double x) { volatile double v = x; return std::sin(v); }

TEST(Degrees, TablesHoldTheLibrarysValues)
{
    for (int a = -90; a < 360; a++) {
        ASSERT_TRUE(SameBits(CosDegrees(a), Cos(a * (TURN_PI / 180)))) << a;
        ASSERT_TRUE(SameBits(SinDegrees(a), Sin(a * (TURN_PI / 180)))) << a;
    }
    const float quarter = 1.5707964f;
    for (int a = 0; a < 360; a++) {
        ASSERT_TRUE(SameBits(CosGameDegrees(a), Cos(a * TURN_PI / 180))) << a;
        ASSERT_TRUE(SameBits(SinGameDegrees(a), Sin(a * TURN_PI / 180))) << a;
        float theta = (float)(a * TURN_PI / 180);
        BandTurn t = BandTurnOf(a);
        ASSERT_EQ(t.cosT, (float)Cos((double)theta)) << a;
        ASSERT_EQ(t.sinT, (float)Sin((double)theta)) << a;
        ASSERT_EQ(t.cosM, (float)Cos((double)(theta - quarter))) << a;
        ASSERT_EQ(t.sinM, (float)Sin((double)(theta - quarter))) << a;
        ASSERT_EQ(t.cosP, (float)Cos((double)(theta + quarter))) << a;
        ASSERT_EQ(t.sinP, (float)Sin((double)(theta + quarter))) << a;
    }
    for (int i = 0; i < 365; i++) {
        ASSERT_TRUE(SameBits(TableSin(i), Sin(i * DRAWING_PI / 180))) << i;
        ASSERT_TRUE(SameBits(TableCos(i), Cos(i * DRAWING_PI / 180))) << i;
    }
}

// AngleBetweenPoints as it was written with the library's arc tangent.
int LibraryAngle(int x0, int y0, int x1, int y1)
{
    if (x0 == x1 && y0 == y1) return 270;
    volatile double dy = (double)((long long)y1 - y0), dx = (double)((long long)x1 - x0);
    int degrees = (int)(std::atan2(dy, dx) * 180 / AIM_DIRECTION_PI);
    return degrees < 0 ? degrees + 360 : degrees;
}

TEST(Degrees, DirectionsAreTheLibrarysForEveryPointerOnAndNearTheScreen)
{
    // Every offset a pointer or a bee can have from the gun within two
    // screens of it.
    int differ = 0;
    for (int dy = -1500; dy <= 1500; dy++)
        for (int dx = -2600; dx <= 2600; dx++)
            differ += AngleBetweenPoints(0, 0, dx, dy) != LibraryAngle(0, 0, dx, dy);
    EXPECT_EQ(differ, 0);
    // And far beyond, at random.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> far(-536870911, 536870911);
    for (int i = 0; i < 2000000; i++) {
        int dx = far(random), dy = far(random);
        ASSERT_EQ(AngleBetweenPoints(0, 0, dx, dy), LibraryAngle(0, 0, dx, dy)) << dx << " " << dy;
    }
}

TEST(Degrees, ThePortableArcTangentIsWithinAnUlpEverywhere)
{
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> any(-1e6, 1e6);
    const int rounds = 1000000;
    for (int i = 0; i < rounds; i++) {
        double y = any(random), x = any(random);
        volatile double vy = y, vx = x;
        double mine = PortableAtan2(y, x), library = std::atan2(vy, vx);
        ASSERT_LE(std::fabs(mine - library), std::nextafter(std::fabs(library), 4.0) - std::fabs(library))
            << y << " " << x;
    }
    // The special values.
    EXPECT_EQ(PortableAtan2(0.0, 1.0), 0.0);
    EXPECT_EQ(PortableAtan2(0.0, -1.0), std::atan2(0.0, -1.0));
    EXPECT_EQ(PortableAtan2(1.0, 0.0), std::atan2(1.0, 0.0));
    EXPECT_EQ(PortableAtan2(-1.0, 0.0), std::atan2(-1.0, 0.0));
    const double inf = INFINITY;
    EXPECT_DOUBLE_EQ(PortableAtan2(inf, inf), std::atan2(inf, inf));
    EXPECT_DOUBLE_EQ(PortableAtan2(1.0, -inf), std::atan2(1.0, -inf));
    EXPECT_TRUE(std::isnan(PortableAtan2(NAN, 1.0)));
}

}  // namespace
