// The title menu in the running game (headless harness): Escape and END end
// the program, a press clicks once and acts only on the button it starts
// over, both buttons are no click, START starts even on the frame the
// pointer arrives, and nothing
// interrupts the opening curtain and countdown.
#include "tests/test_wholegame_harness.h"
#include "tests/test_bad_input_support.h"

namespace {

using TitleSceneTest = HarnessTest;

std::vector<std::string> Scenes(const GameRun& run)
{
    std::vector<std::string> scenes;
    for (const SceneRun& r : SceneRuns(run))
        scenes.push_back(r.scene + " x" + std::to_string(r.frames));
    return scenes;
}

const TraceEvent* LastFrame(const GameRun& run)
{
    const TraceEvent* last = nullptr;
    for (const TraceEvent& e : run.events)
        if (e.ev == "frame")
            last = &e;
    return last;
}

// The game's pictures linked in one by one rather than as a folder, so that
// a test may put title backgrounds of its own in their place.
void LinkPicturesOneByOne(const std::string& folder)
{
    fs::remove(folder + "/bmp");
    fs::create_directories(folder + "/bmp/curtain");
    for (const fs::directory_entry& entry : fs::directory_iterator(DATA + "/bmp"))
        if (entry.path().filename() != "curtain")
            fs::create_symlink(entry.path(), folder + "/bmp/" + entry.path().filename().string());
    for (const fs::directory_entry& entry : fs::directory_iterator(DATA + "/bmp/curtain"))
        fs::create_symlink(entry.path(), folder + "/bmp/curtain/" + entry.path().filename().string());
}

}  // namespace

TEST_F(TitleSceneTest, EscapeInTheMenuEndsTheProgram)
{
    GameRun run = Play("3 down esc\n", 100);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Scenes(run), (std::vector<std::string>{"title x4"}));
    ASSERT_NE(LastFrame(run), nullptr);
    EXPECT_EQ(LastFrame(run)->sceneId, 999);
    EXPECT_EQ(AudioCalls(run), (std::vector<std::string>{TITLE_MUSIC}));
}

TEST_F(TitleSceneTest, EndClickedEndsTheProgram)
{
    GameRun run = Play("0 mouse 950 560\n2 down lmb\n", 100);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Scenes(run), (std::vector<std::string>{"title x3"}));
    EXPECT_EQ(AudioCalls(run), (std::vector<std::string>{TITLE_MUSIC, CLICK}));
}

TEST_F(TitleSceneTest, AHeldPressClicksOnceAndOnlyWhereItStarted)
{
    // Outside the buttons: one click for the press, none while it is held.
    GameRun run = Play("0 mouse 640 100\n2 down lmb\n5 up lmb\n8 down esc\n", 100);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Scenes(run), (std::vector<std::string>{"title x9"}));
    EXPECT_EQ(AudioCalls(run), (std::vector<std::string>{TITLE_MUSIC, CLICK}));

    // Two presses, two clicks.
    run = Play("0 mouse 640 100\n2 down lmb\n3 up lmb\n4 down lmb\n5 up lmb\n8 down esc\n", 100);
    EXPECT_EQ(AudioCalls(run), (std::vector<std::string>{TITLE_MUSIC, CLICK, CLICK}));

    // Started on empty space and dragged onto END, then onto START: the
    // press stays where it began, and the game neither quits nor starts.
    run = Play("0 mouse 640 100\n2 down lmb\n4 mouse 950 560\n8 mouse 300 580\n12 up lmb\n"
               "14 down esc\n", 100);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Scenes(run), (std::vector<std::string>{"title x15"}));
    EXPECT_EQ(AudioCalls(run), (std::vector<std::string>{TITLE_MUSIC, CLICK}));

    // Fire held while Escape leaves the game: back on the title that press
    // is not a new one; it neither clicks nor, brought over START, starts.
    run = Play(badinput::START_GAME + "4 up lmb\n290 down lmb\n300 down esc\n301 up esc\n"
               "340 mouse 300 580\n", 420);
    std::vector<SceneRun> runs = SceneRuns(run);
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.back().scene, "title");
    EXPECT_GT(runs.back().frames, 60);
    std::vector<std::string> audio = AudioCalls(run);
    ASSERT_FALSE(audio.empty());
    EXPECT_EQ(audio.back(), TITLE_MUSIC);

    // Let go and pressed again over END: that press quits.
    run = Play("0 mouse 640 100\n2 down lmb\n4 mouse 950 560\n6 up lmb\n8 down lmb\n", 100);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Scenes(run), (std::vector<std::string>{"title x9"}));
    EXPECT_EQ(AudioCalls(run), (std::vector<std::string>{TITLE_MUSIC, CLICK, CLICK}));
}

