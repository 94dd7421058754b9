// Aiming arithmetic of the ray gun and the beam's march through the stage.
#include "game/gun.h"
#include <cmath>
#include "game/stage.h"

int AngleBetweenPoints(int x0, int y0, int x1, int y1)
{
    if (x0 == x1 && y0 == y1) return 270;
    double dy = (double)((long long)y1 - y0);
    double dx = (double)((long long)x1 - x0);
    double d = PortableAtan2(dy, dx) * 180 / AIM_PI;
    // Truncate first, then wrap: just above the x axis gives 0, not 359.
    int degrees = (int)d;
    if (degrees < 0) degrees += 360;
    return degrees;
}

namespace {

// The muzzle's offset from the pivot in single precision, as the beam's band
// is tested: the barrel's offset on the side the gun faces.
void MuzzleOffset(int a, float* ox, float* oy)
{
    BandTurn turn = BandTurnOf(a);
    float cosT = turn.cosT, sinT = turn.sinT, cosM = turn.cosM, sinM = turn.sinM;
    const float reach = (float)GUN_REACH, step = (float)MUZZLE_STEP, offset = (float)BARREL_OFFSET;
    if (a >= 90 && a <= 270) {
        *ox = reach * cosT + step * cosT - offset * cosM;
        *oy = reach * sinT + step * sinT - offset * sinM;
    } else {
        *ox = offset * cosM + reach * cosT + step * cosT;
        *oy = offset * sinM + reach * sinT + step * sinT;
    }
}

}  // namespace

GunPose ComputeGunPose(int a)
{
    GunPose pose;
    pose.aim = a;
    double cosA = CosDegrees(a), sinA = SinDegrees(a);
    pose.b = (int)(GUN_REACH * cosA);
    pose.c = (int)(GUN_REACH * sinA);
    pose.e = (int)(MUZZLE_STEP * cosA);
    pose.g = (int)(MUZZLE_STEP * sinA);
    pose.d = (int)(BARREL_OFFSET * CosDegrees(a - 90));
    pose.f = (int)(BARREL_OFFSET * SinDegrees(a - 90));
    bool facingLeft = a >= 90 && a <= 270;
    pose.side = facingLeft ? -1 : 1;
    pose.pictureX = facingLeft ? 64 : 0;
    pose.turn = facingLeft ? a + 160 : a + 20;
    pose.muzzleX = GUN_PIVOT_X + pose.e + pose.b + pose.side * pose.d;
    pose.muzzleY = GUN_PIVOT_Y + pose.g + pose.c + pose.side * pose.f;
    MuzzleOffset(a, &pose.muzzleDX, &pose.muzzleDY);
    return pose;
}

int MarchBeam(int a, float startDistance, int camX, int camY)
{
    double cosA = CosDegrees(a);
    double sinA = SinDegrees(a);
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

bool TraceBeam(const GunPose& pose, float startDistance, int camX, int camY, int* beamLength,
               int* sparkX, int* sparkY)
{
    *beamLength = BEAM_RANGE;
    int hit = MarchBeam(pose.aim, startDistance, camX, camY);
    if (hit < 0) return false;
    *beamLength = hit - 1;
    // The spark sits where the drawn beam ends: on the barrel's side of the aim.
    int length = *beamLength;
    int cx = (int)(CosDegrees(pose.aim) * length);
    int cy = (int)(SinDegrees(pose.aim) * length);
    *sparkX = GUN_PIVOT_X + cx + pose.side * pose.d;
    *sparkY = GUN_PIVOT_Y + cy + pose.side * pose.f;
    return true;
}

void CursorOnBeamLine(const GunPose& pose, int mouseX, int mouseY, int* x, int* y)
{
    *x = mouseX + pose.e + pose.b + pose.side * pose.d - 16;
    *y = mouseY + pose.g + pose.c + pose.side * pose.f - 16;
}
