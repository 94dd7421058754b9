// Keyed, stretched and blended copies: key matching and byte order, clipping
// at every edge, black from outside the source, row and column stretching,
// the percentage mix, constant alpha, saturating addition, display doubling.
#include <algorithm>
#include <random>
#include <vector>

#include "gfx/blit.h"
#include "gfx/rotate.h"
#include "test_gfx_support.h"

namespace {

class KeyedCopy : public GfxTest {};

TEST_F(KeyedCopy, KeyMatchesLowColourBitsWithRedAndBlueSwapped) {
    Surface src = Make(4, 1);
    Set(src, 0, 0, 0x00FF00FF);
    Set(src, 1, 0, 0xFFFF00FF); // the top byte does not count
    Set(src, 2, 0, 0x00FE00FF);
    Set(src, 3, 0, 0x12345678);
    Surface dst = Make(4, 1, 0x555555);
    DrawColorKeyed(dst, 0, 0, 4, 1, src, 0, 0, 0xFF00FF);
    EXPECT_EQ(At(dst, 0, 0), 0x555555u);
    EXPECT_EQ(At(dst, 1, 0), 0x555555u);
    EXPECT_EQ(At(dst, 2, 0), 0x00FE00FFu);
    EXPECT_EQ(At(dst, 3, 0), 0x12345678u); // drawn pixels keep all 32 bits

    // Key 0x0000FF is red as the game writes colours: red pixels drop out.
    Surface rb = Make(2, 1);
    Set(rb, 0, 0, 0xFF0000);
    Set(rb, 1, 0, 0x0000FF);
    Surface dst2 = Make(2, 1, 7);
    DrawColorKeyed(dst2, 0, 0, 2, 1, rb, 0, 0, 0x0000FF);
    EXPECT_EQ(At(dst2, 0, 0), 7u);
    EXPECT_EQ(At(dst2, 1, 0), 0x0000FFu);
    // The key's own top byte is dropped unless its top bit says "no key".
    Surface dst3 = Make(2, 1, 7);
    DrawColorKeyed(dst3, 0, 0, 2, 1, rb, 0, 0, 0x7F0000FF);
    EXPECT_EQ(At(dst3, 0, 0), 7u);
    DrawColorKeyed(dst3, 0, 0, 2, 1, rb, 0, 0, 0x800000FF);
    EXPECT_EQ(At(dst3, 0, 0), 0xFF0000u);
}

TEST_F(KeyedCopy, NoKeyCopiesEveryPixelExactly) {
    Surface src = Make(3, 1);
    Set(src, 0, 0, 0xFFFFFF);
    Set(src, 1, 0, 0x000000);
    Set(src, 2, 0, 0xFFFF00FF);
    Surface dst = Make(3, 1, 7);
    DrawColorKeyed(dst, 0, 0, 3, 1, src, 0, 0, uint32_t(-1));
    EXPECT_EQ(Differences(dst, src), 0);
}

TEST_F(KeyedCopy, NegativePositionTouchesOnlyTheVisiblePart) {
    Surface src = Make(64, 64, 0x010203);
    Surface dst = Make(100, 100, 7);
    DrawColorKeyed(dst, -10, 0, 64, 64, src, 0, 0, 0xFF00FF);
    for (int y = 0; y < 100; y++)
        for (int x = 0; x < 100; x++)
            ASSERT_EQ(At(dst, x, y), x <= 53 && y < 64 ? 0x010203u : 7u) << x << "," << y;
}

TEST_F(KeyedCopy, ClippedAtEveryDestinationEdge) {
    Surface src = MakePattern(8, 8);
    for (auto [x, y] : {std::pair{-3, 0}, {0, -3}, {3, 0}, {0, 3}, {-3, -3}, {3, 3}, {-9, 0}, {9, 9}}) {
        Surface dst = Make(5, 5, 7);
        DrawColorKeyed(dst, x, y, 8, 8, src, 0, 0, 0xFF00FF);
        for (int dy = 0; dy < 5; dy++)
            for (int dx = 0; dx < 5; dx++) {
                int u = dx - x, v = dy - y;
                bool in = u >= 0 && u < 8 && v >= 0 && v < 8;
                ASSERT_EQ(At(dst, dx, dy), in ? At(src, u, v) : 7u) << x << "," << y;
            }
    }
}

TEST_F(KeyedCopy, SourceOutsideItsSurfaceIsBlack) {
    // The stage seen near its right edge: a 100-pixel black band.
    Surface src = Make(300, 4, 0x336699);
    Surface dst = Make(200, 4, 7);
    DrawColorKeyed(dst, 0, 0, 200, 4, src, 200, 0, 0xFFFFFF);
    for (int x = 0; x < 200; x++) ASSERT_EQ(At(dst, x, 2), x < 100 ? 0x336699u : 0u) << x;
    // Above, below and left of the source too.
    Surface dst2 = Make(6, 6, 7);
    DrawColorKeyed(dst2, 0, 0, 6, 6, src, -2, -2, 0xFFFFFF);
    EXPECT_EQ(At(dst2, 0, 0), 0u);
    EXPECT_EQ(At(dst2, 1, 5), 0u);
    EXPECT_EQ(At(dst2, 2, 2), 0x336699u);
    EXPECT_EQ(At(dst2, 5, 1), 0u);
    // With black as the key, that black is left out...
    Surface dst3 = Make(200, 4, 7);
    DrawColorKeyed(dst3, 0, 0, 200, 4, src, 200, 0, 0x000000);
    EXPECT_EQ(At(dst3, 150, 0), 7u);
    // ...and without a key the copy is clipped to the source.
    Surface dst4 = Make(200, 4, 7);
    DrawColorKeyed(dst4, 0, 0, 200, 4, src, 200, 0, uint32_t(-1));
    EXPECT_EQ(At(dst4, 50, 0), 0x336699u);
    EXPECT_EQ(At(dst4, 150, 0), 7u);
}

TEST_F(KeyedCopy, ZeroAndNegativeSizesDrawNothing) {
    Surface src = Make(4, 4, 0x111111);
    Surface dst = Make(4, 4, 7);
    DrawColorKeyed(dst, 0, 0, 0, 4, src, 0, 0, 0xFF00FF);
    DrawColorKeyed(dst, 0, 0, 4, -1, src, 0, 0, 0xFF00FF);
    DrawStretchedColorKeyed(dst, 0, 0, 4, 4, src, 0, 0, 0, 4, 0xFF00FF);
    DrawBlended(dst, 0, 0, -4, 4, src, 0, 0, 4, 4, 50, 0xFF00FF);
    DrawColorKeyed(dst, 0, 0, 4, 4, nullptr, 0, 0, 0xFF00FF);
    DrawColorKeyed(nullptr, 0, 0, 4, 4, src, 0, 0, 0xFF00FF);
    EXPECT_EQ(Differences(dst, Make(4, 4, 7)), 0);
}

TEST_F(KeyedCopy, DoubledModeScalesPositionsAndSizes) {
    displayMode = DISPLAY_WINDOWED_DOUBLE;
    Surface src = MakePattern(256, 256);
    Surface dst = Make(200, 200, 7);
    DrawColorKeyed(dst, 10, 20, 64, 64, src, 64, 0, 0xFF00FF);
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 200; x++) {
            bool in = x >= 20 && x < 148 && y >= 40 && y < 168;
            ASSERT_EQ(At(dst, x, y), in ? At(src, x - 20 + 128, y - 40) : 7u) << x << "," << y;
        }
}

