// Text speed: the captions a frame draws and the fonts it creates and drops.
// The play clock is two outlined captions (ten glyph runs) and a results frame
// creates 18 fonts, every frame.
#include <benchmark/benchmark.h>

#include <vector>

#include "gfx/surface.h"
#include "gfx/text.h"

namespace {

struct Screen {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(1280 * 720, 0);
    SurfaceData data{1280, 720, pixels.data()};
};

// One 5-copy outlined caption at the play clock's size.
void BM_OutlinedClockCaption(benchmark::State& state) {
    Screen screen;
    int t = 0;
    for (auto _ : state) {
        SetFont(48, 96, "IMPACT");
        PrintOutlined(&screen.data, 544, 10, 0x649B9B, 0x64FFFF, "%d%d:%d%d",
                      t / 1000 % 10, t / 100 % 10, t / 10 % 10, t % 10);
        ReleaseFont();
        t++;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_OutlinedClockCaption);

// The whole clock of a play frame: minutes and seconds, then the fraction.
void BM_PlayFrameClock(benchmark::State& state) {
    Screen screen;
    for (auto _ : state) {
        SetFont(48, 96, "IMPACT");
        PrintOutlined(&screen.data, 544, 10, 0x649B9B, 0x64FFFF, "%d%d:%d%d", 0, 1, 2, 3);
        SetFont(24, 48, "IMPACT");
        PrintOutlined(&screen.data, 736, 38, 0x649B9B, 0x64FFFF, ".%d%d", 4, 5);
        ReleaseFont();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlayFrameClock);

void BM_SetFontReleaseFont(benchmark::State& state) {
    for (auto _ : state) {
        SetFont(48, 96, "IMPACT");
        ReleaseFont();
    }
}
BENCHMARK(BM_SetFontReleaseFont);

// The fonts of one results frame, in the order the frame makes them.
void BM_ResultsFrameFonts(benchmark::State& state) {
    for (auto _ : state) {
        SetFont(64, 128, "IMPACT");
        SetFont(32, 64, "IMPACT");
        SetFont(96, 80, "IMPACT");
        for (int row = 0; row < 5; row++) {
            SetFont(40, 80, "IMPACT");
            SetFont(20, 40, "IMPACT");
            SetFont(40, 80, "IMPACT");
        }
        ReleaseFont();
    }
}
BENCHMARK(BM_ResultsFrameFonts);

} // namespace
