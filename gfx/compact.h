// Read-only pictures held compactly: each row as runs of one colour, so that a
// full-screen curtain frame with a few hundred runs a row takes a fraction of
// its flat size. Made from decoded pixels or a decoder's runs (never parsed
// from a file), read a row span at a time by the copies, turned back into
// flat pixels by anything that draws into the picture. The same goes for
// storage that surfaces share.
#pragma once
#include <cstdint>
#include <vector>
#include "gfx/bmp.h"
#include "gfx/surface.h"

// Rows of runs, each run one word: the length (1..255) in the top byte, the
// 0x00RRGGBB pixel below it. Physical row r is picture row r / scale, whose
// runs rowStart[r / scale] .. rowStart[r / scale + 1] already count physical
// columns; so the doubled window costs no more rows than the picture has.
struct CompactPixels {
    int scale = 1;
    std::vector<uint32_t> rowStart;
    std::vector<uint32_t> runs;
};

// Called by LoadCompactBitmapSurface: the runs of a width x height picture of
// 0x00RRGGBB pixels with each pixel made scale x scale. Returns false (and
// leaves *out empty) when the runs would not take under half the flat size:
// such a picture is kept flat.
bool CompactFromPixels(const uint32_t* pixels, int width, int height, int scale,
                       CompactPixels* out);
// Called by LoadCompactBitmapSurface for run-length files: the same, from the
// runs the file's decoder found, without a flat picture between; the result
// is word for word what CompactFromPixels makes of the same pixels.
bool CompactFromRuns(const DecodedBmpRuns& picture, int scale, CompactPixels* out);
// Called by the copies and ReadPixel: the n physical pixels of the surface's
// physical row `row` from column x0 on into out. The span lies inside the
// surface.
void ReadCompactRow(const SurfaceData& surface, int64_t row, int64_t x0, int64_t n, uint32_t* out);
// Called by the keyed copies: as ReadCompactRow, but pixels of the key colour
// (0x00RRGGBB) leave out's pixels as they are; whole runs of it are skipped.
void DrawCompactRowKeyed(const SurfaceData& surface, int64_t row, int64_t x0, int64_t n,
                         uint32_t key, uint32_t* out);
