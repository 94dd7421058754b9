// Writing a picture of 0x00RRGGBB pixels as an RGB PNG (or 0xAARRGGBB as
// RGBA): the harness's shots, the stage preview, the icons and the sample
// pictures of the tests.
#pragma once
#include <cstdint>
#include <string>

// Called by the harness for --shot, by tools/preview, tools/makeicon and the
// text sample test. pitch is in pixels; compressionLevel 0..9 (1 is fast, 9
// is small). With alpha the pixels are 0xAARRGGBB and the picture keeps its
// transparency. False when the file cannot be written.
bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitch,
              int compressionLevel = 1, bool alpha = false);
