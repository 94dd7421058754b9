// The picture of the whole stage: every non-empty cell drawn from the tile
// sheet onto white, seen through the camera with white left out. It is never
// held as pixels (it would be 12800 x 5120, 262 MB): a render remembers which
// sheet cell each map cell shows, and a draw copies only the cells in view,
// straight from a copy of the sheet whose magenta is already white. Cells that
// show nothing cost nothing; where the view leaves the stage it is black, as a
// copy from outside any picture is.
#include <algorithm>
#include <cstring>
#include "game/stage.h"
#include "game/assets.h"
#include "gfx/blit.h"
#include "gfx/screen.h"

namespace {
constexpr uint32_t WHITE = 0xFFFFFF;
constexpr uint32_t TILE_KEY = 0xFF00FF;  // magenta, the same in both byte orders

// Where in imgLevelTiles each map cell's picture starts (physical pixels), or
// -1 for a cell that shows white. Set by RenderLevel from the codes and sheet
// of that moment, so a draw shows the stage as it was loaded.
int cellSheetX[MAP_CELLS];
bool rendered = false;
// The tile sheet as the stage shows it: magenta turned to white.
Surface imgLevelTiles = nullptr;

// The cell of the sheet for a code, or false when the sheet has no whole cell
// for it (negative codes, codes past the sheet's end): those draw nothing,
// rather than the black that a copy from outside the sheet would leave.
bool SheetCell(int code, int scale, int* sx)
{
    if (!imgTiles || code < 1) return false;
    long long left = (long long)(code - 1) * TILE_SIZE * scale;
    int side = TILE_SIZE * scale;
    if (left + side > imgTiles->width || side > imgTiles->height) return false;
    *sx = (int)left;
    return true;
}

// Copies imgTiles with its magenta made white. Nothing when there is no sheet
// (then no cell shows anything either).
void CopySheet()
{
    DeleteSurface(imgLevelTiles);
    imgLevelTiles = nullptr;
    if (!imgTiles || !imgTiles->pixels) return;
    int scale = PixelScale();
    imgLevelTiles = CreateBlankSurface(imgTiles->width / scale, imgTiles->height / scale);
    // A sheet whose size is not a whole number of logical pixels keeps only
    // the whole cells, which are all a cell ever reads.
    int w = std::min(imgLevelTiles->width, imgTiles->width);
    int h = std::min(imgLevelTiles->height, imgTiles->height);
    uint32_t* pixels = WritablePixels(imgLevelTiles);
    for (int y = 0; y < h; ++y) {
        const uint32_t* s = imgTiles->pixels + (size_t)y * imgTiles->width;
        uint32_t* d = pixels + (size_t)y * imgLevelTiles->width;
        for (int x = 0; x < w; ++x)
            d[x] = (s[x] & 0xFFFFFF) == TILE_KEY ? WHITE : s[x];
    }
}
}

void InvalidateLevel()
{
    rendered = false;
}

void RenderLevel()
{
    int scale = PixelScale();
    CopySheet();
    const int* codes = &tileMap[0][0];
    for (int i = 0; i < MAP_CELLS; ++i) {
        int sx;
        cellSheetX[i] = SheetCell(codes[i], scale, &sx) && imgLevelTiles ? sx : -1;
    }
    rendered = true;
}

void DrawLevel(Surface dst, int x, int y, int w, int h, int sx, int sy)
{
    DrawLevelHeld(dst, x, y, w, h, sx, sy, CrystalSpan{});
}

CrystalSpan HeldCrystal(int respawnCamX, int respawnCamY)
{
    // The middle foot's probe: the character's centre, 50 pixels down.
    long long x = (long long)respawnCamX + 640, y = (long long)respawnCamY + 360 + 50;
    CrystalSpan span;
    if (x < 0 || y < 0 || x >= MAP_WIDTH || y >= MAP_HEIGHT) return span;
    int row = int(y / TILE_SIZE), col = int(x / TILE_SIZE);
    if (tileMap[row][col] != TILE_CHECKPOINT) return span;
    span.row = row;
    span.firstCol = span.lastCol = col;
    while (span.firstCol > 0 && tileMap[row][span.firstCol - 1] == TILE_CHECKPOINT) span.firstCol--;
    while (span.lastCol < MAP_COLS - 1 && tileMap[row][span.lastCol + 1] == TILE_CHECKPOINT) span.lastCol++;
    return span;
}

