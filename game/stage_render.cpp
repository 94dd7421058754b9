// The picture of the whole stage: every non-empty cell drawn from the tile
// sheet onto white, so the play scene needs one keyed copy per frame. The
// picture (262 MB) is kept from load to load and only the cells whose code
// changed are redrawn: a reload after a death redraws nothing.
#include <cstring>
#include "game/stage.h"
#include "game/assets.h"
#include "gfx/screen.h"

Surface imgLevel = nullptr;

namespace {
constexpr uint32_t WHITE = 0xFFFFFF;
constexpr uint32_t TILE_KEY = 0xFF00FF;  // magenta, the same in both byte orders

int renderedCodes[MAP_CELLS];          // code each cell of imgLevel shows
Surface renderedSheet = nullptr;       // the sheet it was drawn from
int renderedSheetWidth, renderedSheetHeight;
bool renderedValid = false;

void FillCellWhite(int row, int col, int scale)
{
    int side = TILE_SIZE * scale;
    uint32_t* base = imgLevel->pixels + (size_t)row * side * imgLevel->width + (size_t)col * side;
    for (int y = 0; y < side; ++y) {
        uint32_t* line = base + (size_t)y * imgLevel->width;
        for (int x = 0; x < side; ++x)
            line[x] = WHITE;
    }
}

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

// The sheet imgLevel now shows, so that the next load can tell whether it changed.
void RememberSheet()
{
    renderedSheet = imgTiles;
    renderedSheetWidth = imgTiles ? imgTiles->width : 0;
    renderedSheetHeight = imgTiles ? imgTiles->height : 0;
    renderedValid = true;
}

void DrawCell(int row, int col, int code, int scale)
{
    int sx;
    if (!SheetCell(code, scale, &sx)) return;
    int side = TILE_SIZE * scale;
    uint32_t* dst = imgLevel->pixels + (size_t)row * side * imgLevel->width + (size_t)col * side;
    const uint32_t* src = imgTiles->pixels + sx;
    for (int y = 0; y < side; ++y) {
        uint32_t* d = dst + (size_t)y * imgLevel->width;
        const uint32_t* s = src + (size_t)y * imgTiles->width;
        for (int x = 0; x < side; ++x)
            if ((s[x] & 0xFFFFFF) != TILE_KEY) d[x] = s[x];
    }
}
}

void InvalidateLevel()
{
    renderedValid = false;
}

void RenderLevel()
{
    int scale = PixelScale();
    int width = LEVEL_WIDTH * scale, height = LEVEL_HEIGHT * scale;
    if (!imgLevel || imgLevel->width != width || imgLevel->height != height) {
        DeleteSurface(imgLevel);
        imgLevel = CreateBlankSurface(LEVEL_WIDTH, LEVEL_HEIGHT);
        renderedValid = false;
        if (!imgLevel) return;
        // A new picture is all white: every cell already shows code 0.
        std::memset(renderedCodes, 0, sizeof renderedCodes);
        RememberSheet();
    }
    bool sameSheet = renderedValid && renderedSheet == imgTiles &&
                     (!imgTiles || (renderedSheetWidth == imgTiles->width &&
                                    renderedSheetHeight == imgTiles->height));
    const int* codes = &tileMap[0][0];
    for (int row = 0; row < MAP_ROWS; ++row) {
        for (int col = 0; col < MAP_COLS; ++col) {
            int i = row * MAP_COLS + col;
            if (sameSheet && renderedCodes[i] == codes[i]) continue;
            FillCellWhite(row, col, scale);
            DrawCell(row, col, codes[i], scale);
            renderedCodes[i] = codes[i];
        }
    }
    RememberSheet();
}
