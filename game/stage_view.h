// The layers of a stage seen through the camera, back to front as a play
// frame draws them: the far backdrop, the middle backdrop, the gun, the stage
// picture, the character, the bees, the clock and the cursor. The play frame,
// its curtains and the start view of the title and results scenes all draw
// with these.
#pragma once
#include <cstdint>
#include "gfx/surface.h"

// Called by the play and death-curtain frames and the start view: three
// panels side by side (0, 1, 1) seen through a window at scroll.
void DrawFarBackdrop(int scroll);
// Called by DrawPlayFrame: whether the three panels at scroll fill every
// pixel a clear of the screen would, so that the clear under them can go.
bool FarBackdropHidesClear(int scroll);
// The middle layer at x, half the camera's x: white lets the far layer through.
void DrawMiddleLayer(int x);
// The stage picture from the camera (x, y); beyond the stage's edges the copy
// reads outside the picture and paints black.
void DrawStageLayer(int x, int y);
// The character at the screen's centre: picture (imgKyara, imgKyara2 or
// imgKyara3), facing left or right.
void DrawCharacter(Surface picture, int facingLeft);
// The run's clock, in the digits of the results screen.
void DrawClock(uint32_t timeMs);
// The aiming cursor, its corner at (x, y), turned by angle.
void DrawCursor(int x, int y, int angle);
// A curtain picture (0..49) over the whole screen, black see-through.
void DrawCurtain(int picture);
