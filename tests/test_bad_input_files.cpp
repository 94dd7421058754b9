// The game's files missing or lying, through the real game in the headless
// harness: every picture missing in turn (the box names it and the game ends
// with status 1), every sound missing (the game plays on in silence), each
// stage file missing (its message, status 0), pictures whose headers lie, and
// a whole game on pictures far smaller than the game expects.
#include "tests/test_bad_input_support.h"

#include <algorithm>
#include <cstdint>

using namespace badinput;

namespace {

class BadFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HarnessBuilt()) GTEST_SKIP() << "needs " << HARNESS << " and " << DATA;
    }
};

// The last thing a run did was the picture error box naming name.
void ExpectPictureBox(const GameRun& run, const std::string& name)
{
    SCOPED_TRACE(name);
    EXPECT_EQ(run.status, 1) << run.output;
    std::vector<const Event*> boxes = run.Dialogs();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back()->text, "Bitmapロードエラー:" + name);
    EXPECT_EQ(boxes.back()->caption, "エラー");
    EXPECT_EQ(boxes.back()->answer, "ok");
    // Nothing after it but the end.
    ASSERT_GE(run.events.size(), 2u);
    EXPECT_EQ(&run.events[run.events.size() - 2], boxes.back());
    EXPECT_EQ(run.events.back().ev, "exit");
    EXPECT_EQ(run.events.back().code, 1);
}

}  // namespace

TEST_F(BadFiles, EveryPictureMissingInTurnIsNamedInItsBox)
{
    TinyPictureFolder folder;
    std::vector<std::string> pictures = BuiltPictures();
    ASSERT_GT(pictures.size(), 100u);
    // All there: the title shows and the run goes on to the frame limit.
    GameRun whole = folder.Play("", 2);
    ASSERT_EQ(whole.status, 2) << whole.output;
    for (const std::string& name : pictures) {
        fs::rename(folder.path + "/" + name, folder.path + "/" + name + ".away");
        ExpectPictureBox(folder.Play("", 2), name);
        fs::rename(folder.path + "/" + name + ".away", folder.path + "/" + name);
        if (HasFailure()) break;  // one message is enough
    }
}

TEST_F(BadFiles, PicturesThatLieEndTheGameWithTheBoxNamingThem)
{
    TinyPictureFolder folder;
    const std::string name = "./bmp/character/kyara.bmp";
    std::string pixel("\0\0\xff\0", 4);
    std::string palette(8, '\0');
    std::vector<std::pair<std::string, std::string>> lies = {
        {"empty file", ""},
        {"only the signature", "BM"},
        {"cut inside the header", TINY_BMP.substr(0, 30)},
        {"cut inside the pixels", Bmp(64, 64, 24, 0, "", std::string(100, 'x'))},
        {"huge width and height", Bmp(1 << 30, 1 << 30, 24, 0, "", pixel)},
        {"negative width", Bmp(-5, 1, 24, 0, "", pixel)},
        {"zero height", Bmp(1, 0, 24, 0, "", pixel)},
        {"most negative height", Bmp(1, INT32_MIN, 24, 0, "", pixel)},
        {"pixels past the end", Bmp(1, 1, 24, 0, "", pixel, 0, 1 << 30)},
        {"offset inside the header", Bmp(1, 1, 24, 0, "", pixel, 0, 10)},
        {"palette of 2^31 colours", Bmp(1, 1, 8, 0, palette, std::string("\0\0\0\0", 4), INT32_MAX)},
        {"palette longer than the file", Bmp(1, 1, 8, 0, palette, std::string("\0\0\0\0", 4), 255)},
        {"depth of 7 bits", Bmp(1, 1, 7, 0, "", pixel)},
        {"unknown compression", Bmp(1, 1, 24, 99, "", pixel)},
        {"RLE8 at 24 bits", Bmp(1, 1, 24, 1, "", pixel)},
        {"not a bitmap", "GIF89a\x01\x00\x01\x00\x00\x00\x00;"},
    };
    for (const auto& [what, bytes] : lies) {
        SCOPED_TRACE(what);
        folder.Write(name, bytes);
        ExpectPictureBox(folder.Play("", 2), name);
    }
    // A folder where the picture should be is no picture either.
    fs::remove(folder.path + "/" + name);
    fs::create_directory(folder.path + "/" + name);
    ExpectPictureBox(folder.Play("", 2), name);
    fs::remove(folder.path + "/" + name);

    // Runs that go past the picture's edges and an end of the data before the
    // end-of-picture mark are cut, not refused: the picture loads, the rest black.
    std::string runs = std::string("\xff\x01", 2) + std::string("\x00\x02\x7f\x7f", 4) +
                       std::string("\x05\x01", 2);
    folder.Write(name, Bmp(4, 2, 8, 1, palette, runs, 2));
    GameRun cut = folder.Play("", 2);
    EXPECT_EQ(cut.status, 2) << cut.output;
    EXPECT_EQ(cut.Dialogs().size(), 1u);  // the full-screen question only
}

