// Graphics speed, side by side on the same pixels: our keyed, stretched and
// rotated copies against SDL2's software blitter doing the same job, and
// memcpy of the same bytes as the floor. Two kinds of layer data: "layer"
// is like the stage picture (about half key, in runs), "noise" has each pixel
// key or not at random.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>

#include "gfx/blit.h"
#include "gfx/rotate.h"
#include "gfx/surface.h"
#include "gfx/screen.h"

namespace {

constexpr int STAGE_W = 12800, STAGE_H = 5120;
constexpr int SCREEN_W = 1280, SCREEN_H = 720;
constexpr int VIEW_X = 5000, VIEW_Y = 2000; // where the camera looks
constexpr uint32_t WHITE = 0xFFFFFF;

// A pixel buffer that is both one of our surfaces and an SDL surface.
struct Picture {
    std::vector<uint32_t> pixels;
    SurfaceData surface;
    SDL_Surface* sdl = nullptr;      // plain colour-keyed
    SDL_Surface* sdlRle = nullptr;   // the same pixels with RLE acceleration
    Picture(int w, int h) : pixels(size_t(w) * h, 0), surface{w, h, pixels.data()} {
        sdl = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), w, h, 32, w * 4,
                                                 SDL_PIXELFORMAT_RGB888);
        sdlRle = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), w, h, 32, w * 4,
                                                    SDL_PIXELFORMAT_RGB888);
        SDL_SetSurfaceBlendMode(sdl, SDL_BLENDMODE_NONE);
        SDL_SetSurfaceBlendMode(sdlRle, SDL_BLENDMODE_NONE);
    }
    ~Picture() {
        SDL_FreeSurface(sdl);
        SDL_FreeSurface(sdlRle);
    }
    void SetKey(uint32_t pixelKey) {
        SDL_SetColorKey(sdl, SDL_TRUE, pixelKey);
        SDL_SetColorKey(sdlRle, SDL_TRUE, pixelKey);
        SDL_SetSurfaceRLE(sdlRle, 1);
    }
};

// Runs of 8 to 400 pixels, alternately key and picture, the picture varied.
void FillLayer(Picture& p, uint32_t key, unsigned seed) {
    std::mt19937 random(seed);
    size_t i = 0;
    bool keyRun = true;
    while (i < p.pixels.size()) {
        size_t run = 8 + random() % 393;
        uint32_t base = random() & 0xFFFFFF;
        for (size_t k = 0; k < run && i < p.pixels.size(); k++, i++)
            p.pixels[i] = keyRun ? key : (base + uint32_t(k) * 0x010203) & 0xFFFFFF;
        keyRun = !keyRun;
    }
}

void FillNoise(Picture& p, uint32_t key, unsigned seed) {
    std::mt19937 random(seed);
    for (uint32_t& px : p.pixels) {
        uint32_t r = random();
        px = (r & 1) ? key : (r >> 8) & 0xFFFFFE;
    }
}

Picture* stageLayer;
Picture* stageNoise;
Picture* screen;
Picture* curtain;

void Prepare() {
    if (screen) return;
    SDL_Init(0);
    displayMode = DISPLAY_WINDOWED;
    screenWidth = SCREEN_W;
    screenHeight = SCREEN_H;
    stageLayer = new Picture(STAGE_W, STAGE_H);
    FillLayer(*stageLayer, WHITE, 1);
    stageLayer->SetKey(WHITE);
    stageNoise = new Picture(STAGE_W, STAGE_H);
    FillNoise(*stageNoise, WHITE, 2);
    stageNoise->SetKey(WHITE);
    screen = new Picture(SCREEN_W, SCREEN_H);
    curtain = new Picture(1280, 680);
    FillLayer(*curtain, 0x000000, 3);
    curtain->SetKey(0x000000);
}

Picture* Layer(int kind) { return kind == 0 ? stageLayer : stageNoise; }
const char* KindName(int kind) { return kind == 0 ? "layer" : "noise"; }