TEST_F(KeyedCopy, DrawingASurfaceOntoItselfReadsTheOldPicture) {
    Surface s = MakePattern(16, 16);
    Surface before = MakePattern(16, 16);
    DrawColorKeyed(s, 2, 3, 10, 10, s, 0, 0, 0xFF00FF);
    for (int y = 3; y < 13; y++)
        for (int x = 2; x < 12; x++) ASSERT_EQ(At(s, x, y), At(before, x - 2, y - 3));
}

// The straightforward model of a keyed copy: read the destination rectangle
// and the source rectangle (black outside the source) into buffers, mix,
// write back what lies inside the destination.
void ModelKeyed(Surface dst, int x, int y, int w, int h, Surface src, int sx, int sy, uint32_t key) {
    uint32_t pk = PixelKeyFromColour(key);
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            int dx = x + i, dy = y + j, u = sx + i, v = sy + j;
            if (dx < 0 || dy < 0 || dx >= dst->width || dy >= dst->height) continue;
            uint32_t b = (u >= 0 && v >= 0 && u < src->width && v < src->height)
                             ? src->pixels[v * src->width + u] : 0;
            if ((b & 0xFFFFFF) != pk) WritablePixels(dst)[dy * dst->width + dx] = b;
        }
}

// Runs of key and of picture, and lone key pixels with top bytes set.
void FillLayerLike(Surface s, std::mt19937& random) {
    uint32_t* p = WritablePixels(s);
    for (int i = 0; i < s->width * s->height; i++) {
        uint32_t r = random();
        p[i] = (i / 13) % 2 ? 0xFF00FF : (r % 5 == 0 ? 0xAB000000 | 0xFF00FF : r);
    }
}

