// The bees: one waits at every nest of the stage, wakes when it comes into
// view, flies straight at the character and kills it on touch; the beam kills
// bees. The list lives in PlayState (the play's, not this module's) and is
// rebuilt from tileMap at the start of every attempt (SpawnBees), so the
// stage must be in tileMap by then; drawing needs the bee sheet (imgBee).
#pragma once

constexpr int MAX_BEES = 256;

enum {
    BEE_WAITING = 0,      // not seen yet: neither moves nor is drawn
    BEE_ACTIVE = 1,       // flying at the character
    BEE_DYING_LEFT = 2,   // hit while flying left: death pictures in row 2
    BEE_DYING_RIGHT = 3,  // hit otherwise: row 3
    BEE_DEAD = 4
};

struct Bee {
    int x, y;          // world position of the sprite's top-left corner
    int animFrame;     // wing picture, 0..3
    int facing;        // 1 while vx >= 0: the sprite row of the flight
    int vx, vy;        // movement per step, -2..2 each
    int state;         // BEE_*
    float deathFrame;  // death picture column, +0.5 per frame
    int heading;       // degrees from the bee toward the character
};

// The distance from a bee's centre within which the beam's band kills it.
constexpr int BEE_HIT_RADIUS = 16;

struct PlayState;
struct GunPose;

// Replaces the bees of s by one waiting bee per nest cell of the stage now in
// tileMap, row by row, each at its cell's corner; nests past MAX_BEES are
// ignored. The bees' speed (beeStepsPerFrame) is left as it is.
void SpawnBees(PlayState& s);

// One bee picture to draw: screen position and the sheet cell.
struct BeeSprite {
    int x, y;
    int sheetX, sheetY;
};
// Wakes, moves and kills the bees of s for one frame, with the frame's motion
// done and its beam traced: gun is the frame's pose, s.beamLength the trace's
// reach, s.beeStepsPerFrame the speed the probes left, and only while s.firing
// is 1 does the beam kill. The pictures to draw are listed in sprites (room
// for MAX_BEES: one at most per bee), in order, at screen positions for the
// camera of s; returns how many. *killed when a bee touched the character:
// that bee does not show, and the ones after it neither move nor show this
// frame.
int StepBees(PlayState& s, const GunPose& gun, BeeSprite* sprites, bool* killed);

// Draws into backBuffer the pictures StepBees listed, from imgBee with
// magenta left out. In a play frame they go over the character.
void DrawBees(const BeeSprite* sprites, int count);

// 1 when the beam band drawn for a beam of beamLength (from the muzzle,
// beamLength - MUZZLE_REACH long, 0 at least, and 2 * BEAM_HALF_WIDTH wide),
// the gun aimed as gun, touches the circle of the given radius about screen
// point (px, py); else 0. Whether the gun fires at all is the caller's to
// test.
int BeamHitsBee(const GunPose& gun, int beamLength, int radius, int px, int py);
