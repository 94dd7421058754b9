// The start-up pictures: every surface the game keeps for its whole run, plus
// the back buffer and the backdrop layers composed from the two backdrop
// pictures. They are this module's: loaded once the display mode is set (in
// the game, once the start-up question is answered, before the title) and
// deleted together when the scenes are over. Until LoadAssets every one is
// nullptr. Pictures are read from ./bmp of the data folder, so
// ChooseDataFolder comes first.
#pragma once
#include "gfx/surface.h"

constexpr int CURTAIN_COUNT = 50;  // transition curtain pictures, files 1..50
constexpr int BACKDROP_COUNT = 3;  // far backdrop panels (the third is never drawn)
constexpr int BACKDROP_PANEL_WIDTH = 1920;
constexpr int BACKDROP_STRIP_WIDTH = 7680;
constexpr int BACKDROP_HEIGHT = 720;

extern Surface backBuffer;        // every scene draws its frame here
extern Surface imgTiles;          // tile sheet: one row of 64 x 64 cells
extern Surface imgCheckpointHeld; // 64 x 64 checkpoint cell, lit: it holds the respawn point (may be nullptr)
extern Surface imgKyara2;         // idle picture 1, two 80 x 128 facings
extern Surface imgKyara3;         // idle picture 2
extern Surface imgKyara;          // firing picture
extern Surface imgHaikei1;        // source of the middle backdrop layer
extern Surface imgHaikei2;        // source of the far backdrop
extern Surface imgClear;          // results screen background
extern Surface imgCurtain[CURTAIN_COUNT];
extern Surface imgBee;            // bee sheet, 64 x 64 cells
extern Surface imgCursor;         // 32 x 32 aiming cursor
extern Surface imgLazer;          // beam cross-section in its first column
extern Surface imgHansya;         // 32 x 32 muzzle flash
extern Surface imgHansya2;        // 46 x 46 impact spark
extern Surface imgGun;            // ray gun, two 64 x 64 facings
extern Surface imgBackdropStrip;  // middle layer, 7680 x 720, white lets the far layer through
extern Surface imgBackdrop[BACKDROP_COUNT];  // far backdrop panels, 1920 x 720

// Loads every start-up picture in a fixed order, makes the back buffer for
// the screen and builds the backdrops. Once per program, after the display
// mode the game will run in is set (the pictures and the back buffer take its
// pixel scale and screen size). A missing or unusable picture ends the
// program at that picture (LoadBitmapSurface). The held checkpoint's picture
// alone may be missing (an older data folder): it is then nullptr, and no
// crystal is drawn lit.
void LoadAssets();
// count pictures from the curtain folder, ./bmp/curtain/N.bmp for N from
// firstNumber on, loaded in that order (held compactly) into pictures[0..
// count - 1]; a missing one ends the program as LoadBitmapSurface does. The
// caller owns what it loads and deletes it (DeleteSurface).
void LoadCurtainSurfaces(Surface* pictures, int count, int firstNumber);
// Builds imgBackdropStrip (four copies of imgHaikei1's left 1920 columns,
// white where it has none) and imgBackdrop (imgHaikei2 on white, the panels
// sharing its pixels). imgHaikei1 and imgHaikei2 must be loaded; whatever the
// backdrops held before is not freed.
void BuildBackdrops();
// Once the scenes are over: deletes the start-up surfaces and the stage
// picture's sheet (DeleteLevel) in a fixed order, setting each to nullptr.
// Nothing may be drawn with them afterwards. The title's own pictures are
// the title's to free.
void DeleteStartupSurfaces();
