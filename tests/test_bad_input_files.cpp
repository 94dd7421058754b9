// The game's files missing or lying, through the real game in the headless
// harness: every picture missing in turn (the box names it and the game ends
// with status 1), every sound missing (the game plays on in silence), each
// stage file missing (its message, status 0), pictures whose headers lie, and
// a whole game on pictures far smaller than the game expects.
#include "tests/test_bad_input_support.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

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
        if (name == "./bmp/stage/checkpoint_held.bmp") {
            // The one picture an older data folder may lack: the game plays
            // on, with no crystal drawn lit.
            GameRun without = folder.Play("", 2);
            EXPECT_EQ(without.status, 2) << without.output;
            EXPECT_EQ(without.Dialogs().size(), whole.Dialogs().size()) << without.output;
        } else {
            ExpectPictureBox(folder.Play("", 2), name);
        }
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

TEST_F(BadFiles, PicturesThatClaimMoreThanTheirFilesHold)
{
    TinyPictureFolder folder;
    const std::string name = "./bmp/lazer/cursor1.bmp";
    std::string palette(8, '\0');
    // About a kilobyte of run-length codes that skip to the end, claiming
    // 8192 x 8192 (256 MB of pixels).
    std::string skips;
    while (skips.size() < 1000) skips += std::string("\x00\x02\xff\xff", 4);
    std::string bomb = Bmp(8192, 8192, 8, 1, palette, skips, 2);
    ASSERT_LT(bomb.size(), 1100u);
    folder.Write(name, bomb);
    ExpectPictureBox(folder.Play("", 2), name);
    // A good picture with a gigabyte after it (a hole in the file, so it
    // costs no disk): refused without being read.
    folder.Write(name, TINY_BMP);
    ASSERT_EQ(truncate((folder.path + "/" + name).c_str(), 1LL << 30), 0);
    ExpectPictureBox(folder.Play("", 2), name);
    // Every start-up picture a bomb: the first one is named at once.
    for (const std::string& picture : BuiltPictures()) folder.Write(picture, bomb);
    ExpectPictureBox(folder.Play("", 2), "./bmp/stage/haikei.bmp");
}

TEST_F(BadFiles, PicturesThatTogetherClaimTooMuchStopAtTheOneOverTheBudget)
{
    // Each a true 4096 x 4096 picture in 147 KB of runs: any one of them
    // loads, but they hold 16 M pixels apiece and the budget of all pictures
    // at a time is 160 M.
    TinyPictureFolder folder;
    std::string palette = std::string("\xff\x00\x00\x00", 4) + std::string("\x00\xff\x00\x00", 4);
    std::string runs;
    for (int row = 0; row < 4096; row++) {
        for (int k = 0; k < 16; k++) runs += std::string{(char)255, (char)(k & 1)};
        runs += std::string("\x10\x01\x00\x00", 4);  // the last 16, then the end of the row
    }
    std::string big = Bmp(4096, 4096, 8, 1, palette, runs, 2);
    for (int k = 1; k <= 12; k++) folder.Write("./bmp/curtain/" + std::to_string(k) + ".bmp", big);
    folder.Write("./bmp/curtain/clear.bmp", big);
    // clear.bmp and curtains 1 to 8 fit (9 x 16 M); curtain 9 would not.
    ExpectPictureBox(folder.Play("", 2), "./bmp/curtain/9.bmp");
}

TEST_F(BadFiles, WhatIsNoPictureFileIsNamedInItsBoxAtOnce)
{
    // A pipe nobody writes to would block the open for ever; /dev/zero would
    // be read for ever.
    TinyPictureFolder folder;
    const std::string name = "./bmp/character/bee.bmp";
    fs::remove(folder.path + "/" + name);
    ASSERT_EQ(mkfifo((folder.path + "/" + name).c_str(), 0644), 0);
    ExpectPictureBox(folder.Play("", 2), name);
    fs::remove(folder.path + "/" + name);
    fs::create_symlink("/dev/zero", folder.path + "/" + name);
    ExpectPictureBox(folder.Play("", 2), name);
}

