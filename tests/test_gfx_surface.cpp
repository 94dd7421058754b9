// Surfaces: creation colours, plotting and reading in both colour orders,
// the screen-sized fill, block copies clipped to both surfaces, the present,
// display doubling and the load-failure box.
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "test_gfx_support.h"

namespace {

class Surfaces : public GfxTest {};

TEST_F(Surfaces, BlankAndBackBufferAreWhiteAtLogicalSize) {
    Surface blank = CreateBlankSurface(7, 3);
    owned.push_back(blank);
    ASSERT_EQ(blank->width, 7);
    ASSERT_EQ(blank->height, 3);
    for (int i = 0; i < 21; i++) EXPECT_EQ(blank->pixels[i], 0xFFFFFFu);
    Surface back = CreateBackBuffer();
    owned.push_back(back);
    EXPECT_EQ(back->width, 1280);
    EXPECT_EQ(back->height, 720);
    EXPECT_EQ(At(back, 1279, 719), 0xFFFFFFu);
    // The size is taken once: a later screen size does not resize it.
    screenWidth = 640;
    EXPECT_EQ(back->width, 1280);
}

TEST_F(Surfaces, PlotStoresPixelOrderAndReadGivesColourOrder) {
    Surface s = Make(4, 4);
    PlotPixel(s, 1, 2, 0x00332211); // red 0x11, green 0x22, blue 0x33
    EXPECT_EQ(At(s, 1, 2), 0x00112233u);
    EXPECT_EQ(ReadPixel(s, 1, 2), 0x00332211u);
    EXPECT_EQ(ReadPixel(s, 0, 0), 0u);
    // Plotting outside does nothing and reading outside is invalid.
    PlotPixel(s, -1, 0, 0xFFFFFF);
    PlotPixel(s, 4, 0, 0xFFFFFF);
    PlotPixel(s, 0, 4, 0xFFFFFF);
    for (int i = 0; i < 16; i++) EXPECT_EQ(s->pixels[i], i == 9 ? 0x112233u : 0u);
    EXPECT_EQ(ReadPixel(s, -1, 0), CLR_INVALID);
    EXPECT_EQ(ReadPixel(s, 4, 0), CLR_INVALID);
    EXPECT_EQ(ReadPixel(s, 0, 4), CLR_INVALID);
    EXPECT_EQ(ReadPixel(nullptr, 0, 0), CLR_INVALID);
}

TEST_F(Surfaces, FillCoversOnlyTheScreenSizedCorner) {
    screenWidth = 3;
    screenHeight = 2;
    Surface s = Make(5, 4, 0x123456);
    FillSurface(s, 0x0000FF); // red
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 5; x++)
            EXPECT_EQ(At(s, x, y), x < 3 && y < 2 ? 0xFF0000u : 0x123456u) << x << "," << y;
    // A surface smaller than the screen is filled whole, nothing beyond.
    Surface small = Make(2, 1, 0);
    FillSurface(small, 0xFFFFFF);
    EXPECT_EQ(At(small, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(At(small, 1, 0), 0xFFFFFFu);
}

TEST_F(Surfaces, CopyRectInsideBothCopiesTheBlock) {
    Surface src = MakePattern(8, 8);
    Surface dst = Make(8, 8, 0xABCDEF);
    CopyRect(dst, 1, 2, 3, 2, src, 4, 5);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) {
            bool in = x >= 1 && x < 4 && y >= 2 && y < 4;
            EXPECT_EQ(At(dst, x, y), in ? At(src, x + 3, y + 3) : 0xABCDEFu) << x << "," << y;
        }
}

TEST_F(Surfaces, CopyRectClipsToTheSourceOnEverySide) {
    Surface src = MakePattern(4, 4);
    // Source block starting left of and above the source: only the overlap moves.
    Surface dst = Make(8, 8, 7);
    CopyRect(dst, 0, 0, 6, 6, src, -2, -1);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) {
            bool in = x >= 2 && x < 6 && y >= 1 && y < 5;
            EXPECT_EQ(At(dst, x, y), in ? At(src, x - 2, y - 1) : 7u) << x << "," << y;
        }
    // Reaching past the right and bottom edges.
    Surface dst2 = Make(8, 8, 7);
    CopyRect(dst2, 1, 1, 6, 6, src, 2, 3);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) {
            bool in = x >= 1 && x < 3 && y == 1;
            EXPECT_EQ(At(dst2, x, y), in ? At(src, x + 1, y + 2) : 7u) << x << "," << y;
        }
    // The backdrop case: a source x far left of the picture copies nothing.
    Surface dst3 = Make(8, 8, 7);
    CopyRect(dst3, 0, 0, 8, 8, src, -1920, 0);
    EXPECT_EQ(Differences(dst3, Make(8, 8, 7)), 0);
}

