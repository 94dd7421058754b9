// Showing each finished frame in the game window, scaled to the window's real
// size with black bars where its shape differs: by the graphics card through
// SDL's renderer and a streaming texture where there is one, else by the
// game's own scaler straight into the window's pixels. Also where the pointer
// is over the picture, by the same numbers.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "platform/scaling/scaling.h"
#include "platform/sdl/sdl_internal.h"

namespace {

SDL_Renderer* renderer = nullptr;  // nullptr: the software path
SDL_Texture* frameTexture = nullptr;
int frameWidth = 0, frameHeight = 0;
SDL_Texture* sharpTexture = nullptr;  // the frame enlarged with whole pixels
int sharpWidth = 0, sharpHeight = 0;
ScaleChoice scaleChoice = SCALE_CHOICE_AUTO;
bool vsyncWanted = false;  // for the renderer, now and when it is made
std::vector<uint32_t> scaled;  // for a window whose pixels are not 32-bit

constexpr unsigned GL_RENDERER_NAME = 0x1F01;  // GL_RENDERER

// A GL "graphics card" that is really the processor (Mesa's llvmpipe on a
// machine without one) would do the scaling slower than the game's own scaler
// and with threads of its own.
bool RasterizesOnTheProcessor(SDL_Renderer* candidate)
{
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(candidate, &info) != 0) return true;
    if ((info.flags & SDL_RENDERER_SOFTWARE) != 0 || (info.flags & SDL_RENDERER_ACCELERATED) == 0) return true;
    if (strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const char* name = getString != nullptr ? reinterpret_cast<const char*>(getString(GL_RENDERER_NAME)) : nullptr;
    if (name == nullptr) return false;
    for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "SWR", "swrast"})
        if (strstr(name, software) != nullptr) return true;
    return false;
}

// Graphics drivers show themselves as devices; without any, GL could only be
// the processor, and trying it would cost a tenth of a second at start-up.
bool GraphicsDevicePresent()
{
    return access("/dev/dri", F_OK) == 0 || access("/dev/nvidia0", F_OK) == 0;
}

// The window's size in output pixels: what the renderer or the window's
// pixels cover.
bool OutputSize(int* width, int* height)
{
    *width = *height = 0;
    if (gameWindow == nullptr) return false;
    if (renderer != nullptr) {
        if (SDL_GetRendererOutputSize(renderer, width, height) != 0) return false;
    } else {
        SDL_GetWindowSizeInPixels(gameWindow, width, height);
    }
    return *width > 0 && *height > 0;
}

void ReplaceTexture(SDL_Texture** texture, int* width, int* height, int wantedWidth, int wantedHeight, int access)
{
    if (*texture != nullptr && *width == wantedWidth && *height == wantedHeight) return;
    if (*texture != nullptr) SDL_DestroyTexture(*texture);
    *texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, access, wantedWidth, wantedHeight);
    *width = *texture != nullptr ? wantedWidth : 0;
    *height = *texture != nullptr ? wantedHeight : 0;
}

void PresentWithRenderer(const uint32_t* pixels, int width, int height, int pitch)
{
    ReplaceTexture(&frameTexture, &frameWidth, &frameHeight, width, height, SDL_TEXTUREACCESS_STREAMING);
    if (frameTexture == nullptr) return;
    SDL_UpdateTexture(frameTexture, nullptr, pixels, pitch * 4);
    int outputWidth, outputHeight;
    if (SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight) != 0) return;
    PictureRect rect = FitPicture(width, height, outputWidth, outputHeight);
    ScaleFilter filter = ChooseFilter(width, height, rect, scaleChoice);

    SDL_Texture* shown = frameTexture;
    SDL_SetTextureScaleMode(frameTexture, filter == SCALE_NEAREST ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    if (filter == SCALE_SHARP && SDL_RenderTargetSupported(renderer)) {
        // Sharp bilinear on the card: whole pixels up to the next multiple,
        // then a smooth reduction to the window.
        int multiple = SharpMultiple(width, height, rect);
        ReplaceTexture(&sharpTexture, &sharpWidth, &sharpHeight, width * multiple, height * multiple,
                       SDL_TEXTUREACCESS_TARGET);
        if (sharpTexture != nullptr && SDL_SetRenderTarget(renderer, sharpTexture) == 0) {
            SDL_SetTextureScaleMode(frameTexture, SDL_ScaleModeNearest);
            SDL_RenderCopy(renderer, frameTexture, nullptr, nullptr);
            SDL_SetRenderTarget(renderer, nullptr);
            SDL_SetTextureScaleMode(sharpTexture, SDL_ScaleModeLinear);
            shown = sharpTexture;
        }
    }
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_Rect destination{rect.x, rect.y, rect.width, rect.height};
    SDL_RenderCopy(renderer, shown, nullptr, &destination);
    SDL_RenderPresent(renderer);
}

