// Text layout: formatting into the fixed buffer, and the word-wrapped box.
#include <string>

#include "tests/test_text_support.h"

constexpr uint32_t WHITE = 0xFFFFFF;
const char* const MINCHO = "ＭＳ 明朝";

// Which of the cell-high rows (lines) starting at y0 hold any ink.
static std::vector<bool> InkedLines(const TestSurface& s, int y0, int cell, int count) {
    std::vector<bool> lines(count, false);
    for (int line = 0; line < count; line++)
        for (int y = y0 + line * cell; y < y0 + (line + 1) * cell && y < s.data.height; y++)
            for (int x = 0; x < s.data.width; x++)
                if (s.at(x, y) != WHITE) lines[line] = true;
    return lines;
}

// ---- formatting -------------------------------------------------------------

TEST_F(TextTest, FormattedTextIsCutAtTheBufferSize) {
    // Every 'x' of the Mincho at width 4 advances 4 pixels, so the opaque
    // background shows how many bytes were drawn.
    int advance = 0;
    MeasureTextWithFace(MINCHO, 4, 8, "x", &advance, nullptr);
    ASSERT_EQ(advance, 4);
    TestSurface s(TEXT_BUFFER_SIZE * 4 + 40, 10, WHITE);
    SetFont(4, 8, MINCHO);
    std::string part(2000, 'x');
    PrintTextOn(s.get(), 0, 0, 0x000000, 0x0000FF, "%s%s", part.c_str(), part.c_str());
    Box box = InkBox(s, WHITE);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.width(), (TEXT_BUFFER_SIZE - 1) * 4);
    // Exactly full is not cut.
    TestSurface t(TEXT_BUFFER_SIZE * 4 + 40, 10, WHITE);
    std::string fits(TEXT_BUFFER_SIZE - 1 - 3, 'x');
    PrintTextOn(t.get(), 0, 0, 0x000000, 0x0000FF, "%s%d", fits.c_str(), 123);
    EXPECT_EQ(InkBox(t, WHITE).width(), (TEXT_BUFFER_SIZE - 1) * 4);
}

TEST_F(TextTest, FormatsLikePrintf) {
    TestSurface a(400, 40, WHITE), b(400, 40, WHITE);
    SetFont(12, 24, "IMPACT");
    PrintTextOn(a.get(), 0, 0, 0, COLOR_NONE, "%d%d:%d%d", 1, 0, 5, 9);
    PrintTextOn(b.get(), 0, 0, 0, COLOR_NONE, "10:59");
    EXPECT_EQ(a.pixels, b.pixels);
    // A null format draws nothing and does no harm.
    TestSurface c(100, 40, WHITE);
    PrintTextOn(c.get(), 0, 0, 0, 0, nullptr);
    EXPECT_TRUE(InkBox(c, WHITE).empty());
}

// ---- the word-wrapped box ----------------------------------------------------

TEST_F(TextTest, BoxBreaksBetweenWordsAndDropsTheSpaceAtTheBreak) {
    GlyphFont font = PlatformOpenGlyphFont(MINCHO, 8, 16);
    int twoWords = PlatformMeasureGlyphText(font, "AAA BBB", 7);
    EXPECT_EQ(DrawTextBoxWithFace(nullptr, 0, 0, twoWords, 0, COLOR_NONE, MINCHO, 8, 16,
                                  "AAA BBB CCC"), 2);
    EXPECT_EQ(DrawTextBoxWithFace(nullptr, 0, 0, twoWords - 1, 0, COLOR_NONE, MINCHO, 8, 16,
                                  "AAA BBB CCC"), 3);
    EXPECT_EQ(DrawTextBoxWithFace(nullptr, 0, 0, 1000, 0, COLOR_NONE, MINCHO, 8, 16,
                                  "AAA BBB CCC"), 1);
    // The second line starts at the box's left edge with "CCC", not a space:
    // it looks exactly like "CCC" drawn on its own one line lower.
    TestSurface boxed(200, 60, WHITE), byHand(200, 60, WHITE);
    SetFont(8, 16, MINCHO);
    PrintTextBox(boxed.get(), 5, 3, twoWords, 40, 0x0000FF, COLOR_NONE, "AAA BBB CCC");
    PrintTextOn(byHand.get(), 5, 3, 0x0000FF, COLOR_NONE, "AAA BBB");
    PrintTextOn(byHand.get(), 5, 19, 0x0000FF, COLOR_NONE, "CCC");
    EXPECT_EQ(boxed.pixels, byHand.pixels);
}

