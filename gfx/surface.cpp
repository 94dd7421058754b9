// Surfaces: creating, loading, plotting, filling, copying, presenting and
// deleting the off-screen pictures. Everything here takes logical pixels and
// applies the display mode's pixel scale before touching memory.
#include "gfx/surface.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "gfx/bmp.h"
#include "gfx/compact.h"
#include "gfx/hooks.h"
#include "gfx/key_spans.h"
#include "gfx/stretch_memo.h"
#include "gfx/whole_file.h"
#include "platform/platform.h"
#include "gfx/screen.h"

static ScreenContext screenContext;
ScreenContext* screenDC = &screenContext;

// All the pictures loaded from files at one time hold at most this many
// pixels: the game's own need about 110 million, and a set of files that
// claims far more is not the game's.
static constexpr int64_t PICTURE_BUDGET_PIXELS = 160LL * 1024 * 1024;
static int64_t loadedPicturePixels = 0;
// No surface the game makes comes near this; a bigger one is a fault.
static constexpr int64_t SURFACE_MAX_PIXELS = 1LL << 28;

static Colour ColourFromPixel(uint32_t pixel) {
    return PixelFromColour(pixel & 0xFFFFFF);
}

// A physical width x height surface with every pixel `fill` (or, for a
// loader that writes every pixel itself, left as it comes). Sizes of nothing
// give an empty surface, on which every drawing does nothing; a surface the
// machine cannot hold ends the game with the out-of-memory box naming it.
static Surface NewSurface(int width, int height, uint32_t fill, bool filled = true) {
    Surface surface = new SurfaceData{0, 0, nullptr};
    if (width <= 0 || height <= 0) return surface;
    size_t count = size_t(width) * size_t(height);
    // The box names the picture being loaded, or else this surface by its size.
    char what[96];
    std::snprintf(what, sizeof what, "%dx%dの画像", width, height);
    const char* task = GfxSetMemoryTask(what);
    if (task != nullptr) GfxSetMemoryTask(task);
    if (int64_t(count) > SURFACE_MAX_PIXELS) GfxExitOutOfMemory(task ? task : what);
    uint32_t* pixels = new uint32_t[count];  // a failure ends in the box
    GfxSetMemoryTask(task);
    if (filled) std::fill(pixels, pixels + count, fill);
    surface->width = width;
    surface->height = height;
    surface->pixels = pixels;
    return surface;
}

// Opaque copy of the physical w x h block at (sx, sy) of source to (x, y) of
// destination; only the part inside both surfaces moves, the rest of the
// destination block keeps its pixels. The same surface on both sides is fine.
static void CopyBlock(Surface destination, int x, int y, int w, int h,
                      Surface source, int sx, int sy) {
    uint32_t* out = WritablePixels(destination);
    if (!out || !source || !(source->pixels || source->compact)) return;
    if (w <= 0 || h <= 0) return;
    // Trim the block's left/top so that both corners are inside.
    int64_t i0 = std::max<int64_t>({0, -int64_t(x), -int64_t(sx)});
    int64_t j0 = std::max<int64_t>({0, -int64_t(y), -int64_t(sy)});
    int64_t i1 = std::min<int64_t>({w, int64_t(destination->width) - x, int64_t(source->width) - sx});
    int64_t j1 = std::min<int64_t>({h, int64_t(destination->height) - y, int64_t(source->height) - sy});
    if (i0 >= i1 || j0 >= j1) return;
    size_t bytes = size_t(i1 - i0) * 4;
    auto rowCopy = [&](int64_t j) {
        uint32_t* d = out + (y + j) * int64_t(destination->width) + x + i0;
        if (source->compact) {
            ReadCompactRow(*source, sy + j, sx + i0, i1 - i0, d);
            return;
        }
        const uint32_t* s = source->pixels + (sy + j) * int64_t(source->width) + sx + i0;
        std::memmove(d, s, bytes);
    };
    // Copying a surface onto itself lower down must walk upwards, so that no
    // row is overwritten before it is read.
    if (destination == source && y > sy) {
        for (int64_t j = j1 - 1; j >= j0; j--) rowCopy(j);
    } else {
        for (int64_t j = j0; j < j1; j++) rowCopy(j);
    }
}

[[noreturn]] static void ShowLoadErrorAndExit(const char* path) {
    if (gfxPictureNotLoaded) {
        gfxPictureNotLoaded(path);
    } else {
        std::string message = std::string("Bitmapロードエラー:") + (path ? path : "");
        PlatformMessageBox(message.c_str(), "エラー", PLATFORM_BOX_OK_ERROR);
    }
    GfxEndProgram();
}

static Surface CompactSurface(int width, int height, CompactPixels* runs, int64_t pixels,
                              const char* previousTask) {
    Surface surface = new SurfaceData{width, height, nullptr};
    surface->fromFile = true;
    surface->compact = new CompactPixels(std::move(*runs));
    loadedPicturePixels += pixels;
    GfxSetMemoryTask(previousTask);
    return surface;
}

