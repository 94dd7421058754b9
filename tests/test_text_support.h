// Shared by the text tests: the pump hook counting, a stand-in for the
// present the text library makes, surfaces in plain vectors, and ways to find
// where ink landed.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gfx/hooks.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "platform/platform.h"
#include "gfx/screen.h"

struct TextCalls {
    int pumps = 0;
    int presents = 0;
    const uint32_t* presented = nullptr;
    int presentWidth = 0, presentHeight = 0;
};
inline TextCalls textCalls;

inline void CountPump() { textCalls.pumps++; }
void PlatformPresent(const uint32_t* pixels, int width, int height, int) {
    textCalls.presents++;
    textCalls.presented = pixels;
    textCalls.presentWidth = width;
    textCalls.presentHeight = height;
}

// A surface whose pixels live in the test.
struct TestSurface {
    std::vector<uint32_t> pixels;
    SurfaceData data;
    TestSurface(int width, int height, uint32_t fill)
        : pixels(size_t(width) * height, fill), data{width, height, pixels.data()} {}
    Surface get() { return &data; }
    uint32_t at(int x, int y) const { return pixels[size_t(y) * data.width + x]; }
};

// The smallest rectangle holding every pixel that differs from `background`.
struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; // right, bottom inclusive
    bool empty() const { return right < left; }
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};
inline Box InkBox(const TestSurface& surface, uint32_t background) {
    Box box;
    for (int y = 0; y < surface.data.height; y++)
        for (int x = 0; x < surface.data.width; x++)
            if (surface.at(x, y) != background) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

// Every text test starts in the plain window with no font and no pumps counted.
class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        displayMode = DISPLAY_WINDOWED;
        screenWidth = 1280;
        screenHeight = 720;
        ReleaseFont();
        textCalls = TextCalls{};
        gfxPumpMessages = CountPump;
    }
    void TearDown() override {
        ReleaseFont();
        displayMode = DISPLAY_WINDOWED;
    }
};