void PresentInSoftware(const uint32_t* pixels, int width, int height, int pitch)
{
    SDL_Surface* surface = SDL_GetWindowSurface(gameWindow);
    if (surface == nullptr || surface->w <= 0 || surface->h <= 0) return;
    PictureRect rect = FitPicture(width, height, surface->w, surface->h);
    ScaleFilter filter = ChooseFilter(width, height, rect, scaleChoice);
    Uint32 format = surface->format->format;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    if (format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888) {
        // The window's pixels are laid out like the game's: draw straight in.
        DrawPicture(pixels, width, height, pitch, static_cast<uint32_t*>(surface->pixels), surface->w, surface->h,
                    surface->pitch / 4, rect, filter);
    } else {
        scaled.resize(static_cast<size_t>(surface->w) * surface->h);
        DrawPicture(pixels, width, height, pitch, scaled.data(), surface->w, surface->h, surface->w, rect, filter);
        SDL_ConvertPixels(surface->w, surface->h, SDL_PIXELFORMAT_RGB888, scaled.data(), surface->w * 4, format,
                          surface->pixels, surface->pitch);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(gameWindow);
}

// With PRISMVELDT_TIMING set, the first present reports how long start-up
// took, leaving out the time the player spent answering message boxes, and
// what draws the frames.
void ReportFirstPresent()
{
    static bool reported = false;
    if (reported || getenv("PRISMVELDT_TIMING") == nullptr) return;
    reported = true;
    fprintf(stderr, "prismveldt: first frame presented %u ms after start (%u ms of it in message boxes)\n",
            PlatformTimeMs(), messageBoxMs);
    SDL_RendererInfo info;
    if (renderer != nullptr && SDL_GetRendererInfo(renderer, &info) == 0)
        fprintf(stderr, "prismveldt: frames scaled by SDL's %s renderer\n", info.name);
    else
        fprintf(stderr, "prismveldt: frames scaled by the game's own scaler\n");
}

}  // namespace

void StartPresenting(SDL_Window* window)
{
    scaleChoice = ParseScaleChoice(SDL_GetHint(SDL_HINT_RENDER_SCALE_QUALITY));
    // A renderer the player names (SDL_RENDER_DRIVER) is used as asked;
    // "software" is the game's own scaler, faster and sharper than SDL's.
    const char* asked = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (asked != nullptr && SDL_strcasecmp(asked, "software") == 0) return;
    if (asked != nullptr && *asked != '\0') {
        renderer = SDL_CreateRenderer(window, -1, 0);
        if (renderer != nullptr && vsyncWanted) SDL_RenderSetVSync(renderer, 1);
        return;
    }
    if (GraphicsDevicePresent()) {
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
        if (renderer != nullptr && RasterizesOnTheProcessor(renderer)) {
            SDL_DestroyRenderer(renderer);
            renderer = nullptr;
        }
    }
    if (renderer != nullptr && vsyncWanted) SDL_RenderSetVSync(renderer, 1);
}

void StopPresenting()
{
    // The renderer's textures go with it.
    if (renderer != nullptr) SDL_DestroyRenderer(renderer);
    renderer = nullptr;
    frameTexture = sharpTexture = nullptr;
    frameWidth = frameHeight = sharpWidth = sharpHeight = 0;
}

bool PresentingWithRenderer() { return renderer != nullptr; }

// SDL's renderer waits for the refresh in SDL_RenderPresent. The game's own
// scaler writes the window's pixels, and SDL gives a window surface no way
// to wait for the display: there the frames are shown as they come.
void PlatformSetVsync(bool on)
{
    vsyncWanted = on;
    if (renderer != nullptr) SDL_RenderSetVSync(renderer, on ? 1 : 0);
}

void PlatformPresent(const uint32_t* pixels, int width, int height, int pitch)
{
    if (gameWindow == nullptr || pixels == nullptr || width <= 0 || height <= 0 || pitch < width) return;
    if (renderer != nullptr)
        PresentWithRenderer(pixels, width, height, pitch);
    else
        PresentInSoftware(pixels, width, height, pitch);
    ReportFirstPresent();
}

// Window units are SDL's (pixels on X11, the compositor's points on a scaled
// Wayland output); output pixels are what the picture is drawn in.
struct WindowGeometry {
    double across, down;  // output pixels per window unit
    PictureRect rect;     // where the picture sits in the output
};

static bool ReadWindowGeometry(WindowGeometry* geometry)
{
    int outputWidth, outputHeight, width = 0, height = 0;
    if (!OutputSize(&outputWidth, &outputHeight)) return false;
    SDL_GetWindowSize(gameWindow, &width, &height);
    geometry->across = width > 0 ? static_cast<double>(outputWidth) / width : 1.0;
    geometry->down = height > 0 ? static_cast<double>(outputHeight) / height : 1.0;
    geometry->rect = FitPicture(pictureWidth, pictureHeight, outputWidth, outputHeight);
    return true;
}

void PictureFromWindow(int windowX, int windowY, int* x, int* y)
{
    WindowGeometry g;
    if (!ReadWindowGeometry(&g)) {
        *x = windowX;
        *y = windowY;
        return;
    }
    PictureFromOutput(g.rect, pictureWidth, pictureHeight, (windowX + 0.5) * g.across,
                      (windowY + 0.5) * g.down, x, y);
}

void WindowFromPicture(int x, int y, int* windowX, int* windowY)
{
    WindowGeometry g;
    if (!ReadWindowGeometry(&g)) {
        *windowX = x;
        *windowY = y;
        return;
    }
    double outputX, outputY;
    OutputFromPicture(g.rect, pictureWidth, pictureHeight, x, y, &outputX, &outputY);
    *windowX = static_cast<int>(SDL_floor(outputX / g.across));
    *windowY = static_cast<int>(SDL_floor(outputY / g.down));
}