TEST_F(BadFiles, RunningOutOfMemoryEndsWithABoxNamingWhatCouldNotBeMade)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limits leave";
#endif
    if (std::system("command -v prlimit >/dev/null") != 0) GTEST_SKIP() << "needs prlimit";
    // From too little for the pictures to nearly enough for the title's:
    // never a crash, always the box, then the orderly end.
    GameFolder folder;
    for (long long mb : {40, 50, 60, 70, 80}) {
        SCOPED_TRACE(std::to_string(mb) + " MB");
        GameRun run = folder.Play(START_GAME, 400, "prlimit --as=" + std::to_string(mb << 20));
        EXPECT_EQ(run.status, 1) << run.output;
        std::vector<const Event*> boxes = run.Dialogs();
        ASSERT_FALSE(boxes.empty());
        const std::string& text = boxes.back()->text;
        EXPECT_EQ(text.rfind("メモリが足りません:", 0), 0u) << text;
        // A picture file, or a surface the game makes, by its size.
        bool named = text.find("./bmp/") != std::string::npos || text.find("の画像") != std::string::npos;
        EXPECT_TRUE(named) << text;
        EXPECT_EQ(boxes.back()->caption, "エラー");
        EXPECT_EQ(run.events.back().ev, "exit");
        EXPECT_NE(run.output.find("out of memory"), std::string::npos) << run.output;
    }
}

// Stage 1 cleared in its first play frame, on a stage of goal tiles round the
// start (a run ended with E is never ranked, so it would not try the table),
// its results shown and left with a click.
const std::string CLEAR_STAGE_ONE = START_GAME + "300 up lmb\n320 down lmb\n";
std::string GoalStageText()
{
    return StageText([](int row, int col) { return row >= 30 && col >= 8 && col <= 12 ? 11 : 0; });
}

TEST_F(BadFiles, ScoreFileThatCannotBeUsedIsKeptAndTheResultsStillShow)
{
    // Through the real game, as a player (not root, whose rights would read
    // anything): each of these once lost the table or turned into records.
    TinyPictureFolder folder;
    folder.Write("txt/dw_stage1.txt", GoalStageText());
    chmod(folder.path.c_str(), 0777);
    chmod((folder.path + "/txt").c_str(), 0777);
    const std::string scores = folder.path + "/txt/scoretime.txt";
    std::string twenty;
    for (int k = 0; k < 20; k++) twenty += " " + std::to_string(300000 + 1000 * k);
    std::string asPlayer = geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
    struct Case {
        std::string what;
        std::function<void()> make;
    };
    std::vector<Case> cases = {
        {"cannot be read", [&] { folder.Write("txt/scoretime.txt", twenty); chmod(scores.c_str(), 0); }},
        {"a non-number", [&] { folder.Write("txt/scoretime.txt", twenty + " x"); }},
        {"NUL bytes", [&] { folder.Write("txt/scoretime.txt", std::string(" 1\0 2\0 3", 9) + twenty); }},
        {"UTF-16", [&] {
             std::string wide = "\xFF\xFE";
             for (char c : twenty) wide += std::string{c, '\0'};
             folder.Write("txt/scoretime.txt", wide);
         }},
        {"nineteen numbers", [&] { folder.Write("txt/scoretime.txt", twenty.substr(0, twenty.size() - 7)); }},
        {"a pipe", [&] { fs::remove(scores); mkfifo(scores.c_str(), 0666); }},
        {"/dev/zero", [&] { fs::remove(scores); fs::create_symlink("/dev/zero", scores); }},
    };
    auto state = [&] {
        std::error_code error;
        std::string kind = fs::is_fifo(fs::symlink_status(scores)) ? "fifo"
                           : fs::is_symlink(fs::symlink_status(scores)) ? "link"
                                                                        : ReadText(scores);
        return kind + "|" + std::to_string((int)fs::status(scores, error).permissions());
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        std::string before = state();
        GameRun run = folder.Play(CLEAR_STAGE_ONE, 600, asPlayer);
        EXPECT_FALSE(run.Frames("results").empty()) << run.output;
        EXPECT_FALSE(run.Frames("next-countdown").empty());
        EXPECT_EQ(state(), before);
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        EXPECT_NE(run.output.find("kept as it is"), std::string::npos) << run.output;
        for (const auto& entry : fs::directory_iterator(folder.path + "/txt"))
            EXPECT_EQ(entry.path().filename().string().find(".saving-"), std::string::npos);
    }
}

