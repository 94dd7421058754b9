// Outline primitives. Lines and circles are plotted a pixel at a time through
// PlotPixel, so they follow its display doubling; boxes fill whole blocks.
#include "gfx/shapes.h"

#include <algorithm>
#include <cstdlib>

#include "gfx/hooks.h"
#include "gfx/rotate.h"
#include "gfx/screen.h"

void DrawHLine(Surface surface, int x, int y, int length, Colour colour) {
    for (int i = 0; i < length; i++) PlotPixel(surface, x + i, y, colour);
}

void DrawVLine(Surface surface, int x, int y, int length, Colour colour) {
    for (int i = 0; i < length; i++) PlotPixel(surface, x, y + i, colour);
}

void DrawLine(Surface surface, int x0, int y0, int x1, int y1, Colour colour) {
    int dx = x1 - x0, dy = y1 - y0;
    if (x0 == x1) {
        DrawVLine(surface, x0, std::min(y0, y1), std::abs(dy) + 1, colour);
        return;
    }
    if (y0 == y1) {
        DrawHLine(surface, std::min(x0, x1), y0, std::abs(dx) + 1, colour);
        return;
    }
    int stepX = dx > 0 ? 1 : -1, stepY = dy > 0 ? 1 : -1;
    dx = std::abs(dx);
    dy = std::abs(dy);
    int err = 0, x = x0, y = y0;
    if (dy < dx) {
        for (int i = 0; i <= dx; i++) {
            PlotPixel(surface, x, y, colour);
            err += dy;
            if (err >= dx) { y += stepY; err -= dx; }
            x += stepX;
        }
    } else {
        for (int i = 0; i <= dy; i++) {
            PlotPixel(surface, x, y, colour);
            err += dx;
            if (err >= dy) { x += stepX; err -= dy; }
            y += stepY;
        }
    }
}

void DrawCircle(Surface surface, int cx, int cy, int radius, Colour colour) {
    FillTrigTables();
    for (int i = 1; i <= 360; i++) {
        DrawLine(surface,
                 int(cx + radius * cosTable[i]), int(cy + radius * sinTable[i]),
                 int(cx + radius * cosTable[i + 1]), int(cy + radius * sinTable[i + 1]),
                 colour);
    }
}

// Fills the physical rectangle [left, right) x [top, bottom), clipped.
static void FillPhysical(Surface surface, int64_t left, int64_t top, int64_t right,
                         int64_t bottom, uint32_t pixel) {
    FillPhysicalBlock(surface, left, top, right - left, bottom - top, pixel);
}

void DrawBox(Surface surface, int x, int y, int w, int h, int filled, Colour colour) {
    if (!filled && w == 1 && h == 1) {
        PlotPixel(surface, x, y, colour);
        return;
    }
    int64_t s = PixelScale();
    // A box given by a negative size runs the other way from its corner.
    int64_t left = std::min<int64_t>(x, int64_t(x) + w) * s;
    int64_t right = std::max<int64_t>(x, int64_t(x) + w) * s;
    int64_t top = std::min<int64_t>(y, int64_t(y) + h) * s;
    int64_t bottom = std::max<int64_t>(y, int64_t(y) + h) * s;
    uint32_t pixel = PixelFromColour(colour);
    if (filled || right - left <= 2 * s || bottom - top <= 2 * s) {
        // An outline too small to have an inside covers the whole box.
        FillPhysical(surface, left, top, right, bottom, pixel);
    } else {
        // The pen is one logical pixel wide, inside the box's edges.
        FillPhysical(surface, left, top, right, top + s, pixel);
        FillPhysical(surface, left, bottom - s, right, bottom, pixel);
        FillPhysical(surface, left, top + s, left + s, bottom - s, pixel);
        FillPhysical(surface, right - s, top + s, right, bottom - s, pixel);
    }
    GfxPumpMessages();
}
