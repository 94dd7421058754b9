// Aiming arithmetic of the ray gun and the beam's march through the stage.
#include "game/gun.h"
#include <cmath>
#include "game/stage.h"

int AngleBetweenPoints(int x0, int y0, int x1, int y1)
{
    if (x0 == x1 && y0 == y1) return 270;
    double dy = (double)((long long)y1 - y0);
    double dx = (double)((long long)x1 - x0);
    double d = std::atan2(dy, dx) * 180 / 3.14159265358979;
    // Truncate first, then wrap: just above the x axis gives 0, not 359.
    int degrees = (int)d;
    if (degrees < 0) degrees += 360;
    return degrees;
}

GunPose ComputeGunPose(int a)
{
    GunPose pose;
    double r = a * DEG_TO_RAD;
    double across = (a - 90) * DEG_TO_RAD;
    pose.b = (int)(35 * std::cos(r));
    pose.c = (int)(35 * std::sin(r));
    pose.e = (int)(40 * std::cos(r));
    pose.g = (int)(40 * std::sin(r));
    pose.d = (int)(11 * std::cos(across));
    pose.f = (int)(11 * std::sin(across));
    bool facingLeft = a >= 90 && a <= 270;
    pose.side = facingLeft ? -1 : 1;
    pose.pictureX = facingLeft ? 64 : 0;
    pose.turn = facingLeft ? a + 160 : a + 20;
    pose.muzzleX = GUN_PIVOT_X + pose.e + pose.b + pose.side * pose.d;
    pose.muzzleY = GUN_PIVOT_Y + pose.g + pose.c + pose.side * pose.f;
    return pose;
}

int MarchBeam(int a, float startDistance, int camX, int camY)
{
    double cosA = std::cos(a * DEG_TO_RAD);
    double sinA = std::sin(a * DEG_TO_RAD);
    // The strength of the recoil pushes the first sample out; it is never
    // more than 15 pixels, and a negative start counts from the pivot.
    if (!(startDistance < (float)BEAM_RANGE)) return -1;
    if (startDistance < -(float)BEAM_RANGE) startDistance = -(float)BEAM_RANGE;
    for (int i = (int)startDistance; i < BEAM_RANGE; i += 2) {
        int dx = (int)(cosA * i);
        int dy = (int)(sinA * i);
        long long x = (long long)camX + GUN_PIVOT_X + dx;
        long long y = (long long)camY + GUN_PIVOT_Y + dy;
        if (x < 0 || y < 0 || x >= MAP_WIDTH || y >= MAP_HEIGHT) return i;
        if (IsSolidTile(TileAt((int)x, (int)y))) return i;
    }
    return -1;
}
