// What a keyed copy shows of a flat picture that is drawn keyed frame after
// frame (the middle layer, the tile sheet): for each row, block by block, the
// spans of pixels that are not the key. Such a copy then moves only those
// pixels, with none compared and nothing read from underneath. The index is
// found a block at a time as copies reach it, and forgotten whenever the
// picture is drawn into.
#pragma once
#include <cstddef>
#include <cstdint>
#include "gfx/surface.h"

struct KeySpans;

// The per-pixel keyed pass a block of many short spans is left to:
// d[i] := s[i] wherever s[i]'s colour is not the key.
typedef void (*KeyedPass)(uint32_t* d, const uint32_t* s, size_t n, uint32_t pk);

// For an unstretched keyed copy from a flat source (pixels set, no runs)
// that is not also the destination: the source's index for key pk (a
// 0x00RRGGBB key), or nullptr while the per-pixel pass is the way: on the
// first keyed copy since the picture was made or drawn into, or with another
// key than last time (the old index is forgotten). The index belongs to the
// source (source->keySpans) and is only good until the source is next drawn
// into; it grows a block at a time as rows are drawn through it.
KeySpans* KeySpansFor(Surface source, uint32_t pk);
// Source columns [c0, c1) of physical row `row` onto out (out[0] shows
// column c0), exactly as the keyed pass would draw them; blocks of too many
// spans are handed to pass, with the index's key. index must be the one
// KeySpansFor gave for this source; nothing is checked: the span must lie
// inside the source and out hold c1 - c0 pixels.
void DrawKeyedRowBySpans(KeySpans* index, const SurfaceData& source, int64_t row,
                         int64_t c0, int64_t c1, uint32_t* out, KeyedPass pass);
// Forgets and frees the surface's index, if it has one; nothing for no
// surface. Whatever changes a surface's pixels must do this first
// (WritablePixels does), or later keyed copies would show the old picture.
void DropKeySpans(Surface surface);