TEST_F(TitleSceneTest, BothButtonsOrTheRightAloneOverStartDoNothing)
{
    GameRun run = Play("0 mouse 300 580\n1 down rmb\n3 down lmb\n5 up lmb\n7 up rmb\n9 down esc\n",
                       100);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Scenes(run), (std::vector<std::string>{"title x10"}));
    EXPECT_EQ(AudioCalls(run), (std::vector<std::string>{TITLE_MUSIC}));
}

TEST_F(TitleSceneTest, OnlyTheRestingBoxCounts)
{
    // (100, 470) lies inside the enlarged START but outside its resting box.
    GameRun run = Play("0 mouse 100 470\n2 down lmb\n4 up lmb\n6 down esc\n", 100);
    EXPECT_EQ(Scenes(run), (std::vector<std::string>{"title x7"}));
    EXPECT_EQ(run.status, 1);
}

TEST_F(TitleSceneTest, PointerArrivingAndClickingInOneFrameStarts)
{
    // The pointer starts at (650, 500), outside both buttons; it reaches
    // START in the frame the press begins.
    GameRun run = Play("5 mouse 300 580\n5 down lmb\n6 up lmb\n", 40);
    std::vector<SceneRun> runs = SceneRuns(run);
    ASSERT_GE(runs.size(), 2u);
    EXPECT_EQ(runs[0].scene, "title");
    EXPECT_EQ(runs[0].frames, 6);
    EXPECT_EQ(runs[1].scene, "start-curtain");
    std::vector<std::string> audio = AudioCalls(run);
    std::vector<std::string> expected = {TITLE_MUSIC, CLICK, "music stop", STAGE_MUSIC};
    EXPECT_EQ(audio, expected);
}

TEST_F(TitleSceneTest, EscapeDuringTheCurtainAndCountdownIsIgnored)
{
    // Escape held from the frame after START: the curtain and countdown run in
    // full, the play scene takes Escape and leaves, and the title then ends.
    GameRun run = Play("0 mouse 300 580\n0 down lmb\n1 up lmb\n1 down esc\n", 1000);
    EXPECT_EQ(run.status, 1);
    std::vector<SceneRun> runs = SceneRuns(run);
    ASSERT_GE(runs.size(), 3u);
    EXPECT_EQ(runs[1].scene, "start-curtain");
    EXPECT_EQ(runs[1].frames, 25);
    EXPECT_EQ(runs[2].scene, "countdown");
    EXPECT_EQ(runs[2].frames, 250);
    EXPECT_EQ(runs.back().scene, "title");
    EXPECT_EQ(runs.back().frames, 1);
    std::vector<std::string> audio = AudioCalls(run);
    ASSERT_GE(audio.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(audio.begin(), audio.begin() + 4),
              (std::vector<std::string>{TITLE_MUSIC, CLICK, "music stop", STAGE_MUSIC}));
    // Back from the play scene: its music stopped, the title's started again.
    EXPECT_EQ(std::vector<std::string>(audio.end() - 2, audio.end()),
              (std::vector<std::string>{"music stop", TITLE_MUSIC}));
}

TEST_F(TitleSceneTest, ASmallerBackgroundPictureLeavesBlackBehindIt)
{
    // A modder's title background of 640 x 340 covers only the top left of
    // the screen; the rest must be black every frame, so the pointer leaves no
    // trail there: its last frame is the same whatever way it came.
    LinkPicturesOneByOne(folder);
    std::string pixels;
    for (int i = 0; i < 640 * 340; i++) pixels += "\x90\x60\x30";
    std::string small = badinput::Bmp(640, 340, 24, 0, "", pixels);
    for (int number = 51; number <= 120; number++) {
        std::string path = folder + "/bmp/curtain/" + std::to_string(number) + ".bmp";
        fs::remove(path);
        std::ofstream(path, std::ios::binary) << small;
    }
    auto lastFrame = [&](const std::string& script) {
        std::string hashes = folder + "/hashes.txt";
        GameRun run = RunGame(folder, script, 30, "", "--frame-hashes '" + hashes + "'");
        EXPECT_EQ(run.status, 2) << run.output;
        std::ifstream in(hashes);
        std::string line, last;
        while (std::getline(in, line)) last = line;
        return last;
    };
    std::string wandered = lastFrame("0 mouse 1200 700\n5 mouse 1000 690\n10 mouse 800 700\n15 mouse 900 380\n");
    std::string stayed = lastFrame("0 mouse 900 380\n");
    EXPECT_EQ(wandered.rfind("29 ", 0), 0u) << wandered;
    EXPECT_EQ(wandered, stayed);
}

// The shot of frame n of a run of script, or empty.
std::vector<uint32_t> ShotOf(const std::string& folder, const std::string& script, long long n)
{
    fs::remove_all(folder + "/shots");
    GameRun run = RunGame(folder, script, n + 1, "",
                          "--shot-dir '" + folder + "/shots' --shot " + std::to_string(n));
    char name[32];
    snprintf(name, sizeof name, "/shots/frame-%06lld.png", n);
    int w = 0, h = 0;
    return ReadShot(folder + name, &w, &h);
}

