// How the menus look: their rows in the game's lettering, the selected one
// lit, over a darkened picture. Draws into backBuffer; needs the fonts the
// game's text uses.
#pragma once
#include "game/menu.h"
#include "gfx/surface.h"

// A copy of what backBuffer shows now, darkened to (100 - percent) % of its
// light; the caller owns it (DeleteSurface).
Surface DarkenedScreenCopy(int percent);
// Darkens a block of surface further, to (100 - percent) %.
void DarkenBlock(Surface surface, int x, int y, int width, int height, int percent);
// The heading, large, at (x, y).
void DrawMenuHeading(int x, int y, const char* text);
// One row of the menu: its label at the row's left, lit when selected.
void DrawMenuRow(const Menu& menu, int row, const char* label);
// One line of a row's label in letters of another height, dy below the
// row's top: a label too long for one line of the menu's letters.
void DrawMenuRowLine(const Menu& menu, int row, int dy, int letterHeight, const char* text);
// A row's value (as "< 70 % >"), drawn at x within the row.
void DrawMenuValue(const Menu& menu, int row, int x, const char* value);
// The night sky behind play, darkened to half its light, as the settings
// pages lie over it; the caller owns it (DeleteSurface).
Surface DarkenedNightSky();