TEST_F(KeyedCopy, EveryPixelPassAgreesWithTheModelOnRandomRectangles) {
    for (int level = 3; level >= 0; level--) {
        if (LimitKeyedPassLevel(level) != level) continue; // not on this processor
        SCOPED_TRACE(level);
        std::mt19937 random(7);
        Surface src = Make(61, 37);
        FillLayerLike(src, random);
        for (int round = 0; round < 400; round++) {
            int w = int(random() % 70), h = int(random() % 45);
            int x = int(random() % 90) - 30, y = int(random() % 60) - 20;
            int sx = int(random() % 90) - 20, sy = int(random() % 60) - 15;
            uint32_t key = round % 3 == 0 ? 0 : 0xFF00FF;
            Surface fast = Make(53, 41);
            Surface model = Make(53, 41);
            Scramble(fast, model, random);
            DrawColorKeyed(fast, x, y, w, h, src, sx, sy, key);
            ModelKeyed(model, x, y, w, h, src, sx, sy, key);
            ASSERT_EQ(Differences(fast, model), 0) << x << "," << y << " " << w << "x" << h;
        }
    }
    LimitKeyedPassLevel(3);
}

// A picture drawn keyed again and again remembers where its key is. Rows of
// every kind: runs that cross the 256-column blocks it is indexed by, spans
// that end on a block's edge and on the picture's, key everywhere, key
// nowhere, lone pixels, and top bytes set on both key and picture pixels.
TEST_F(KeyedCopy, APictureDrawnAgainShowsWhatItShowsNowEvenAfterItChanges) {
    std::mt19937 random(11);
    const int W = 1100, H = 7;
    const uint32_t KEY = 0xFF00FF;
    Surface src = Make(W, H, KEY);
    for (int x = 0; x < W; x++) {
        uint32_t colour = 0x10000u * (x % 200) + uint32_t(x);
        if (x >= 200 && x < 700) Set(src, x, 0, colour);              // across two edges
        if ((x >= 100 && x < 256) || (x >= 512 && x < W)) Set(src, x, 1, colour);
        Set(src, x, 3, x % 3 ? colour : 0xAB000000 | KEY);           // many short spans
        Set(src, x, 4, colour | 0xCD000000);                         // no key at all
        if (random() % 4 == 0) Set(src, x, 5, colour);                // lone pixels
        if (x >= 255 && x < 257) Set(src, x, 6, colour);              // one on each side of an edge
    }
    auto compare = [&](const char* when, uint32_t key) {
        for (int round = 0; round < 40; round++) {
            int w = int(random() % 1200), h = int(random() % 9);
            int x = int(random() % 300) - 100, y = int(random() % 6) - 2;
            int sx = int(random() % 1300) - 100, sy = int(random() % 9) - 1;
            Surface fast = Make(1000, 8), model = Make(1000, 8);
            Scramble(fast, model, random);
            DrawColorKeyed(fast, x, y, w, h, src, sx, sy, key);
            ModelKeyed(model, x, y, w, h, src, sx, sy, key);
            ASSERT_EQ(Differences(fast, model), 0)
                << when << ": " << x << "," << y << " " << w << "x" << h << " from " << sx << "," << sy;
        }
    };
    compare("first", KEY);
    compare("again", KEY);
    // Every way of drawing into the picture shows in the next copies.
    Surface sprite = MakePattern(40, 30);
    PlotPixel(src, 300, 0, 0xFF00FF);
    compare("after a plot", KEY);
    DrawColorKeyed(src, 250, 1, 40, 3, sprite, 0, 0, 0xFF00FF);
    compare("after a keyed copy into it", KEY);
    CopyRect(src, 600, 0, 300, 2, src, 0, 4);
    compare("after a copy onto itself", KEY);
    DrawRotated(src, 900, 3, 40, 30, sprite, 0, 0, 40, 30, 33, 0xFF00FF);
    compare("after a rotated copy into it", KEY);
    FillSurface(src, 0x00FF00);
    compare("after a fill", KEY);
    // Another key, and back.
    compare("with black as the key", 0);
    compare("with magenta again", KEY);
}

