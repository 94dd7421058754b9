// Pictures the harness shot (--shot-dir), read back with libpng, for the
// tests that look at what a frame shows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <png.h>

// The shot at path as 0xRRGGBB per pixel, row by row, with its size; empty
// when it cannot be read.
inline std::vector<uint32_t> ReadShot(const std::string& path, int* width, int* height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<uint32_t> pixels;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return pixels;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return pixels;
    *width = (int)image.width;
    *height = (int)image.height;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        pixels.push_back((uint32_t)rgb[i] << 16 | (uint32_t)rgb[i + 1] << 8 | rgb[i + 2]);
    return pixels;
}
