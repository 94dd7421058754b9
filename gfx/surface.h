// Surfaces: the off-screen pictures everything is composed in, and the simple
// opaque operations on them (create, load a .bmp, plot, fill, copy, present).
#pragma once
#include <cstdint>

// A picture in memory. Pixels are 0x00RRGGBB words, rows top-down, `width`
// pixels to a row. The size is the physical one (logical size x pixel scale).
struct SurfaceData {
    int width;
    int height;
    uint32_t* pixels;
};
typedef SurfaceData* Surface; // nullptr: no surface (deleting it is a no-op)

// Colours the game passes around are 0x00BBGGRR, red in the low byte.
typedef uint32_t Colour;
