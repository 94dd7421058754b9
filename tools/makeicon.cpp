// Makes the game's desktop icon: the character's first frame from the sprite
// sheet (magenta left out), trimmed, centred on a square and scaled to the
// icon size, written as an RGBA PNG.
//   makeicon SHEET.bmp FRAME_WIDTH SIZE OUT.png
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "gfx/bmp.h"

static bool WriteRgbaPng(const char* path, const std::vector<uint8_t>& rgba, int size)
{
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {  // libpng jumps back here on a write error
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, size, size, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < size; y++)
        png_write_row(png, const_cast<png_bytep>(&rgba[(size_t)y * size * 4]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return fclose(file) == 0;
}

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: makeicon SHEET.bmp FRAME_WIDTH SIZE OUT.png\n");
        return 64;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    DecodedBmp sheet;
    if (!DecodeBmp(bytes.data(), bytes.size(), &sheet)) {
        fprintf(stderr, "makeicon: cannot read %s\n", argv[1]);
        return 1;
    }
    int frameWidth = std::clamp(atoi(argv[2]), 1, sheet.width);
    int size = std::clamp(atoi(argv[3]), 16, 1024);

    // The drawn part of the frame: everything that is not the magenta key.
    auto drawn = [&](int x, int y) { return (sheet.pixels[(size_t)y * sheet.width + x] & 0xFFFFFF) != 0xFF00FF; };
    int left = frameWidth, right = -1, top = sheet.height, bottom = -1;
    for (int y = 0; y < sheet.height; y++)
        for (int x = 0; x < frameWidth; x++)
            if (drawn(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0) {
        fprintf(stderr, "makeicon: the first frame of %s is empty\n", argv[1]);
        return 1;
    }
    // A square around it with a little room, centred.
    int side = std::max(right - left + 1, bottom - top + 1) + 4;
    double originX = (left + right + 1) / 2.0 - side / 2.0;
    double originY = (top + bottom + 1) / 2.0 - side / 2.0;

    // Each icon pixel averages the sheet pixels it covers (box filter), with
    // the key as transparent.
    std::vector<uint8_t> rgba((size_t)size * size * 4, 0);
    int samples = 4;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < samples; sy++)
                for (int sx = 0; sx < samples; sx++) {
                    int px = (int)(originX + (x + (sx + 0.5) / samples) * side / size);
                    int py = (int)(originY + (y + (sy + 0.5) / samples) * side / size);
                    if (px < 0 || py < 0 || px >= frameWidth || py >= sheet.height || !drawn(px, py)) continue;
                    uint32_t p = sheet.pixels[(size_t)py * sheet.width + px];
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                    a += 1;
                }
            if (a == 0) continue;
            uint8_t* out = &rgba[((size_t)y * size + x) * 4];
            out[0] = (uint8_t)(r / a + 0.5);
            out[1] = (uint8_t)(g / a + 0.5);
            out[2] = (uint8_t)(b / a + 0.5);
            out[3] = (uint8_t)(255 * a / (samples * samples) + 0.5);
        }
    if (!WriteRgbaPng(argv[4], rgba, size)) {
        fprintf(stderr, "makeicon: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
