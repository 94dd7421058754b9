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

// Decodes a whole file held in memory (size bytes at data, only read) into
// *out. Reads 1, 4, 8, 16 (555 or bit fields), 24 and 32 bpp (plain 32 bpp
// keeps the low three bytes), RLE4 and RLE8 (bottom-up only), bottom-up and
// top-down, with core, info (and its 52- and 56-byte forms), V4 and V5
// headers. Palette indices past the palette, and pixels run-length data
// skips or never reaches, are black. Returns false (and leaves *out empty)
// for anything malformed: no data, a header it does not read, a picture of
// more than BMP_MAX_PIXELS, pixels past the file's end, run-length data
// claiming more than BMP_RLE_MAX_PIXELS_PER_BYTE pixels a byte. Files far
// larger than their pictures need (see BmpLargestFileSize) are refused too.
bool DecodeBmp(const uint8_t* data, size_t size, DecodedBmp* out);

// An RLE8 or RLE4 file straight into runs (as DecodedBmpRuns describes
// them), never through a flat picture, with the same pixels DecodeBmp gives.
// Returns false (and leaves *out empty) for any other kind of file, for
// anything DecodeBmp refuses, and for a picture whose data breaks into more
// pieces than a quarter of its pixels or 1024, whichever is more: such a
// picture is no smaller as runs, and DecodeBmp is to serve it instead.
bool DecodeBmpRuns(const uint8_t* data, size_t size, DecodedBmpRuns* out);

// The most bytes a file with this header may hold (headers up to the pixels'
// offset, palette and pixels, with as much again to spare and a megabyte for
// what writers add); -1 when the first headSize bytes do not start a header
// we read (the first 14 + header-size bytes must be there). Reads nothing
// past head[headSize - 1], so it serves as ReadWholeFile's limit from a
// file's head (gfx/whole_file.h), refusing a padded file before it is read.
// A head it accepts may still be refused by the decoders, which check this
// limit again.
int64_t BmpLargestFileSize(const uint8_t* head, size_t headSize);
