// The one game window: its caption, the window sized for the screen it is on,
// and the full screen, which fills the monitor at the monitor's own
// resolution and never changes the desktop's mode.
#include <SDL_syswm.h>

#include <cstdio>
#include <cstdlib>

#include "platform/scaling/scaling.h"
#include "platform/sdl/sdl_internal.h"

SDL_Window* gameWindow = nullptr;
int pictureWidth = 1, pictureHeight = 1;
static bool gameWindowFullscreen = false;
static std::string pendingTitle;

void PlatformSetWindowTitle(const char* title)
{
    pendingTitle = title;
    if (gameWindow != nullptr) SDL_SetWindowTitle(gameWindow, title);
}

static void EnsureWindow(int width, int height)
{
    if (gameWindow != nullptr) return;
    // Hidden until shaped, so that choosing how to present (which may make the
    // window again for the graphics card) shows nothing on the screen.
    gameWindow = SDL_CreateWindow(pendingTitle.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                  width > 0 ? width : 1, height > 0 ? height : 1,
                                  SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
    if (gameWindow == nullptr) {
        fprintf(stderr, "prismveldt: cannot open the game window: %s\n", SDL_GetError());
        PlatformExit(1);
    }
    StartPresenting(gameWindow);
}

int GameDisplay()
{
    int display = gameWindow != nullptr ? SDL_GetWindowDisplayIndex(gameWindow) : 0;
    return display < 0 ? 0 : display;
}

double DesktopScale()
{
    // Wayland gives window sizes in the compositor's own scaled units, so the
    // desktop's factor is applied there already.
    if (!videoIsX11 || gameWindow == nullptr) return 1.0;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(gameWindow, &info) || info.subsystem != SDL_SYSWM_X11) return 1.0;
    // Xft.dpi is where X11 desktops (GNOME, KDE, Xfce, xrdb) publish their
    // scale: 96 is 1, 192 is 2.
    const char* dpi = XGetDefault(info.info.x11.display, "Xft", "dpi");
    return DesktopScaleFromDpi(dpi);
}

double DesktopScaleFromDpi(const char* dpi)
{
    if (dpi == nullptr) return 1.0;
    char* end = nullptr;
    double value = strtod(dpi, &end);
    if (end == dpi || !(value > 96.0)) return 1.0;  // never smaller than the picture
    return value > 96.0 * 8 ? 8.0 : value / 96.0;
}

// The game may ask whatever size it likes: the picture is scaled to fill the
// monitor, so every monitor can show it.
bool PlatformTestFullscreen(int width, int height)
{
    return width > 0 && height > 0;
}

void PlatformSetFullscreen(int width, int height)
{
    pictureWidth = width > 0 ? width : 1;
    pictureHeight = height > 0 ? height : 1;
    EnsureWindow(width, height);
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(GameDisplay(), &bounds) != 0) bounds = SDL_Rect{0, 0, width, height};
    SDL_SetWindowResizable(gameWindow, SDL_FALSE);
    SDL_SetWindowBordered(gameWindow, SDL_FALSE);
    // The window manager (or the Wayland compositor) makes a full-screen
    // window cover its monitor; without a window manager nobody would, so
    // the window is put over the monitor first.
    SDL_SetWindowPosition(gameWindow, bounds.x, bounds.y);
    SDL_SetWindowSize(gameWindow, bounds.w, bounds.h);
    SDL_ShowWindow(gameWindow);
    SDL_SetWindowFullscreen(gameWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_SetWindowAlwaysOnTop(gameWindow, SDL_TRUE);
    SDL_RaiseWindow(gameWindow);
    SDL_SetWindowInputFocus(gameWindow);
    gameWindowFullscreen = true;
}

// The desktop's mode was never changed; the window only stops covering it.
void PlatformRestoreDisplay()
{
    if (gameWindow != nullptr && gameWindowFullscreen) SDL_SetWindowFullscreen(gameWindow, 0);
    gameWindowFullscreen = false;
}

bool PlatformIsFullscreen() { return gameWindowFullscreen; }

void PlatformSetWindowed(int x, int y, int clientWidth, int clientHeight, bool captionless)
{
    pictureWidth = clientWidth > 0 ? clientWidth : 1;
    pictureHeight = clientHeight > 0 ? clientHeight : 1;
    EnsureWindow(clientWidth, clientHeight);
    SDL_SetWindowBordered(gameWindow, captionless ? SDL_FALSE : SDL_TRUE);
    // The player may make the captioned window any size; the picture follows.
    SDL_SetWindowResizable(gameWindow, captionless ? SDL_FALSE : SDL_TRUE);

    // The frame's edges are known once the window manager has framed the
    // window (it has by the time the game asks for its real size).
    int top = 0, left = 0, bottom = 0, right = 0;
    if (captionless || SDL_GetWindowBordersSize(gameWindow, &top, &left, &bottom, &right) != 0)
        top = left = bottom = right = 0;
    SDL_Rect room;
    int display = GameDisplay();
    if (SDL_GetDisplayUsableBounds(display, &room) != 0 && SDL_GetDisplayBounds(display, &room) != 0)
        room = SDL_Rect{0, 0, 0, 0};
    int width, height;
    WindowedClientSize(pictureWidth, pictureHeight, DesktopScale(), room.w - left - right, room.h - top - bottom,
                       &width, &height);
    SDL_SetWindowSize(gameWindow, width, height);

    // The outer corner goes to (x, y), moved in where that would put part of
    // the window off the usable desktop (under a panel, past an edge).
    int outerX = x, outerY = y;
    int outerWidth = width + left + right, outerHeight = height + top + bottom;
    if (room.w > 0 && room.h > 0) {
        if (outerX + outerWidth > room.x + room.w) outerX = room.x + room.w - outerWidth;
        if (outerY + outerHeight > room.y + room.h) outerY = room.y + room.h - outerHeight;
        if (outerX < room.x) outerX = room.x;
        if (outerY < room.y) outerY = room.y;
    }
    SDL_SetWindowPosition(gameWindow, outerX + left, outerY + top);
    SDL_SetWindowAlwaysOnTop(gameWindow, SDL_TRUE);
    SDL_ShowWindow(gameWindow);
    SDL_SetWindowInputFocus(gameWindow);
}

void PresentPixels(SDL_Window* window, const uint32_t* pixels, int width, int height, int pitch)
{
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (surface == nullptr) return;
    int w = width < surface->w ? width : surface->w;
    int h = height < surface->h ? height : surface->h;
    if (w <= 0 || h <= 0) return;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_RGB888, pixels, pitch * 4, surface->format->format,
                      surface->pixels, surface->pitch);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(window);
}

void PlatformDestroyWindow()
{
    StopPresenting();
    if (gameWindow != nullptr) SDL_DestroyWindow(gameWindow);
    gameWindow = nullptr;
    gameWindowFullscreen = false;
}
