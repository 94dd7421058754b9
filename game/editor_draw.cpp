// The stage editor's picture: the backdrop, the grid's cells from the tile
// sheet at the zoom, the start's mark, the rectangle being dragged, the
// palette, the status line and the question on leaving.
#include <algorithm>
#include <cstdio>

#include "game/assets.h"
#include "game/editor_scene.h"
#include "game/play_state.h"
#include "game/stage.h"
#include "game/stage_view.h"
#include "gfx/blit.h"
#include "gfx/shapes.h"
#include "gfx/text.h"
#include "input/input.h"
#include "platform/platform.h"

namespace {

constexpr uint32_t TILE_KEY = 0xFF00FF;
constexpr Colour PANEL = 0x302018, STATUS = 0x000000, EDGE = 0xFFFFFF, LIT = 0x64FFFF, TEXT = 0xF0F0F0;
constexpr Colour START_MARK = 0x40FF40, RECT_MARK = 0x40C0FF, UNKNOWN = 0x8000FF, FARTHEST = 0x3030FF;

int Screen(int world, int view, int cell) { return (int)(((long long)world - view) * cell / TILE_SIZE); }

// A code's picture in the size x size block at (x, y): the sheet's cell, or a
// mark for a code the sheet has no cell for.
void DrawCode(int code, int x, int y, int size)
{
    if (code == TILE_EMPTY) return;
    int sheetWidth = imgTiles ? imgTiles->width / PixelScale() : 0;
    if (code < 1 || (long long)code * TILE_SIZE > sheetWidth) {
        DrawBox(backBuffer, x + 1, y + 1, size - 2, size - 2, 0, UNKNOWN);
        DrawLine(backBuffer, x + 1, y + 1, x + size - 2, y + size - 2, UNKNOWN);
        return;
    }
    DrawStretchedColorKeyed(backBuffer, x, y, size, size, imgTiles, (code - 1) * TILE_SIZE, 0, TILE_SIZE, TILE_SIZE,
                            TILE_KEY);
}

void DrawMap(const EditorScene& e)
{
    int cell = EditorCellSize(e.zoom);
    int mapHeight = EDITOR_SCREEN_HEIGHT - EDITOR_STATUS_HEIGHT;
    int firstCol = std::max(0, e.viewX / TILE_SIZE - 1), firstRow = std::max(0, e.viewY / TILE_SIZE - 1);
    int cols = EDITOR_MAP_WIDTH / cell + 3, rows = mapHeight / cell + 3;
    for (int r = firstRow; r < std::min(MAP_ROWS, firstRow + rows); r++)
        for (int c = firstCol; c < std::min(MAP_COLS, firstCol + cols); c++)
            DrawCode(e.cells[r * MAP_COLS + c], Screen(c * TILE_SIZE, e.viewX, cell), Screen(r * TILE_SIZE, e.viewY, cell),
                     cell);
    // The grid's edge.
    DrawBox(backBuffer, Screen(0, e.viewX, cell) - 1, Screen(0, e.viewY, cell) - 1, MAP_COLS * cell + 2,
            MAP_ROWS * cell + 2, 0, EDGE);
    // The start: the character as it stands when every run begins.
    int sx = Screen((int)START_CAM_X + 600, e.viewX, cell), sy = Screen((int)START_CAM_Y + 296, e.viewY, cell);
    int sw = 80 * cell / TILE_SIZE, sh = 128 * cell / TILE_SIZE;
    if (imgKyara2) DrawStretchedColorKeyed(backBuffer, sx, sy, sw, sh, imgKyara2, 0, 0, 80, 128, TILE_KEY);
    DrawBox(backBuffer, sx - 1, sy - 1, sw + 2, sh + 2, 0, START_MARK);
    SetFont(7, 14, "IMPACT");
    PrintTextOn(backBuffer, sx, sy - 16, START_MARK, COLOR_NONE, "START");
    // The nearest the proof's search came to a goal.
    if (e.proof.marked && e.proof.status != PROOF_CLEARABLE) {
        int mx = Screen(e.proof.markX, e.viewX, cell), my = Screen(e.proof.markY, e.viewY, cell);
        int radius = std::max(6, 48 * cell / TILE_SIZE);
        DrawCircle(backBuffer, mx, my, radius, FARTHEST);
        DrawCircle(backBuffer, mx, my, radius + 1, FARTHEST);
        DrawLine(backBuffer, mx - radius / 2, my - radius / 2, mx + radius / 2, my + radius / 2, FARTHEST);
        DrawLine(backBuffer, mx - radius / 2, my + radius / 2, mx + radius / 2, my - radius / 2, FARTHEST);
        PrintTextOn(backBuffer, mx + radius + 4, my - 7, FARTHEST, COLOR_NONE, "FARTHEST");
    }
    ReleaseFont();
}

void DrawPointerCell(const EditorScene& e, int x, int y)
{
    int cell = EditorCellSize(e.zoom);
    long long k = TILE_SIZE / cell;
    long long wx = e.viewX + x * k, wy = e.viewY + y * k;
    bool onMap = x >= 0 && x < EDITOR_MAP_WIDTH && y >= 0 && y < EDITOR_SCREEN_HEIGHT - EDITOR_STATUS_HEIGHT;
    if (e.drag == EDITOR_DRAG_RECT) {
        int c0 = std::clamp<long long>(wx / TILE_SIZE - (wx < 0), 0, MAP_COLS - 1);
        int r0 = std::clamp<long long>(wy / TILE_SIZE - (wy < 0), 0, MAP_ROWS - 1);
        int left = std::min(c0, e.dragCol), right = std::max(c0, e.dragCol);
        int top = std::min(r0, e.dragRow), bottom = std::max(r0, e.dragRow);
        DrawBox(backBuffer, Screen(left * TILE_SIZE, e.viewX, cell), Screen(top * TILE_SIZE, e.viewY, cell),
                (right - left + 1) * cell, (bottom - top + 1) * cell, 0, RECT_MARK);
        return;
    }
    if (!onMap || wx < 0 || wy < 0 || wx >= MAP_WIDTH || wy >= MAP_HEIGHT) return;
    int c = (int)(wx / TILE_SIZE), r = (int)(wy / TILE_SIZE);
    DrawBox(backBuffer, Screen(c * TILE_SIZE, e.viewX, cell), Screen(r * TILE_SIZE, e.viewY, cell), cell, cell, 0, LIT);
}

void DrawPalette(const EditorScene& e, int x, int y)
{
    DrawBox(backBuffer, EDITOR_MAP_WIDTH, 0, 1280 - EDITOR_MAP_WIDTH, EDITOR_SCREEN_HEIGHT, 1, PANEL);
    SetFont(12, 24, "IMPACT");
    PrintTextOn(backBuffer, PALETTE_X, 12, TEXT, COLOR_NONE, "TILES");
    SetFont(7, 14, "IMPACT");
    int perColumn = (e.paletteCodes + 1) / 2;
    int hovered = PaletteCodeAt(e.paletteCodes, x, y);
    for (int code = 0; code < e.paletteCodes; code++) {
        int px = PALETTE_X + code / perColumn * PALETTE_COLUMN_WIDTH, py = PALETTE_Y + code % perColumn * PALETTE_ROW_HEIGHT;
        DrawBox(backBuffer, px, py, 24, 24, 1, 0x000000);
        DrawCode(code, px, py, 24);
        if (code == e.code) DrawBox(backBuffer, px - 2, py - 2, PALETTE_COLUMN_WIDTH - 6, 28, 0, LIT);
        else if (code == hovered) DrawBox(backBuffer, px - 2, py - 2, PALETTE_COLUMN_WIDTH - 6, 28, 0, EDGE);
        PrintTextOn(backBuffer, px + 30, py + 5, code == e.code ? LIT : TEXT, COLOR_NONE, "%d %s", code, TileCodeName(code));
    }
    ReleaseFont();
}

void DrawStatus(const EditorScene& e, int x, int y)
{
    int top = EDITOR_SCREEN_HEIGHT - EDITOR_STATUS_HEIGHT;
    DrawBox(backBuffer, 0, top, EDITOR_MAP_WIDTH, EDITOR_STATUS_HEIGHT, 1, STATUS);
    static const char* const ZOOM_NAMES[EDITOR_ZOOMS] = {"1/8", "1/4", "1/2", "1"};
    char where[48] = "";
    int cell = EditorCellSize(e.zoom);
    long long wx = e.viewX + (long long)x * (TILE_SIZE / cell), wy = e.viewY + (long long)y * (TILE_SIZE / cell);
    if (x >= 0 && x < EDITOR_MAP_WIDTH && y >= 0 && y < top && wx >= 0 && wy >= 0 && wx < MAP_WIDTH && wy < MAP_HEIGHT)
        snprintf(where, sizeof where, "  col %lld row %lld = %d", wx / TILE_SIZE, wy / TILE_SIZE,
                 e.cells[(wy / TILE_SIZE) * MAP_COLS + wx / TILE_SIZE]);
    SetFont(7, 14, "IMPACT");
    PrintTextOn(backBuffer, 8, top + 2, TEXT, COLOR_NONE, "%s%s  zoom %s  paint %d %s%s", e.savePath.c_str(),
                UnsavedEdits(e.history) ? " *" : "", ZOOM_NAMES[std::clamp(e.zoom, 0, EDITOR_ZOOMS - 1)], e.code,
                TileCodeName(e.code), where);
    PrintTextOn(backBuffer, 8, top + 14, LIT, COLOR_NONE, "%s", e.message.c_str());
    if (e.proof.status != PROOF_NONE)
        PrintTextOn(backBuffer, 8, top + 28, e.proof.status == PROOF_CLEARABLE ? START_MARK : RECT_MARK, COLOR_NONE,
                    "PROOF (F6): %s", e.proof.text.c_str());
    else PrintTextOn(backBuffer, 8, top + 28, TEXT, COLOR_NONE, "F5 PLAY  SHIFT+F5 PLAY FROM HERE  F6 PROVE  CTRL+Z/Y UNDO/REDO  CTRL+S SAVE");
    ReleaseFont();
}

void DrawQuestion()
{
    DrawBox(backBuffer, 290, 250, 700, 200, 1, 0x000000);
    DrawBox(backBuffer, 290, 250, 700, 200, 0, EDGE);
    SetFont(16, 32, "IMPACT");
    PrintTextOn(backBuffer, 320, 280, TEXT, COLOR_NONE, "The stage has unsaved changes.");
    SetFont(12, 24, "IMPACT");
    PrintTextOn(backBuffer, 320, 340, LIT, COLOR_NONE, "S  save and leave");
    PrintTextOn(backBuffer, 320, 370, LIT, COLOR_NONE, "Y  leave without saving");
    PrintTextOn(backBuffer, 320, 400, LIT, COLOR_NONE, "N  or Escape: stay");
    ReleaseFont();
}

}  // namespace

void DrawEditor(const EditorScene& e)
{
    int x, y;
    GetMousePos(&x, &y);
    FillSurface(backBuffer, 0);
    DrawFarBackdrop(0);
    DrawMap(e);
    DrawPointerCell(e, x, y);
    DrawPalette(e, x, y);
    DrawStatus(e, x, y);
    if (e.asking) DrawQuestion();
}
