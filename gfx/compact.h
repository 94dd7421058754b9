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

// The runs of a width x height picture of 0x00RRGGBB pixels (rows top-down,
// only read) with each pixel made scale x scale, scale 1..255. Returns false
// (and leaves *out empty) when the runs would not take under half the flat
// size (such a picture is kept flat), for a size of nothing or a scale out
// of range, and for a pixel with anything in its top byte (no room for a
// length). The runs are written into a scratch list kept from call to call,
// as large as half the largest flat size met so far; that memory stays with
// the program.
bool CompactFromPixels(const uint32_t* pixels, int width, int height, int scale,
                       CompactPixels* out);
// The same, from the runs a run-length file's decoder found (DecodeBmpRuns,
// whose rows never hold two neighbouring runs of one colour), without a flat
// picture between; the result is word for word what CompactFromPixels makes
// of the same pixels, and it fails in the same cases, and when
// picture.rowStart does not hold height + 1 entries.
bool CompactFromRuns(const DecodedBmpRuns& picture, int scale, CompactPixels* out);
// Copies the n physical pixels of physical row `row` of a run-length surface
// (compact set), from column x0 on, into out[0 .. n). Nothing is checked:
// the surface must hold runs and the span lie inside it (0 <= row < height,
// 0 <= x0, x0 + n <= width). Nothing outside out[0 .. n) is written.
void ReadCompactRow(const SurfaceData& surface, int64_t row, int64_t x0, int64_t n, uint32_t* out);
// As ReadCompactRow, with the same preconditions, but pixels of the key
// colour (0x00RRGGBB) leave out's pixels as they are; whole runs of it are
// skipped.
void DrawCompactRowKeyed(const SurfaceData& surface, int64_t row, int64_t x0, int64_t n,
                         uint32_t key, uint32_t* out);