void DrawLevelHeld(Surface dst, int x, int y, int w, int h, int sx, int sy, CrystalSpan held)
{
    if (!rendered || !dst || w <= 0 || h <= 0) return;
    const int64_t s = PixelScale();
    // Physical view rectangle and the part of it that shows the stage.
    int64_t X = x * s, Y = y * s, W = w * s, H = h * s, SX = sx * s, SY = sy * s;
    int64_t LW = int64_t(LEVEL_WIDTH) * s, LH = int64_t(LEVEL_HEIGHT) * s;
    int64_t in0 = std::clamp<int64_t>(-SX, 0, W), in1 = std::clamp<int64_t>(LW - SX, in0, W);
    int64_t jn0 = std::clamp<int64_t>(-SY, 0, H), jn1 = std::clamp<int64_t>(LH - SY, jn0, H);
    // Black around the stage.
    FillPhysicalBlock(dst, X, Y, W, jn0, 0);
    FillPhysicalBlock(dst, X, Y + jn1, W, H - jn1, 0);
    FillPhysicalBlock(dst, X, Y + jn0, in0, jn1 - jn0, 0);
    FillPhysicalBlock(dst, X + in1, Y + jn0, W - in1, jn1 - jn0, 0);
    if (in0 >= in1 || jn0 >= jn1) return;
    // The cells in view, in logical pixels of the stage.
    int left = int((SX + in0) / s), right = int((SX + in1) / s);
    int top = int((SY + jn0) / s), bottom = int((SY + jn1) / s);
    int firstCol = left / TILE_SIZE, lastCol = std::min((right - 1) / TILE_SIZE, MAP_COLS - 1);
    int firstRow = top / TILE_SIZE, lastRow = std::min((bottom - 1) / TILE_SIZE, MAP_ROWS - 1);
    // The held crystal's cells, where the render shows a checkpoint: the
    // picture of the stage as loaded decides, not tileMap now.
    int checkpointSheetX = -1;
    // A lit picture smaller than a cell is not used: it would leave part of
    // the crystal undrawn.
    bool lit = imgCheckpointHeld && imgCheckpointHeld->width >= TILE_SIZE * s &&
               imgCheckpointHeld->height >= TILE_SIZE * s && held.row >= 0 && held.row < MAP_ROWS &&
               SheetCell(TILE_CHECKPOINT, (int)s, &checkpointSheetX);
    for (int row = firstRow; row <= lastRow; ++row) {
        int cy0 = std::max(row * TILE_SIZE, top), cy1 = std::min(row * TILE_SIZE + TILE_SIZE, bottom);
        for (int col = firstCol; col <= lastCol; ++col) {
            int sheetX = cellSheetX[row * MAP_COLS + col];
            if (sheetX < 0) continue;
            int cx0 = std::max(col * TILE_SIZE, left), cx1 = std::min(col * TILE_SIZE + TILE_SIZE, right);
            if (lit && row == held.row && col >= held.firstCol && col <= held.lastCol &&
                sheetX == checkpointSheetX) {
                DrawColorKeyed(dst, x + (cx0 - sx), y + (cy0 - sy), cx1 - cx0, cy1 - cy0, imgCheckpointHeld,
                               cx0 - col * TILE_SIZE, cy0 - row * TILE_SIZE, TILE_KEY);
                continue;
            }
            DrawColorKeyed(dst, x + (cx0 - sx), y + (cy0 - sy), cx1 - cx0, cy1 - cy0, imgLevelTiles,
                           int(sheetX / s) + (cx0 - col * TILE_SIZE), cy0 - row * TILE_SIZE, WHITE);
        }
    }
}

uint32_t LevelPixel(int px, int py)
{
    int s = PixelScale();
    if (!rendered || px < 0 || py < 0 || px >= LEVEL_WIDTH * s || py >= LEVEL_HEIGHT * s)
        return CLR_INVALID;
    int side = TILE_SIZE * s;
    int row = py / side, col = px / side;
    if (row >= MAP_ROWS || col >= MAP_COLS) return WHITE;
    int sheetX = cellSheetX[row * MAP_COLS + col];
    if (sheetX < 0) return WHITE;
    return imgLevelTiles->pixels[(size_t)(py % side) * imgLevelTiles->width + sheetX + px % side];
}

void DeleteLevel()
{
    DeleteSurface(imgLevelTiles);
    imgLevelTiles = nullptr;
    rendered = false;
}
