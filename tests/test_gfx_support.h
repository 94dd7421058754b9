// Shared by the graphics tests: the library's hooks set to record what it
// asks of the program, stand-ins for the few platform calls it makes, and
// small helpers for building and reading surfaces.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "gfx/hooks.h"
#include "gfx/surface.h"
#include "platform/platform.h"
#include "gfx/screen.h"

// What the library asked of the shell and the platform.
struct GfxCalls {
    int pumps = 0;
    std::vector<std::string> boxTexts, boxCaptions;
    std::vector<int> boxStyles;
    const uint32_t* presented = nullptr;
    int presentWidth = 0, presentHeight = 0, presentPitch = 0;
};
inline GfxCalls gfxCalls;

// Thrown by the tests' ending hooks so a test can see the program end.
struct ProgramEnded {};

inline void CountPump() { gfxCalls.pumps++; }
inline void EndByThrowing() { throw ProgramEnded{}; }
inline void EndByThrowingFor(const char*) { throw ProgramEnded{}; }
bool PlatformMessageBox(const char* text, const char* caption, int style) {
    gfxCalls.boxTexts.push_back(text);
    gfxCalls.boxCaptions.push_back(caption);
    gfxCalls.boxStyles.push_back(style);
    return true;
}
void PlatformPresent(const uint32_t* pixels, int width, int height, int pitch) {
    gfxCalls.presented = pixels;
    gfxCalls.presentWidth = width;
    gfxCalls.presentHeight = height;
    gfxCalls.presentPitch = pitch;
}

// Every graphics test starts in the plain 1280 x 720 window.
class GfxTest : public ::testing::Test {
protected:
    std::vector<Surface> owned;
    void SetUp() override {
        displayMode = DISPLAY_WINDOWED;
        screenWidth = 1280;
        screenHeight = 720;
        gfxCalls = GfxCalls{};
        gfxPumpMessages = CountPump;
        gfxEndProgram = EndByThrowing;
        gfxExitOutOfMemory = EndByThrowingFor;
    }
    void TearDown() override {
        for (Surface s : owned) DeleteSurface(s);
        displayMode = DISPLAY_WINDOWED;
    }
    // A surface of w x h physical pixels, all `fill` (pixel order 0x00RRGGBB).
    Surface Make(int w, int h, uint32_t fill = 0) {
        Surface s = new SurfaceData{w, h, new uint32_t[size_t(w) * h]};
        std::fill_n(WritablePixels(s), size_t(w) * h, fill);
        owned.push_back(s);
        return s;
    }
    // A surface whose every pixel differs: (x, y) holds 0x00yyxx plus `base`.
    Surface MakePattern(int w, int h, uint32_t base = 0x010000) {
        Surface s = Make(w, h);
        uint32_t* p = WritablePixels(s);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) p[y * w + x] = base + uint32_t(y << 8 | x);
        return s;
    }
    static uint32_t At(Surface s, int x, int y) { return s->pixels[y * s->width + x]; }
    static void Set(Surface s, int x, int y, uint32_t p) { WritablePixels(s)[y * s->width + x] = p; }
    // Both surfaces' pixels set alike, each at random.
    static void Scramble(Surface a, Surface b, std::mt19937& random) {
        uint32_t *pa = WritablePixels(a), *pb = WritablePixels(b);
        for (int i = 0; i < a->width * a->height; i++) pa[i] = pb[i] = random();
    }
    // How many pixels differ between two equally sized surfaces.
    static int Differences(Surface a, Surface b) {
        int n = 0;
        for (int i = 0; i < a->width * a->height; i++) n += a->pixels[i] != b->pixels[i];
        return n;
    }
};
