// What showing a frame costs the processor when there is no graphics card to
// scale it: the game's own scaler (platform/scaling) into a window of each
// size, against what the desktop did before for its 1280 x 720 window
// (SDL_ConvertPixels into the window's pixels), SDL's own software scalers
// doing the same job, and memcpy of the output's bytes as the floor.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/scaling/scaling.h"

namespace {

constexpr int PICTURE_W = 1280, PICTURE_H = 720;

const std::vector<uint32_t>& Frame()
{
    static std::vector<uint32_t> frame = [] {
        std::vector<uint32_t> pixels(static_cast<size_t>(PICTURE_W) * PICTURE_H);
        std::mt19937 random(12);
        for (uint32_t& p : pixels) p = random() & 0xFFFFFF;
        return pixels;
    }();
    return frame;
}

const char* FilterName(ScaleFilter filter)
{
    return filter == SCALE_NEAREST ? "whole pixels" : filter == SCALE_SHARP ? "sharp bilinear" : "smooth";
}

// The game's scaler into an output of width x height (args: width, height,
// filter, -1 for the one the game chooses).
void BM_Present_Ours(benchmark::State& state)
{
    int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    std::vector<uint32_t> output(static_cast<size_t>(width) * height);
    PictureRect rect = FitPicture(PICTURE_W, PICTURE_H, width, height);
    ScaleFilter filter = state.range(2) < 0 ? ChooseFilter(PICTURE_W, PICTURE_H, rect, SCALE_CHOICE_AUTO)
                                            : static_cast<ScaleFilter>(state.range(2));
    state.SetLabel(FilterName(filter));
    for (auto _ : state) {
        DrawPicture(Frame().data(), PICTURE_W, PICTURE_H, PICTURE_W, output.data(), width, height, width, rect,
                    filter);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Present_Ours)
    ->Args({1280, 720, -1})
    ->Args({1920, 1080, -1})
    ->Args({1920, 1080, SCALE_SMOOTH})
    ->Args({2560, 1440, -1})
    ->Args({2560, 1440, SCALE_SMOOTH})
    ->Args({1024, 768, -1})
    ->Args({3840, 2160, -1})
    ->Unit(benchmark::kMicrosecond);

// The desktop's present before: the frame converted into the window's pixels
// (the same format, so a copy row by row).
void BM_Present_Before(benchmark::State& state)
{
    std::vector<uint32_t> output(static_cast<size_t>(PICTURE_W) * PICTURE_H);
    for (auto _ : state) {
        SDL_ConvertPixels(PICTURE_W, PICTURE_H, SDL_PIXELFORMAT_RGB888, Frame().data(), PICTURE_W * 4,
                          SDL_PIXELFORMAT_RGB888, output.data(), PICTURE_W * 4);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Present_Before)->Unit(benchmark::kMicrosecond);

void BM_Present_Memcpy(benchmark::State& state)
{
    size_t bytes = static_cast<size_t>(state.range(0)) * state.range(1) * 4;
    std::vector<uint8_t> from(bytes, 1), to(bytes);
    for (auto _ : state) {
        memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Present_Memcpy)->Args({1280, 720})->Args({1920, 1080})->Args({2560, 1440})->Unit(benchmark::kMicrosecond);

// SDL's software stretches (what its software renderer uses): args width,
// height, 1 for bilinear, 0 for nearest.
void BM_Present_Sdl(benchmark::State& state)
{
    int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    bool linear = state.range(2) != 0;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(Frame().data()), PICTURE_W,
                                                             PICTURE_H, 32, PICTURE_W * 4, SDL_PIXELFORMAT_RGB888);
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
    PictureRect rect = FitPicture(PICTURE_W, PICTURE_H, width, height);
    SDL_Rect to{rect.x, rect.y, rect.width, rect.height};
    state.SetLabel(linear ? "SDL_SoftStretchLinear" : "SDL_SoftStretch");
    for (auto _ : state) {
        if (linear)
            SDL_SoftStretchLinear(source, nullptr, target, &to);
        else
            SDL_SoftStretch(source, nullptr, target, &to);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(target);
    SDL_FreeSurface(source);
}
BENCHMARK(BM_Present_Sdl)
    ->Args({1920, 1080, 1})
    ->Args({2560, 1440, 1})
    ->Args({2560, 1440, 0})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
