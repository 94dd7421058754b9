// Stage files that are empty, short, garbage, full of huge or negative codes,
// with more nests than there are bees, all solid or all empty, played through
// the real game: the character flies about, firing in every direction, and
// must never leave the grid, and the camera must stay a real number.
#include "tests/test_bad_input_support.h"

#include <algorithm>
#include <cstdint>

#include <sys/stat.h>

using namespace badinput;

namespace {

constexpr int PLAY_FRAMES = 240;

// Into play, then the pointer goes round the character while the left button
// is held, released now and then so that it also falls and drifts.
std::string FlyAbout()
{
    std::string script = START_GAME;
    const int points[8][2] = {{640, 0},   {1280, 0},   {1280, 360}, {1280, 720},
                              {640, 720}, {0, 720},    {0, 360},    {0, 0}};
    for (int k = 0; k * 10 < PLAY_FRAMES; k++) {
        long long frame = PLAY_START + k * 10;
        script += std::to_string(frame) + " mouse " + std::to_string(points[k % 8][0]) + " " +
                  std::to_string(points[k % 8][1]) + "\n";
        script += std::to_string(frame) + (k % 5 == 4 ? " up lmb\n" : " down lmb\n");
    }
    return script;
}

class BadStages : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HarnessBuilt()) GTEST_SKIP() << "needs " << HARNESS << " and " << DATA;
    }

    // Plays stage 1 made of text; every play frame keeps the character (the
    // screen centre) inside the 12800 x 2560 grid.
    void ExpectCharacterStaysInside(const std::string& stageText)
    {
        GameFolder folder;
        folder.Write("txt/dw_stage1.txt", stageText);
        GameRun run = folder.Play(FlyAbout(), PLAY_START + PLAY_FRAMES);
        ASSERT_EQ(run.status, 2) << run.output;
        std::vector<const Event*> frames = run.Frames("play");
        ASSERT_FALSE(frames.empty());
        for (const Event* frame : frames) {
            double x = NumberField(frame->line, "camX", NAN) + 640;
            double y = NumberField(frame->line, "camY", NAN) + 360;
            ASSERT_TRUE(x >= 0 && x < 12800 && y >= 0 && y < 2560) << frame->line.substr(0, 200);
        }
    }
};

}  // namespace

TEST_F(BadStages, EmptyShortAndGarbageFiles)
{
    {
        SCOPED_TRACE("empty");
        ExpectCharacterStaysInside("");
    }
    {
        SCOPED_TRACE("one row");
        ExpectCharacterStaysInside(std::string(199 * 2, ' ') + "1 1 1 1\n");
    }
    {
        SCOPED_TRACE("numbers, then text");
        ExpectCharacterStaysInside("1 1 1 2 3 stage one\n" + StageText([](int, int) { return 1; }));
    }
}

// The message of a missing stage file, and the end with status 0, from the
// title's START on: the first stage is loaded there.
void ExpectStageFileMessage(const GameFolder& folder)
{
    GameRun run = folder.Play(START_GAME, 400);
    EXPECT_EQ(run.status, 0) << run.output;
    ASSERT_GE(run.events.size(), 2u);
    EXPECT_EQ(run.events[run.events.size() - 2].text, "ファイルオープンエラー\\n");
    EXPECT_TRUE(run.Frames("play").empty());
}

TEST_F(BadStages, WhatIsNoStageFileGetsTheMissingFileMessage)
{
    // Not a regular file: a folder, a pipe nobody writes to (the open would
    // wait for ever), a device that never ends.
    GameFolder folder;
    const std::string stage = folder.path + "/txt/dw_stage1.txt";
    fs::remove(stage);
    fs::create_directory(stage);
    {
        SCOPED_TRACE("folder");
        ExpectStageFileMessage(folder);
    }
    fs::remove(stage);
    ASSERT_EQ(mkfifo(stage.c_str(), 0644), 0);
    {
        SCOPED_TRACE("pipe");
        ExpectStageFileMessage(folder);
    }
    fs::remove(stage);
    fs::create_symlink("/dev/zero", stage);
    {
        SCOPED_TRACE("/dev/zero");
        ExpectStageFileMessage(folder);
    }
    // Bytes, but not one number before something else: not a stage either.
    std::string bytes;
    for (int i = 0; i < 20000; i++) bytes += (char)((i * 7919) >> 3);
    for (const std::string& text : std::vector<std::string>{bytes, std::string("\0\0\0 1 2 3", 9), "stage one\n1 1 1\n", "-x"}) {
        SCOPED_TRACE(text.substr(0, 12));
        folder.Write("txt/dw_stage1.txt", text);
        ExpectStageFileMessage(folder);
    }
}

