// Text drawing: which faces the game's names find, how fonts are sized, where
// text lands and in which colours, backgrounds, the one current font, the
// doubled display and the outlined captions.
#include <cstring>
#include <string>

#include "tests/test_text_support.h"

constexpr uint32_t WHITE = 0xFFFFFF;

// ---- faces and sizes -------------------------------------------------------

TEST(TextFaces, GameNamesFindFacesOfTheSameCharacter) {
    GlyphFont impact = PlatformOpenGlyphFont("IMPACT", 48, 96);
    ASSERT_NE(impact, nullptr);
    EXPECT_STREQ(PlatformGlyphFontFamily(impact), "Bebas Neue");
    EXPECT_NE(std::string(PlatformGlyphFontFile(impact)).find("Bold"), std::string::npos)
        << "Impact is a heavy face: " << PlatformGlyphFontFile(impact);

    GlyphFont mincho = PlatformOpenGlyphFont("ＭＳ 明朝", 8, 16);
    ASSERT_NE(mincho, nullptr);
    EXPECT_STREQ(PlatformGlyphFontFamily(mincho), "IPAMincho");
    GlyphFont latinName = PlatformOpenGlyphFont("MS Mincho", 8, 16);
    ASSERT_NE(latinName, nullptr);
    EXPECT_STREQ(PlatformGlyphFontFamily(latinName), "IPAMincho");
    // Case does not matter to the font mapper.
    EXPECT_STREQ(PlatformGlyphFontFamily(PlatformOpenGlyphFont("Impact", 48, 96)), "Bebas Neue");
}

TEST(TextFaces, UnknownOrEmptyNamesStillGiveAFont) {
    EXPECT_NE(PlatformOpenGlyphFont("No Such Face At All", 10, 20), nullptr);
    EXPECT_NE(PlatformOpenGlyphFont("", 10, 20), nullptr);
    EXPECT_EQ(PlatformOpenGlyphFont(nullptr, 10, 20), nullptr);
}

TEST(TextFaces, HeightIsTheCellAndAxesScaleApart) {
    for (int height : {16, 48, 80, 96, 320}) {
        GlyphFont font = PlatformOpenGlyphFont("IMPACT", height / 2, height);
        EXPECT_EQ(PlatformGlyphCellHeight(font), height);
        EXPECT_GT(PlatformGlyphAscent(font), height / 2);
        EXPECT_LT(PlatformGlyphAscent(font), height);
    }
    // Doubling the width doubles every advance (within rounding), the height
    // stays.
    int narrow = PlatformMeasureGlyphText(PlatformOpenGlyphFont("IMPACT", 40, 80), "HHHHHHHHHH", 10);
    int wide = PlatformMeasureGlyphText(PlatformOpenGlyphFont("IMPACT", 80, 80), "HHHHHHHHHH", 10);
    EXPECT_NEAR(wide, 2 * narrow, 12);
    // The width is the average character width: lower-case text of a Latin
    // face is about that wide per letter.
    int sample = PlatformMeasureGlyphText(PlatformOpenGlyphFont("ＭＳ 明朝", 8, 16), "abcdefghij", 10);
    EXPECT_EQ(sample, 80);
}

TEST_F(TextTest, WideFontGivesGlyphsWiderThanTall) {
    TestSurface wide(400, 200, WHITE), tall(400, 200, WHITE);
    SetFont(96, 80, "IMPACT");
    ASSERT_NE(currentFont, nullptr);
    EXPECT_EQ(currentFont->width, 96);
    EXPECT_EQ(currentFont->height, 80);
    PrintTextOn(wide.get(), 10, 10, 0, COLOR_NONE, "H");
    SetFont(48, 96, "IMPACT");
    PrintTextOn(tall.get(), 10, 10, 0, COLOR_NONE, "H");
    Box w = InkBox(wide, WHITE), t = InkBox(tall, WHITE);
    EXPECT_GT(w.width(), w.height());
    EXPECT_LT(t.width(), t.height());
    EXPECT_GT(w.width(), 1.5 * t.width());
}

// ---- placement and colours ------------------------------------------------

