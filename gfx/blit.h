// Colour-keyed, stretched and blended copies between surfaces: how every
// sprite, backdrop, curtain frame and title button reaches the back buffer.
// Positions and sizes are logical pixels (x the pixel scale); each copy is
// clipped to the destination, draws nothing for a size of nothing (any side
// <= 0) or no surface, reads a run-length source as it is, and gives the
// destination flat pixels of its own first (WritablePixels). A surface drawn
// onto itself reads the picture as it was before the call. What a copy keeps
// beside its source to draw it faster the next time (gfx/key_spans.h,
// gfx/stretch_memo.h) belongs to the source and goes when the source is
// drawn into or deleted.
#pragma once
#include <cstdint>
#include "gfx/surface.h"

// DrawBlended modes above the key range.
constexpr uint32_t BLEND_CONSTANT_ALPHA = 0xFFFFFFFF; // -1: constant-alpha blend
constexpr uint32_t BLEND_ADDITIVE = 0xFFFFFFFE;       // -2: per-byte saturating add

// A key colour (0x00BBGGRR) in the surfaces' pixel order 0x00RRGGBB; the top
// byte is dropped.
inline uint32_t PixelKeyFromColour(uint32_t key) { return PixelFromColour(key); }

// Copies the w x h block at (sx, sy) of src to (x, y) of dst, leaving out
// source pixels of the key colour (0x00BBGGRR, its top byte dropped). Source
// pixels outside src count as black, so a black key leaves them out and any
// other key paints them black. A key with its top bit set (-1) copies
// everything, opaque, and there the part outside src keeps dst's pixels.
void DrawColorKeyed(Surface dst, int x, int y, int w, int h,
                    Surface src, int sx, int sy, uint32_t key);
// As DrawColorKeyed with the sw x sh source block scaled (nearest neighbour,
// each destination pixel showing the source pixel under its centre) onto
// the dw x dh block at (x, y).
void DrawStretchedColorKeyed(Surface dst, int x, int y, int dw, int dh,
                             Surface src, int sx, int sy, int sw, int sh, uint32_t key);
// The sw x sh block of src, scaled as DrawStretchedColorKeyed scales it,
// mixed onto the dw x dh block at (x, y) of dst. alpha is a percentage
// (clamped to 0..100). mode is one of:
// - a key colour 0x00BBGGRR (top byte zero): each source pixel that is not
//   the key becomes alpha% of itself plus the rest of the destination's,
//   channel by channel, truncated; source pixels outside src count as black;
// - BLEND_CONSTANT_ALPHA: every source pixel at alpha (in 255ths, rounded),
//   no key; the part outside src keeps dst's pixels;
// - BLEND_ADDITIVE: each byte of source and destination added, at most 255.
// Any other mode draws nothing.
void DrawBlended(Surface dst, int x, int y, int dw, int dh,
                 Surface src, int sx, int sy, int sw, int sh,
                 int16_t alpha, uint32_t mode);

// Limits the keyed pixel pass to plain code (0), SSE2 (1), AVX2 (2) or
// AVX-512 (3), never past what the processor (or the browser's build) has;
// by default the best it has is used. Every level draws the same pixels.
// Returns the level now in use; it holds for every copy after, program-wide.
int LimitKeyedPassLevel(int level);
