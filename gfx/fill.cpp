// Filling a block of a surface with one pixel value: shared by the surfaces,
// the text backgrounds and the boxes. Kept on its own so that the text links
// without the rest of the surface code.
#include <algorithm>

#include "gfx/surface.h"

void FillPhysicalBlock(Surface surface, int64_t x, int64_t y, int64_t w, int64_t h,
                       uint32_t pixel) {
    uint32_t* pixels = WritablePixels(surface);
    if (!pixels) return;
    int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    int64_t right = std::min<int64_t>(x + w, surface->width);
    int64_t bottom = std::min<int64_t>(y + h, surface->height);
    for (int64_t row = top; row < bottom; row++) {
        uint32_t* p = pixels + row * surface->width;
        std::fill(p + left, p + std::max(left, right), pixel);
    }
}