TEST_F(TextTest, TextSitsInItsCellAndMovesWithThePoint) {
    TestSurface a(600, 300, WHITE), b(600, 300, WHITE);
    SetFont(48, 96, "IMPACT");
    PrintTextOn(a.get(), 100, 50, 0x000000, COLOR_NONE, "%d%d:%d%d", 1, 2, 3, 4);
    PrintTextOn(b.get(), 117, 81, 0x000000, COLOR_NONE, "%d%d:%d%d", 1, 2, 3, 4);
    Box box = InkBox(a, WHITE), moved = InkBox(b, WHITE);
    ASSERT_FALSE(box.empty());
    int width = PlatformMeasureGlyphText(PlatformOpenGlyphFont("IMPACT", 48, 96), "12:34", 5);
    EXPECT_GE(box.left, 100);
    EXPECT_LE(box.right, 100 + width);
    EXPECT_GE(box.top, 50);
    EXPECT_LE(box.bottom, 50 + 96);
    // Capitals and digits stand on the baseline.
    EXPECT_NEAR(box.bottom, 50 + PlatformGlyphAscent(PlatformOpenGlyphFont("IMPACT", 48, 96)) - 1, 1);
    EXPECT_EQ(moved.left, box.left + 17);
    EXPECT_EQ(moved.top, box.top + 31);
    EXPECT_EQ(moved.width(), box.width());
    EXPECT_EQ(moved.height(), box.height());
}

TEST_F(TextTest, InkIsTheTextColourWithRedInTheLowByte) {
    TestSurface s(300, 150, WHITE);
    SetFont(48, 96, "IMPACT");
    PrintTextOn(s.get(), 10, 10, 0x64FFFF, COLOR_NONE, "I"); // red 0xFF, green 0xFF, blue 0x64
    int full = 0, partial = 0;
    for (uint32_t p : s.pixels) {
        if (p == 0xFFFF64) full++;
        else if (p != WHITE) {
            partial++;
            // Edges mix the ink with white: red and green stay, blue lies between.
            EXPECT_EQ(p >> 8, 0xFFFFu);
            EXPECT_GT(p & 0xFF, 0x64u);
        }
    }
    EXPECT_GT(full, 500);
    EXPECT_LT(partial, full);
}

// Coverage a mixes a / 255 of the ink with the rest of the old pixel, each
// channel rounded to nearest; checked over a noisy background at every
// alignment of the glyph against groups of four pixels.
TEST_F(TextTest, PartialInkMixesEachChannelRounded) {
    SetFont(37, 53, "IMPACT");
    GlyphFont font = PlatformOpenGlyphFont("IMPACT", 37, 53);
    struct Cover { std::vector<int> a; int w, h; } cover{std::vector<int>(200 * 80, 0), 200, 80};
    PlatformRasteriseGlyphText(font, "W&g", 3, [](void* c, const GlyphCoverage& g) {
        Cover& cv = *static_cast<Cover*>(c);
        for (int y = 0; y < g.height; y++)
            for (int x = 0; x < g.width; x++)
                if (g.x + x >= 0 && g.x + x < cv.w && g.y + y >= 0 && g.y + y < cv.h)
                    cv.a[(g.y + y) * cv.w + g.x + x] = g.coverage[y * g.pitch + x];
    }, &cover);
    const Colour ink = 0x3C80F0; // red 0xF0, green 0x80, blue 0x3C
    for (int shift = 0; shift < 4; shift++) {
        TestSurface s(240, 90, 0);
        for (size_t i = 0; i < s.pixels.size(); i++) s.pixels[i] = uint32_t(i * 2654435761u) >> 8;
        TestSurface before = s;
        before.data.pixels = before.pixels.data();
        PrintTextOn(s.get(), 5 + shift, 3, ink, COLOR_NONE, "W&g");
        for (int y = 0; y < 80; y++)
            for (int x = 0; x < 200; x++) {
                uint32_t a = cover.a[y * 200 + x], old = before.at(x + 5 + shift, y + 3), want = 0;
                for (int sh = 0; sh < 24; sh += 8) {
                    uint32_t inkChannel = ((0xF0803C >> sh) & 0xFF), v = inkChannel * a + ((old >> sh) & 0xFF) * (255 - a);
                    want |= ((2 * v + 255) / 510) << sh;
                }
                ASSERT_EQ(s.at(x + 5 + shift, y + 3), want) << x << "," << y << " coverage " << a;
            }
    }
}

