// The stage picture drawn from the tiles against the way it used to be made:
// one flat 12800 x 5120 picture of the whole stage, drawn with a keyed copy.
// Every view of it (inside, across the edges, wholly outside, in both pixel
// scales, over whatever the frame held) must come out the same.
#include <gtest/gtest.h>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>
#include "game/assets.h"
#include "game/stage.h"
#include "gfx/blit.h"
#include "gfx/screen.h"
#include "shell/shell.h"

namespace {

constexpr uint32_t WHITE = 0xFFFFFF;
constexpr uint32_t TILE_KEY = 0xFF00FF;

// The old picture: white, then each 64-pixel cell's sheet pixels with
// magenta left out; only its top-left width x height (the doubled stage would
// take 1 GB).
Surface FlatLevelPicture(int width, int height)
{
    int scale = PixelScale();
    Surface level = CreateBlankSurface(width, height);
    int side = 64 * scale;
    for (int row = 0; row < MAP_ROWS && row * 64 < height; ++row)
        for (int col = 0; col < MAP_COLS && col * 64 < width; ++col) {
            int code = tileMap[row][col];
            if (!imgTiles || code < 1) continue;
            long long left = (long long)(code - 1) * side;
            if (left + side > imgTiles->width || side > imgTiles->height) continue;
            for (int y = 0; y < side && row * side + y < level->height; ++y) {
                uint32_t* d = WritablePixels(level) + (size_t)(row * side + y) * level->width + (size_t)col * side;
                const uint32_t* s = imgTiles->pixels + (size_t)y * imgTiles->width + left;
                for (int x = 0; x < side && col * side + x < level->width; ++x)
                    if ((s[x] & 0xFFFFFF) != TILE_KEY) d[x] = s[x];
            }
        }
    return level;
}

// A sheet of seven cells and a ragged end: every kind of pixel a cell can
// hold, including white, magenta and both with a top byte set.
Surface NoisySheet(std::mt19937& random)
{
    int scale = PixelScale();
    Surface sheet = CreateBlankSurface(7 * 64 + 30, 64);
    const uint32_t special[] = {0xFF00FF, 0xFFFFFF, 0x12FF00FF, 0x34FFFFFF, 0, 0x01000000};
    uint32_t* pixels = WritablePixels(sheet);
    for (int i = 0; i < sheet->width * sheet->height; ++i) {
        int cell = (i % sheet->width) / (64 * scale);  // physical columns
        uint32_t r = random();
        // Some cells are mostly see-through, some solid, some speckled.
        bool keyed = cell % 3 == 0 ? r % 4 != 0 : cell % 3 == 1 ? r % 17 == 0 : r % 2 == 0;
        pixels[i] = keyed ? special[r % 6] : (r & 0xFFFFFF);
    }
    return sheet;
}

class StagePictureAgainstFlat : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        displayMode = GetParam() == 2 ? DISPLAY_WINDOWED_DOUBLE : DISPLAY_WINDOWED;
        screenWidth = 1280;
        screenHeight = 720;
    }
    void TearDown() override
    {
        DeleteSurface(imgTiles);
        imgTiles = nullptr;
        DeleteSurface(imgCheckpointHeld);
        imgCheckpointHeld = nullptr;
        DeleteLevel();
        displayMode = DISPLAY_WINDOWED;
    }
};

TEST_P(StagePictureAgainstFlat, EveryViewIsTheSame)
{
    std::mt19937 random(GetParam() * 7919);
    imgTiles = NoisySheet(random);
    for (int r = 0; r < MAP_ROWS; ++r)
        for (int c = 0; c < MAP_COLS; ++c) {
            uint32_t v = random();
            // Mostly empty, as a stage is; now and then a code no cell has.
            tileMap[r][c] = v % 3 ? 0 : v % 29 == 0 ? int(v) : int(v % 10);
        }
    // The whole stage at scale 1; at scale 2 the top-left part, seen only
    // where the view stays inside that part or leaves it by the top or left.
    int s = PixelScale();
    int flatWidth = s == 1 ? 12800 : 2600, flatHeight = s == 1 ? 5120 : 1400;
    Surface flat = FlatLevelPicture(flatWidth, flatHeight);
    RenderLevel();

    Surface expected = CreateBlankSurface(1280, 720);
    Surface actual = CreateBlankSurface(1280, 720);
    struct View { int x, y, w, h, sx, sy; };
    std::vector<View> views = {
        {0, 0, 1280, 720, 0, 0}, {0, 0, 1280, 720, 5000, 2000},
        {0, 0, 1280, 720, 12800 - 1280, 5120 - 720}, {0, 0, 1280, 720, -300, -200},
        {0, 0, 1280, 720, 12000, 4800}, {0, 0, 1280, 720, 20000, 100},
        {0, 0, 1280, 720, -5000, -9000}, {-50, 30, 1400, 600, 63, 2497},
        {100, 100, 10, 10, 64 * 5 - 3, 64 * 7 - 5}, {0, 0, 1280, 720, 1, 2559},
    };
    for (int k = 0; k < 200; ++k) {
        int w = int(random() % 1400), h = int(random() % 800);
        int spanX = s == 1 ? 14000 : flatWidth - w + 600, spanY = s == 1 ? 6000 : flatHeight - h + 440;
        views.push_back({int(random() % 200) - 100, int(random() % 200) - 100, w, h,
                         int(random() % spanX) - 600, int(random() % spanY) - 440});
    }
    for (const View& v : views) {
        if (s == 2 && (v.sx + v.w > flatWidth || v.sy + v.h > flatHeight)) continue;
        uint32_t *e = WritablePixels(expected), *a = WritablePixels(actual);
        for (int i = 0; i < expected->width * expected->height; ++i) e[i] = a[i] = random();
        DrawColorKeyed(expected, v.x, v.y, v.w, v.h, flat, v.sx, v.sy, WHITE);
        DrawLevel(actual, v.x, v.y, v.w, v.h, v.sx, v.sy);
        ASSERT_EQ(std::memcmp(expected->pixels, actual->pixels, size_t(expected->width) * expected->height * 4), 0)
            << "view at " << v.sx << "," << v.sy << " size " << v.w << "x" << v.h << " scale " << s;
    }
    for (int k = 0; k < 20000; ++k) {
        int px = int(random() % (flatWidth * s)), py = int(random() % (flatHeight * s));
        ASSERT_EQ(LevelPixel(px, py), flat->pixels[(size_t)py * flat->width + px]) << px << "," << py;
    }
    DeleteSurface(flat);
    DeleteSurface(expected);
    DeleteSurface(actual);
}

