// The stage: the grid of tile codes read from a stage file (tileMap), what
// each code means to the character, the beam and the bees, and the picture of
// the whole stage seen through the camera.
//
// There is one stage at a time on each thread: tileMap is this module's, one
// grid per thread, and holds whatever that thread read last. The game plays
// on one thread; the board server verifies runs on several at once, each on
// its own grid. Stage files are read from ./txt/ of the current folder, so
// the data folder must have been chosen first (ChooseDataFolder). The rules
// (TileAt and the Is*Tile tests) and ReadStageFile need nothing else loaded;
// the picture needs the tile sheet (imgTiles, LoadAssets) to be loaded before
// it is rendered, or every cell shows white. The picture is never held as
// pixels: a render only remembers which sheet cell each map cell shows, and
// DrawLevel draws the cells in view from this module's own copy of the sheet,
// which DeleteLevel frees.
#pragma once
#include <cstddef>
#include <vector>
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

// Row first; all 0 until the first load. Where the build asks for it
// (the Linux build, whose board server verifies runs on several threads at
// once) each thread has a grid of its own; constinit, so that no thread's
// copy needs a start-up call and reading a cell costs what a plain global's
// does. The browser has no threads and the Windows game needs none: there it
// is a plain global.
#if PRISMVELDT_GRID_PER_THREAD
#define PRISMVELDT_GRID_STORAGE constinit thread_local
#else
#define PRISMVELDT_GRID_STORAGE constinit
#endif
extern PRISMVELDT_GRID_STORAGE int tileMap[MAP_ROWS][MAP_COLS];

// The code of the cell holding world point (x, y): cell (x / 64, y / 64), a
// point on a cell's left or top edge belonging to that cell. TILE_OUTSIDE for
// a point outside the grid, even by a fraction of a pixel, and for NaN; never
// a read past tileMap. The float form takes single-precision points as the
// body's probes have them, the int form whole pixels as the beam samples them.
int TileAt(float x, float y);
int TileAt(int x, int y);
// Codes 1..4, 12..26 and 46 (hives, nests and checkpoints among them, the
// goal not): the character cannot enter these and the beam stops at them.
bool IsSolidTile(int code);
// Codes 5..8: the character dies when a point 2 pixels either side of its
// centre lies in one.
bool IsDeadlyTile(int code);
// Hives and nests (codes 2 and 3): while one of the body's probes touches
// one, every bee flies eight times faster.
bool IsHiveTile(int code);

// Reads the file of stage into tileMap, as ReadStageFile does, and renders the
// stage picture from it (RenderLevel). On any failure of ReadStageFile it
// prints "ファイルオープンエラー" on standard output and ends the program
// (status 0); it returns only with the stage loaded.
void LoadStage(int stage);
// Reads ./txt/dw_stage<stage>.txt (the game ships stages 1..4; any other
// number names a file that is normally missing) into tileMap without
// drawing, a piece at a time: only the first 4 MiB are ever looked at, and
// reading ends at the 8000th number. The numbers fill tileMap row by row from
// its first cell; the cells after the last number read keep the values they
// had (the stage read before, or zeros), so a caller that wants a clean grid
// clears it first. False for a file that is missing, not a regular file,
// unreadable or failing part way, or that holds not a single number but
// something else; tileMap may then be partly overwritten. A file that is
// empty or only white space is not a failure: it changes nothing.
bool ReadStageFile(int stage);
// While cells is set, LoadStage(any stage) copies these MAP_CELLS codes (row
// by row; the caller keeps them alive and unchanged meanwhile) into tileMap
// instead of reading a file: the editor's stage, played as it stands.
// nullptr goes back to the files.
void PlayStageCells(const int* cells);
// While stages is set (a stage pack's grids, MAP_CELLS codes each, row by
// row; the caller keeps them alive and unchanged meanwhile), ReadStageFile
// reads stage n from stages[n - 1] instead of ./txt/, whole, and is false
// for a stage past its end: the pack is played in place of the shipped
// stages. nullptr goes back to the files.
void PlayStagePack(const std::vector<std::vector<int>>* stages);

