// Writing a picture of 0x00RRGGBB pixels as an RGB PNG: the harness's shots,
// and the stage preview and sample pictures of the tools and tests.
#pragma once
#include <cstdint>
#include <string>

// Called by the harness for --shot, by tools/preview and by the text sample
// test. pitch is in pixels; compressionLevel 0..9 (1 is fast, 9 is small).
// False when the file cannot be written.
bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitch,
              int compressionLevel = 1);