// The crystal that holds the respawn point: found from the respawn point as
// the whole run of checkpoint cells under the middle foot, and drawn from
// its lit picture (magenta left out) while every other pixel stays as the
// plain stage draws it; without the picture, the plain stage.
TEST_P(StagePictureAgainstFlat, TheHeldCrystalIsDrawnLitAndNothingElse)
{
    std::mt19937 random(GetParam() * 31);
    imgTiles = NoisySheet(random);
    std::memset(tileMap, 0, sizeof tileMap);
    for (int c = 30; c <= 33; ++c) tileMap[20][c] = TILE_CHECKPOINT;
    tileMap[20][35] = TILE_CHECKPOINT;
    tileMap[21][31] = TILE_CHECKPOINT;  // below, not beside: another crystal
    tileMap[20][29] = TILE_BLOCK;
    // A camera whose middle foot (640, 410 from its corner) is in cell (row, col).
    auto held = [](int row, int col) { return HeldCrystal(col * 64 - 640 + 17, row * 64 - 410 + 9); };
    EXPECT_EQ(held(20, 32), (CrystalSpan{20, 30, 33}));
    EXPECT_EQ(held(20, 30), (CrystalSpan{20, 30, 33}));
    EXPECT_EQ(held(20, 35), (CrystalSpan{20, 35, 35}));
    EXPECT_EQ(held(21, 31), (CrystalSpan{21, 31, 31}));
    EXPECT_EQ(held(20, 29).row, -1);
    EXPECT_EQ(held(25, 40).row, -1);
    EXPECT_EQ(HeldCrystal(-100000, 0).row, -1);
    EXPECT_EQ(HeldCrystal(12800, 2150).row, -1);
    EXPECT_EQ(HeldCrystal(INT32_MAX, INT32_MAX).row, -1);

    imgCheckpointHeld = CreateBlankSurface(64, 64);
    uint32_t* lit = WritablePixels(imgCheckpointHeld);
    for (int i = 0; i < imgCheckpointHeld->width * imgCheckpointHeld->height; ++i)
        lit[i] = i % 7 == 0 ? TILE_KEY : 0x100000 + i;
    RenderLevel();
    Surface plain = CreateBlankSurface(1280, 720), marked = CreateBlankSurface(1280, 720);
    auto draw = [&](Surface dst, CrystalSpan span) {
        uint32_t* p = WritablePixels(dst);
        for (int i = 0; i < dst->width * dst->height; ++i) p[i] = 0x0A0B0C;
        DrawLevelHeld(dst, 0, 0, 1280, 720, 30 * 64 - 100, 20 * 64 - 100, span);
    };
    draw(plain, CrystalSpan{});
    CrystalSpan span = held(20, 31);
    draw(marked, span);
    int s = PixelScale(), changed = 0;
    for (int y = 0; y < 720 * s; ++y)
        for (int x = 0; x < 1280 * s; ++x) {
            uint32_t got = marked->pixels[(size_t)y * marked->width + x];
            uint32_t was = plain->pixels[(size_t)y * plain->width + x];
            int lx = x / s + 30 * 64 - 100, ly = y / s + 20 * 64 - 100;  // the stage's pixel
            bool inSpan = ly / 64 == 20 && lx / 64 >= 30 && lx / 64 <= 33;
            if (!inSpan) {
                ASSERT_EQ(got, was) << x << "," << y;
                continue;
            }
            size_t px = (size_t)((lx % 64) * s + x % s), py = (size_t)((ly % 64) * s + y % s);
            uint32_t source = lit[py * imgCheckpointHeld->width + px];
            ASSERT_EQ(got, source == TILE_KEY ? 0x0A0B0Cu : source) << x << "," << y;
            changed += got != was;
        }
    EXPECT_GT(changed, 4 * 64 * 64 * s * s / 2);
    // No picture (an older data folder), or no crystal held: the plain stage.
    DeleteSurface(imgCheckpointHeld);
    imgCheckpointHeld = nullptr;
    draw(marked, span);
    EXPECT_EQ(std::memcmp(marked->pixels, plain->pixels, size_t(plain->width) * plain->height * 4), 0);
    DeleteSurface(plain);
    DeleteSurface(marked);
}

INSTANTIATE_TEST_SUITE_P(Scales, StagePictureAgainstFlat, ::testing::Values(1, 2));

}  // namespace
