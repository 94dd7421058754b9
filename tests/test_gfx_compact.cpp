// Pictures held as run-length rows: every copy, blend, turn and read of one
// gives exactly what the same picture held flat gives, in both pixel scales;
// drawing into one makes it flat with its pixels intact; and loading one
// from a file fails, counts and frees like any other picture.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>
#include <unistd.h>
#include "gfx/blit.h"
#include "gfx/compact.h"
#include "gfx/rotate.h"
#include "test_gfx_support.h"

namespace {

class Compact : public GfxTest, public ::testing::WithParamInterface<int> {
protected:
    std::mt19937 random{4242};
    int W = 700, H = 37;  // logical; rows of more than 255 runs, runs longer than 255
    std::vector<uint32_t> picture;

    void SetUp() override {
        GfxTest::SetUp();
        displayMode = GetParam() == 2 ? DISPLAY_WINDOWED_DOUBLE : DISPLAY_WINDOWED;
        // Runs of every length; now and then noise; the keys the game uses.
        const uint32_t keys[] = {0x000000, 0xFF00FF, 0xFFFFFF};
        picture.resize(size_t(W) * H);
        for (size_t i = 0; i < picture.size();) {
            uint32_t r = random();
            size_t length = r % 5 == 0 ? 1 : r % 7 == 0 ? 300 + r % 400 : 1 + r % 40;
            uint32_t pixel = r % 3 == 0 ? keys[r % 9 / 3] : random() & 0xFFFFFF;
            for (size_t k = 0; k < length && i < picture.size(); k++, i++)
                picture[i] = r % 11 == 0 ? random() & 0xFFFFFF : pixel;
        }
    }
    // The picture at the current scale, flat.
    Surface Flat() {
        int s = PixelScale();
        Surface f = Make(W * s, H * s);
        for (int y = 0; y < H * s; y++)
            for (int x = 0; x < W * s; x++) Set(f, x, y, picture[size_t(y / s) * W + x / s]);
        return f;
    }
    // The same picture as run-length rows.
    Surface Runs() {
        int s = PixelScale();
        CompactPixels runs;
        EXPECT_TRUE(CompactFromPixels(picture.data(), W, H, s, &runs));
        Surface c = new SurfaceData{W * s, H * s, nullptr};
        c->compact = new CompactPixels(std::move(runs));
        owned.push_back(c);
        return c;
    }
    void Scramble(Surface a, Surface b) {
        uint32_t *pa = WritablePixels(a), *pb = WritablePixels(b);
        for (int i = 0; i < a->width * a->height; i++) pa[i] = pb[i] = random();
    }
    int Coordinate(int span) { return int(random() % uint32_t(span + 200)) - 100; }
};

TEST_P(Compact, EveryDrawingReadsItAsItsFlatTwin) {
    Surface flat = Flat(), runs = Runs();
    int s = PixelScale();
    Surface expected = Make(400 * s, 300 * s), actual = Make(400 * s, 300 * s);
    const uint32_t keys[] = {0x000000, 0xFF00FF, 0xFFFFFF, 0xFFFFFFFF};
    for (int k = 0; k < 400; k++) {
        Scramble(expected, actual);
        int x = Coordinate(400), y = Coordinate(300), sx = Coordinate(W), sy = Coordinate(H);
        int w = 1 + int(random() % 500), h = 1 + int(random() % 120);
        int sw = 1 + int(random() % 800), sh = 1 + int(random() % 60);
        uint32_t key = keys[k % 4];
        switch (k % 6) {
        case 0:
            DrawColorKeyed(expected, x, y, w, h, flat, sx, sy, key);
            DrawColorKeyed(actual, x, y, w, h, runs, sx, sy, key);
            break;
        case 1:
            DrawStretchedColorKeyed(expected, x, y, w, h, flat, sx, sy, sw, sh, key);
            DrawStretchedColorKeyed(actual, x, y, w, h, runs, sx, sy, sw, sh, key);
            break;
        case 2: {
            uint32_t modes[] = {0xFF00FF, BLEND_CONSTANT_ALPHA, BLEND_ADDITIVE, 0x000000};
            int16_t alpha = int16_t(random() % 120);
            DrawBlended(expected, x, y, w, h, flat, sx, sy, sw, sh, alpha, modes[k % 4]);
            DrawBlended(actual, x, y, w, h, runs, sx, sy, sw, sh, alpha, modes[k % 4]);
            break;
        }
        case 3:
            CopyRect(expected, x, y, w, h, flat, sx, sy);
            CopyRect(actual, x, y, w, h, runs, sx, sy);
            break;
        case 4: {
            int angle = int(random() % 360);
            DrawRotated(expected, x, y, 64, 48, flat, sx, sy, 64, 48, angle, key);
            DrawRotated(actual, x, y, 64, 48, Runs(), sx, sy, 64, 48, angle, key);
            break;
        }
        case 5:
            for (int i = 0; i < 50; i++) {
                int px = Coordinate(W), py = Coordinate(H);
                ASSERT_EQ(ReadPixel(runs, px, py), ReadPixel(flat, px, py)) << px << "," << py;
            }
            break;
        }
        ASSERT_EQ(Differences(expected, actual), 0) << "case " << k % 6 << " at " << k << " scale " << s;
    }
    EXPECT_NE(runs->compact, nullptr);  // reading never made it flat
}

TEST_P(Compact, DrawingIntoOneMakesItFlatWithItsPixels) {
    int s = PixelScale();
    auto check = [&](auto draw) {
        Surface flat = Flat(), runs = Runs();
        draw(flat);
        draw(runs);
        ASSERT_EQ(runs->compact, nullptr);
        ASSERT_NE(runs->pixels, nullptr);
        ASSERT_EQ(Differences(flat, runs), 0) << "scale " << s;
    };
    Surface sprite = MakePattern(40 * s, 30 * s);
    check([](Surface d) { PlotPixel(d, 3, 4, 0x123456); });
    check([](Surface d) { FillSurface(d, 0x654321); });
    check([&](Surface d) { DrawColorKeyed(d, 10, 5, 40, 30, sprite, 0, 0, 0xFF00FF); });
    check([](Surface d) { CopyRect(d, 100, 3, 300, 20, d, 0, 1); });  // onto itself
    check([&](Surface d) { DrawRotated(d, 200, 10, 40, 30, sprite, 0, 0, 40, 30, 33, 0xFF00FF); });
}

TEST_P(Compact, PicturesThatWouldNotHalveStayFlat) {
    std::vector<uint32_t> noise(size_t(100) * 20);
    for (uint32_t& p : noise) p = random() & 0xFFFFFF;
    CompactPixels runs;
    if (PixelScale() == 1) {
        EXPECT_FALSE(CompactFromPixels(noise.data(), 100, 20, 1, &runs));
        EXPECT_TRUE(runs.runs.empty());
    } else {
        // Doubled, every picture takes at most a quarter of its flat size.
        EXPECT_TRUE(CompactFromPixels(noise.data(), 100, 20, 2, &runs));
    }
    // Nor a picture with a top byte, which no file gives.
    std::vector<uint32_t> marked(size_t(100) * 20, 0x01000000);
    EXPECT_FALSE(CompactFromPixels(marked.data(), 100, 20, PixelScale(), &runs));
}

INSTANTIATE_TEST_SUITE_P(Scales, Compact, ::testing::Values(1, 2));

// Surfaces sharing one picture: each reads it, a drawing into one leaves the
// others as they were, and they may be freed in any order.
TEST_F(GfxTest, SharedSurfacesShowOnePictureUntilOneIsDrawnInto) {
    Surface first = new SurfaceData{64, 32, new uint32_t[64 * 32]};
    for (int i = 0; i < 64 * 32; i++) WritablePixels(first)[i] = 0x010203u * uint32_t(i % 71);
    Surface picture = MakePattern(64, 32);
    CopyRect(first, 0, 0, 64, 32, picture, 0, 0);
    Surface second = ShareSurface(first), third = ShareSurface(first);
    EXPECT_EQ(Differences(first, second), 0);
    EXPECT_EQ(second->pixels, first->pixels);  // one picture, not three
    PlotPixel(second, 5, 6, 0x0000FF);
    EXPECT_EQ(At(second, 5, 6), 0xFF0000u);
    EXPECT_EQ(At(first, 5, 6), At(picture, 5, 6));
    EXPECT_EQ(At(third, 5, 6), At(picture, 5, 6));
    // Drawn onto from its twin, and onto itself.
    DrawColorKeyed(third, 1, 1, 40, 20, first, 0, 0, 0xFF00FF);
    Surface expected = Make(64, 32);
    CopyRect(expected, 0, 0, 64, 32, picture, 0, 0);
    DrawColorKeyed(expected, 1, 1, 40, 20, picture, 0, 0, 0xFF00FF);
    EXPECT_EQ(Differences(third, expected), 0);
    EXPECT_EQ(Differences(first, picture), 0);
    Surface fourth = ShareSurface(first);
    CopyRect(first, 2, 2, 30, 10, first, 0, 0);
    EXPECT_EQ(Differences(fourth, picture), 0);
    DeleteSurface(first);  // the others keep the picture
    EXPECT_EQ(Differences(fourth, picture), 0);
    DeleteSurface(fourth);
    DeleteSurface(third);
    DeleteSurface(second);
}

// An 8-bit uncompressed .bmp of w x h pixels, index (x / 50 + y) % 4.
std::string WriteStripes(const char* name, int w, int h) {
    std::string path = std::string("/tmp/compact-test-") + std::to_string(getpid()) + name;
    std::vector<uint8_t> b(54 + 16, 0);
    int stride = (w + 3) & ~3;
    auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; i++) b[at + i] = uint8_t(v >> (8 * i)); };
    b[0] = 'B'; b[1] = 'M';
    put32(2, uint32_t(70 + stride * h)); put32(10, 70); put32(14, 40);
    put32(18, uint32_t(w)); put32(22, uint32_t(h)); b[26] = 1; b[28] = 8; put32(46, 4);
    const uint32_t palette[4] = {0x000000, 0xFF00FF, 0x123456, 0xFFFFFF};
    for (int i = 0; i < 4; i++) put32(54 + 4 * i, palette[i]);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < stride; x++) b.push_back(x < w ? uint8_t((x / 50 + y) % 4) : 0);
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
    return path;
}

