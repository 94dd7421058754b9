// A picture of the game's captions, written to text_sample.png in the build
// folder for a person to look at: outlined clock and results captions, the
// countdown, and Japanese dialog texts at the sizes the game uses.
#include "platform/headless/png.h"
#include "tests/test_text_support.h"

TEST_F(TextTest, SampleCaptionsPicture) {
    TestSurface s(1280, 720, 0x203040);
    // Play clock.
    SetFont(48, 96, "IMPACT");
    PrintOutlined(s.get(), 544, 10, 0x649B9B, 0x64FFFF, "%d%d:%d%d", 0, 1, 2, 3);
    SetFont(24, 48, "IMPACT");
    PrintOutlined(s.get(), 736, 38, 0x649B9B, 0x64FFFF, ".%d%d", 4, 5);
    // Results captions, where the results screen puts them.
    SetFont(64, 128, "IMPACT");
    PrintOutlined(s.get(), 485, 120, 0x9B6464, 0xFFC8C8, "SCORE");
    PrintOutlined(s.get(), 240, 130, 0x649B64, 0xC8FFC8, "MAP%d", 2);
    PrintOutlined(s.get(), 220, 270, 0x9B649B, 0xFFC8FF, "%d%d:%d%d", 0, 5, 3, 1);
    PrintOutlined(s.get(), 760, 130, 0x64649B, 0xC8C8FF, "RANKING");
    SetFont(32, 64, "IMPACT");
    PrintOutlined(s.get(), 466, 324, 0x9B649B, 0xFFC8FF, ".%d%d", 7, 2);
    for (int r = 0; r < 3; r++) {
        int y = 270 + r * 90;
        SetFont(40, 80, "IMPACT");
        PrintTextOn(s.get(), 910, y, 0xFAFAFA, COLOR_NONE, "%d%d:%d%d", 0, 5, 3, r);
        PrintTextOn(s.get(), 790, y, r == 0 ? 0x00D7FF : 0xC0C0C0, COLOR_NONE, "No.%d", r + 1);
        SetFont(20, 40, "IMPACT");
        PrintTextOn(s.get(), 1065, y + 33, 0xFFFFFF, COLOR_NONE, ".%d%d", 7, 2);
    }
    SetFont(96, 80, "IMPACT");
    PrintTextOn(s.get(), 250, 570, 0x28FF00, COLOR_NONE, "CLICK START");
    // Countdown, smaller than in the game to leave room for the rest.
    SetFont(80, 160, "IMPACT");
    PrintOutlined(s.get(), 560, 380, 0x649B64, 0x64FF64, "%d", 3);
    // Japanese texts: the default font and a dialog-sized one.
    SetFont(8, 16, "ＭＳ 明朝");
    PrintTextOn(s.get(), 20, 400, 0xFFFFFF, COLOR_NONE, "フルスクリーンにしますか？");
    PrintTextOn(s.get(), 20, 420, 0x000000, 0xFFFFFF, "Bitmapロードエラー:%s", "./bmp/lazer/lazer.bmp");
    SetFont(12, 24, "ＭＳ 明朝");
    PrintTextOn(s.get(), 20, 450, 0xFFFFFF, COLOR_NONE, "本当に終了しますか？ 終了確認です");
    PrintTextBox(s.get(), 20, 490, 200, 100, 0xC8FFC8, COLOR_NONE,
                 "Word wrap: the quick brown fox jumps over the lazy dog. 日本語の文も折り返します。");
    std::string path = std::string(BUILD_DIR) + "/text_sample.png";
    EXPECT_TRUE(WritePng(path, s.data.pixels, s.data.width, s.data.height, s.data.width)) << path;
}