static Surface LoadPicture(const char* path, bool compact) {
    std::string task = path ? path : "";
    const char* previousTask = GfxSetMemoryTask(task.c_str());
    // Only a regular file no larger than its header says a picture of its
    // size can need: a pipe, a device or a picture padded out to gigabytes
    // is refused before it is read.
    std::string file;
    if (ReadWholeFile(path, WHOLE_FILE_ANY_SIZE, &file, BmpLargestFileSize) != WHOLE_FILE_OK)
        ShowLoadErrorAndExit(path);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(file.data());
    int s = PixelScale();
    auto refused = [&](int64_t pixels) {
        return pixels > BMP_MAX_PIXELS || loadedPicturePixels + pixels > PICTURE_BUDGET_PIXELS;
    };
    CompactPixels runs;
    if (compact) {
        // A run-length file goes straight into runs: a title frame never
        // exists as flat pixels.
        DecodedBmpRuns fileRuns;
        if (DecodeBmpRuns(bytes, file.size(), &fileRuns)) {
            int64_t pixels = int64_t(fileRuns.width) * fileRuns.height * s * s;
            if (refused(pixels)) ShowLoadErrorAndExit(path);
            if (CompactFromRuns(fileRuns, s, &runs))
                return CompactSurface(fileRuns.width * s, fileRuns.height * s, &runs, pixels, previousTask);
        }
    }
    DecodedBmp bmp;
    if (!DecodeBmp(bytes, file.size(), &bmp)) ShowLoadErrorAndExit(path);
    std::string().swap(file);
    int64_t pixels = int64_t(bmp.width) * bmp.height * s * s;
    if (refused(pixels)) ShowLoadErrorAndExit(path);
    if (compact && CompactFromPixels(bmp.pixels.data(), bmp.width, bmp.height, s, &runs))
        return CompactSurface(bmp.width * s, bmp.height * s, &runs, pixels, previousTask);
    // Every pixel is written below.
    Surface surface = NewSurface(bmp.width * s, bmp.height * s, 0, false);
    surface->fromFile = true;
    loadedPicturePixels += pixels;
    GfxSetMemoryTask(previousTask);
    uint32_t* out = WritablePixels(surface);
    if (s == 1) {
        std::memcpy(out, bmp.pixels.data(), bmp.pixels.size() * 4);
        return surface;
    }
    // The doubled window: each picture pixel becomes an s x s block.
    for (int row = 0; row < surface->height; row++) {
        const uint32_t* in = bmp.pixels.data() + int64_t(row / s) * bmp.width;
        uint32_t* outRow = out + int64_t(row) * surface->width;
        for (int col = 0; col < surface->width; col++) outRow[col] = in[col / s];
    }
    return surface;
}

Surface LoadBitmapSurface(const char* path) {
    return LoadPicture(path, false);
}

Surface LoadCompactBitmapSurface(const char* path) {
    return LoadPicture(path, true);
}

Surface CreateBlankSurface(int width, int height) {
    int s = PixelScale();
    return NewSurface(width * s, height * s, 0xFFFFFF);
}

Surface ShareSurface(Surface source) {
    if (!source) return nullptr;
    if (!source->sharers) source->sharers = new int(1);
    ++*source->sharers;
    Surface twin = new SurfaceData{source->width, source->height, source->pixels};
    twin->compact = source->compact;
    twin->sharers = source->sharers;
    return twin;
}

Surface CreateBackBuffer() {
    return CreateBlankSurface(screenWidth, screenHeight);
}

void PlotPixel(Surface surface, int x, int y, Colour colour) {
    int s = PixelScale();
    FillPhysicalBlock(surface, x * s, y * s, s, s, PixelFromColour(colour));
}

Colour ReadPixel(Surface surface, int x, int y) {
    int s = PixelScale();
    int64_t px = int64_t(x) * s, py = int64_t(y) * s;
    if (!surface || !(surface->pixels || surface->compact) || px < 0 || py < 0 ||
        px >= surface->width || py >= surface->height) {
        return CLR_INVALID;
    }
    uint32_t pixel;
    if (surface->compact)
        ReadCompactRow(*surface, py, px, 1, &pixel);
    else
        pixel = surface->pixels[py * surface->width + px];
    return ColourFromPixel(pixel);
}

void FillSurface(Surface surface, Colour colour) {
    int s = PixelScale();
    FillPhysicalBlock(surface, 0, 0, screenWidth * s, screenHeight * s, PixelFromColour(colour));
}

void CopySurface(Surface destination, int x, int y, int width, int height, Surface source) {
    CopyRect(destination, x, y, width, height, source, 0, 0);
}

void CopyRect(Surface destination, int x, int y, int width, int height,
              Surface source, int sx, int sy) {
    int s = PixelScale();
    CopyBlock(destination, x * s, y * s, width * s, height * s, source, sx * s, sy * s);
}

void PresentSurface(ScreenContext* destination, Surface source) {
    // The platform shows flat pixels.
    if (source && source->compact) WritablePixels(source);
    if (!destination || !source || !source->pixels) return;
    int s = PixelScale();
    int width = std::min(screenWidth * s, source->width);
    int height = std::min(screenHeight * s, source->height);
    if (width <= 0 || height <= 0) return;
    PlatformPresent(source->pixels, width, height, source->width);
}

void DeleteSurface(Surface surface) {
    if (!surface) return;
    if (surface->fromFile) loadedPicturePixels -= int64_t(surface->width) * surface->height;
    DropKeySpans(surface);
    DropStretchMemo(surface);
    // Shared storage goes with the last surface showing it.
    if (surface->sharers && --*surface->sharers > 0) {
        delete surface;
        return;
    }
    delete surface->sharers;
    delete[] surface->pixels;
    delete surface->compact;
    delete surface;
}