TEST_F(BadStages, TextWithAByteOrderMarkOrInUtf16ReadsAsThePlainText)
{
    // The same stage in the ways an editor may save it: each plays the same
    // frames as the plain text.
    std::string plain = StageText([](int row, int col) { return row > 30 || col > 190 ? 1 : (col * 7 + row) % 23 == 0 ? 2 : 0; });
    auto utf16 = [&](bool littleEndian) {
        std::string text = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
        for (char c : plain) text += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
        return text;
    };
    auto playFrames = [](const std::string& stageText) {
        GameFolder folder;
        folder.Write("txt/dw_stage1.txt", stageText);
        GameRun run = folder.Play(FlyAbout(), PLAY_START + 60);
        std::vector<std::string> lines;
        for (const Event* frame : run.Frames("play")) lines.push_back(frame->line);
        return lines;
    };
    std::vector<std::string> expected = playFrames(plain);
    ASSERT_GT(expected.size(), 50u);
    EXPECT_EQ(playFrames("\xEF\xBB\xBF" + plain), expected);
    EXPECT_EQ(playFrames(utf16(true)), expected);
    EXPECT_EQ(playFrames(utf16(false)), expected);
}

TEST_F(BadStages, HugeAndNegativeCodes)
{
    {
        SCOPED_TRACE("beyond an int: reading stops there");
        ExpectCharacterStaysInside(StageText([](int row, int col) {
            return row == 30 && col == 5 ? 99999999999LL : (row > 33 ? 1 : 0);
        }));
    }
    {
        SCOPED_TRACE("the largest and smallest ints");
        ExpectCharacterStaysInside(StageText([](int row, int col) {
            return (row + col) % 3 == 0 ? INT32_MAX : (row + col) % 3 == 1 ? INT32_MIN : 0;
        }));
    }
    {
        SCOPED_TRACE("negative codes everywhere");
        ExpectCharacterStaysInside(StageText([](int row, int col) { return -1 - (row * 200 + col) % 50; }));
    }
    {
        SCOPED_TRACE("codes past every known tile");
        ExpectCharacterStaysInside(StageText([](int row, int col) { return 47 + (row * 200 + col) % 1000; }));
    }
}

TEST_F(BadStages, AllSolidAllEmptyAndEveryTileCode)
{
    {
        SCOPED_TRACE("all empty");
        ExpectCharacterStaysInside(StageText([](int, int) { return 0; }));
    }
    {
        SCOPED_TRACE("all solid");
        ExpectCharacterStaysInside(StageText([](int, int) { return 1; }));
    }
    {
        SCOPED_TRACE("every code from -2 to 50 in turn");
        ExpectCharacterStaysInside(StageText([](int row, int col) { return (row * 200 + col) % 53 - 2; }));
    }
}

TEST_F(BadStages, MoreNestsThanBees)
{
    // 8000 nests, with room to fly round the start: the bees come from all
    // sides, only the first 256 nests get one.
    GameFolder folder;
    folder.Write("txt/dw_stage1.txt", StageText([](int row, int col) {
        bool nearStart = row >= 26 && row <= 35 && col <= 20;
        return nearStart ? 0 : 3;
    }));
    GameRun run = folder.Play(FlyAbout(), PLAY_START + PLAY_FRAMES);
    ASSERT_EQ(run.status, 2) << run.output;
    std::vector<const Event*> frames = run.Frames("play");
    ASSERT_FALSE(frames.empty());
    size_t most = 0;
    for (const Event* frame : frames) {
        const std::string& line = frame->line;
        size_t bees = line.find("\"bees\":[");
        ASSERT_NE(bees, std::string::npos);
        size_t records = 0;
        for (size_t at = line.find("[", bees + 8); at != std::string::npos; at = line.find("[", at + 1))
            records++;
        most = std::max(most, records);
        double x = NumberField(line, "camX", NAN) + 640, y = NumberField(line, "camY", NAN) + 360;
        ASSERT_TRUE(x >= 0 && x < 12800 && y >= 0 && y < 2560) << line.substr(0, 200);
    }
    EXPECT_EQ(most, 256u);
}