TEST_F(Surfaces, CopyRectClipsToTheDestinationOnEverySide) {
    Surface src = MakePattern(10, 10);
    Surface dst = Make(4, 4, 7);
    CopyRect(dst, -3, -2, 10, 10, src, 0, 0);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) EXPECT_EQ(At(dst, x, y), At(src, x + 3, y + 2));
    Surface dst2 = Make(4, 4, 7);
    CopyRect(dst2, 2, 3, 10, 10, src, 0, 0);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++)
            EXPECT_EQ(At(dst2, x, y), x >= 2 && y >= 3 ? At(src, x - 2, y - 3) : 7u);
    // Zero and negative sizes, null surfaces: nothing.
    Surface dst3 = Make(4, 4, 7);
    CopyRect(dst3, 0, 0, 0, 4, src, 0, 0);
    CopyRect(dst3, 0, 0, 4, -4, src, 0, 0);
    CopyRect(dst3, 0, 0, 4, 4, nullptr, 0, 0);
    CopyRect(nullptr, 0, 0, 4, 4, src, 0, 0);
    EXPECT_EQ(Differences(dst3, Make(4, 4, 7)), 0);
    // CopySurface takes the source's top-left corner.
    Surface dst4 = Make(4, 4, 7);
    CopySurface(dst4, 1, 1, 2, 2, src);
    EXPECT_EQ(At(dst4, 1, 1), At(src, 0, 0));
    EXPECT_EQ(At(dst4, 2, 2), At(src, 1, 1));
    EXPECT_EQ(At(dst4, 3, 3), 7u);
}

TEST_F(Surfaces, CopyRectWithinOneSurfaceReadsBeforeWriting) {
    Surface s = MakePattern(6, 6);
    Surface before = MakePattern(6, 6);
    CopyRect(s, 1, 2, 4, 4, s, 0, 0); // down and right, overlapping
    for (int y = 2; y < 6; y++)
        for (int x = 1; x < 5; x++) EXPECT_EQ(At(s, x, y), At(before, x - 1, y - 2));
    Surface t = MakePattern(6, 6);
    CopyRect(t, 0, 0, 4, 4, t, 2, 1); // up and left
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) EXPECT_EQ(At(t, x, y), At(before, x + 2, y + 1));
}

TEST_F(Surfaces, PresentHandsTheScreenSizedBlock) {
    screenWidth = 4;
    screenHeight = 3;
    Surface s = Make(6, 5);
    PresentSurface(screenDC, s);
    EXPECT_EQ(gfxCalls.presented, s->pixels);
    EXPECT_EQ(gfxCalls.presentWidth, 4);
    EXPECT_EQ(gfxCalls.presentHeight, 3);
    EXPECT_EQ(gfxCalls.presentPitch, 6);
    ASSERT_NE(screenDC, nullptr);
}

TEST_F(Surfaces, DoubledModeScalesEveryOperation) {
    displayMode = DISPLAY_WINDOWED_DOUBLE;
    screenWidth = 3;
    screenHeight = 2;
    Surface blank = CreateBlankSurface(16, 10);
    owned.push_back(blank);
    EXPECT_EQ(blank->width, 32);
    EXPECT_EQ(blank->height, 20);
    Surface s = Make(32, 32, 0);
    PlotPixel(s, 5, 7, 0xFFFFFF);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++)
            EXPECT_EQ(At(s, x, y), (x == 10 || x == 11) && (y == 14 || y == 15) ? 0xFFFFFFu : 0u);
    Set(s, 10, 14, 0x0000FF);
    EXPECT_EQ(ReadPixel(s, 5, 7), 0xFF0000u); // reads the block's top-left pixel
    FillSurface(s, 0x00FF00);
    EXPECT_EQ(At(s, 5, 3), 0x00FF00u);
    EXPECT_EQ(At(s, 6, 3), 0u);
    EXPECT_EQ(At(s, 5, 4), 0u);
    Surface src = MakePattern(16, 16);
    Surface dst = Make(16, 16, 7);
    CopyRect(dst, 1, 2, 2, 1, src, 3, 4);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            bool in = x >= 2 && x < 6 && y >= 4 && y < 6;
            EXPECT_EQ(At(dst, x, y), in ? At(src, x + 4, y + 4) : 7u);
        }
    Surface screen = Make(10, 10);
    PresentSurface(screenDC, screen);
    EXPECT_EQ(gfxCalls.presentWidth, 6);
    EXPECT_EQ(gfxCalls.presentHeight, 4);
}

