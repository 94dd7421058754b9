// Outline primitives: runs, lines, circles and boxes, in logical pixels. The
// game itself draws none of them; they complete the library for tools.
#pragma once
#include "gfx/surface.h"

// Pixels (x + i, y) for i = 0 .. length - 1; nothing when length <= 0.
void DrawHLine(Surface surface, int x, int y, int length, Colour colour);
// Pixels (x, y + i) for i = 0 .. length - 1; nothing when length <= 0.
void DrawVLine(Surface surface, int x, int y, int length, Colour colour);
// The line from (x0, y0) to (x1, y1), both ends included; the error term starts
// at 0, so the minor coordinate steps late and direction matters.
void DrawLine(Surface surface, int x0, int y0, int x1, int y1, Colour colour);
// A circle outline of 360 line segments from the start-up trig tables.
void DrawCircle(Surface surface, int cx, int cy, int radius, Colour colour);
// The w x h box at (x, y), filled when filled != 0, else outlined; both cover
// the same pixels. Pumps window messages afterwards (except for a 1 x 1 outline).
void DrawBox(Surface surface, int x, int y, int w, int h, int filled, Colour colour);