// Reads up to MAP_CELLS numbers the way "%d " does into cells, row by row.
// Reading stops at the first token that is not a number or would not fit an
// int; the cells after it keep their values. A UTF-8 byte-order mark is
// skipped and UTF-16 text (with its mark) decoded. text need not be
// terminated. Returns how many cells were written.
int ParseStageNumbers(const char* text, size_t length, int cells[MAP_CELLS]);

// The same reading in pieces, so that a file can be read through a small
// buffer whatever its size. Start once, then Feed the text's pieces in order,
// broken anywhere (inside a number, a byte-order mark or a UTF-16 character
// too), always with the same cells; Feed returns false once no more numbers
// will be taken, and later pieces may then be left unread. Finish once at the
// end: it completes a number the text ended in and returns how many cells
// were written. Afterwards stoppedAtJunk tells whether reading ended at
// something that is not a number.
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
void StartStageParser(StageParser* parser);
bool FeedStageParser(StageParser* parser, const char* text, size_t length, int cells[MAP_CELLS]);
int FinishStageParser(StageParser* parser, int cells[MAP_CELLS]);

// The stage picture: LEVEL_WIDTH x LEVEL_HEIGHT, each cell of tileMap drawn
// from the tile sheet (magenta left out) on white, white below the grid. It is
// never held as pixels; DrawLevel draws the cells in view.
//
// Makes the stage picture show tileMap, imgTiles and the pixel scale as they
// are now, until the next call: copies the sheet (magenta made white) and
// notes each cell's place in it. Codes the sheet has no whole cell for
// (negative ones, ones past its end) show white, and so does everything
// when no sheet is loaded.
void RenderLevel();
// For code that changes the tile sheet or the pixel scale: the render is
// forgotten, so nothing stale is drawn; DrawLevel draws nothing (not even
// black) and LevelPixel answers CLR_INVALID until the next RenderLevel.
void InvalidateLevel();
// Draws the stage picture from (sx, sy) into the block (x, y, w, h) of dst,
// logical pixels, as DrawColorKeyed(dst, x, y, w, h, <stage picture>, sx, sy,
// white) would: black where the block leaves the stage. Nothing at all while
// no render is current (before the first RenderLevel, after InvalidateLevel
// or DeleteLevel), nor for no dst or an empty block.
void DrawLevel(Surface dst, int x, int y, int w, int h, int sx, int sy);
// The physical pixel (px, py) of the stage picture (0x00RRGGBB), CLR_INVALID
// outside it or while no render is current.
uint32_t LevelPixel(int px, int py);
// A checkpoint crystal: checkpoint cells side by side in one row, as the
// stages lay them (two or four wide). row -1: none.
struct CrystalSpan {
    int row = -1;
    int firstCol = 0, lastCol = -1;
    bool operator==(const CrystalSpan&) const = default;
};
// The crystal that holds the respawn point (respawnCamX, respawnCamY), a
// camera position: the middle foot stood on it when the point was taken, so
// it is the run of checkpoint cells in tileMap round the cell under that
// foot. None when that cell is no checkpoint (the stage's start) or lies
// outside the grid.
CrystalSpan HeldCrystal(int respawnCamX, int respawnCamY);
// DrawLevel, with the cells of held drawn from imgCheckpointHeld (magenta
// left out) instead of the sheet: the crystal that holds the respawn point,
// lit. Just DrawLevel when held is none, when its cells are no checkpoints in
// the render, or without that picture (a data folder that has none).
void DrawLevelHeld(Surface dst, int x, int y, int w, int h, int sx, int sy, CrystalSpan held);
// Frees the stage picture's copy of the tile sheet and forgets the render
// (imgTiles itself is the asset module's). A later RenderLevel makes both
// again.
void DeleteLevel();
