// Drawing the ray gun, its muzzle flash, the beam and the impact spark.
#include "game/gun.h"
#include "game/assets.h"
#include "gfx/blit.h"
#include "gfx/rotate.h"

namespace {
constexpr uint32_t SPRITE_KEY = 0xFF00FF;
constexpr uint32_t LIGHT_KEY = 0x000000;  // flash and spark: black is see-through
constexpr uint32_t NO_KEY = 0xFFFFFFFF;
}

void DrawGunAndBeam(const GunView& gun)
{
    const GunPose& pose = gun.pose;
    DrawRotated(backBuffer, 610 + pose.b, 320 + pose.c, 64, 64,
                imgGun, pose.pictureX, 0, 64, 64, pose.turn, SPRITE_KEY);
    if (!gun.firing) return;
    if (gun.spark)
        DrawColorKeyed(backBuffer, gun.sparkX - 23, gun.sparkY - 23, 46, 46, imgHansya2, 0, 0,
                       LIGHT_KEY);
    DrawColorKeyed(backBuffer, pose.muzzleX - 16, pose.muzzleY - 16, 32, 32,
                   imgHansya, 0, 0, LIGHT_KEY);
    // Two halves of the beam's cross-section, below and above its centre line.
    DrawRotatedAboutPivot(backBuffer, pose.muzzleX, pose.muzzleY, gun.beamDrawn, BEAM_HALF_WIDTH,
                          imgLazer, 0, 16, 1, 16, pose.aim, NO_KEY, 0, 0);
    DrawRotatedAboutPivot(backBuffer, pose.muzzleX, pose.muzzleY, gun.beamDrawn, -BEAM_HALF_WIDTH,
                          imgLazer, 0, 16, 1, -16, pose.aim, NO_KEY, 0, 0);
}
