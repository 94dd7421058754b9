// The stage: the grid of tile codes read from a stage file, what each code
// means to the character, the beam and the bees, and the pre-rendered picture
// of the whole stage that the play scene draws in one copy per frame.
#pragma once
#include <cstddef>
#include "gfx/surface.h"

constexpr int TILE_SIZE = 64;
constexpr int MAP_ROWS = 40;
constexpr int MAP_COLS = 200;
constexpr int MAP_CELLS = MAP_ROWS * MAP_COLS;
constexpr int MAP_WIDTH = TILE_SIZE * MAP_COLS;   // 12800: the grid in world pixels
constexpr int MAP_HEIGHT = TILE_SIZE * MAP_ROWS;  // 2560
// The stage picture is twice the grid's height; the part below the grid
// stays white (see-through) whatever the stage.
constexpr int LEVEL_WIDTH = 12800;
constexpr int LEVEL_HEIGHT = 5120;

enum {
    TILE_EMPTY = 0,
    TILE_BLOCK = 1,
    TILE_HIVE = 2,
    TILE_BEE_NEST = 3,
    TILE_CHECKPOINT = 4,
    TILE_GOAL = 11
};
// What TileAt answers for a point outside the stage: a plain block, so that
// neither the character nor the beam ever leaves the map.
constexpr int TILE_OUTSIDE = TILE_BLOCK;

extern int tileMap[MAP_ROWS][MAP_COLS];  // row first; all 0 until the first load

// Called by the probes of CollidePlayer (single-precision points) and by the
// beam's march (whole pixels): the code of the cell holding world point (x, y),
// or TILE_OUTSIDE when the point lies outside the grid.
int TileAt(float x, float y);
int TileAt(int x, int y);
// Called by the collision probes and the beam: the character cannot enter
// these and the beam stops at them.
bool IsSolidTile(int code);
// Called by CollidePlayer: the character dies when its centre reaches one.
bool IsDeadlyTile(int code);
// Called by CollidePlayer: touching one makes every bee fly eight times faster.
bool IsHiveTile(int code);

// Reads the file of stage (1..4) into tileMap and brings the stage picture
// (DrawLevel) up to date with it. A file that is missing, not a regular
// file, or holds not a single number but something else prints
// "ファイルオープンエラー" and ends the program (status 0).
void LoadStage(int stage);
// Called by LoadStage and the verifier: reads the file of stage into tileMap
// without drawing; false (tileMap perhaps half read) for a file that is
// missing, not a regular file, unreadable, or holds not a single number but
// something else.
bool ReadStageFile(int stage);

// Called by LoadStage (and the tests): reads up to MAP_CELLS numbers the way
// "%d " does into cells, row by row. Reading stops at the first token that is
// not a number or would not fit an int; the cells after it keep their values.
// A UTF-8 byte-order mark is skipped and UTF-16 text (with its mark) decoded.
// Returns how many cells were written.
int ParseStageNumbers(const char* text, size_t length, int cells[MAP_CELLS]);

// The same reading in pieces, so that LoadStage can read a file of any size
// through a small buffer. Feed returns false once no more numbers will be taken.
struct StageParser {
    int count;           // cells written so far
    int state;
    bool negative;
    long long magnitude;
    bool stoppedAtJunk;  // reading ended at something that is not a number
    int encoding;        // how the text is stored, once its first bytes are in
    unsigned char head[3];
    int headLength;
    int pendingByte;     // first half of a UTF-16 character, or -1
};
// Called by LoadStage and ParseStageNumbers.
void StartStageParser(StageParser* parser);
bool FeedStageParser(StageParser* parser, const char* text, size_t length, int cells[MAP_CELLS]);
int FinishStageParser(StageParser* parser, int cells[MAP_CELLS]);

// The stage picture: LEVEL_WIDTH x LEVEL_HEIGHT, each cell of tileMap drawn
// from the tile sheet (magenta left out) on white, white below the grid. It is
// never held as pixels; DrawLevel draws the cells in view.
//
// Called by LoadStage (and the tests): the stage picture shows tileMap and
// imgTiles as they are now, until the next call.
void RenderLevel();
// Called by the tests and by code that swaps the tile sheet: nothing is drawn
// until the next RenderLevel.
void InvalidateLevel();
// Called by the play, title and results scenes' stage layer: as
// DrawColorKeyed(dst, x, y, w, h, <stage picture>, sx, sy, white) would,
// black where the block leaves the stage; nothing before the first render.
void DrawLevel(Surface dst, int x, int y, int w, int h, int sx, int sy);
// Called by the tests: the physical pixel (px, py) of the stage picture
// (0x00RRGGBB), CLR_INVALID outside it or before the first render.
uint32_t LevelPixel(int px, int py);
// Called by DeleteStartupSurfaces: lets go of the stage picture's sheet.
void DeleteLevel();
