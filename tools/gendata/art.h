// Every picture the game loads, painted in one style: a crystal meadow at
// dusk, deep indigo and teal with prism-coloured light. Each Make* function
// paints its picture afresh on every call, from fixed seeds, and returns it
// by value (flat 0xRRGGBB pixels, paint.h) in the size the game draws from;
// nothing is kept between calls. Sprites are magenta where they are
// see-through unless noted. The lettering (the title logo, the buttons)
// takes the fonts fontconfig picks; with none at all, it is left out.
#pragma once
#include <functional>

#include "paint.h"

// Shared palette.
namespace ink {
inline const Col OUTLINE = Hex(0x1B1433);
inline const Col NIGHT = Hex(0x141233);
inline const Col TEAL = Hex(0x2BB8A8);
inline const Col TEAL_LIGHT = Hex(0x7FE8D6);
inline const Col TEAL_DARK = Hex(0x1B7380);
inline const Col CORAL = Hex(0xFF6F91);
inline const Col GOLD = Hex(0xFFC53D);
inline const Col AMBER = Hex(0xE8912C);
inline const Col CYAN = Hex(0x5CE1FF);
inline const Col VIOLET = Hex(0x8B5CF6);
inline const Col STONE = Hex(0x4A4F7A);
}  // namespace ink

// Tile sheet: one row of 64 x 64 cells, code v at x = (v - 1) * 64.
constexpr int TILE_SHEET_CELLS = 48;
Picture MakeTileSheet();
// 64 x 64: the checkpoint's cell (code 4) as it shows while its crystal
// holds the respawn point, lit brighter and gold.
Picture MakeHeldCheckpoint();

// Character: two 80 x 128 pictures side by side (facing right, facing left).
enum Pose { POSE_IDLE_1, POSE_IDLE_2, POSE_FIRING };
Picture MakeCharacter(Pose pose);
Picture MakeGun();          // 128 x 64: facing right, facing left
Picture MakeBeeSheet();     // 512 x 320, 64 x 64 cells
Picture MakeCursor();       // 32 x 32
Picture MakeBeam();         // 8 x 32: the beam's cross-section in every column
Picture MakeMuzzleFlash();  // 32 x 32, black transparent
Picture MakeImpactSpark();  // 46 x 46, black transparent

// Backdrops, 1920 x 720, each repeating seamlessly every 1920 pixels.
Picture MakeFarBackdrop();
Picture MakeMiddleLayer();  // white lets the far backdrop through

// Screens.
constexpr int CURTAIN_PICTURES = 50;
constexpr int TITLE_FRAMES = 70;
Picture MakeCurtain(int k);  // 1280 x 680; 0 closed, black where open, all open from 48
// Paints the 70 title background frames (1280 x 720, opaque, sharing one
// palette of at most 256 colours so that no colour flickers between them)
// and hands them to sink in order, k = 0 .. 69; all 70 are held until the
// last is handed over, and each is only good during sink's call.
void MakeTitleFrames(const std::function<void(int, const Picture&)>& sink);
Picture MakeTitleLogo();     // 793 x 487, magenta transparent
Picture MakeStartButton();   // 537 x 248
Picture MakeEndButton();     // 397 x 248
Picture MakeResultsBackground();  // 1280 x 680
Picture MakeWhite();         // 64 x 64 white