TEST_F(TextTest, BoxCutsAWordWiderThanTheBoxAndHonoursLineBreaks) {
    GlyphFont font = PlatformOpenGlyphFont(MINCHO, 8, 16);
    int three = PlatformMeasureGlyphText(font, "ABC", 3);
    EXPECT_EQ(DrawTextBoxWithFace(nullptr, 0, 0, three, 0, COLOR_NONE, MINCHO, 8, 16, "ABCDEFGHIJ"), 4);
    EXPECT_EQ(DrawTextBoxWithFace(nullptr, 0, 0, 0, 0, COLOR_NONE, MINCHO, 8, 16, "ABC"), 3)
        << "a box too narrow for anything still shows one character a line";
    EXPECT_EQ(DrawTextBoxWithFace(nullptr, 0, 0, 500, 0, COLOR_NONE, MINCHO, 8, 16, "A\nB\r\nC\rD"), 4);
    EXPECT_EQ(DrawTextBoxWithFace(nullptr, 0, 0, 500, 0, COLOR_NONE, MINCHO, 8, 16, "A\n\nB"), 3);
    EXPECT_EQ(DrawTextBoxWithFace(nullptr, 0, 0, 500, 0, COLOR_NONE, MINCHO, 8, 16, "A\n"), 1);
    EXPECT_EQ(DrawTextBoxWithFace(nullptr, 0, 0, 500, 0, COLOR_NONE, MINCHO, 8, 16, ""), 0);
}

TEST_F(TextTest, JapaneseBreaksBetweenCharactersButNotBeforeClosingMarks) {
    GlyphFont font = PlatformOpenGlyphFont(MINCHO, 8, 16);
    int two = PlatformMeasureGlyphText(font, "あい", 6);
    EXPECT_EQ(two, 32);
    EXPECT_EQ(DrawTextBoxWithFace(nullptr, 0, 0, two, 0, COLOR_NONE, MINCHO, 8, 16, "あいうえお"), 3);
    // "。" would begin the second line; it stays with "い" and "い" moves down.
    EXPECT_EQ(DrawTextBoxWithFace(nullptr, 0, 0, two, 0, COLOR_NONE, MINCHO, 8, 16, "あい。"), 2);
    TestSurface s(100, 80, WHITE);
    DrawTextBoxWithFace(s.get(), 0, 0, two, 0x000000, COLOR_NONE, MINCHO, 8, 16, "あい。");
    TestSurface firstLine(100, 80, WHITE);
    DrawTextWithFace(firstLine.get(), 0, 0, 0x000000, COLOR_NONE, MINCHO, 8, 16, "あ");
    DrawTextWithFace(firstLine.get(), 0, 16, 0x000000, COLOR_NONE, MINCHO, 8, 16, "い。");
    EXPECT_EQ(s.pixels, firstLine.pixels);
}

TEST_F(TextTest, BoxLinesRunPastItsHeightAndScaleWhenDoubled) {
    TestSurface s(200, 200, WHITE);
    SetFont(8, 16, MINCHO);
    PrintTextBox(s.get(), 0, 0, 40, 16, 0, COLOR_NONE, "one two three four");
    std::vector<bool> lines = InkedLines(s, 0, 16, 6);
    EXPECT_TRUE(lines[0] && lines[1] && lines[2] && lines[3]);
    EXPECT_FALSE(lines[4] || lines[5]);

    TestSurface doubled(400, 400, WHITE), plain(400, 400, WHITE);
    displayMode = DISPLAY_WINDOWED_DOUBLE;
    SetFont(8, 16, MINCHO);
    PrintTextBox(doubled.get(), 10, 20, 40, 16, 0, 0x00FF00, "one two three four");
    displayMode = DISPLAY_WINDOWED;
    SetFont(16, 32, MINCHO);
    PrintTextBox(plain.get(), 20, 40, 80, 32, 0, 0x00FF00, "one two three four");
    EXPECT_EQ(doubled.pixels, plain.pixels);
}

// Whatever bytes arrive and however narrow the box, layout ends, and every
// line takes at least one character.
TEST_F(TextTest, ArbitraryBytesInAnyBoxAreLaidOutSafely) {
    TestSurface s(120, 120, WHITE);
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    const char pieces[][5] = {"a", " ", "\n", "\r", "あ", "。", "\xE3\x81", "\xFF", "\xF0\x9F\x98\x80", "W"};
    for (int round = 0; round < 300; round++) {
        std::string text;
        int length = int(next() % 60);
        for (int i = 0; i < length; i++) text += pieces[next() % 10];
        int boxWidth = int(next() % 80) - 10;
        int lines = DrawTextBoxWithFace(s.get(), int(next() % 100) - 20, int(next() % 100) - 20, boxWidth,
                                        0, round % 2 ? COLOR_NONE : 0x00FF00, MINCHO, 8, 16, text.c_str());
        EXPECT_LE(lines, int(text.size()) + 1);
        SetFont(6, 12, "IMPACT");
        PrintTextBox(s.get(), 0, 0, boxWidth, 10, 0, COLOR_NONE, "%s", text.c_str());
    }
}
