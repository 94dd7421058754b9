// Writing a picture of 0x00RRGGBB pixels as an RGB PNG (or 0xAARRGGBB as
// RGBA): the project's one PNG writer, through libpng, for the harness's
// shots, the tools' pictures and the tests' samples. No state between calls.
#pragma once
#include <cstdint>
#include <string>

// Writes the width x height picture to the file at path, made or replaced.
// pixels holds height rows, pitch pixels apart (pitch at least width), and is
// only read; compressionLevel 0..9 (1 is fast, 9 is small). With alpha the
// pixels are 0xAARRGGBB and the picture keeps its transparency. False when
// the picture is empty or the file cannot be written (a file cut short may
// then be left at path).
bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitch,
              int compressionLevel = 1, bool alpha = false);
