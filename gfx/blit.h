// Colour-keyed, stretched and blended copies between surfaces: how every
// sprite, backdrop, curtain frame and title button reaches the back buffer.
#pragma once
#include <cstdint>
#include "gfx/surface.h"

// DrawBlended modes above the key range.
constexpr uint32_t BLEND_CONSTANT_ALPHA = 0xFFFFFFFF; // -1: constant-alpha blend
constexpr uint32_t BLEND_ADDITIVE = 0xFFFFFFFE;       // -2: per-byte saturating add

// A key colour (0x00BBGGRR) in the surfaces' pixel order 0x00RRGGBB; the top
// byte is dropped. Called by the blits and the rotations.
inline uint32_t PixelKeyFromColour(uint32_t key) { return PixelFromColour(key); }

// Called by the scenes, the stage loader and the gun for sprites, tiles and
// full-screen layers. Copies the w x h block at (sx, sy) to (x, y), leaving
// out source pixels of the key colour; a key with its top bit set (-1) copies
// everything. Source pixels outside src count as black.
void DrawColorKeyed(Surface dst, int x, int y, int w, int h,
                    Surface src, int sx, int sy, uint32_t key);
// Called by the curtains and the stage-clear picture; as DrawColorKeyed with
// the sw x sh source block scaled (nearest neighbour) to dw x dh.
void DrawStretchedColorKeyed(Surface dst, int x, int y, int dw, int dh,
                             Surface src, int sx, int sy, int sw, int sh, uint32_t key);
// Called by the title scene for its fading logo and buttons. alpha is a
// percentage (clamped to 0..100); mode is a key colour for a keyed mix,
// BLEND_CONSTANT_ALPHA or BLEND_ADDITIVE; any other mode draws nothing.
void DrawBlended(Surface dst, int x, int y, int dw, int dh,
                 Surface src, int sx, int sy, int sw, int sh,
                 int16_t alpha, uint32_t mode);

// Called by tests and the benchmark: limits the keyed pixel pass to plain code
// (0), SSE2 (1), AVX2 (2) or AVX-512 (3); by default the best the processor
// has is used. Returns the level now in use.
int LimitKeyedPassLevel(int level);
