// Stage files, the tile rules, and the stage picture drawn from the tiles.
#include <gtest/gtest.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>
#include "game/assets.h"
#include "game/stage.h"
#include "gfx/screen.h"
#include "game/scenes.h"
#include "gfx/blit.h"

namespace {

std::string Numbers(int count, int first = 0, const char* separator = " ")
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i) text += separator;
        text += std::to_string(first + i);
    }
    return text;
}

std::vector<int> Parse(const std::string& text, int fill = -7, int* count = nullptr)
{
    std::vector<int> cells(MAP_CELLS, fill);
    int n = ParseStageNumbers(text.data(), text.size(), cells.data());
    if (count) *count = n;
    return cells;
}

TEST(TileCodes, SolidDeadlyAndHiveSets)
{
    for (int code = -5; code < 60; ++code) {
        bool solid = (code >= 1 && code <= 4) || (code >= 12 && code <= 26) || code == 46;
        EXPECT_EQ(IsSolidTile(code), solid) << code;
        EXPECT_EQ(IsDeadlyTile(code), code >= 5 && code <= 8) << code;
        EXPECT_EQ(IsHiveTile(code), code == 2 || code == 3) << code;
    }
    EXPECT_FALSE(IsSolidTile(11));  // the goal
    EXPECT_TRUE(IsSolidTile(4));    // a checkpoint
}

TEST(TileAt, CellsByTruncationAndSolidOutsideTheStage)
{
    std::memset(tileMap, 0, sizeof tileMap);
    tileMap[0][0] = 9;
    tileMap[0][1] = 10;
    tileMap[1][0] = 12;
    tileMap[39][199] = 13;
    // Cells of 64 x 64 pixels, both for the probes' points and the beam's.
    EXPECT_EQ(TileAt(63.99f, 63.99f), 9);
    EXPECT_EQ(TileAt(63, 63), 9);
    EXPECT_EQ(TileAt(64.0f, 0.0f), 10);
    EXPECT_EQ(TileAt(64, 63), 10);
    EXPECT_EQ(TileAt(0, 64), 12);
    EXPECT_EQ(TileAt(0.0f, 64.0f), 12);
    EXPECT_EQ(TileAt(12799, 2559), 13);
    EXPECT_EQ(TileAt(12799.5f, 2559.9f), 13);
    EXPECT_EQ(TileAt(12736, 2496), 13);
    EXPECT_EQ(TileAt(12735, 2496), 0);
    // Outside, even by a fraction of a pixel: a plain block (code 1), never a
    // read past the grid.
    for (float x : {-0.5f, -64.0f, 12800.0f, 1e30f, -1e30f, NAN, INFINITY})
        EXPECT_EQ(TileAt(x, 100.0f), 1) << x;
    EXPECT_EQ(TileAt(100.0f, -0.01f), 1);
    EXPECT_EQ(TileAt(100.0f, 2560.0f), 1);
    EXPECT_EQ(TileAt(100.0f, 5000.0f), 1);  // inside the picture, below the grid
    EXPECT_EQ(TileAt(-1, 0), 1);
    EXPECT_EQ(TileAt(12800, 0), 1);
    EXPECT_EQ(TileAt(0, 2560), 1);
    EXPECT_EQ(TileAt(INT32_MIN, INT32_MAX), 1);
    EXPECT_TRUE(IsSolidTile(TILE_OUTSIDE));
    EXPECT_FALSE(IsHiveTile(TILE_OUTSIDE));
    EXPECT_NE(TILE_OUTSIDE, TILE_CHECKPOINT);
}

