// Rotated copies: the source rectangle is mapped onto the parallelogram whose
// corners are the destination rectangle's top-left, top-right and bottom-left
// corners turned about a pivot, and each destination pixel whose centre lies
// inside takes the one source pixel its centre maps back to.
#include "gfx/rotate.h"

#include <algorithm>
#include <cmath>

#include "gfx/blit.h"
#include "shell/shell.h"

double sinTable[TRIG_TABLE_SIZE];
double cosTable[TRIG_TABLE_SIZE];

static bool trigTablesFilled = false;

void FillTrigTables() {
    if (trigTablesFilled) return;
    for (int i = 0; i < TRIG_TABLE_SIZE; i++) {
        sinTable[i] = std::sin(i * 3.141592 / 180);
        cosTable[i] = std::cos(i * 3.141592 / 180);
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

struct Point {
    int64_t x, y;
};

// dst rectangle and source block already in physical pixels; (cx, cy) the pivot.
void DrawTurned(Surface dst, int64_t x, int64_t y, int64_t w, int64_t h, Surface src,
                int64_t sx, int64_t sy, int64_t sw, int64_t sh, int angle,
                bool keyed, uint32_t pixelKey, int64_t cx, int64_t cy) {
    if (!dst || !dst->pixels || !src || !src->pixels) return;
    if (sw == 0 || sh == 0) return;
    TurnedCorners turned = TurnCorners(x, y, w, h, angle, cx, cy);
    Point corners[3];
    for (int i = 0; i < 3; i++) corners[i] = {turned.x[i], turned.y[i]};
    const Point p0 = corners[0];
    const int64_t e1x = corners[1].x - p0.x, e1y = corners[1].y - p0.y;
    const int64_t e2x = corners[2].x - p0.x, e2y = corners[2].y - p0.y;
    const int64_t det = e1x * e2y - e1y * e2x;
    if (det == 0) return;

    // Pixel centres in doubled coordinates keep the whole test in integers:
    // for q = 2 * (centre - P0), u = (q.x * e2y - q.y * e2x) / (2 det) and
    // v = (e1x * q.y - e1y * q.x) / (2 det), and the pixel is inside when both
    // lie in [0, 1).
    const int64_t twoDet = 2 * det;
    auto fraction = [twoDet](int64_t numerator, int64_t* cell, int64_t cells) {
        if (twoDet < 0) { numerator = -numerator; }
        int64_t limit = twoDet < 0 ? -twoDet : twoDet;
        if (numerator < 0 || numerator >= limit) return false;
        *cell = numerator * cells / limit;
        return true;
    };
    const int64_t cellsX = sw < 0 ? -sw : sw, cellsY = sh < 0 ? -sh : sh;

    int64_t minX = p0.x, maxX = p0.x, minY = p0.y, maxY = p0.y;
    Point far = {corners[1].x + e2x, corners[1].y + e2y};
    for (const Point& p : {corners[1], corners[2], far}) {
        minX = std::min(minX, p.x); maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y); maxY = std::max(maxY, p.y);
    }
    int64_t top = std::max<int64_t>(minY, 0), bottom = std::min<int64_t>(maxY, dst->height - 1);
    int64_t left = std::max<int64_t>(minX, 0), right = std::min<int64_t>(maxX, dst->width - 1);

    for (int64_t row = top; row <= bottom; row++) {
        const int64_t qy = 2 * (row - p0.y) + 1;
        // Along the row u and v are linear in the column; narrow the walk to
        // where both may lie in [0, 1), with a pixel of slack either side for
        // rounding; the exact test below decides.
        double lo = double(left), hi = double(right);
        auto narrow = [&](double at0, double perColumn) {
            if (perColumn == 0) {
                if (at0 < -1e-9 || at0 > 1 + 1e-9) { lo = 1; hi = 0; }
                return;
            }
            double c0 = -at0 / perColumn, c1 = (1 - at0) / perColumn;
            lo = std::max(lo, std::min(c0, c1) - 1);
            hi = std::min(hi, std::max(c0, c1) + 1);
        };
        // u, v at column 0 of this row, and their change per column.
        double qx0 = double(2 * (0 - p0.x) + 1);
        narrow((qx0 * e2y - double(qy) * e2x) / twoDet, 2.0 * e2y / twoDet);
        narrow((double(e1x) * qy - e1y * qx0) / twoDet, -2.0 * e1y / twoDet);
        if (lo > hi) continue;
        int64_t first = std::max<int64_t>(left, int64_t(std::floor(lo)));
        int64_t last = std::min<int64_t>(right, int64_t(std::ceil(hi)));
        uint32_t* out = dst->pixels + row * dst->width;
        for (int64_t col = first; col <= last; col++) {
            const int64_t qx = 2 * (col - p0.x) + 1;
            int64_t cellX, cellY;
            if (!fraction(qx * e2y - qy * e2x, &cellX, cellsX)) continue;
            if (!fraction(e1x * qy - e1y * qx, &cellY, cellsY)) continue;
            // A negative source size runs left (or up) from sx (or sy).
            int64_t srcX = sw > 0 ? sx + cellX : sx - 1 - cellX;
            int64_t srcY = sh > 0 ? sy + cellY : sy - 1 - cellY;
            if (srcX < 0 || srcY < 0 || srcX >= src->width || srcY >= src->height) continue;
            uint32_t pixel = src->pixels[srcY * src->width + srcX];
            if (keyed && (pixel & 0xFFFFFF) == pixelKey) continue;
            out[col] = pixel;
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