TEST_F(GfxTest, ACompactLoadFailsCountsAndFreesAsAFlatOne) {
    std::string path = WriteStripes("stripes.bmp", 1280, 680);
    Surface flat = LoadBitmapSurface(path.c_str());
    Surface runs = LoadCompactBitmapSurface(path.c_str());
    ASSERT_NE(runs->compact, nullptr);
    EXPECT_EQ(runs->width, flat->width);
    EXPECT_EQ(runs->height, flat->height);
    for (int y = 0; y < 680; y += 13)
        for (int x = 0; x < 1280; x += 7) ASSERT_EQ(ReadPixel(runs, x, y), ReadPixel(flat, x, y));
    // The pictures' budget counts a compact picture at its full size: with
    // the budget filled by compact ones, a flat one fits only in the room
    // one of them leaves.
    std::vector<Surface> loaded;
    try {
        for (int k = 0; k < 1000; k++) loaded.push_back(LoadCompactBitmapSurface(path.c_str()));
    } catch (ProgramEnded&) {}
    ASSERT_LT(loaded.size(), 1000u);
    ASSERT_EQ(gfxCalls.boxTexts.size(), 1u);
    EXPECT_EQ(gfxCalls.boxTexts[0], "Bitmapロードエラー:" + path);
    EXPECT_THROW(LoadBitmapSurface(path.c_str()), ProgramEnded);
    DeleteSurface(loaded.back());
    loaded.pop_back();
    Surface fits = LoadBitmapSurface(path.c_str());
    EXPECT_THROW(LoadCompactBitmapSurface(path.c_str()), ProgramEnded);
    DeleteSurface(fits);
    for (Surface s : loaded) DeleteSurface(s);
    DeleteSurface(flat);
    DeleteSurface(runs);
    // A missing file: the same box.
    gfxCalls = GfxCalls{};
    std::string missing = path + ".missing";
    EXPECT_THROW(LoadCompactBitmapSurface(missing.c_str()), ProgramEnded);
    ASSERT_EQ(gfxCalls.boxTexts.size(), 1u);
    EXPECT_EQ(gfxCalls.boxTexts[0], "Bitmapロードエラー:" + missing);
    std::remove(path.c_str());
}

}  // namespace