// Pixels written straight through WritablePixels (as the loader and the level
// renderer write them) show in the very next copies: what the keyed and the
// stretched copies kept of the picture, its key's spans and its last
// stretch, goes with the write.
TEST_F(KeyedCopy, PixelsWrittenThroughWritablePixelsShowInTheNextCopies) {
    const uint32_t KEY = 0xFF00FF;
    Surface src = Make(600, 4, KEY);
    for (int x = 100; x < 500; x++) Set(src, x, 1, 0x102030);
    // The second keyed copy finds the spans and the second stretch keeps its picture.
    for (int time = 0; time < 3; time++) {
        DrawColorKeyed(Make(600, 4, 7), 0, 0, 600, 4, src, 0, 0, KEY);
        DrawStretchedColorKeyed(Make(300, 8, 7), 0, 0, 300, 8, src, 0, 0, 600, 4, KEY);
    }
    ASSERT_NE(src->keySpans, nullptr);
    ASSERT_NE(src->stretchMemo, nullptr);
    uint32_t* pixels = WritablePixels(src);
    EXPECT_EQ(src->keySpans, nullptr);
    EXPECT_EQ(src->stretchMemo, nullptr);
    // The shown span moves left, and a lone pixel appears in a row of key.
    for (int x = 0; x < 600; x++) pixels[600 + x] = x < 300 ? 0x405060 : KEY;
    pixels[2 * 600 + 10] = 0x708090;

    // The same pixels in a picture never drawn from: what the copies must show.
    Surface fresh = Make(600, 4);
    std::copy(src->pixels, src->pixels + 600 * 4, WritablePixels(fresh));
    for (int time = 0; time < 3; time++) {
        SCOPED_TRACE(time);
        Surface keyed = Make(600, 4, 7), model = Make(600, 4, 7);
        DrawColorKeyed(keyed, 0, 0, 600, 4, src, 0, 0, KEY);
        ModelKeyed(model, 0, 0, 600, 4, fresh, 0, 0, KEY);
        EXPECT_EQ(Differences(keyed, model), 0);
        Surface stretched = Make(300, 8, 7), want = Make(300, 8, 7);
        DrawStretchedColorKeyed(stretched, 0, 0, 300, 8, src, 0, 0, 600, 4, KEY);
        DrawStretchedColorKeyed(want, 0, 0, 300, 8, fresh, 0, 0, 600, 4, KEY);
        EXPECT_EQ(Differences(stretched, want), 0);
        EXPECT_EQ(At(stretched, 5, 2), 0x405060u);
        EXPECT_EQ(At(stretched, 200, 2), 7u);
    }
}

class StretchedCopy : public GfxTest {};

