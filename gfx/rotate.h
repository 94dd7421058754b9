// Rotated copies (the gun, the beam, the mouse cursor) and the start-up tables
// of sines and cosines of whole degrees they read.
#pragma once
#include <cstdint>
#include "gfx/surface.h"

constexpr int TRIG_TABLE_SIZE = 365;
// sin / cos of i degrees for i = 0..364, with pi taken as 3.141592.
extern double sinTable[TRIG_TABLE_SIZE];
extern double cosTable[TRIG_TABLE_SIZE];

// Fills sinTable and cosTable. TurnCorners, the rotations and DrawCircle
// fill them on first use, so only code that reads the tables itself needs to
// call it first; filling again changes nothing.
void FillTrigTables();

// The top-left, top-right and bottom-left corners of the (x, y, w, h)
// rectangle turned by angle degrees (taken modulo 360, negative ones too)
// about (cx, cy), each offset from the pivot truncated toward zero to whole
// pixels, exactly as the rotations place them.
struct TurnedCorners {
    int64_t x[3], y[3];
};
TurnedCorners TurnCorners(int64_t x, int64_t y, int64_t w, int64_t h, int angle,
                          int64_t cx, int64_t cy);

// Draws the (sx, sy, sw, sh) block of src onto the (x, y, w, h) rectangle of
// dst turned clockwise (on screen) by angle degrees about the rectangle's
// centre (its physical halves truncated toward zero), leaving out
// key-coloured pixels (key 0x00BBGGRR); a key above 0xFFFFFF means no key.
// All in logical pixels (x the pixel scale). Each destination pixel whose
// centre lies inside the turned rectangle takes the one source pixel its
// centre maps back to; those that map outside src are left alone. A negative
// sw or sh runs left or up from sx or sy (a mirrored copy). Draws nothing for
// no surface, a size of nothing, a rectangle turned to a line, or sizes past
// 2^15 or positions past 2^20 physical pixels. A run-length src is given
// flat pixels for good first, and dst flat pixels of its own.
void DrawRotated(Surface dst, int x, int y, int w, int h,
                 Surface src, int sx, int sy, int sw, int sh, int angle, uint32_t key);
// As DrawRotated, turning about (x + px, y + py); here only a key with its
// top bit set (-1) means no key, and any other is keyed by its low three
// bytes.
void DrawRotatedAboutPivot(Surface dst, int x, int y, int w, int h,
                           Surface src, int sx, int sy, int sw, int sh,
                           int angle, uint32_t key, int px, int py);