TEST_F(TextTest, TransparentBackgroundLeavesEverythingButInk) {
    TestSurface s(300, 150, 0), before(300, 150, 0);
    for (size_t i = 0; i < s.pixels.size(); i++) s.pixels[i] = before.pixels[i] = uint32_t(i * 2654435761u) & 0xFFFFFF;
    SetFont(24, 48, "IMPACT");
    PrintTextOn(s.get(), 20, 20, 0x0000FF, COLOR_NONE, "   ");
    EXPECT_EQ(s.pixels, before.pixels) << "spaces draw nothing";
    PrintTextOn(s.get(), 20, 20, 0x0000FF, COLOR_NONE, "L");
    GlyphFont font = PlatformOpenGlyphFont("IMPACT", 24, 48);
    int width = PlatformMeasureGlyphText(font, "L", 1);
    for (int y = 0; y < 150; y++)
        for (int x = 0; x < 300; x++) {
            bool inCell = x >= 20 && x < 20 + width && y >= 20 && y < 20 + 48;
            if (!inCell) {
                EXPECT_EQ(s.at(x, y), before.at(x, y)) << x << "," << y;
            }
        }
    // The top of the cell above the capital is untouched too.
    for (int x = 20; x < 20 + width; x++) EXPECT_EQ(s.at(x, 21), before.at(x, 21));
}

TEST_F(TextTest, OpaqueBackgroundFillsTheCellsAndBlackIsOpaque) {
    TestSurface s(300, 150, WHITE);
    SetFont(24, 48, "IMPACT");
    PrintTextOn(s.get(), 30, 40, 0xFFFFFF, 0x000000, "A B");
    int width = PlatformMeasureGlyphText(PlatformOpenGlyphFont("IMPACT", 24, 48), "A B", 3);
    Box box = InkBox(s, WHITE);
    EXPECT_EQ(box.left, 30);
    EXPECT_EQ(box.top, 40);
    EXPECT_EQ(box.width(), width);
    EXPECT_EQ(box.height(), 48);
    // The space between the letters is background.
    int space = 30 + PlatformMeasureGlyphText(PlatformOpenGlyphFont("IMPACT", 24, 48), "A", 1) + 1;
    EXPECT_EQ(s.at(space, 41), 0u);
    // A coloured background arrives with red and blue in surface order.
    PrintTextOn(s.get(), 30, 100, 0xFFFFFF, 0x2080FF, " ");
    EXPECT_EQ(s.at(31, 101), 0xFF8020u);
}

TEST_F(TextTest, DrawingPastEveryEdgeIsClipped) {
    TestSurface s(40, 30, WHITE);
    SetFont(48, 96, "IMPACT");
    const int far = 2147483647;
    for (int mode : {DISPLAY_WINDOWED, DISPLAY_WINDOWED_DOUBLE}) {
        displayMode = mode;
        for (int x : {-far - 1, -60, -10, 20, 39, far})
            for (int y : {-far - 1, -80, -10, 15, 29, far}) {
                PrintTextOn(s.get(), x, y, 0, 0x123456, "%s", "WWW");
                PrintOutlined(s.get(), x, y, 0, 0x123456, "%s", "WWW");
                PrintTextBox(s.get(), x, y, x, y, 0, 0x123456, "%s", "WW WW");
            }
    }
    PrintTextOn(nullptr, 0, 0, 0, 0, "no surface");
    SurfaceData empty{0, 0, nullptr};
    PrintTextOn(&empty, 0, 0, 0, 0, "empty surface");
    SUCCEED();
}

// ---- the one current font ---------------------------------------------------

TEST_F(TextTest, FirstTextWithoutAFontMakesTheDefaultOneWhichStays) {
    TestSurface s(100, 40, WHITE);
    ASSERT_EQ(currentFont, nullptr);
    PrintTextOn(s.get(), 0, 0, 0, COLOR_NONE, "x");
    ASSERT_NE(currentFont, nullptr);
    EXPECT_EQ(currentFont->width, 8);
    EXPECT_EQ(currentFont->height, 16);
    EXPECT_STREQ(currentFont->faceName, "ＭＳ 明朝");
    EXPECT_FALSE(InkBox(s, WHITE).empty());
    Font before = currentFont;
    PrintTextOn(s.get(), 0, 20, 0, COLOR_NONE, "y");
    EXPECT_EQ(currentFont, before);
    EXPECT_EQ(currentFont->height, 16);
}

