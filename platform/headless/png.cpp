// PNG pictures of presented frames, for the harness's --shot, and of the
// tools' pictures: the one PNG writer of the project.
#include <cstdio>
#include <png.h>
#include <vector>

#include "platform/headless/png.h"

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitch,
              int compressionLevel, bool alpha)
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
    const int channels = alpha ? 4 : 3;
    std::vector<png_byte> row(static_cast<size_t>(width) * channels);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, compressionLevel);
    png_write_info(png, info);
    for (int y = 0; y < height; y++) {
        const uint32_t* source = pixels + static_cast<size_t>(y) * pitch;
        for (int x = 0; x < width; x++) {
            png_byte* out = &row[static_cast<size_t>(x) * channels];
            out[0] = static_cast<png_byte>(source[x] >> 16);
            out[1] = static_cast<png_byte>(source[x] >> 8);
            out[2] = static_cast<png_byte>(source[x]);
            if (alpha) out[3] = static_cast<png_byte>(source[x] >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return fclose(file) == 0;
}