TEST_F(StretchedCopy, CurtainRepeatsFortyRowsAndKeepsEveryColumn) {
    Surface src = Make(1280, 680);
    for (int y = 0; y < 680; y++)
        for (int x = 0; x < 1280; x++) Set(src, x, y, uint32_t(y << 11 | x) | 0x800000);
    Surface dst = Make(1280, 720, 7);
    DrawStretchedColorKeyed(dst, 0, 0, 1280, 720, src, 0, 0, 1280, 680, 0x000000);
    int repeats = 0, previous = -1;
    for (int y = 0; y < 720; y++) {
        int row = int((At(dst, 0, y) & 0x7FFFFF) >> 11);
        for (int x = 0; x < 1280; x++) ASSERT_EQ(At(dst, x, y), At(src, x, row));
        ASSERT_TRUE(row == previous || row == previous + 1) << y;
        repeats += row == previous;
        previous = row;
    }
    EXPECT_EQ(previous, 679);
    EXPECT_EQ(repeats, 40);
}

TEST_F(StretchedCopy, ColumnsAreRepeatedOrDroppedNeverMixed) {
    Surface src = MakePattern(8, 2);
    Surface wide = Make(16, 2, 7);
    DrawStretchedColorKeyed(wide, 0, 0, 16, 2, src, 0, 0, 8, 2, 0xFF00FF);
    for (int x = 0; x < 16; x++) EXPECT_EQ(At(wide, x, 1), At(src, x / 2, 1));
    Surface narrow = Make(4, 1, 7);
    DrawStretchedColorKeyed(narrow, 0, 0, 4, 1, src, 0, 0, 8, 2, 0xFF00FF);
    for (int x = 0; x < 4; x++) {
        uint32_t p = At(narrow, x, 0);
        EXPECT_TRUE(p == At(src, 2 * x, 0) || p == At(src, 2 * x + 1, 0) ||
                    p == At(src, 2 * x, 1) || p == At(src, 2 * x + 1, 1)) << x;
    }
    // Keys still drop out, and without a key the scaled copy is plain.
    Set(src, 3, 0, 0xFF00FF);
    Set(src, 3, 1, 0xFF00FF);
    Surface keyed = Make(16, 2, 7);
    DrawStretchedColorKeyed(keyed, 0, 0, 16, 2, src, 0, 0, 8, 2, 0xFF00FF);
    EXPECT_EQ(At(keyed, 6, 0), 7u);
    EXPECT_EQ(At(keyed, 7, 1), 7u);
    DrawStretchedColorKeyed(keyed, 0, 0, 16, 2, src, 0, 0, 8, 2, uint32_t(-1));
    EXPECT_EQ(At(keyed, 6, 0), 0xFF00FFu);
}

TEST_F(StretchedCopy, EachRowShowsItsNearestSourceRowKeyedOrMixedInFull) {
    // The title logo's shape of stretch: wider and taller, so some source rows
    // show twice in a row, and some shrunk, so some are skipped. The source's
    // top bytes are set: a full-strength mix clears them, a keyed copy keeps them.
    std::mt19937 random(5);
    Surface src = Make(23, 17);
    for (int i = 0; i < 23 * 17; i++) WritablePixels(src)[i] = random() % 4 == 0 ? 0x5AFF00FFu : random();
    struct Shape { int dw, dh; } shapes[] = {{33, 23}, {31, 40}, {12, 9}, {23, 30}};
    for (Shape shape : shapes) {
        for (bool mix : {false, true}) {
            Surface dst = Make(shape.dw, shape.dh, 0x11223344);
            if (mix)
                DrawBlended(dst, 0, 0, shape.dw, shape.dh, src, 0, 0, 23, 17, 100, 0xFF00FF);
            else
                DrawStretchedColorKeyed(dst, 0, 0, shape.dw, shape.dh, src, 0, 0, 23, 17, 0xFF00FF);
            for (int y = 0; y < shape.dh; y++) {
                for (int x = 0; x < shape.dw; x++) {
                    uint32_t p = At(src, (2 * x + 1) * 23 / (2 * shape.dw), (2 * y + 1) * 17 / (2 * shape.dh));
                    uint32_t want = (p & 0xFFFFFF) == 0xFF00FF ? 0x11223344u : mix ? p & 0xFFFFFF : p;
                    ASSERT_EQ(At(dst, x, y), want) << shape.dw << "x" << shape.dh << " mix " << mix
                                                   << " at " << x << "," << y;
                }
            }
        }
    }
}

