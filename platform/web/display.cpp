// The picture in the page's canvas. The canvas holds the picture at its own
// size and the page scales it with CSS to fit the tab (or the screen, in full
// screen), so a frame is copied once into the canvas and never resampled here.
#include <emscripten.h>

#include <cstdio>
#include <vector>

#include "platform/web/web_internal.h"

int pictureWidth = 1280, pictureHeight = 720;
// The last frame presented, in the canvas's byte order. Rows that come out
// the same as last time are not sent again: the title's sky moves every other
// frame, and a still frame costs the tab nothing to show.
static std::vector<uint32_t> rgba;

EM_JS(void, PageSetTitle, (const char* title), { document.title = UTF8ToString(title); });
EM_JS(void, PageShapeCanvas, (int width, int height), { Module.web.shapeCanvas(width, height); });
EM_JS(void, PageFullscreen, (int on), { Module.web.fullscreen(on !== 0); });
EM_JS(int, PageFullscreenOn, (), { return Module.web.fullscreenOn ? 1 : 0; });
EM_JS(int, PageTakeFocus, (), { return Module.web.takeFocus() ? 1 : 0; });
EM_JS(void, PagePresent, (const uint32_t* pixels, int width, int height, int firstRow, int rows), {
    Module.web.present(pixels, width, height, firstRow, rows);
});
EM_JS(void, PageShowCursor, (int visible), { Module.web.showCursor(visible !== 0); });

void PlatformSetWindowTitle(const char* title)
{
    PageSetTitle(title[0] != '\0' ? title : "Prismveldt");
}

// The page shows any size.
bool PlatformTestFullscreen(int width, int height)
{
    return width > 0 && height > 0;
}

// The tiny windows the shell makes before the display mode is chosen are not
// worth a canvas of their own: the canvas keeps its last real size.
static void Shape(int width, int height)
{
    if (width < 64 || height < 64) return;
    pictureWidth = width;
    pictureHeight = height;
    PageShapeCanvas(width, height);
}

// The browser lets a page fill the screen only just after a click or a key;
// the answer to the start-up question is that click.
void PlatformSetFullscreen(int width, int height)
{
    Shape(width, height);
    PageFullscreen(1);
}

void PlatformRestoreDisplay() { PageFullscreen(0); }

bool PlatformIsFullscreen() { return PageFullscreenOn() != 0; }

bool PlatformWindowFocused()
{
    if (scripted) return ScriptFocused();
    return PageTakeFocus() != 0;
}

// The page's frames come at the display's refreshes whatever the setting.
void PlatformSetVsync(bool) {}

void PlatformSetWindowed(int, int, int clientWidth, int clientHeight, bool)
{
    Shape(clientWidth, clientHeight);
}

void PlatformPresent(const uint32_t* pixels, int width, int height, int pitch)
{
    if (WebHashingFrames()) PrintFrameHash(framesStarted - 1, pixels, width, height, pitch);
    if (width != pictureWidth || height != pictureHeight || width <= 0 || height <= 0) return;
    rgba.resize(size_t(width) * height);
    // 0x00RRGGBB to the canvas's bytes R, G, B, A (a little-endian word AABBGGRR).
    int firstChanged = height, lastChanged = -1;
    uint32_t* out = rgba.data();
    for (int y = 0; y < height; y++, out += width) {
        const uint32_t* row = pixels + size_t(y) * pitch;
        uint32_t changed = 0;
        for (int x = 0; x < width; x++) {
            uint32_t p = row[x];
            uint32_t q = 0xFF000000u | (p & 0x0000FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
            changed |= q ^ out[x];
            out[x] = q;
        }
        if (changed != 0) {
            if (firstChanged == height) firstChanged = y;
            lastChanged = y;
        }
    }
    // The page repaints the whole canvas when it was cleared (a new size) or
    // something else has drawn on it.
    PagePresent(rgba.data(), width, height, lastChanged < 0 ? 0 : firstChanged,
                lastChanged < 0 ? 0 : lastChanged + 1 - firstChanged);
}

void PlatformDestroyWindow() {}

void PlatformShowCursor(bool visible)
{
    static int shown = -1;  // the scenes hide it every frame; only a change reaches the page
    if (shown == int(visible)) return;
    shown = visible;
    PageShowCursor(visible);
}
