// Drawing the ray gun, its muzzle flash, the beam and the impact spark.
#include <cmath>
#include "game/gun.h"
#include "game/assets.h"
#include "gfx/blit.h"
#include "gfx/rotate.h"
#include "input/input.h"

namespace {
constexpr uint32_t SPRITE_KEY = 0xFF00FF;
constexpr uint32_t LIGHT_KEY = 0x000000;  // flash and spark: black is see-through
constexpr uint32_t NO_KEY = 0xFFFFFFFF;
}

void TraceBeam(int mouseX, int mouseY, int* beamLength, float startDistance, int camX, int camY)
{
    *beamLength = BEAM_RANGE;
    int a = AngleBetweenPoints(GUN_PIVOT_X, GUN_PIVOT_Y, mouseX, mouseY);
    int hit = MarchBeam(a, startDistance, camX, camY);
    if (hit < 0) return;
    *beamLength = hit - 1;
    // The spark sits where the drawn beam ends: on the barrel's side of the aim.
    int length = *beamLength;
    GunPose pose = ComputeGunPose(a);
    int cx = (int)(std::cos(a * DEG_TO_RAD) * length);
    int cy = (int)(std::sin(a * DEG_TO_RAD) * length);
    int centreX = GUN_PIVOT_X + cx + pose.side * pose.d;
    int centreY = GUN_PIVOT_Y + cy + pose.side * pose.f;
    DrawColorKeyed(backBuffer, centreX - 23, centreY - 23, 46, 46, imgHansya2, 0, 0, LIGHT_KEY);
}

void DrawGunAndBeam(int mouseX, int mouseY, int* beamLength, float thrust,
                    float camX, float camY, int firing, int* cursorX, int* cursorY)
{
    int a = AngleBetweenPoints(GUN_PIVOT_X, GUN_PIVOT_Y, mouseX, mouseY);
    GunPose pose = ComputeGunPose(a);
    SetMouseCursor(0);
    // The beam drawn now has the length the previous frame's trace found.
    int drawnLength = *beamLength - MUZZLE_REACH;
    if (drawnLength < 0) drawnLength = 0;

    DrawRotated(backBuffer, 610 + pose.b, 320 + pose.c, 64, 64,
                imgGun, pose.pictureX, 0, 64, 64, pose.turn, SPRITE_KEY);
    if (firing == 1) {
        TraceBeam(mouseX, mouseY, beamLength, thrust, (int)camX, (int)camY);
        DrawColorKeyed(backBuffer, pose.muzzleX - 16, pose.muzzleY - 16, 32, 32,
                       imgHansya, 0, 0, LIGHT_KEY);
        // Two halves of the beam's cross-section, below and above its centre line.
        DrawRotatedAboutPivot(backBuffer, pose.muzzleX, pose.muzzleY, drawnLength, 16,
                              imgLazer, 0, 16, 1, 16, a, NO_KEY, 0, 0);
        DrawRotatedAboutPivot(backBuffer, pose.muzzleX, pose.muzzleY, drawnLength, -16,
                              imgLazer, 0, 16, 1, -16, a, NO_KEY, 0, 0);
    }
    // The cursor sits on the beam's line: the mouse moved by the muzzle's offset.
    *cursorX = mouseX + pose.e + pose.b + pose.side * pose.d - 16;
    *cursorY = mouseY + pose.g + pose.c + pose.side * pose.f - 16;
}
