// A small picture of a whole stage, for the stage select: one block of
// THUMBNAIL_CELL x THUMBNAIL_CELL pixels for each cell of the grid, coloured
// by what the cell is to the character (open air, wall, a deadly cell, a hive
// or nest, a checkpoint, the goal). Drawn from the stage file alone, in a few
// milliseconds, so nothing extra is shipped.
#pragma once
#include "gfx/surface.h"

constexpr int THUMBNAIL_CELL = 2;
constexpr int THUMBNAIL_WIDTH = 200 * THUMBNAIL_CELL;  // MAP_COLS cells
constexpr int THUMBNAIL_HEIGHT = 40 * THUMBNAIL_CELL;  // MAP_ROWS cells

// The colour (0x00BBGGRR) a cell of code shows in the picture.
Colour ThumbnailColour(int code);
// The picture of stage (1..4) as its file reads now; the caller owns it
// (DeleteSurface). Reads the file into tileMap, cleared first, so the stage
// that was loaded is gone: whoever plays next loads theirs (LoadStage). A
// file that is missing or unreadable gives a picture of open air only.
Surface MakeStageThumbnail(int stage);