// A 2 x 2, 24-bit, bottom-up .bmp: rows bottom first, BGR, padded to 4 bytes.
std::vector<uint8_t> Tiny24BitBmp() {
    std::vector<uint8_t> f = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                              40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0};
    f.resize(54, 0);
    const uint8_t rows[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0,  // bottom row
                            0xFF, 0x00, 0xFF, 0x10, 0x20, 0x30, 0, 0}; // top row
    f.insert(f.end(), rows, rows + sizeof rows);
    return f;
}

std::string WriteTemp(const char* name, const std::vector<uint8_t>& bytes) {
    // The process id keeps parallel runs of the tests apart.
    std::string path = std::string(BUILD_DIR) + "/" + std::to_string(getpid()) + "-" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                std::streamsize(bytes.size()));
    return path;
}

TEST_F(Surfaces, LoadBitmapReadsTheFile) {
    std::string path = WriteTemp("gfx_tiny.bmp", Tiny24BitBmp());
    Surface s = LoadBitmapSurface(path.c_str());
    owned.push_back(s);
    ASSERT_EQ(s->width, 2);
    ASSERT_EQ(s->height, 2);
    EXPECT_EQ(At(s, 0, 0), 0xFF00FFu);
    EXPECT_EQ(At(s, 1, 0), 0x302010u);
    EXPECT_EQ(At(s, 0, 1), 0x030201u);
    EXPECT_EQ(At(s, 1, 1), 0x060504u);
    EXPECT_TRUE(gfxCalls.boxTexts.empty());
    std::remove(path.c_str());
}

TEST_F(Surfaces, DoubledModeLoadsEachPixelAsATwoByTwoBlock) {
    displayMode = DISPLAY_WINDOWED_DOUBLE;
    std::string path = WriteTemp("gfx_tiny2.bmp", Tiny24BitBmp());
    Surface s = LoadBitmapSurface(path.c_str());
    owned.push_back(s);
    ASSERT_EQ(s->width, 4);
    ASSERT_EQ(s->height, 4);
    const uint32_t expected[2][2] = {{0xFF00FF, 0x302010}, {0x030201, 0x060504}};
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) EXPECT_EQ(At(s, x, y), expected[y / 2][x / 2]);
    std::remove(path.c_str());
}

TEST_F(Surfaces, UnloadableBitmapShowsTheBoxAndEndsTheProgram) {
    EXPECT_THROW(LoadBitmapSurface("./bmp/lazer/no-such-picture.bmp"), ProgramEnded);
    ASSERT_EQ(gfxCalls.boxTexts.size(), 1u);
    EXPECT_EQ(gfxCalls.boxTexts[0], "Bitmapロードエラー:./bmp/lazer/no-such-picture.bmp");
    EXPECT_EQ(gfxCalls.boxCaptions[0], "エラー");
    EXPECT_EQ(gfxCalls.boxStyles[0], PLATFORM_BOX_OK_ERROR);

    std::vector<uint8_t> truncated = Tiny24BitBmp();
    truncated.resize(60);
    std::string path = WriteTemp("gfx_truncated.bmp", truncated);
    EXPECT_THROW(LoadBitmapSurface(path.c_str()), ProgramEnded);
    ASSERT_EQ(gfxCalls.boxTexts.size(), 2u);
    EXPECT_EQ(gfxCalls.boxTexts[1], "Bitmapロードエラー:" + path);
    std::remove(path.c_str());
}

} // namespace
