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

// For a keyed copy stretched across the columns (sw != dw), from a source
// with pixels that is not also the destination, with source pixels outside
// it counting as black: the kept picture for this request, or nullptr when
// the stretch is to be drawn as it is: the first time the request is seen (a
// different one forgets the last one's picture), or for a block wider or
// taller than the logical screen's physical size. *fresh says the picture
// was just made, dw x dh filled with the key, and the caller is to draw the
// stretch into it before copying it keyed with pk. The picture belongs to
// the source's memo: never delete it, nor keep it past a drawing into the
// source.
Surface KeptStretch(Surface source, const StretchRequest& request, bool* fresh);
// Frees the surface's kept picture and memo, if it has them; nothing for no
// surface. Whatever changes a surface's pixels must do this first
// (WritablePixels does), or later stretched copies would show the old
// picture.
void DropStretchMemo(Surface surface);
