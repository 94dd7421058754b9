// The ray gun: the direction function every part of the game aims with, the
// gun's pose around its pivot, the beam's march through the stage, and the
// drawing of gun, muzzle flash, beam and impact spark.
#pragma once

constexpr int GUN_PIVOT_X = 640;  // the gun turns about this screen point
constexpr int GUN_PIVOT_Y = 350;
constexpr int BEAM_RANGE = 750;   // longest beam, from the pivot
constexpr int MUZZLE_REACH = 75;  // the drawn beam starts this far along the aim
// Whole degrees to radians. The pi is the one the game has always turned with;
// angles multiplied by it directly (a * pi / 180) round differently.
constexpr double DEG_TO_RAD = 3.14159265358978 / 180;

// Called by MovePlayer, the gun, the bees: direction from (x0, y0) to (x1, y1)
// in whole degrees 0..359, clockwise on screen (0 right, 90 down); 270 for
// equal points.
int AngleBetweenPoints(int x0, int y0, int x1, int y1);

// Where the gun's parts lie for an aim a (degrees), in whole pixels.
struct GunPose {
    int b, c;        // 35-pixel step along the aim
    int e, g;        // 40-pixel step along the aim
    int d, f;        // 11-pixel barrel offset, across the aim
    int side;        // +1 facing right, -1 facing left
    int pictureX;    // imgGun frame: 0 facing right, 64 facing left
    int turn;        // angle the gun picture is drawn at
    int muzzleX, muzzleY;
};
// Called by DrawGunAndBeam and TraceBeam.
GunPose ComputeGunPose(int a);

// Called by TraceBeam: marches from the pivot along aim a in 2-pixel steps,
// starting startDistance pixels out, for a camera at (camX, camY). Returns the
// distance of the first sample in a solid tile (outside the stage counts as
// solid), or -1 when nothing is met within BEAM_RANGE.
int MarchBeam(int a, float startDistance, int camX, int camY);

// Called by DrawGunAndBeam while firing: sets *beamLength to BEAM_RANGE, or to
// the hit distance - 1 and draws the impact spark there.
void TraceBeam(int mouseX, int mouseY, int* beamLength, float startDistance, int camX, int camY);

// Called by RunPlayScene every play and curtain frame: draws the gun turned
// toward the mouse and, while firing, traces and draws the beam (whose drawn
// length is the previous trace's). Writes where the cursor sprite goes.
void DrawGunAndBeam(int mouseX, int mouseY, int* beamLength, float thrust,
                    float camX, float camY, int firing, int* cursorX, int* cursorY);