TEST(StageFile, LineStructureCarriesNoMeaning)
{
    std::string rows;
    for (int r = 0; r < MAP_ROWS; ++r) rows += Numbers(MAP_COLS, r * MAP_COLS) + "\n";
    std::vector<int> a = Parse(rows);
    EXPECT_EQ(a, Parse(Numbers(MAP_CELLS)));
    EXPECT_EQ(a, Parse(Numbers(MAP_CELLS, 0, "\n")));
    EXPECT_EQ(a, Parse("\r\n\t " + Numbers(MAP_CELLS, 0, " \t\r\n\v\f ") + "\r\n"));
    for (int i = 0; i < MAP_CELLS; ++i) ASSERT_EQ(a[i], i);
}

TEST(StageFile, AShortFileKeepsTheCellsItDoesNotReach)
{
    int count = 0;
    std::vector<int> cells = Parse("1 2 3", -7, &count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(cells[2], 3);
    EXPECT_EQ(cells[3], -7);
    EXPECT_EQ(cells[MAP_CELLS - 1], -7);
    Parse("", -7, &count);
    EXPECT_EQ(count, 0);
}

TEST(StageFile, ReadingStopsAtTheFirstThingThatIsNotANumber)
{
    int count = 0;
    std::vector<int> cells = Parse("1 2 x 4 5", -7, &count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(cells[2], -7);
    EXPECT_EQ(cells[3], -7);
    // A number runs into letters: the digits count, the letters stop it.
    cells = Parse("7 12abc 9", -7, &count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(cells[1], 12);
    // Signs: "+5" and "-5" are numbers, "- 5" and "+-5" are not; "3-4" is two.
    cells = Parse("+5 -5 3-4 - 5", -7, &count);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(cells[0], 5); EXPECT_EQ(cells[1], -5); EXPECT_EQ(cells[2], 3); EXPECT_EQ(cells[3], -4);
    Parse("1 +-5", -7, &count);
    EXPECT_EQ(count, 1);
    // A decimal point ends the number before it.
    cells = Parse("1.5 2", -7, &count);
    EXPECT_EQ(count, 1);
    // A NUL byte is just another character that is not a number.
    std::string withNul("4 \0 5", 5);
    Parse(withNul, -7, &count);
    EXPECT_EQ(count, 1);
    Parse("1 2 3 -", -7, &count);
    EXPECT_EQ(count, 3);
}

TEST(StageFile, NumbersTooLargeForAnIntAreNotNumbers)
{
    int count = 0;
    std::vector<int> cells = Parse("2147483647 -2147483648 0000000000000000000000042 2147483648 5", -7, &count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(cells[0], 2147483647);
    EXPECT_EQ(cells[1], INT32_MIN);
    EXPECT_EQ(cells[2], 42);
    EXPECT_EQ(cells[3], -7);
    Parse("1 -2147483649", -7, &count);
    EXPECT_EQ(count, 1);
    Parse("1 99999999999999999999999999999999999999 2", -7, &count);
    EXPECT_EQ(count, 1);
}

TEST(StageFile, TextAfterTheLastCellIsIgnored)
{
    int count = 0;
    std::vector<int> cells = Parse(Numbers(MAP_CELLS) + " 123 garbage 99999999999999", -7, &count);
    EXPECT_EQ(count, 8000);  // 40 rows of 200
    EXPECT_EQ(cells[7999], 7999);
}

TEST(StageFile, ReadingInPiecesGivesTheSameCellsWhereverThePiecesBreak)
{
    std::string text = " 12 -3\n+45 6 99999999999 7";
    std::vector<int> whole = Parse(text);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        std::vector<int> cells(MAP_CELLS, -7);
        StageParser parser;
        StartStageParser(&parser);
        FeedStageParser(&parser, text.data(), cut, cells.data());
        FeedStageParser(&parser, text.data() + cut, text.size() - cut, cells.data());
        FinishStageParser(&parser, cells.data());
        EXPECT_EQ(cells, whole) << "cut at " << cut;
    }
    EXPECT_EQ(whole[3], 6);
    EXPECT_EQ(whole[4], -7);
}

TEST(StageFile, ArbitraryBytesNeverWriteOutsideTheGrid)
{
    unsigned seed = 12345;
    std::vector<int> guarded(MAP_CELLS + 16, 0x5A5A5A5A);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        int length = (int)(seed % 40000);
        for (int i = 0; i < length; ++i) {
            seed = seed * 1103515245 + 12345;
            const char alphabet[] = "0123456789 \n-+9999x";
            text += alphabet[(seed >> 16) % (sizeof alphabet - 1)];
        }
        int count = ParseStageNumbers(text.data(), text.size(), guarded.data());
        ASSERT_LE(count, MAP_CELLS);
        for (int i = MAP_CELLS; i < MAP_CELLS + 16; ++i) ASSERT_EQ(guarded[i], 0x5A5A5A5A);
    }
}

// ---- the stage picture and the loader ----

// A sheet of three cells: 1 red, 2 half magenta over green, 3 white.
Surface MakeSheet()
{
    Surface sheet = CreateBlankSurface(3 * 64 + 20, 64);  // 20 columns of a cell that is not whole
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < sheet->width; ++x) {
            uint32_t p = 0x0000FF;
            if (x < 64) p = 0xFF0000;
            else if (x < 128) p = x < 96 ? 0xFF00FF : 0x00FF00;
            else if (x < 192) p = 0xFFFFFF;
            WritablePixels(sheet)[y * sheet->width + x] = p;
        }
    }
    return sheet;
}

