// Rotated copies: the source rectangle is mapped onto the parallelogram whose
// corners are the destination rectangle's top-left, top-right and bottom-left
// corners turned about a pivot, and each destination pixel whose centre lies
// inside takes the one source pixel its centre maps back to.
#include "gfx/rotate.h"

#include <algorithm>
#include <cmath>

#include "gfx/blit.h"
#include "gfx/compact.h"
#include "gfx/degrees.h"
#include "gfx/screen.h"

double sinTable[TRIG_TABLE_SIZE];
double cosTable[TRIG_TABLE_SIZE];

static bool trigTablesFilled = false;

void FillTrigTables() {
    if (trigTablesFilled) return;
    for (int i = 0; i < TRIG_TABLE_SIZE; i++) {
        sinTable[i] = TableSin(i);  // sin(i * 3.141592 / 180), alike everywhere
        cosTable[i] = TableCos(i);
    }
    trigTablesFilled = true;
}

TurnedCorners TurnCorners(int64_t x, int64_t y, int64_t w, int64_t h, int angle,
                          int64_t cx, int64_t cy) {
    FillTrigTables();
    int a = angle % 360;
    if (a < 0) a += 360;
    TurnedCorners corners = {{x, x + w, x}, {y, y, y + h}};
    for (int i = 0; i < 3; i++) {
        double dx = double(corners.x[i] - cx), dy = double(corners.y[i] - cy);
        corners.x[i] = int64_t(dx * cosTable[a] - dy * sinTable[a]) + cx;
        corners.y[i] = int64_t(dx * sinTable[a] + dy * cosTable[a]) + cy;
    }
    return corners;
}