// A stretch drawn the same way frame after frame comes from a picture kept
// after the second time: it must show what the stretch shows, clipped, with
// black from outside the source, and follow the source when it changes.
TEST_F(StretchedCopy, AStretchDrawnAgainAndAgainShowsWhatItsSourceShowsNow) {
    std::mt19937 random(9);
    Surface src = Make(41, 29);
    for (int i = 0; i < 41 * 29; i++) WritablePixels(src)[i] = random() % 3 == 0 ? 0x5AFF00FFu : random();
    auto model = [&](Surface dst, int x, int y, int dw, int dh, int sx, int sy, int sw, int sh, bool mix) {
        for (int j = 0; j < dh; j++)
            for (int i = 0; i < dw; i++) {
                int dx = x + i, dy = y + j;
                if (dx < 0 || dy < 0 || dx >= dst->width || dy >= dst->height) continue;
                int u = sx + (sw == dw ? i : (2 * i + 1) * sw / (2 * dw));
                int v = sy + (sh == dh ? j : (2 * j + 1) * sh / (2 * dh));
                uint32_t p = u >= 0 && v >= 0 && u < 41 && v < 29 ? At(src, u, v) : 0;
                if ((p & 0xFFFFFF) != 0xFF00FF) Set(dst, dx, dy, mix ? p & 0xFFFFFF : p);
            }
    };
    struct Draw { int x, y, dw, dh, sx, sy, sw, sh; };
    const Draw draws[] = {{5, 3, 60, 44, 0, 0, 41, 29},    // the logo's shape: wider and taller
                          {-9, -4, 50, 20, -6, 2, 40, 30},  // clipped, and partly outside the source
                          {20, 10, 70, 50, 3, 1, 30, 29}};  // past the destination's far edges
    auto check = [&](const char* when) {
        for (const Draw& d : draws)
            for (bool mix : {false, true})
                for (int time = 0; time < 3; time++) {
                    Surface fast = Make(64, 48), want = Make(64, 48);
                    Scramble(fast, want, random);
                    if (mix)
                        DrawBlended(fast, d.x, d.y, d.dw, d.dh, src, d.sx, d.sy, d.sw, d.sh, 100, 0xFF00FF);
                    else
                        DrawStretchedColorKeyed(fast, d.x, d.y, d.dw, d.dh, src, d.sx, d.sy, d.sw, d.sh, 0xFF00FF);
                    model(want, d.x, d.y, d.dw, d.dh, d.sx, d.sy, d.sw, d.sh, mix);
                    ASSERT_EQ(Differences(fast, want), 0)
                        << when << ": " << d.dw << "x" << d.dh << " at " << d.x << "," << d.y
                        << (mix ? " mixed" : " keyed") << ", time " << time;
                }
    };
    check("first");
    // Drawn into between two frames of the same stretch.
    for (int time = 0; time < 3; time++) DrawStretchedColorKeyed(Make(64, 48), 5, 3, 60, 44, src, 0, 0, 41, 29, 0xFF00FF);
    PlotPixel(src, 20, 14, 0x00FF00);
    FillPhysicalBlock(src, 0, 0, 10, 5, 0x123456);
    check("after drawing into it");
}

TEST_F(StretchedCopy, ScaledSourcePastItsEdgeShowsBlack) {
    Surface src = Make(4, 4, 0x224466);
    Surface dst = Make(8, 8, 7);
    // Source block (2, 2, 4, 4) doubled: its right and bottom halves lie outside.
    DrawStretchedColorKeyed(dst, 0, 0, 8, 8, src, 2, 2, 4, 4, 0xFF00FF);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++)
            ASSERT_EQ(At(dst, x, y), x < 4 && y < 4 ? 0x224466u : 0u) << x << "," << y;
}

