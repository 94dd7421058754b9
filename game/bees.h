// The bees: one waits at every nest of the stage, wakes when it comes into
// view, flies straight at the character and kills it on touch; the beam kills
// bees. The list is rebuilt from the map after every stage load.
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

extern Bee bees[MAX_BEES];
extern int beeCount;

// Called by RunPlayScene right after every LoadStage: one waiting bee per nest
// cell, row by row; nests past MAX_BEES are ignored.
void SpawnBees();

// One bee picture to draw: screen position and the sheet cell.
struct BeeSprite {
    int x, y;
    int sheetX, sheetY;
};
// Called by UpdateBees: the whole frame of every bee without the drawing; the
// pictures to draw are listed in sprites (room for MAX_BEES), in order.
// Returns how many. May set sceneId to SCENE_DIED.
int StepBees(int camX, int camY, int mouseX, int mouseY, int* beamLength, int firing,
             BeeSprite* sprites);

// Called by RunPlayScene once per play frame, after the character is drawn:
// wakes, moves, kills and draws the bees.
void UpdateBees(int camX, int camY, int mouseX, int mouseY, int* beamLength, int firing);

// Called by StepBees for every bee: 1 when the beam band drawn this frame
// touches the circle of the given radius about screen point (px, py).
int BeamHitsBee(int mouseX, int mouseY, int* beamLength, int radius, int px, int py);
