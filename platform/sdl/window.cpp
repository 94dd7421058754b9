// The one game window: caption, windowed or full screen, and the frames shown in it.
#include <cstdio>
#include <cstdlib>

#include "platform/sdl/sdl_internal.h"

SDL_Window* gameWindow = nullptr;
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
    gameWindow = SDL_CreateWindow(pendingTitle.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                  width > 0 ? width : 1, height > 0 ? height : 1,
                                  SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SHOWN);
    if (gameWindow == nullptr) {
        fprintf(stderr, "prismveldt: cannot open the game window: %s\n", SDL_GetError());
        PlatformExit(1);
    }
}

int GameDisplay()
{
    int display = gameWindow != nullptr ? SDL_GetWindowDisplayIndex(gameWindow) : 0;
    return display < 0 ? 0 : display;
}

bool PlatformTestFullscreen(int width, int height)
{
    int display = GameDisplay();
    int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; i++) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(display, i, &mode) == 0 && mode.w == width && mode.h == height)
            return true;
    }
    return false;
}

void PlatformSetFullscreen(int width, int height)
{
    EnsureWindow(width, height);
    SDL_DisplayMode wanted{};
    wanted.w = width;
    wanted.h = height;
    SDL_DisplayMode closest;
    if (SDL_GetClosestDisplayMode(GameDisplay(), &wanted, &closest) != nullptr)
        SDL_SetWindowDisplayMode(gameWindow, &closest);
    SDL_SetWindowBordered(gameWindow, SDL_FALSE);
    SDL_SetWindowSize(gameWindow, width, height);
    SDL_SetWindowFullscreen(gameWindow, SDL_WINDOW_FULLSCREEN);
    SDL_SetWindowAlwaysOnTop(gameWindow, SDL_TRUE);
    SDL_ShowWindow(gameWindow);
    SDL_SetWindowInputFocus(gameWindow);
    gameWindowFullscreen = true;
}

void PlatformRestoreDisplay()
{
    if (gameWindow != nullptr && gameWindowFullscreen) SDL_SetWindowFullscreen(gameWindow, 0);
    gameWindowFullscreen = false;
}

void PlatformSetWindowed(int x, int y, int clientWidth, int clientHeight, bool captionless)
{
    EnsureWindow(clientWidth, clientHeight);
    SDL_SetWindowBordered(gameWindow, captionless ? SDL_FALSE : SDL_TRUE);
    SDL_SetWindowResizable(gameWindow, SDL_FALSE);
    SDL_SetWindowSize(gameWindow, clientWidth > 0 ? clientWidth : 1, clientHeight > 0 ? clientHeight : 1);
    // SDL places the client area; the outer corner goes to (x, y), so move the
    // client in by the frame's left and top edges.
    int top = 0, left = 0, bottom = 0, right = 0;
    if (captionless || SDL_GetWindowBordersSize(gameWindow, &top, &left, &bottom, &right) != 0)
        top = left = 0;
    SDL_SetWindowPosition(gameWindow, x + left, y + top);
    SDL_SetWindowAlwaysOnTop(gameWindow, SDL_TRUE);
    SDL_ShowWindow(gameWindow);
    SDL_SetWindowInputFocus(gameWindow);
}

void PlatformGetClientOrigin(int* x, int* y)
{
    *x = *y = 0;
    if (gameWindow != nullptr) SDL_GetWindowPosition(gameWindow, x, y);
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

// With PRISMVELDT_TIMING set, the first present reports how long start-up took,
// leaving out the time the player spent answering message boxes.
static void ReportFirstPresent()
{
    static bool reported = false;
    if (reported || getenv("PRISMVELDT_TIMING") == nullptr) return;
    reported = true;
    fprintf(stderr, "prismveldt: first frame presented %u ms after start (%u ms of it in message boxes)\n",
            PlatformTimeMs(), messageBoxMs);
}

void PlatformPresent(const uint32_t* pixels, int width, int height, int pitch)
{
    if (gameWindow == nullptr) return;
    PresentPixels(gameWindow, pixels, width, height, pitch);
    ReportFirstPresent();
}

void PlatformDestroyWindow()
{
    if (gameWindow != nullptr) SDL_DestroyWindow(gameWindow);
    gameWindow = nullptr;
}
