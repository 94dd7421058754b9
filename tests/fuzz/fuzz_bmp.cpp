// Fuzz target: any bytes as a .bmp file. The reader must refuse or decode
// without reading or writing outside its buffers, and what it decodes must
// hold exactly width x height pixels within the agreed size limits.
#include <cstdint>
#include <cstdlib>
#include "gfx/bmp.h"

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
    } else if (!picture.pixels.empty()) {
        abort();
    }
    return 0;
}