void SetBytes(benchmark::State& state, int64_t pixels) {
    state.SetBytesProcessed(state.iterations() * pixels * 4);
}

// ---- full-screen keyed copy: 1280 x 720 out of the 12800 x 5120 stage ----

void BM_KeyedFullScreen_Ours(benchmark::State& state) {
    Prepare();
    Picture* src = Layer(int(state.range(0)));
    state.SetLabel(KindName(int(state.range(0))));
    for (auto _ : state) {
        DrawColorKeyed(&screen->surface, 0, 0, SCREEN_W, SCREEN_H, &src->surface, VIEW_X, VIEW_Y, WHITE);
        benchmark::ClobberMemory();
    }
    SetBytes(state, SCREEN_W * SCREEN_H);
}
BENCHMARK(BM_KeyedFullScreen_Ours)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same with the pixel pass held to AVX2 (level 2) or SSE2 (level 1), as
// on processors without the wider units.
void BM_KeyedFullScreen_OursAtLevel(benchmark::State& state) {
    Prepare();
    int level = LimitKeyedPassLevel(int(state.range(1)));
    Picture* src = Layer(int(state.range(0)));
    state.SetLabel(std::string(KindName(int(state.range(0)))) + " level " + std::to_string(level));
    for (auto _ : state) {
        DrawColorKeyed(&screen->surface, 0, 0, SCREEN_W, SCREEN_H, &src->surface, VIEW_X, VIEW_Y, WHITE);
        benchmark::ClobberMemory();
    }
    LimitKeyedPassLevel(3);
    SetBytes(state, SCREEN_W * SCREEN_H);
}
BENCHMARK(BM_KeyedFullScreen_OursAtLevel)
    ->Args({0, 2})->Args({1, 2})->Args({0, 1})->Args({1, 1})->Unit(benchmark::kMicrosecond);

void BlitSdl(benchmark::State& state, bool rle) {
    Prepare();
    Picture* src = Layer(int(state.range(0)));
    state.SetLabel(KindName(int(state.range(0))));
    SDL_Surface* from = rle ? src->sdlRle : src->sdl;
    SDL_Rect srcRect{VIEW_X, VIEW_Y, SCREEN_W, SCREEN_H};
    SDL_Rect dstRect{0, 0, SCREEN_W, SCREEN_H};
    SDL_BlitSurface(from, &srcRect, screen->sdl, &dstRect); // RLE encoding happens here, untimed
    for (auto _ : state) {
        SDL_Rect d = dstRect;
        SDL_BlitSurface(from, &srcRect, screen->sdl, &d);
        benchmark::ClobberMemory();
    }
    SetBytes(state, SCREEN_W * SCREEN_H);
}
void BM_KeyedFullScreen_SdlBlit(benchmark::State& state) { BlitSdl(state, false); }
void BM_KeyedFullScreen_SdlBlitRle(benchmark::State& state) { BlitSdl(state, true); }
BENCHMARK(BM_KeyedFullScreen_SdlBlit)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyedFullScreen_SdlBlitRle)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// SDL's RLE at its best: a source that is just the screen-sized cut-out, so
// the blit need not walk the encoded rows above the view.
void BM_KeyedFullScreen_SdlBlitRleCutout(benchmark::State& state) {
    Prepare();
    Picture* layer = Layer(int(state.range(0)));
    state.SetLabel(KindName(int(state.range(0))));
    Picture cutout(SCREEN_W, SCREEN_H);
    for (int row = 0; row < SCREEN_H; row++) {
        std::memcpy(&cutout.pixels[size_t(row) * SCREEN_W],
                    &layer->pixels[size_t(VIEW_Y + row) * STAGE_W + VIEW_X], SCREEN_W * 4);
    }
    cutout.SetKey(WHITE);
    SDL_BlitSurface(cutout.sdlRle, nullptr, screen->sdl, nullptr); // encodes, untimed
    for (auto _ : state) {
        SDL_Rect d{0, 0, SCREEN_W, SCREEN_H};
        SDL_BlitSurface(cutout.sdlRle, nullptr, screen->sdl, &d);
        benchmark::ClobberMemory();
    }
    SetBytes(state, SCREEN_W * SCREEN_H);
}
BENCHMARK(BM_KeyedFullScreen_SdlBlitRleCutout)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_KeyedFullScreen_Memcpy(benchmark::State& state) {
    Prepare();
    Picture* src = Layer(0);
    for (auto _ : state) {
        for (int row = 0; row < SCREEN_H; row++) {
            std::memcpy(&screen->pixels[size_t(row) * SCREEN_W],
                        &src->pixels[size_t(VIEW_Y + row) * STAGE_W + VIEW_X], SCREEN_W * 4);
        }
        benchmark::ClobberMemory();
    }
    SetBytes(state, SCREEN_W * SCREEN_H);
}
BENCHMARK(BM_KeyedFullScreen_Memcpy)->Unit(benchmark::kMicrosecond);