TEST_F(BadFiles, ATimeThatCouldNotBeSavedSaysSoOnTheResults)
{
    // The same results screen with the score file writable and read-only:
    // the second differs only where it says the time was not saved. A time
    // that did not enter the table has nothing to lose and says nothing.
    // The stage is cleared at its goal, in the first play frame: a run ended
    // with E is never ranked, so it could not show this.
    GameFolder folder;
    folder.Write("txt/dw_stage1.txt", GoalStageText());
    const std::string scores = folder.path + "/txt/scoretime.txt";
    const long long shot = 340;  // on the results screen
    auto results = [&](const std::string& table, mode_t mode) {
        folder.Write("txt/scoretime.txt", table);
        chmod(scores.c_str(), mode);
        fs::remove_all(folder.path + "/shots");
        GameRun run = folder.Play(START_GAME + "300 up lmb\n", shot + 1, "",
                                  "--shot-dir '" + folder.path + "/shots' --shot " + std::to_string(shot));
        EXPECT_EQ(run.Frames().back()->scene, "results");
        int w = 0, h = 0;
        std::vector<uint32_t> pixels = ReadShot(folder.path + "/shots/frame-000340.png", &w, &h);
        EXPECT_EQ(w * h, 1280 * 720);
        return pixels;
    };
    std::string slow, fast;
    for (int k = 0; k < 20; k++) slow += " 5999999", fast += " 1";
    std::vector<uint32_t> saved = results(slow, 0644), lost = results(slow, 0444);
    ASSERT_EQ(saved.size(), lost.size());
    int changed = 0, outside = 0;
    for (size_t i = 0; i < saved.size(); i++) {
        if (saved[i] == lost[i]) continue;
        int x = (int)(i % 1280), y = (int)(i / 1280);
        changed++;
        outside += x < 260 || x > 560 || y < 420 || y > 470;
    }
    EXPECT_GT(changed, 1500);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(results(fast, 0644), results(fast, 0444));
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
    ASSERT_EQ(sounds.size(), 7u);  // the shot, the click, two songs, three feedback sounds
    for (const std::string& sound : sounds) {
        SCOPED_TRACE(sound);
        fs::remove(folder.path + "/se/" + sound);
        // Into play, firing (the shot sound), then released.
        GameRun run = folder.Play(START_GAME + "300 up lmb\n", PLAY_START + 40);
        EXPECT_EQ(run.status, 2) << run.output;
        EXPECT_EQ(run.Dialogs().size(), 1u);
        EXPECT_EQ(run.Frames("play").size(), 40u);
        // A pipe in its place, which the sound library would wait on for
        // ever, is never handed to it.
        ASSERT_EQ(mkfifo((folder.path + "/se/" + sound).c_str(), 0644), 0);
        run = folder.Play(START_GAME + "300 up lmb\n", PLAY_START + 40);
        EXPECT_EQ(run.status, 2) << run.output;
        EXPECT_EQ(run.Frames("play").size(), 40u);
        for (const Event& e : run.events)
            EXPECT_EQ(e.line.find("\"path\":\"./se/" + sound), std::string::npos) << e.line;
        fs::remove(folder.path + "/se/" + sound);
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
