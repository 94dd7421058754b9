// The start-up pictures: every surface the game keeps for its whole run, loaded
// once before the first scene, plus the back buffer and the backdrop layers
// composed from the two backdrop pictures.
#pragma once
#include "gfx/surface.h"

constexpr int CURTAIN_COUNT = 50;  // transition curtain pictures, files 1..50
constexpr int BACKDROP_COUNT = 3;  // far backdrop panels (the third is never drawn)
constexpr int BACKDROP_PANEL_WIDTH = 1920;
constexpr int BACKDROP_STRIP_WIDTH = 7680;
constexpr int BACKDROP_HEIGHT = 720;

extern Surface backBuffer;        // every scene draws its frame here
extern Surface imgTiles;          // tile sheet: one row of 64 x 64 cells
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

// Called once by GameMain after the final SetDisplayMode, before the first
// scene. A missing picture ends the program at that picture.
void LoadAssets();
// Called by LoadAssets and the title scene: count pictures from the curtain
// folder, numbered from firstNumber on, loaded in that order.
void LoadCurtainSurfaces(Surface* pictures, int count, int firstNumber);
// Called by LoadAssets once imgHaikei1 and imgHaikei2 are loaded.
void BuildBackdrops();
// Called by GameMain after the scene loop; deletes the start-up surfaces and
// the stage picture, in the order the program has always released them.
void DeleteStartupSurfaces();