// The whole stage picture as flat pixels: drawn onto white, which the draw leaves out.
std::vector<uint32_t> WholeLevel()
{
    Surface flat = CreateBlankSurface(LEVEL_WIDTH, LEVEL_HEIGHT);
    DrawLevel(flat, 0, 0, LEVEL_WIDTH, LEVEL_HEIGHT, 0, 0);
    std::vector<uint32_t> pixels(flat->pixels, flat->pixels + (size_t)LEVEL_WIDTH * LEVEL_HEIGHT);
    DeleteSurface(flat);
    return pixels;
}

class StagePicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        displayMode = DISPLAY_WINDOWED;
        DeleteSurface(imgTiles);
        imgTiles = MakeSheet();
        InvalidateLevel();
        std::memset(tileMap, 0, sizeof tileMap);
    }
};

TEST_F(StagePicture, CellsComeFromTheSheetOnWhiteWithMagentaLeftOut)
{
    tileMap[0][0] = 1;
    tileMap[2][3] = 2;
    tileMap[39][199] = 1;
    tileMap[38][199] = 3;  // all white: nothing shows
    tileMap[5][5] = 4;       // the sheet has only 20 columns of it: nothing
    tileMap[5][6] = -1;
    tileMap[5][7] = INT32_MAX;
    tileMap[5][8] = INT32_MIN;
    EXPECT_EQ(LevelPixel(0, 0), CLR_INVALID);  // nothing before the first render
    RenderLevel();
    EXPECT_EQ(LevelPixel(-1, 0), CLR_INVALID);
    // The picture is 12800 x 5120: twice the grid's height.
    EXPECT_EQ(LevelPixel(12800, 0), CLR_INVALID);
    EXPECT_EQ(LevelPixel(0, 5120), CLR_INVALID);
    EXPECT_EQ(LevelPixel(12800, 5120), CLR_INVALID);
    EXPECT_EQ(LevelPixel(0, 0), 0xFF0000u);
    EXPECT_EQ(LevelPixel(63, 63), 0xFF0000u);
    EXPECT_EQ(LevelPixel(64, 0), 0xFFFFFFu);
    EXPECT_EQ(LevelPixel(3 * 64 + 10, 2 * 64 + 5), 0xFFFFFFu);  // magenta half: background
    EXPECT_EQ(LevelPixel(3 * 64 + 40, 2 * 64 + 5), 0x00FF00u);
    EXPECT_EQ(LevelPixel(12799, 2559), 0xFF0000u);
    EXPECT_EQ(LevelPixel(12799, 2450), 0xFFFFFFu);
    EXPECT_EQ(LevelPixel(12799, 2560), 0xFFFFFFu);  // below the grid
    EXPECT_EQ(LevelPixel(12799, 5119), 0xFFFFFFu);
    for (int c = 5; c <= 8; ++c)
        for (int y = 320; y < 384; y += 9)
            for (int x = c * 64; x < c * 64 + 64; x += 7) ASSERT_EQ(LevelPixel(x, y), 0xFFFFFFu);
}

