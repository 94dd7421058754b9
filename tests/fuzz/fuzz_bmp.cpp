// Fuzz target: any bytes as a .bmp file. The reader must refuse or decode
// without reading or writing outside its buffers, and what it decodes must
// hold exactly width x height pixels within the agreed size limits. A
// decoded picture held as run-length rows (as the curtain frames are) must
// read back exactly, in both pixel scales, and a run-length file read
// straight into runs must give the same pixels and rows.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>
#include "gfx/bmp.h"
#include "gfx/compact.h"

namespace {

void CheckCompact(const DecodedBmp& picture, int scale)
{
    CompactPixels runs;
    if (!CompactFromPixels(picture.pixels.data(), picture.width, picture.height, scale, &runs)) return;
    SurfaceData surface{picture.width * scale, picture.height * scale, nullptr};
    surface.compact = &runs;
    std::vector<uint32_t> row(size_t(surface.width));
    for (int y = 0; y < surface.height; y++) {
        const uint32_t* want = picture.pixels.data() + size_t(y / scale) * picture.width;
        // The whole row, then a span from the middle, then keyed over zeros.
        ReadCompactRow(surface, y, 0, surface.width, row.data());
        for (int x = 0; x < surface.width; x++)
            if (row[size_t(x)] != want[x / scale]) abort();
        int x0 = surface.width / 3, n = surface.width - x0 - surface.width / 5;
        ReadCompactRow(surface, y, x0, n, row.data());
        for (int x = 0; x < n; x++)
            if (row[size_t(x)] != want[(x0 + x) / scale]) abort();
        uint32_t key = want[0];
        std::fill(row.begin(), row.end(), 0xFF000000u);
        DrawCompactRowKeyed(surface, y, 0, surface.width, key, row.data());
        for (int x = 0; x < surface.width; x++)
            if (row[size_t(x)] != (want[x / scale] == key ? 0xFF000000u : want[x / scale])) abort();
    }
    surface.compact = nullptr;
}

// The run-length reader that skips the flat picture must agree with the flat
// one pixel for pixel, and so must the rows made from it.
void CheckRuns(const uint8_t* data, size_t size, const DecodedBmp* flat)
{
    DecodedBmpRuns runs;
    if (!DecodeBmpRuns(data, size, &runs)) return;
    if (!flat || runs.width != flat->width || runs.height != flat->height) abort();
    if (runs.rowStart.size() != size_t(runs.height) + 1) abort();
    for (int y = 0; y < runs.height; y++) {
        size_t x = 0;
        for (uint32_t i = runs.rowStart[size_t(y)]; i < runs.rowStart[size_t(y) + 1]; i++) {
            const BmpRun& run = runs.runs[i];
            if (run.length == 0 || x + run.length > size_t(runs.width)) abort();
            for (uint32_t k = 0; k < run.length; k++)
                if (flat->pixels[size_t(y) * runs.width + x + k] != run.colour) abort();
            x += run.length;
        }
        if (x != size_t(runs.width)) abort();
    }
    for (int scale : {1, 2}) {
        CompactPixels a, b;
        bool okA = CompactFromRuns(runs, scale, &a);
        bool okB = CompactFromPixels(flat->pixels.data(), flat->width, flat->height, scale, &b);
        if (okA != okB || a.runs != b.runs || a.rowStart != b.rowStart) abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DecodedBmp picture;
    if (DecodeBmp(data, size, &picture)) {
        if (picture.width <= 0 || picture.height <= 0) abort();
        int64_t count = (int64_t)picture.width * picture.height;
        if (count > BMP_MAX_PIXELS || (int64_t)picture.pixels.size() != count) abort();
        // No more pixels than the file's bytes can hold, and no file far
        // larger than its pixels need.
        if (count > BMP_RLE_MAX_PIXELS_PER_BYTE * (int64_t)size) abort();
        if ((int64_t)size > BmpLargestFileSize(data, size)) abort();
        // Every pixel is 0x00RRGGBB.
        for (uint32_t pixel : picture.pixels)
            if (pixel >> 24) abort();
        if (count <= (1 << 16)) {
            CheckCompact(picture, 1);
            CheckCompact(picture, 2);
            CheckRuns(data, size, &picture);
        }
    } else if (!picture.pixels.empty()) {
        abort();
    } else {
        CheckRuns(data, size, nullptr);
    }
    return 0;
}