// ---- the curtain: 1280 x 680 stretched to 1280 x 720, black as the key ----

void BM_CurtainStretch_Ours(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        DrawStretchedColorKeyed(&screen->surface, 0, 0, 1280, 720, &curtain->surface, 0, 0, 1280, 680, 0);
        benchmark::ClobberMemory();
    }
    SetBytes(state, SCREEN_W * SCREEN_H);
}
BENCHMARK(BM_CurtainStretch_Ours)->Unit(benchmark::kMicrosecond);

void BM_CurtainStretch_SdlBlitScaled(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        SDL_Rect srcRect{0, 0, 1280, 680}, dstRect{0, 0, 1280, 720};
        SDL_BlitScaled(curtain->sdl, &srcRect, screen->sdl, &dstRect);
        benchmark::ClobberMemory();
    }
    SetBytes(state, SCREEN_W * SCREEN_H);
}
BENCHMARK(BM_CurtainStretch_SdlBlitScaled)->Unit(benchmark::kMicrosecond);

// ---- the title's logo: 793 x 487 stretched to 1100 x 650, magenta as the key,
// at full strength (the title draws it at 100 %, a keyed stretch in effect) ----

void BM_TitleLogo_Ours(benchmark::State& state) {
    Prepare();
    Picture logo(793, 487);
    FillLayer(logo, 0xFF00FF, 5);
    int16_t alpha = int16_t(state.range(0));
    for (auto _ : state) {
        DrawBlended(&screen->surface, 60, 0, 1100, 650, &logo.surface, 0, 0, 793, 487, alpha, 0xFF00FF);
        benchmark::ClobberMemory();
    }
    SetBytes(state, 1100 * 650);
}
BENCHMARK(BM_TitleLogo_Ours)->Arg(100)->Arg(50)->Unit(benchmark::kMicrosecond);

void BM_TitleLogo_SdlBlitScaled(benchmark::State& state) {
    Prepare();
    Picture logo(793, 487);
    FillLayer(logo, 0xFF00FF, 5);
    logo.SetKey(0xFF00FF);
    for (auto _ : state) {
        SDL_Rect srcRect{0, 0, 793, 487}, dstRect{60, 0, 1100, 650};
        SDL_BlitScaled(logo.sdl, &srcRect, screen->sdl, &dstRect);
        benchmark::ClobberMemory();
    }
    SetBytes(state, 1100 * 650);
}
BENCHMARK(BM_TitleLogo_SdlBlitScaled)->Unit(benchmark::kMicrosecond);

// ---- a 64 x 64 sprite turned (the gun), a new angle each time ----

void BM_RotatedSprite64(benchmark::State& state) {
    Prepare();
    FillTrigTables();
    Picture sprite(128, 64);
    FillLayer(sprite, 0xFF00FF, 4);
    int angle = 0;
    for (auto _ : state) {
        DrawRotated(&screen->surface, 608, 328, 64, 64, &sprite.surface, 64, 0, 64, 64, angle, 0xFF00FF);
        angle = (angle + 7) % 360;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RotatedSprite64)->Unit(benchmark::kMicrosecond);

} // namespace