namespace {

int64_t FloorDiv(int64_t n, int64_t d) { // d > 0
    int64_t q = n / d;
    return (n % d < 0) ? q - 1 : q;
}

// Source position sx + dir * floor(numerator / limit), exactly, for a
// numerator that grows by a fixed step per column: the quotient and remainder
// are carried along, so the walk needs no division per pixel.
struct CellStepper {
    int64_t pos, rest, stepPos, stepRest, limit, dir;
    CellStepper(int64_t base, int64_t dir_, int64_t numerator, int64_t step, int64_t limit_)
        : limit(limit_), dir(dir_) {
        int64_t cell = FloorDiv(numerator, limit), stepCell = FloorDiv(step, limit);
        rest = numerator - cell * limit;
        stepRest = step - stepCell * limit;
        pos = base + dir * cell;
        stepPos = dir * stepCell;
    }
    void Step() {
        // Selects, not branches: the carries come irregularly.
        pos += stepPos;
        rest += stepRest;
        int64_t over = rest - limit;
        bool carry = over >= 0;
        rest = carry ? over : rest;
        pos += carry ? dir : 0;
    }
};

int64_t CeilDiv(int64_t n, int64_t d) { // d > 0
    return -FloorDiv(-n, d);
}

// Narrows [*lo, *hi] to the k for which low <= n + k * d <= high.
void KeepWithin(int64_t n, int64_t d, int64_t low, int64_t high, int64_t* lo, int64_t* hi) {
    if (d == 0) {
        if (n < low || n > high) *hi = *lo - 1;
    } else if (d > 0) {
        *lo = std::max(*lo, CeilDiv(low - n, d));
        *hi = std::min(*hi, FloorDiv(high - n, d));
    } else {
        *lo = std::max(*lo, CeilDiv(n - high, -d));
        *hi = std::min(*hi, FloorDiv(n - low, -d));
    }
}

// Limits that keep the exact arithmetic below inside 64 bits; no surface the
// game makes comes near them.
constexpr int64_t MAX_SIZE = 1 << 15;
constexpr int64_t MAX_POSITION = 1 << 20;

// dst rectangle and source block already in physical pixels; (cx, cy) the pivot.
void DrawTurned(Surface dst, int64_t x, int64_t y, int64_t w, int64_t h, Surface src,
                int64_t sx, int64_t sy, int64_t sw, int64_t sh, int angle,
                bool keyed, uint32_t pixelKey, int64_t cx, int64_t cy) {
    // Sprites are flat; a compact picture turned is made flat first.
    uint32_t* dstPixels = WritablePixels(dst);
    if (src && src->compact) WritablePixels(src);
    if (!dstPixels || !src || !src->pixels) return;
    if (sw == 0 || sh == 0) return;
    for (int64_t v : {w, h, sw, sh}) {
        if (v > MAX_SIZE || v < -MAX_SIZE) return;
    }
    for (int64_t v : {x, y, sx, sy, cx, cy}) {
        if (v > MAX_POSITION || v < -MAX_POSITION) return;
    }
    if (dst->width > MAX_POSITION || dst->height > MAX_POSITION) return;
    const TurnedCorners corners = TurnCorners(x, y, w, h, angle, cx, cy);
    const int64_t p0x = corners.x[0], p0y = corners.y[0];
    const int64_t e1x = corners.x[1] - p0x, e1y = corners.y[1] - p0y;
    const int64_t e2x = corners.x[2] - p0x, e2y = corners.y[2] - p0y;
    const int64_t det = e1x * e2y - e1y * e2x;
    if (det == 0) return;

    // With pixel centres in doubled coordinates, q = 2 * (centre - P0), the
    // centre's place in the parallelogram is u = (q.x * e2y - q.y * e2x) / (2 det)
    // along P0-P1 and v = (e1x * q.y - e1y * q.x) / (2 det) along P0-P2. The
    // pixel shows source cell (floor(u * |sw|), floor(v * |sh|)) when both
    // cells lie in the source block (and on the source surface). All of it is
    // kept in integers, as numerators over `limit`, so the edges are exact.
    const int64_t sign = det < 0 ? -1 : 1;
    const int64_t limit = 2 * det * sign;
    const int64_t cellsX = sw < 0 ? -sw : sw, cellsY = sh < 0 ? -sh : sh;
    // A negative source size runs left (or up) from sx (or sy): cell c is
    // source column sx - 1 - c.
    const int64_t srcWidth = src->width, srcHeight = src->height;
    int64_t firstCellX = sw > 0 ? std::max<int64_t>(0, -sx) : std::max<int64_t>(0, sx - srcWidth);
    int64_t lastCellX = sw > 0 ? std::min(cellsX, srcWidth - sx) - 1 : std::min(cellsX - 1, sx - 1);
    int64_t firstCellY = sh > 0 ? std::max<int64_t>(0, -sy) : std::max<int64_t>(0, sy - srcHeight);
    int64_t lastCellY = sh > 0 ? std::min(cellsY, srcHeight - sy) - 1 : std::min(cellsY - 1, sy - 1);
    if (firstCellX > lastCellX || firstCellY > lastCellY) return;

    int64_t minX = p0x, maxX = p0x, minY = p0y, maxY = p0y;
    const int64_t farX = corners.x[1] + e2x, farY = corners.y[1] + e2y;
    for (auto [px, py] : {std::pair{corners.x[1], corners.y[1]}, {corners.x[2], corners.y[2]},
                          {farX, farY}}) {
        minX = std::min(minX, px); maxX = std::max(maxX, px);
        minY = std::min(minY, py); maxY = std::max(maxY, py);
    }
    // Held in locals: the pixel stores could otherwise alias the surfaces' fields.
    const uint32_t* srcPixels = src->pixels;
    const int64_t dstWidth = dst->width;
    const int64_t top = std::max<int64_t>(minY, 0), bottom = std::min<int64_t>(maxY, dst->height - 1);
    const int64_t left = std::max<int64_t>(minX, 0), right = std::min<int64_t>(maxX, dstWidth - 1);
    const int64_t stepX = sign * 2 * e2y * cellsX, stepY = sign * -2 * e1y * cellsY;

    for (int64_t row = top; row <= bottom; row++) {
        const int64_t qy = 2 * (row - p0y) + 1, qx = 2 * (left - p0x) + 1;
        // Numerators of u * |sw| and v * |sh| at the row's left end; each
        // column to the right adds stepX and stepY.
        const int64_t nx = sign * (qx * e2y - qy * e2x) * cellsX;
        const int64_t ny = sign * (e1x * qy - e1y * qx) * cellsY;
        int64_t lo = 0, hi = right - left;
        KeepWithin(nx, stepX, firstCellX * limit, (lastCellX + 1) * limit - 1, &lo, &hi);
        KeepWithin(ny, stepY, firstCellY * limit, (lastCellY + 1) * limit - 1, &lo, &hi);
        if (lo > hi) continue;
        CellStepper srcX(sw > 0 ? sx : sx - 1, sw > 0 ? 1 : -1, nx + lo * stepX, stepX, limit);
        CellStepper srcY(sh > 0 ? sy : sy - 1, sh > 0 ? 1 : -1, ny + lo * stepY, stepY, limit);
        uint32_t* out = dstPixels + row * dstWidth + left;
        for (int64_t k = lo; k <= hi; k++, srcX.Step(), srcY.Step()) {
            uint32_t pixel = srcPixels[srcY.pos * srcWidth + srcX.pos];
            // Masks, not a branch: sprites alternate key and picture within a row.
            uint32_t keep = uint32_t(keyed && (pixel & 0xFFFFFF) == pixelKey) - 1;
            out[k] = (pixel & keep) | (out[k] & ~keep);
        }
    }
}

} // namespace

void DrawRotated(Surface dst, int x, int y, int w, int h,
                 Surface src, int sx, int sy, int sw, int sh, int angle, uint32_t key) {
    int64_t s = PixelScale();
    int64_t X = x * s, Y = y * s, W = w * s, H = h * s;
    // The pivot is the rectangle's centre, halves truncated toward zero.
    DrawTurned(dst, X, Y, W, H, src, sx * s, sy * s, sw * s, sh * s, angle,
               key <= 0xFFFFFF, PixelKeyFromColour(key), X + W / 2, Y + H / 2);
}

void DrawRotatedAboutPivot(Surface dst, int x, int y, int w, int h,
                           Surface src, int sx, int sy, int sw, int sh,
                           int angle, uint32_t key, int px, int py) {
    int64_t s = PixelScale();
    int64_t X = x * s, Y = y * s;
    DrawTurned(dst, X, Y, w * s, h * s, src, sx * s, sy * s, sw * s, sh * s, angle,
               (key & 0x80000000u) == 0, PixelKeyFromColour(key), X + px * s, Y + py * s);
}
