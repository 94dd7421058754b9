// The ray gun: the direction function every part of the game aims with, the
// gun's pose around its pivot, the beam's march through the stage, and the
// drawing of gun, muzzle flash, beam and impact spark.
#pragma once
#include "gfx/degrees.h"

constexpr int GUN_PIVOT_X = 640;  // the gun turns about this screen point
constexpr int GUN_PIVOT_Y = 350;
constexpr int BEAM_RANGE = 750;   // longest beam, from the pivot
constexpr int MUZZLE_REACH = 75;  // the drawn beam starts this far along the aim
constexpr int GUN_REACH = 35;     // the gun's distance from the pivot, along the aim
constexpr int MUZZLE_STEP = 40;   // from the gun on to the muzzle, along the aim
constexpr int BARREL_OFFSET = 11; // the barrel's offset across the aim
constexpr int BEAM_HALF_WIDTH = 16;

// The direction every part of the game aims with: from (x0, y0) to (x1, y1)
// in whole degrees 0..359, clockwise on screen (0 right, 90 down), truncated
// toward zero before it is wrapped (just above the x axis gives 0, not 359);
// 270 for equal points. Any ints, without overflow.
int AngleBetweenPoints(int x0, int y0, int x1, int y1);

// Where the gun's parts lie for an aim a (degrees), in whole pixels.
struct GunPose {
    int aim;         // a
    int b, c;        // GUN_REACH step along the aim
    int e, g;        // MUZZLE_STEP step along the aim
    int d, f;        // BARREL_OFFSET across the aim
    int side;        // +1 facing right, -1 facing left
    int pictureX;    // imgGun frame: 0 facing right, 64 facing left
    int turn;        // angle the gun picture is drawn at
    int muzzleX, muzzleY;
    float muzzleDX, muzzleDY;  // the muzzle from the pivot without the rounding
};
// The pose of the gun aimed at a (degrees): facing left for 90..270, right
// otherwise. Depends on a alone.
GunPose ComputeGunPose(int a);

// Marches from the pivot along aim a in 2-pixel steps, starting
// startDistance pixels out (truncated; a negative start begins behind the
// pivot, at most BEAM_RANGE behind it), for a camera at (camX, camY). Returns
// the distance of the first sample in a solid tile (outside the stage counts
// as solid), or -1 when nothing is met within BEAM_RANGE, and at once for a
// start at or past BEAM_RANGE, or NaN. Reads the stage in tileMap.
int MarchBeam(int a, float startDistance, int camX, int camY);

// The beam of a firing gun in pose, its march starting startDistance out
// (the recoil's strength) for a camera at (camX, camY): sets *beamLength to
// BEAM_RANGE, or to the hit distance - 1; true for a hit, with the impact
// spark's centre on the screen in *sparkX, *sparkY (left alone otherwise).
bool TraceBeam(const GunPose& pose, float startDistance, int camX, int camY, int* beamLength,
               int* sparkX, int* sparkY);
// Where the cursor sprite's corner goes, on the beam's line: the mouse moved
// by the muzzle's offset, less half the 32-pixel sprite.
void CursorOnBeamLine(const GunPose& pose, int mouseX, int mouseY, int* x, int* y);

// What a frame draws of the gun.
struct GunView {
    GunPose pose;
    bool firing = false;  // flash and beam are drawn
    int beamDrawn = 0;    // the drawn beam's length: the previous trace's, less MUZZLE_REACH
    bool spark = false;   // the impact spark, at (sparkX, sparkY)
    int sparkX = 0, sparkY = 0;
};
// Draws into backBuffer the gun turned as its pose says and, while firing,
// the spark (when there is one), the muzzle flash and the beam, beamDrawn
// long. Needs the start-up pictures (LoadAssets).
void DrawGunAndBeam(const GunView& gun);
