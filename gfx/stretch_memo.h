// A picture drawn keyed and stretched the same way frame after frame (the
// title's logo and buttons) is stretched once into a flat picture of the
// destination block's size, kept beside the source until the source is drawn
// into. Each frame then copies that picture keyed, which shows the same
// pixels without reading runs, picking columns or mixing again.
#pragma once
#include <cstdint>
#include "gfx/surface.h"

struct StretchMemo;

// One stretched keyed copy: the source block, the destination block's size
// (all physical), the key (0x00RRGGBB) and which pass draws it.
struct StretchRequest {
    int64_t sx, sy, sw, sh, dw, dh;
    uint32_t pk;
    int pass;
};

// Called by the stretched keyed copies from a source that is not also the
// destination: the kept picture for this request, or nullptr when the
// stretch is to be drawn as it is: the first time the request is seen (a
// different one forgets the last), or for a block larger than the screen.
// *fresh says the picture was just made, filled with the key, and the caller
// is to draw the stretch into it.
Surface KeptStretch(Surface source, const StretchRequest& request, bool* fresh);
// Called by WritablePixels (every drawing into a surface) and DeleteSurface.
void DropStretchMemo(Surface surface);
