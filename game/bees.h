// The bees: one waits at every nest of the stage, wakes when it comes into
// view, flies straight at the character and kills it on touch; the beam kills
// bees. The list (in PlayState) is rebuilt from the map after every stage load.
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

// Called by StartPlayAttempt right after every LoadStage: one waiting bee per
// nest cell of tileMap, row by row; nests past MAX_BEES are ignored.
void SpawnBees(PlayState& s);

// One bee picture to draw: screen position and the sheet cell.
struct BeeSprite {
    int x, y;
    int sheetX, sheetY;
};
// Called by StepPlay after the beam's trace: wakes, moves and kills the bees
// of s for one frame, the gun aimed as gun. The pictures to draw are listed in
// sprites (room for MAX_BEES), in order; returns how many. *killed when a bee
// touched the character: the bees after it neither move nor show this frame.
int StepBees(PlayState& s, const GunPose& gun, BeeSprite* sprites, bool* killed);

// Called by DrawPlayFrame after the character: the pictures StepBees listed.
void DrawBees(const BeeSprite* sprites, int count);

// Called by StepBees for every bee: 1 when the beam band drawn for a beam of
// beamLength, the gun aimed as gun, touches the circle of the given radius
// about screen point (px, py).
int BeamHitsBee(const GunPose& gun, int beamLength, int radius, int px, int py);