class Blended : public GfxTest {};

TEST_F(Blended, PercentageMixClampsAlphaAndSkipsTheKey) {
    Surface src = Make(2, 1);
    Set(src, 0, 0, 0x00C8C8C8); // 200
    Set(src, 1, 0, 0x00FF00FF); // key
    auto mix = [&](int16_t alpha) {
        Surface dst = Make(2, 1, 0xAB646464); // 100, top byte set
        DrawBlended(dst, 0, 0, 2, 1, src, 0, 0, 2, 1, alpha, 0xFF00FF);
        EXPECT_EQ(At(dst, 1, 0), 0xAB646464u); // key: untouched
        return At(dst, 0, 0);
    };
    EXPECT_EQ(mix(50), 0x00969696u); // 200 and 100 give 150, top byte cleared
    EXPECT_EQ(mix(150), 0x00C8C8C8u);
    EXPECT_EQ(mix(100), 0x00C8C8C8u);
    EXPECT_EQ(mix(-5), 0x00646464u);
    EXPECT_EQ(mix(0), 0x00646464u);
}

TEST_F(Blended, PercentageMixTruncatesSinglePrecisionSums) {
    Surface src = Make(3, 1);
    Set(src, 0, 0, 0x000103FF);
    Set(src, 1, 0, 0x00000000);
    Set(src, 2, 0, 0x00FFFFFF);
    Surface dst = Make(3, 1);
    Set(dst, 0, 0, 0x00000000);
    Set(dst, 1, 0, 0x00FFFFFF);
    Set(dst, 2, 0, 0x00FFFFFF);
    DrawBlended(dst, 0, 0, 3, 1, src, 0, 0, 3, 1, 30, 0xFF00FF);
    // 0.3f * 255 = 76.50000304 -> 76; 0.3f * 1 -> 0; 0.3f * 3 = 0.9 -> 0.
    EXPECT_EQ(At(dst, 0, 0), 0x0000004Cu);
    // (1 - 0.3f) rounded to single: 255 * 0.69999999 = 178.499997 -> 178.
    EXPECT_EQ(At(dst, 1, 0), 0x00B2B2B2u);
    EXPECT_EQ(At(dst, 2, 0), 0x00FFFFFFu); // the two parts sum to 255 exactly
}

TEST_F(Blended, PercentageMixOfWholeRowsAgreesWithThePerPixelSum) {
    // Rows long enough for the four-at-a-time pass, with keys scattered in.
    std::mt19937 random(11);
    Surface src = Make(37, 5), dst = Make(37, 5);
    std::vector<uint32_t> before(37 * 5);
    for (int i = 0; i < 37 * 5; i++) {
        WritablePixels(src)[i] = random() % 5 == 0 ? 0x77FF00FFu : random();
        WritablePixels(dst)[i] = before[i] = random();
    }
    for (int16_t alpha : {int16_t(1), int16_t(30), int16_t(77), int16_t(99), int16_t(100)}) {
        std::copy(before.begin(), before.end(), WritablePixels(dst));
        DrawBlended(dst, 0, 0, 37, 5, src, 0, 0, 37, 5, alpha, 0xFF00FF);
        float a = float(alpha / 100.0), b = float(1.0 - a);
        for (int i = 0; i < 37 * 5; i++) {
            uint32_t s = src->pixels[i], d = before[i], want = 0;
            if ((s & 0xFFFFFF) == 0xFF00FF) {
                want = d;
            } else {
                for (int shift = 0; shift < 24; shift += 8) {
                    float sum = float((s >> shift) & 0xFF) * a + float((d >> shift) & 0xFF) * b;
                    want |= (uint32_t(int32_t(sum)) & 0xFF) << shift;
                }
            }
            ASSERT_EQ(dst->pixels[i], want) << "alpha " << alpha << " pixel " << i;
        }
    }
}

