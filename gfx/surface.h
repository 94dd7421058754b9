// Surfaces: the off-screen pictures everything is composed in, and the simple
// opaque operations on them (create, load a .bmp, plot, fill, copy, present).
// Coordinates and sizes are logical pixels, multiplied by the display mode's
// pixel scale (gfx/screen.h) as each call is made, unless a call says
// physical; so the display mode is to be set before surfaces are made.
// Every drawing is clipped to its surfaces, and does nothing for no surface
// or an empty one. A surface made here is its maker's, to free with
// DeleteSurface.
#pragma once
#include <cstdint>

struct CompactPixels;  // gfx/compact.h
struct KeySpans;       // gfx/key_spans.h
struct StretchMemo;    // gfx/stretch_memo.h

// A picture in memory. Pixels are 0x00RRGGBB words, rows top-down, `width`
// pixels to a row. The size is the physical one (logical size x pixel scale).
// A picture that is only ever read may hold run-length rows instead (compact
// set, pixels nullptr), and surfaces that show the same picture may share
// its storage (sharers set); every drawing reads all of these alike. The
// pixels are read-only here: whatever writes them takes them from
// WritablePixels, which first gives the surface flat pixels of its own and
// forgets what was kept beside them.
struct SurfaceData {
    int width;
    int height;
    const uint32_t* pixels;  // owned (new[]) unless the surface is a caller's own record
    bool fromFile = false;  // loaded from a picture file: counts against the pictures' budget
    CompactPixels* compact = nullptr;
    int* sharers = nullptr;  // how many surfaces share this storage, when shared
    KeySpans* keySpans = nullptr;  // what its keyed copies show, once drawn keyed again
    StretchMemo* stretchMemo = nullptr;  // its last stretched keyed copy, once drawn so again
};
typedef SurfaceData* Surface; // nullptr: no surface (deleting it is a no-op)

// Colours the game passes around are 0x00BBGGRR, red in the low byte.
typedef uint32_t Colour;

// A colour in the surfaces' pixel order 0x00RRGGBB; the top byte is dropped.
inline uint32_t PixelFromColour(Colour colour) {
    return ((colour >> 16) & 0xFF) | (colour & 0xFF00) | ((colour & 0xFF) << 16);
}

// The window's drawing target. The platform owns the real window; screenDC only
// names it, so that PresentSurface keeps its two-sided form.
struct ScreenContext {};
extern ScreenContext* screenDC;

// Loads a .bmp at its natural size (doubled in the doubled display mode, as
// the mode stands when it loads) into a new flat surface, the caller's.
// While it loads, the memory task names path (gfx/hooks.h), so a picture the
// machine cannot hold gets the out-of-memory box naming it.
// On failure: the box "Bitmapロードエラー:<path>", then the program's end
// (gfxEndProgram, gfx/hooks.h); it never returns then. A file that is not a
// regular one, is far larger than its picture needs, holds more than
// BMP_MAX_PIXELS once scaled, or would take the pictures loaded at one time
// past their budget (their physical pixels together; DeleteSurface gives a
// picture's share back) fails the same way.
Surface LoadBitmapSurface(const char* path);
// For pictures only ever copied from: loads as LoadBitmapSurface does (the
// same failures, the same budget) and holds the picture as run-length rows
// when that takes under half the room; an RLE8 or RLE4 file goes straight
// into runs, never through flat pixels. Anything that draws into it, rotates
// from it or presents it later gives it flat pixels for good (WritablePixels).
Surface LoadCompactBitmapSurface(const char* path);
// A new white surface of width x height logical pixels (x scale), the
// caller's; it does not count against the pictures' budget. A size of
// nothing (either side <= 0) gives an empty surface. One past 2^28 physical
// pixels ends the program through gfxExitOutOfMemory, named by the memory
// task if one is set, else "WxHの画像"; so does one the machine cannot hold,
// under the same name, where the program's new-handler ends in that box (the
// shell's does).
Surface CreateBlankSurface(int width, int height);
// A new surface, the caller's, showing source's pixels (flat or run-length)
// as they are now and sharing their storage until either is drawn into: the
// one drawn into then takes a copy of its own (WritablePixels). The storage
// goes with the last surface showing it. The twin keeps none of source's
// keyed spans or stretched copy, and does not count against the pictures'
// budget. nullptr for no source.
Surface ShareSurface(Surface source);
// A white surface of the logical screen's size as it is now (screenWidth x
// screenHeight, x scale), made as CreateBlankSurface makes one: set the
// display mode first, and make it again after the screen's size changes.
Surface CreateBackBuffer();
// Sets logical pixel (x, y), the scale x scale physical block, to colour;
// nothing outside the surface.
void PlotPixel(Surface surface, int x, int y, Colour colour);
// The colour (0x00BBGGRR) of logical pixel (x, y), that is of the top-left
// physical pixel of its block, read from flat or run-length rows alike
// without changing the surface. CLR_INVALID, which no pixel can give,
// outside the surface, for no surface and for an empty one.
Colour ReadPixel(Surface surface, int x, int y);
constexpr Colour CLR_INVALID = 0xFFFFFFFF;
// Fills the block of the logical screen's size at the top-left corner,
// whatever the surface's own size (clipped to it).
void FillSurface(Surface surface, Colour colour);
// Opaque copy of the width x height logical block at (sx, sy) of source
// ((0, 0) for CopySurface) to (x, y) of destination. Only the part inside
// both surfaces moves; the rest of the destination block keeps its pixels.
// source may be destination itself, overlapping or not. A run-length source
// is read as it is; the destination gets flat pixels of its own first.
void CopySurface(Surface destination, int x, int y, int width, int height, Surface source);
void CopyRect(Surface destination, int x, int y, int width, int height,
              Surface source, int sx, int sy);
// Shows the top-left block of source the size of the logical screen (or all
// of source, where it is smaller) in the window, through the platform. A
// run-length source gets flat pixels first, for good. Nothing for no
// destination, no source or an empty one.
void PresentSurface(ScreenContext* destination, Surface source);
// Frees a surface made here, with what its copies kept beside it; storage
// it shares goes only with the last surface showing it, and a picture from
// a file gives its share of the budget back. nullptr is a no-op. Never for
// a surface whose record its caller made itself (screenSurface, gfx/text.h,
// or a SurfaceData of the caller's own).
void DeleteSurface(Surface surface);
// Fills the physical block (x, y, w, h) with a ready pixel (0x00RRGGBB),
// clipped to the surface. No display scaling. The surface gets flat pixels
// of its own first (WritablePixels).
void FillPhysicalBlock(Surface surface, int64_t x, int64_t y, int64_t w, int64_t h,
                       uint32_t pixel);

// The one way to write a surface's pixels. Gives a run-length or shared
// surface flat pixels of its own (the surfaces it shared with keep theirs),
// forgets what the keyed and stretched copies kept of it (gfx/key_spans.h,
// gfx/stretch_memo.h), and returns its width x height pixels, rows top-down,
// to write; nullptr for no surface or an empty one. Take them afresh for
// each drawing: pixels written through a pointer kept past a later copy
// from the surface, or past ShareSurface, would go unseen by what that kept.
// What must read a run-length picture as flat pixels (a rotation's source,
// the present) takes them from here too.
uint32_t* WritablePixels(Surface surface);
