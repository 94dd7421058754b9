// The stretched copies' kept pictures (gfx/stretch_memo.h).
#include "gfx/stretch_memo.h"

#include <algorithm>

#include "gfx/key_spans.h"
#include "gfx/screen.h"

struct StretchMemo {
    StretchRequest request;
    Surface picture = nullptr;
};

namespace {
bool Same(const StretchRequest& a, const StretchRequest& b) {
    return a.sx == b.sx && a.sy == b.sy && a.sw == b.sw && a.sh == b.sh && a.dw == b.dw &&
           a.dh == b.dh && a.pk == b.pk && a.pass == b.pass;
}

// As DeleteSurface does for a picture of its own: kept here so that the text,
// which reaches this through WritablePixels, links without the surfaces' code.
void FreePicture(Surface picture) {
    if (!picture) return;
    DropKeySpans(picture);
    delete[] picture->pixels;
    delete picture;
}
}  // namespace

Surface KeptStretch(Surface source, const StretchRequest& request, bool* fresh) {
    *fresh = false;
    // No more than a screen's worth is kept for any one picture.
    const int64_t s = PixelScale();
    if (request.dw > int64_t(screenWidth) * s || request.dh > int64_t(screenHeight) * s) return nullptr;
    StretchMemo* memo = source->stretchMemo;
    if (!memo || !Same(memo->request, request)) {
        DropStretchMemo(source);
        source->stretchMemo = new StretchMemo{request};
        return nullptr;
    }
    if (!memo->picture) {
        size_t count = size_t(request.dw) * size_t(request.dh);
        uint32_t* pixels = new uint32_t[count];
        std::fill(pixels, pixels + count, request.pk);
        memo->picture = new SurfaceData{int(request.dw), int(request.dh), pixels};
        *fresh = true;
    }
    return memo->picture;
}

void DropStretchMemo(Surface surface) {
    if (!surface || !surface->stretchMemo) return;
    FreePicture(surface->stretchMemo->picture);
    delete surface->stretchMemo;
    surface->stretchMemo = nullptr;
}