TEST_F(TextTest, SetFontReplacesAndReleaseFontDrops) {
    SetFont(48, 96, "IMPACT");
    SetFont(24, 48, "IMPACT");
    ASSERT_NE(currentFont, nullptr);
    EXPECT_EQ(currentFont->width, 24);
    EXPECT_EQ(currentFont->height, 48);
    ReleaseFont();
    EXPECT_EQ(currentFont, nullptr);
    ReleaseFont(); // nothing to release: nothing happens
    EXPECT_EQ(currentFont, nullptr);
    // A face name longer than the record is cut, not overrun.
    std::string longName(200, 'Z');
    SetFont(10, 20, longName.c_str());
    ASSERT_NE(currentFont, nullptr);
    EXPECT_EQ(std::strlen(currentFont->faceName), size_t(FONT_FACE_CAPACITY - 1));
}

// The glyph source starts its caches again after very many fonts; the
// current font must come through that unharmed.
TEST_F(TextTest, ManyFontSizesLeaveTheCurrentFontWorking) {
    TestSurface a(300, 100, WHITE), b(300, 100, WHITE), scratch(50, 50, WHITE);
    SetFont(24, 48, "IMPACT");
    PrintTextOn(a.get(), 10, 10, 0x0000FF, COLOR_NONE, "Ab%d", 7);
    for (int i = 0; i < 400; i++)
        DrawTextWithFace(scratch.get(), 0, 0, 0, COLOR_NONE, i % 2 ? "IMPACT" : "ＭＳ 明朝",
                         5 + i % 7, 10 + i, "xあ");
    PrintTextOn(b.get(), 10, 10, 0x0000FF, COLOR_NONE, "Ab%d", 7);
    EXPECT_EQ(a.pixels, b.pixels);
}

TEST_F(TextTest, WildFontSizesAreSurvived) {
    TestSurface s(200, 100, WHITE);
    for (auto size : {std::pair{0, 0}, {-8, -16}, {1, 1}, {100000, 100000}, {-2147483647 - 1, 2147483647}}) {
        SetFont(size.first, size.second, "IMPACT");
        PrintTextOn(s.get(), 0, 0, 0, 0xFF, "Ag");
    }
    SetFont(8, 16, nullptr);
    PrintTextOn(s.get(), 0, 0, 0, 0xFF, "Ag");
    SUCCEED();
}

TEST_F(TextTest, DoubledDisplayDoublesTheFontAndThePoint) {
    TestSurface doubled(400, 200, WHITE), plain(400, 200, WHITE);
    displayMode = DISPLAY_WINDOWED_DOUBLE;
    SetFont(20, 40, "IMPACT");
    ASSERT_NE(currentFont, nullptr);
    EXPECT_EQ(currentFont->width, 40);
    EXPECT_EQ(currentFont->height, 80);
    PrintTextOn(doubled.get(), 10, 10, 0x00FF00, 0x0000FF, "MAP%d", 3);
    displayMode = DISPLAY_WINDOWED;
    SetFont(40, 80, "IMPACT");
    PrintTextOn(plain.get(), 20, 20, 0x00FF00, 0x0000FF, "MAP%d", 3);
    EXPECT_EQ(doubled.pixels, plain.pixels);
    EXPECT_EQ(InkBox(plain, WHITE).left, 20);
    EXPECT_EQ(InkBox(plain, WHITE).top, 20);
}

TEST_F(TextTest, EveryTextCallPumpsMessages) {
    TestSurface s(100, 40, WHITE);
    PrintTextOn(s.get(), 0, 0, 0, COLOR_NONE, "a");
    EXPECT_EQ(textCalls.pumps, 1);
    PrintTextBox(s.get(), 0, 0, 50, 20, 0, COLOR_NONE, "a b");
    EXPECT_EQ(textCalls.pumps, 2);
    PrintOutlined(s.get(), 0, 0, 0, 0, "a");
    EXPECT_EQ(textCalls.pumps, 7);
    PrintText(0, 0, 0xFFFFFF, "a");
    EXPECT_EQ(textCalls.pumps, 9);
}

// ---- outlined captions and the screen -------------------------------------