TEST_F(StagePicture, RedrawingAfterChangesEqualsAFreshPicture)
{
    for (int r = 0; r < MAP_ROWS; ++r)
        for (int c = 0; c < MAP_COLS; ++c) tileMap[r][c] = (r * 7 + c) % 5;
    RenderLevel();
    for (int r = 0; r < MAP_ROWS; ++r)
        for (int c = 0; c < MAP_COLS; ++c) tileMap[r][c] = (r + c * 3) % 4;
    RenderLevel();
    std::vector<uint32_t> updated = WholeLevel();
    InvalidateLevel();
    RenderLevel();
    EXPECT_TRUE(WholeLevel() == updated);
}

class StageLoad : public StagePicture {
protected:
    std::filesystem::path dir, previous;
    void SetUp() override
    {
        StagePicture::SetUp();
        previous = std::filesystem::current_path();
        dir = std::filesystem::temp_directory_path() / ("stage-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir / "txt");
        std::filesystem::current_path(dir);
    }
    void TearDown() override
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }
    void Write(int stage, const std::string& text)
    {
        std::ofstream(dir / "txt" / ("dw_stage" + std::to_string(stage) + ".txt"), std::ios::binary) << text;
    }
};

TEST_F(StageLoad, ReadsTheFileOfStageNoAndKeepsCellsAShortFileMisses)
{
    std::string full;
    for (int i = 0; i < MAP_CELLS; ++i) full += i % 3 == 0 ? "1 " : "0 ";
    Write(2, full);
    Write(3, "3 3 3");
    LoadStage(2);
    EXPECT_EQ(tileMap[0][0], 1);
    EXPECT_EQ(tileMap[0][3], 1);
    LoadStage(3);
    EXPECT_EQ(tileMap[0][0], 3);
    EXPECT_EQ(tileMap[0][2], 3);
    EXPECT_EQ(tileMap[0][3], 1);  // not in the short file: the old stage's code
    EXPECT_EQ(LevelPixel(64 * 2 + 40, 5), 0xFFFFFFu);  // code 3 is all white
    EXPECT_EQ(LevelPixel(64 * 3 + 5, 5), 0xFF0000u);
}

TEST_F(StageLoad, AHugeFileIsReadOnlyAsFarAsItsNumbersMatter)
{
    std::string text = Numbers(MAP_CELLS, 0, "\n");
    text += std::string(8 << 20, 'x');
    Write(1, text);
    LoadStage(1);
    EXPECT_EQ(tileMap[39][199], 7999);
}

TEST_F(StageLoad, AMissingFileEndsTheProgramWithStatusZero)
{
    EXPECT_EXIT(LoadStage(4), ::testing::ExitedWithCode(0), "");
}

TEST_F(StageLoad, ReloadingTheSameStageIsFastAndChangesNothing)
{
    std::string text;
    for (int r = 0; r < MAP_ROWS; ++r)
        for (int c = 0; c < MAP_COLS; ++c) text += std::to_string((r == 0 || r == 39 || c == 0 || c == 199) ? 1 : (c % 9 == 0 ? 2 : 0)) + " ";
    Write(1, text);
    LoadStage(1);
    std::vector<uint32_t> first = WholeLevel();
    auto start = std::chrono::steady_clock::now();
    LoadStage(1);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(WholeLevel() == first);
    EXPECT_LT(ms, 30.0);
}

}  // namespace
