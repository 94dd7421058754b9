// Windows .bmp decoding: file bytes in, 0x00RRGGBB pixels out. Pure (no I/O,
// no globals), so hostile files can be thrown at it directly.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The largest picture we agree to decode; anything bigger is a lying header.
constexpr int64_t BMP_MAX_PIXELS = 64LL * 1024 * 1024;

struct DecodedBmp {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // width * height words 0x00RRGGBB, rows top-down
};

// Called by LoadBitmapSurface. Reads 1, 4, 8, 16 (555 or bit fields), 24 and
// 32 bpp, RLE4 and RLE8, bottom-up and top-down, with core, info, V4 and V5
// headers. Returns false (and leaves *out empty) for anything malformed.
bool DecodeBmp(const uint8_t* data, size_t size, DecodedBmp* out);