TEST_F(TextTest, OutlinedCaptionIsFourOffsetCopiesThenTheFill) {
    TestSurface outlined(500, 200, 0), byHand(500, 200, 0);
    SetFont(48, 96, "IMPACT");
    PrintOutlined(outlined.get(), 44, 10, 0x649B9B, 0x64FFFF, "%d%d:%d%d", 0, 1, 2, 3);
    const int offsets[5][2] = {{2, -2}, {-2, 2}, {-2, -2}, {2, 2}, {0, 0}};
    for (int i = 0; i < 5; i++)
        PrintTextOn(byHand.get(), 44 + offsets[i][0], 10 + offsets[i][1],
                    i < 4 ? 0x649B9B : 0x64FFFF, COLOR_NONE, "%d%d:%d%d", 0, 1, 2, 3);
    EXPECT_EQ(outlined.pixels, byHand.pixels);
    // Both colours show: the fill inside, the outline around it.
    int fill = 0, outline = 0;
    for (uint32_t p : outlined.pixels) {
        fill += p == 0xFFFF64;
        outline += p == 0x9B9B64;
    }
    EXPECT_GT(fill, 1000);
    EXPECT_GT(outline, 300);
}

TEST_F(TextTest, PrintTextDrawsOnTheWindowOnBlackAndShowsIt) {
    screenWidth = 320;
    screenHeight = 200;
    SetFont(8, 16, "ＭＳ 明朝");
    PrintText(4, 6, 0x00FFFF, "Yes");
    ASSERT_NE(screenSurface, nullptr);
    EXPECT_EQ(screenSurface->width, 320);
    EXPECT_EQ(screenSurface->height, 200);
    EXPECT_EQ(textCalls.presents, 1);
    EXPECT_EQ(textCalls.presented, screenSurface->pixels);
    // Yellow ink (red and green, no blue), fading into the black at its edges.
    int yellow = 0;
    for (int i = 0; i < 320 * 200; i++) {
        uint32_t p = screenSurface->pixels[i];
        EXPECT_EQ(p & 0xFF, 0u);
        EXPECT_EQ(p >> 16, (p >> 8) & 0xFF);
        yellow += p > 0x808000;
    }
    EXPECT_GT(yellow, 10);
    // Outside the text's cells the window keeps its picture (black here).
    EXPECT_EQ(screenSurface->pixels[100 * 320 + 100], 0u);
}

// ---- text outside the game's font state --------------------------------------

TEST_F(TextTest, FaceHelpersDrawJapaneseOnAnySurfaceAndLeaveTheFontAlone) {
    SetFont(48, 96, "IMPACT");
    Font before = currentFont;
    TestSurface s(400, 60, WHITE);
    DrawTextWithFace(s.get(), 10, 10, 0x000000, COLOR_NONE, "ＭＳ 明朝", 12, 24,
                     "本当に終了しますか？");
    Box box = InkBox(s, WHITE);
    ASSERT_FALSE(box.empty());
    int width = 0, height = 0;
    MeasureTextWithFace("ＭＳ 明朝", 12, 24, "本当に終了しますか？", &width, &height);
    EXPECT_EQ(width, 10 * 24); // ten full-width characters, each twice the average width
    EXPECT_EQ(height, 24);
    EXPECT_LE(box.right, 10 + width);
    EXPECT_GT(box.width(), width * 3 / 4);
    EXPECT_EQ(currentFont, before);
    EXPECT_EQ(currentFont->height, 96);
    EXPECT_EQ(textCalls.pumps, 0);
    // Different characters give different pictures (no missing-glyph boxes).
    TestSurface a(40, 40, WHITE), b(40, 40, WHITE);
    DrawTextWithFace(a.get(), 0, 0, 0, COLOR_NONE, "ＭＳ 明朝", 12, 24, "本");
    DrawTextWithFace(b.get(), 0, 0, 0, COLOR_NONE, "ＭＳ 明朝", 12, 24, "終");
    EXPECT_NE(a.pixels, b.pixels);
}

TEST_F(TextTest, JapaneseInALatinFaceIsBorrowedAndBrokenBytesAreSafe) {
    TestSurface s(600, 120, WHITE);
    SetFont(24, 48, "IMPACT");
    PrintTextOn(s.get(), 0, 0, 0, COLOR_NONE, "エラー");
    EXPECT_GT(InkBox(s, WHITE).width(), 60);
    const char broken[] = {'\xE3', '\x81', 'A', '\xFF', '\xC0', '\xAF', '\xF4', '\x90', '\x80', '\x80', '\xED', '\xA0', '\x80', '\xE3', 0};
    PrintTextOn(s.get(), 0, 60, 0, 0x00FF00, "%s", broken);
    SUCCEED();
}