TEST_F(TitleSceneTest, TheTurningCursorIsCentredOnThePointer)
{
    // The same title frame with the pointer at two places over the sky: the
    // pixels that differ near each place are the cursor, centred on it.
    const long long n = 20;
    std::vector<uint32_t> a = ShotOf(folder, "0 mouse 400 200\n", n);
    std::vector<uint32_t> b = ShotOf(folder, "0 mouse 900 200\n", n);
    ASSERT_EQ(a.size(), 1280u * 720u);
    ASSERT_EQ(b.size(), a.size());
    for (int px : {400, 900}) {
        int left = 1280, right = -1, top = 720, bottom = -1;
        for (int y = 200 - 40; y < 200 + 40; y++)
            for (int x = px - 40; x < px + 40; x++)
                if (a[y * 1280 + x] != b[y * 1280 + x]) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        ASSERT_GE(right, left) << "no cursor near x " << px;
        EXPECT_NEAR((left + right) / 2.0, px, 3.0);
        EXPECT_NEAR((top + bottom) / 2.0, 200, 3.0);
    }
}

TEST_F(TitleSceneTest, TheGoalsCurtainEndsOnTheClockThatIsKept)
{
    const uint32_t CLOCK_FILL = 0xFFFF64;  // the clock's yellow, as the shot holds it
    // E on frame 300 clears the stage: the clear curtain follows and its
    // last frame is the one whose clock is kept. Another run, still playing
    // at that frame, shows that same clock: its digits (the pixels of the
    // clock's own fill colour) must match the curtain's.
    GameRun run = Play(badinput::START_GAME + "300 down e\n301 up e\n", 400);
    std::vector<SceneRun> runs = SceneRuns(run);
    long long last = -1;
    for (const SceneRun& r : runs)
        if (r.scene == "clear-curtain") last = r.first + r.frames - 1;
    ASSERT_GT(last, 300);
    std::vector<uint32_t> curtain = ShotOf(folder, badinput::START_GAME + "300 down e\n301 up e\n", last);
    std::vector<uint32_t> playing = ShotOf(folder, badinput::START_GAME, last);
    ASSERT_EQ(curtain.size(), 1280u * 720u);
    ASSERT_EQ(playing.size(), curtain.size());
    int digits = 0, differ = 0;
    for (int y = 0; y < 120; y++)
        for (int x = 500; x < 860; x++) {
            bool a = curtain[y * 1280 + x] == CLOCK_FILL, b = playing[y * 1280 + x] == CLOCK_FILL;
            digits += a;
            differ += a != b;
        }
    EXPECT_GT(digits, 200);
    EXPECT_EQ(differ, 0);
    // And a frame earlier the curtain's clock read less.
    std::vector<uint32_t> before = ShotOf(folder, badinput::START_GAME + "300 down e\n301 up e\n", last - 1);
    ASSERT_EQ(before.size(), curtain.size());
    int changed = 0;
    for (int y = 0; y < 120; y++)
        for (int x = 500; x < 860; x++)
            changed += (before[y * 1280 + x] == CLOCK_FILL) != (curtain[y * 1280 + x] == CLOCK_FILL);
    EXPECT_GT(changed, 0);
}

TEST_F(TitleSceneTest, ABackgroundAsTallAsTheScreenIsShownRowForRow)
{
    // The title's frames are 720 rows, shown as they are: a frame whose
    // bottom 20 rows differ must look different (stretching its top 680 rows
    // would never show them). An older frame of 680 rows is still stretched
    // over the whole screen, leaving no black band at the bottom.
    LinkPicturesOneByOne(folder);
    // rows, and how many of them at the bottom are a second colour.
    auto lastFrameWith = [&](int rows, int bottomRows) {
        std::string pixels;
        for (int y = 0; y < rows; y++)  // bottom-up
            for (int x = 0; x < 1280; x++) pixels += y < bottomRows ? "\x20\xA0\x40" : "\x90\x60\x30";
        std::string picture = badinput::Bmp(1280, rows, 24, 0, "", pixels);
        for (int number = 51; number <= 120; number++) {
            std::string path = folder + "/bmp/curtain/" + std::to_string(number) + ".bmp";
            fs::remove(path);
            std::ofstream(path, std::ios::binary) << picture;
        }
        std::string hashes = folder + "/hashes.txt";
        GameRun run = RunGame(folder, "0 mouse 900 380\n", 10, "", "--frame-hashes '" + hashes + "'");
        EXPECT_EQ(run.status, 2) << run.output;
        std::ifstream in(hashes);
        std::string line, last;
        while (std::getline(in, line)) last = line;
        return last;
    };
    std::string plain = lastFrameWith(720, 0);
    EXPECT_EQ(plain.rfind("9 ", 0), 0u) << plain;
    EXPECT_NE(lastFrameWith(720, 20), plain);
    EXPECT_EQ(lastFrameWith(680, 0), plain);
}
