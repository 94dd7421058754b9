// The menus' drawing: lettering, the lit row, the darkened picture under them.
#include "game/menu_draw.h"

#include "game/assets.h"
#include "gfx/blit.h"
#include "gfx/text.h"

namespace {

constexpr Colour LIT_OUTLINE = 0x649B64, LIT_FILL = 0xC8FFC8;
constexpr Colour UNLIT = 0xB4B4B4;

int RowTop(const Menu& menu, int row) { return menu.layout.y + row * menu.layout.rowHeight; }

void DrawLetters(int x, int y, int height, bool lit, const char* text)
{
    SetFont(height / 2, height, "IMPACT");
    if (lit)
        PrintOutlined(backBuffer, x, y, LIT_OUTLINE, LIT_FILL, "%s", text);
    else
        PrintTextOn(backBuffer, x, y, UNLIT, COLOR_NONE, "%s", text);
    ReleaseFont();
}

}  // namespace

void DarkenBlock(Surface surface, int x, int y, int width, int height, int percent)
{
    Surface black = CreateBlankSurface(8, 8);
    FillSurface(black, 0);
    DrawBlended(surface, x, y, width, height, black, 0, 0, 8, 8, percent, BLEND_CONSTANT_ALPHA);
    DeleteSurface(black);
}

Surface DarkenedScreenCopy(int percent)
{
    Surface copy = CreateBlankSurface(1280, 720);
    CopySurface(copy, 0, 0, 1280, 720, backBuffer);
    DarkenBlock(copy, 0, 0, 1280, 720, percent);
    return copy;
}

void DrawMenuHeading(int x, int y, const char* text)
{
    SetFont(64, 128, "IMPACT");
    PrintOutlined(backBuffer, x, y, 0x9B6464, 0xFFC8C8, "%s", text);
    ReleaseFont();
}

void DrawMenuRow(const Menu& menu, int row, const char* label)
{
    DrawLetters(menu.layout.x, RowTop(menu, row), menu.layout.letterHeight, row == menu.selected, label);
}

void DrawMenuRowLine(const Menu& menu, int row, int dy, int letterHeight, const char* text)
{
    DrawLetters(menu.layout.x, RowTop(menu, row) + dy, letterHeight, row == menu.selected, text);
}

void DrawMenuValue(const Menu& menu, int row, int x, const char* value)
{
    DrawLetters(x, RowTop(menu, row), menu.layout.letterHeight, row == menu.selected, value);
}

Surface DarkenedNightSky()
{
    Surface sky = CreateBlankSurface(1280, 720);
    DrawColorKeyed(sky, 0, 0, 1280, 720, imgBackdrop[0], 0, 0, static_cast<uint32_t>(-1));
    DarkenBlock(sky, 0, 0, 1280, 720, 50);
    return sky;
}