TEST_F(Blended, StretchedMixShowsBlackFromOutsideTheSource) {
    Surface src = Make(2, 2, 0x00C8C8C8);
    Surface dst = Make(4, 4, 0x00646464);
    DrawBlended(dst, 0, 0, 4, 4, src, 1, 0, 2, 2, 50, 0xFF00FF);
    EXPECT_EQ(At(dst, 0, 0), 0x00969696u);
    EXPECT_EQ(At(dst, 3, 3), 0x00323232u); // black mixed in half
}

TEST_F(Blended, AdditiveSaturatesEveryByte) {
    Surface src = Make(6, 1);
    Surface dst = Make(6, 1);
    const uint32_t s[6] = {0x808080, 0x102030, 0x80000001, 0xFFFFFFFF, 0, 0x7F7F7F7F};
    const uint32_t d[6] = {0xA0A0A0, 0x010101, 0x90000001, 0x01010101, 0x123456, 0x01010101};
    const uint32_t want[6] = {0xFFFFFF, 0x112131, 0xFF000002, 0xFFFFFFFF, 0x123456, 0x80808080};
    for (int i = 0; i < 6; i++) {
        Set(src, i, 0, s[i]);
        Set(dst, i, 0, d[i]);
    }
    DrawBlended(dst, 0, 0, 6, 1, src, 0, 0, 6, 1, 0, BLEND_ADDITIVE); // alpha plays no part
    for (int i = 0; i < 6; i++) EXPECT_EQ(At(dst, i, 0), want[i]) << i;
    // No key test: magenta adds too.
    Surface m = Make(1, 1, 0xFF00FF);
    Surface d2 = Make(1, 1, 0x000100);
    DrawBlended(d2, 0, 0, 1, 1, m, 0, 0, 1, 1, 100, BLEND_ADDITIVE);
    EXPECT_EQ(At(d2, 0, 0), 0xFF01FFu);
}

TEST_F(Blended, ConstantAlphaWeighsTheWholeRectangle) {
    Surface src = Make(2, 1, 0x00C8C8C8);
    Set(src, 1, 0, 0x00FF00FF); // no key in this mode
    auto blend = [&](int16_t alpha) {
        Surface dst = Make(2, 1, 0x00646464);
        DrawBlended(dst, 0, 0, 2, 1, src, 0, 0, 2, 1, alpha, BLEND_CONSTANT_ALPHA);
        return std::pair{At(dst, 0, 0), At(dst, 1, 0)};
    };
    EXPECT_EQ(blend(100).first, 0x00C8C8C8u);
    EXPECT_EQ(blend(100).second, 0x00FF00FFu);
    EXPECT_EQ(blend(0).first, 0x00646464u);
    EXPECT_EQ(blend(50).first, 0x00969696u); // weight 127: (200*127 + 100*128) / 255
    EXPECT_EQ(blend(200).first, 0x00C8C8C8u);
}

TEST_F(Blended, OtherModesAboveTheKeyRangeDrawNothing) {
    Surface src = Make(2, 2, 0x123456);
    for (uint32_t mode : {0x01000000u, 0x80000000u, 0xFFFFFFFDu}) {
        Surface dst = Make(2, 2, 7);
        DrawBlended(dst, 0, 0, 2, 2, src, 0, 0, 2, 2, 100, mode);
        EXPECT_EQ(Differences(dst, Make(2, 2, 7)), 0) << mode;
    }
}

TEST_F(Blended, DoubledModeScalesTheRectangles) {
    displayMode = DISPLAY_WINDOWED_DOUBLE;
    Surface src = Make(4, 4, 0x00C8C8C8);
    Surface dst = Make(10, 10, 0x00646464);
    DrawBlended(dst, 1, 1, 2, 2, src, 0, 0, 2, 2, 100, 0xFF00FF);
    for (int y = 0; y < 10; y++)
        for (int x = 0; x < 10; x++)
            EXPECT_EQ(At(dst, x, y), x >= 2 && x < 6 && y >= 2 && y < 6 ? 0xC8C8C8u : 0x646464u);
}

} // namespace
