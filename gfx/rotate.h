// Rotated copies (the gun, the beam, the mouse cursor) and the start-up tables
// of sines and cosines of whole degrees they read.
#pragma once
#include <cstdint>
#include "gfx/surface.h"

constexpr int TRIG_TABLE_SIZE = 365;
// sin / cos of i degrees for i = 0..364, with pi taken as 3.141592.
extern double sinTable[TRIG_TABLE_SIZE];
extern double cosTable[TRIG_TABLE_SIZE];

// Called once at start-up by the shell (and lazily by the rotations and
// DrawCircle, so tools and tests need not); filling twice changes nothing.
void FillTrigTables();

// The top-left, top-right and bottom-left corners of the (x, y, w, h)
// rectangle turned by angle degrees about (cx, cy), truncated to whole pixels
// as the rotations place them. Called by the rotations (and by tests).
struct TurnedCorners {
    int64_t x[3], y[3];
};
TurnedCorners TurnCorners(int64_t x, int64_t y, int64_t w, int64_t h, int angle,
                          int64_t cx, int64_t cy);

// Called by the gun and the title cursor. Draws the (sx, sy, sw, sh) block onto
// the (x, y, w, h) rectangle turned clockwise by angle degrees about the
// rectangle's centre, leaving out key-coloured pixels; a key above 0xFFFFFF
// means no key.
void DrawRotated(Surface dst, int x, int y, int w, int h,
                 Surface src, int sx, int sy, int sw, int sh, int angle, uint32_t key);
// Called by the beam and the play-scene cursor. As DrawRotated, turning about
// (x + px, y + py); a key with its top bit set (-1) means no key.
void DrawRotatedAboutPivot(Surface dst, int x, int y, int w, int h,
                           Surface src, int sx, int sy, int sw, int sh,
                           int angle, uint32_t key, int px, int py);
