// The layers of a stage seen through the camera, back to front as a play
// frame draws them: the far backdrop, the middle backdrop, the gun, the stage
// picture, the character, the bees, the clock and the cursor. The play frame,
// its curtains and the start view before a stage (start_sequence.h) all draw
// with these. Each draws into backBuffer from the start-up pictures, which
// must be loaded (LoadAssets); the stage layer needs the stage rendered
// (LoadStage).
#pragma once
#include <cstdint>
#include "game/stage.h"
#include "gfx/surface.h"

// The far backdrop: three panels side by side (0, 1, 1) seen through a
// window at scroll; the parts of the screen no panel reaches are left as
// they were.
void DrawFarBackdrop(int scroll);
// Whether the three panels at scroll fill every pixel a clear of the screen
// would, so that the clear under them can go. False when in doubt: no back
// buffer, a screen larger than 1280 x 720, a panel missing or too short.
// Draws nothing.
bool FarBackdropHidesClear(int scroll);
// The middle layer at x, half the camera's x: white lets the far layer through.
void DrawMiddleLayer(int x);
// The stage picture from the camera (x, y); beyond the stage's edges the copy
// reads outside the picture and paints black. The crystal held (the one
// holding the respawn point) is drawn lit; none before the first is taken.
void DrawStageLayer(int x, int y, CrystalSpan held = CrystalSpan{});
// The character at the screen's centre: picture (imgKyara, imgKyara2 or
// imgKyara3), facing left or right.
void DrawCharacter(Surface picture, int facingLeft);
// The run's clock, in the digits of the results screen.
void DrawClock(uint32_t timeMs);
// "ASSIST", small in the top left corner: a run played at a lower game speed.
void DrawAssistMark();
// "PRACTICE" in the top right corner: a run from a checkpoint, never ranked.
void DrawPracticeMark();
// The aiming cursor, its corner at (x, y), turned by angle.
void DrawCursor(int x, int y, int angle);
// A curtain picture (0..49) over the whole screen, black see-through.
void DrawCurtain(int picture);