TEST_F(BadFiles, WholeGameOnOnePixelPictures)
{
    // Through every scene: title, both curtains and the countdown, a cleared
    // stage 1 and its results, the next stage's curtain and countdown, deaths
    // on stage 2's spikes, Escape back to the title and out with Escape.
    TinyPictureFolder folder;
    folder.Write("txt/dw_stage1.txt", StageText([](int, int) { return 0; }));
    folder.Write("txt/dw_stage2.txt", StageText([](int row, int) { return row == 33 ? 5 : 0; }));
    // The results screen (from frame 316) sees the button up, then a click.
    GameRun run = folder.Play(START_GAME + "290 down e\n291 up e\n300 up lmb\n330 down lmb\n590 up lmb\n"
                                           "900 down esc\n", 1200);
    EXPECT_EQ(run.status, 1) << run.output;
    std::vector<std::string> seen;
    for (const Event* frame : run.Frames())
        if (seen.empty() || seen.back() != frame->scene) seen.push_back(frame->scene);
    for (const char* scene : {"title", "start-curtain", "countdown", "play", "clear-curtain", "results",
                              "next-curtain", "next-countdown", "death-curtain", "leave-curtain"})
        EXPECT_NE(std::find(seen.begin(), seen.end(), scene), seen.end()) << scene;
}

TEST_F(BadFiles, EverySoundMissingInTurnLeavesTheGameSilentButPlaying)
{
    GameFolder folder(false, true);
    std::vector<std::string> sounds;
    for (const auto& entry : fs::directory_iterator(folder.path + "/se"))
        sounds.push_back(entry.path().filename().string());
    std::sort(sounds.begin(), sounds.end());
    ASSERT_EQ(sounds.size(), 4u);
    for (const std::string& sound : sounds) {
        SCOPED_TRACE(sound);
        fs::remove(folder.path + "/se/" + sound);
        // Into play, firing (the shot sound), then released.
        GameRun run = folder.Play(START_GAME + "300 up lmb\n", PLAY_START + 40);
        EXPECT_EQ(run.status, 2) << run.output;
        EXPECT_EQ(run.Dialogs().size(), 1u);
        EXPECT_EQ(run.Frames("play").size(), 40u);
        fs::copy_file(DATA + "/se/" + sound, folder.path + "/se/" + sound);
    }
}

TEST_F(BadFiles, EachStageFileMissingEndsTheGameAtItsLoadWithStatusZero)
{
    // The left button and E held throughout: START, every stage cleared on its
    // first play frame; each results screen sees the button let go on its
    // first frame and leaves on its eleventh.
    std::string script = "0 mouse 300 580\n0 down lmb\n0 down e\n";
    for (long long results = 302; results < 3000; results += 312)
        script += std::to_string(results) + " up lmb\n" + std::to_string(results + 1) + " down lmb\n";
    for (int stage = 1; stage <= 4; stage++) {
        SCOPED_TRACE(stage);
        GameFolder folder;
        fs::remove(folder.path + "/txt/dw_stage" + std::to_string(stage) + ".txt");
        GameRun run = folder.Play(script, 3000);
        EXPECT_EQ(run.status, 0) << run.output;
        ASSERT_GE(run.events.size(), 2u);
        const Event& said = run.events[run.events.size() - 2];
        EXPECT_EQ(said.ev, "stdout");
        EXPECT_EQ(said.text, "ファイルオープンエラー\\n");
        EXPECT_EQ(run.events.back().code, 0);
        // The stages before it were played.
        long long played = 0;
        for (const Event* frame : run.Frames("play"))
            played = std::max(played, (long long)NumberField(frame->line, "stageNo", 0));
        EXPECT_EQ(played, stage - 1);
    }
}
