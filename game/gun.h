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

// Called by MovePlayer, the gun, the bees: direction from (x0, y0) to (x1, y1)
// in whole degrees 0..359, clockwise on screen (0 right, 90 down); 270 for
// equal points.
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
// Called by AimGun, the start view and the bees' beam test.
GunPose ComputeGunPose(int a);

// Called by TraceBeam: marches from the pivot along aim a in 2-pixel steps,
// starting startDistance pixels out, for a camera at (camX, camY). Returns the
// distance of the first sample in a solid tile (outside the stage counts as
// solid), or -1 when nothing is met within BEAM_RANGE.
int MarchBeam(int a, float startDistance, int camX, int camY);

// Called by AimGun while firing: sets *beamLength to BEAM_RANGE, or to the hit
// distance - 1; true for a hit, with the impact spark's centre on the screen.
bool TraceBeam(const GunPose& pose, float startDistance, int camX, int camY, int* beamLength,
               int* sparkX, int* sparkY);
// Called by AimGun: where the cursor sprite's corner goes, on the beam's line:
// the mouse moved by the muzzle's offset.
void CursorOnBeamLine(const GunPose& pose, int mouseX, int mouseY, int* x, int* y);

// What a frame draws of the gun.
struct GunView {
    GunPose pose;
    bool firing = false;  // flash and beam are drawn
    int beamDrawn = 0;    // the drawn beam's length: the previous trace's, less MUZZLE_REACH
    bool spark = false;   // the impact spark, at (sparkX, sparkY)
    int sparkX = 0, sparkY = 0;
};
// Called by every play and curtain frame and the start view: the gun turned as
// its pose says and, while firing, the spark, the muzzle flash and the beam.
void DrawGunAndBeam(const GunView& gun);
