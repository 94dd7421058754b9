// PNG pictures of presented frames, for the harness's --shot (and the tools).
#include <cstdio>
#include <png.h>
#include <vector>

#include "platform/headless/png.h"

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitch,
              int compressionLevel)
{
    if (width <= 0 || height <= 0) return false;
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return false;
    }
    std::vector<png_byte> row(static_cast<size_t>(width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, compressionLevel);
    png_write_info(png, info);
    for (int y = 0; y < height; y++) {
        const uint32_t* source = pixels + static_cast<size_t>(y) * pitch;
        for (int x = 0; x < width; x++) {
            row[x * 3 + 0] = static_cast<png_byte>(source[x] >> 16);
            row[x * 3 + 1] = static_cast<png_byte>(source[x] >> 8);
            row[x * 3 + 2] = static_cast<png_byte>(source[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return fclose(file) == 0;
}
