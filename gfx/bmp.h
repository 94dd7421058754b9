// Windows .bmp decoding: file bytes in, 0x00RRGGBB pixels out. Pure (no I/O,
// no globals), so hostile files can be thrown at it directly.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The largest picture we agree to decode; anything bigger is a lying header.
constexpr int64_t BMP_MAX_PIXELS = 64LL * 1024 * 1024;

// Run-length data claims at most this many pixels per byte of it (a run of
// 255 takes two bytes); a picture claiming more is a lying header, however
// the codes that skip pixels could stretch it.
constexpr int64_t BMP_RLE_MAX_PIXELS_PER_BYTE = 256;

struct DecodedBmp {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // width * height words 0x00RRGGBB, rows top-down
};

// A run-length picture as rows of runs of one colour, rows top-down: row r
// is runs[rowStart[r]] .. runs[rowStart[r + 1] - 1], its lengths adding up to
// the width, no two neighbours of one colour.
struct BmpRun {
    uint32_t colour;  // 0x00RRGGBB
    uint32_t length;
};
struct DecodedBmpRuns {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rowStart;  // height + 1 entries
    std::vector<BmpRun> runs;
};

// Called by LoadBitmapSurface. Reads 1, 4, 8, 16 (555 or bit fields), 24 and
// 32 bpp, RLE4 and RLE8, bottom-up and top-down, with core, info, V4 and V5
// headers. Returns false (and leaves *out empty) for anything malformed.
// Files far larger than their pictures need (see BmpLargestFileSize) are
// refused too.
bool DecodeBmp(const uint8_t* data, size_t size, DecodedBmp* out);

// Called by LoadCompactBitmapSurface for pictures that are only read: an RLE8
// or RLE4 file straight into runs, never through a flat picture, with the
// same pixels DecodeBmp gives. Returns false for any other kind of file,
// for anything DecodeBmp refuses, and for a picture that breaks into more
// pieces than a quarter of its pixels, or 1024 (DecodeBmp then serves it).
bool DecodeBmpRuns(const uint8_t* data, size_t size, DecodedBmpRuns* out);

// Called by LoadBitmapSurface before it reads a whole file, and by DecodeBmp:
// the most bytes a file with this header may hold (headers, palette and
// pixels, with as much again to spare and a megabyte for what writers add);
// -1 when the first headSize bytes do not start a header we read.
int64_t BmpLargestFileSize(const uint8_t* head, size_t headSize);
