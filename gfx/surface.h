// Surfaces: the off-screen pictures everything is composed in, and the simple
// opaque operations on them (create, load a .bmp, plot, fill, copy, present).
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
// Called by every drawing that writes a colour into a surface.
inline uint32_t PixelFromColour(Colour colour) {
    return ((colour >> 16) & 0xFF) | (colour & 0xFF00) | ((colour & 0xFF) << 16);
}

// The window's drawing target. The platform owns the real window; screenDC only
// names it, so that PresentSurface keeps its two-sided form.
struct ScreenContext {};
extern ScreenContext* screenDC;

// Loads a .bmp at its natural size (doubled in the doubled display mode).
// On failure: the box "Bitmapロードエラー:<path>", then the program's end
// (gfxEndProgram, gfx/hooks.h); it never returns then. A file that is not a
// regular one, is far larger than its picture needs, or would take the
// pictures loaded at one time past their budget fails the same way.
Surface LoadBitmapSurface(const char* path);
// Called for the curtain and title frames, pictures only ever copied from:
// loads as LoadBitmapSurface does (the same failures, the same budget) and
// holds the picture as run-length rows when that takes under half the room.
Surface LoadCompactBitmapSurface(const char* path);
// Called by the stage loader and LoadAssets; a white surface of width x height (x scale).
Surface CreateBlankSurface(int width, int height);
// Called by BuildBackdrops for panels that are the same picture: a surface
// showing source's pixels as they are now, sharing them until either is
// drawn into.
Surface ShareSurface(Surface source);
// Called once at start-up; a white surface of the screen's size.
Surface CreateBackBuffer();
void PlotPixel(Surface surface, int x, int y, Colour colour);
// Colour at (x, y), or CLR_INVALID outside the surface. The game does not call it.
Colour ReadPixel(Surface surface, int x, int y);
constexpr Colour CLR_INVALID = 0xFFFFFFFF;
// Called at the start of every title and play frame; fills the screen-sized
// rectangle at the top-left corner, whatever the surface's size.
void FillSurface(Surface surface, Colour colour);
void CopySurface(Surface destination, int x, int y, int width, int height, Surface source);
void CopyRect(Surface destination, int x, int y, int width, int height,
              Surface source, int sx, int sy);
// Called at the end of every frame; shows the screen-sized top-left block of source.
void PresentSurface(ScreenContext* destination, Surface source);
void DeleteSurface(Surface surface);
// Fills the physical block (x, y, w, h) with a ready pixel, clipped to the
// surface. No display scaling.
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
