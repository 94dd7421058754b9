// The settings that change how the game is played but never its rules: the
// game speed (a slower clock between the same frames, the run not ranked),
// pausing when the window loses the focus, vertical sync and reduced
// flashing; the game's clock they run on; and, through the real game, that
// a run played with them is the same run.
#include <algorithm>

#include "game/flashing.h"
#include "game/settings.h"
#include "shell/shell.h"
#include "tests/test_wholegame_harness.h"

TEST(GameClock, FullSpeedIsThePlatformsClockAndASlowerOneKeepsSixteenMillisecondFrames)
{
    // At 100 % the game's clock is the platform's, wherever it is based and
    // however far round the 32 bits the platform's clock has run.
    for (uint32_t base : {0u, 1000u, 0x7FFFFFF0u, 0xFFFFFFF0u}) {
        GameClock clock{base, base, 100};
        for (uint32_t real : {base, base + 16, base - 16, base + 0x80000000u, 5u})
            EXPECT_EQ(GameClockAt(clock, real), real) << base << " " << real;
        for (uint32_t game : {base + 16, base - 16, 0xFFFFFFFFu})
            EXPECT_EQ(RealTimeOf(clock, game), game) << base << " " << game;
    }
    // At each speed every frame is exactly 16 ms of the game's clock and
    // 1600 / speed ms of real time, with no drift however long it runs.
    for (int speed = GAME_SPEED_MIN; speed <= 100; speed += 10) {
        GameClock clock{0xFFFFFF00u, 12345, speed};
        uint32_t start = 12345, real = clock.realBase;
        for (int frame = 1; frame <= 10000; frame++) {
            uint32_t due = RealTimeOf(clock, start + FRAME_PERIOD_MS);
            ASSERT_EQ(GameClockAt(clock, due), start + FRAME_PERIOD_MS) << speed << " " << frame;
            ASSERT_LT(GameClockAt(clock, due - 1), start + FRAME_PERIOD_MS) << speed << " " << frame;
            start += FRAME_PERIOD_MS;
            real = due;
        }
        EXPECT_NEAR(static_cast<double>(real - clock.realBase), 10000 * 1600.0 / speed, 1.0) << speed;
    }
    // A change of speed keeps the time the clock reads at that moment.
    GameClock clock;
    SetGameClockSpeed(&clock, 60, 1000);
    EXPECT_EQ(GameClockAt(clock, 1000), 1000u);
    EXPECT_EQ(GameClockAt(clock, 1100), 1060u);
    SetGameClockSpeed(&clock, 100, 1100);
    EXPECT_EQ(GameClockAt(clock, 1200), 1160u);
    SetGameClockSpeed(&clock, 7, 1200);  // held to the slowest speed there is
    EXPECT_EQ(clock.speed, GAME_SPEED_MIN);
}

TEST(ReducedFlashing, TheWingsBeatAtMostThreeTimesASecondAndDeathsPlayAsTheyAre)
{
    for (int row : {0, 64}) {
        int changes = 0;
        BeeSprite before = SteadierBee(BeeSprite{10, 20, 0, row}, 0);
        for (uint32_t clock = 16; clock <= 10000; clock += 16) {
            BeeSprite now = SteadierBee(BeeSprite{10, 20, (int)(clock / 16 % 4) * 64, row}, clock);
            EXPECT_EQ(now.x, 10);
            EXPECT_EQ(now.sheetY, row);
            EXPECT_TRUE(now.sheetX >= 0 && now.sheetX <= 3 * 64 && now.sheetX % 64 == 0);
            if (now.sheetX != before.sheetX) changes++;
            before = now;
        }
        // Four pictures make one beat: no more than three beats a second,
        // and still moving.
        EXPECT_LE(changes / 4.0 / 10.0, 3.0);
        EXPECT_GE(changes, 40);
    }
    for (int row : {128, 192, 256}) {
        BeeSprite dying{5, 6, 3 * 64, row};
        BeeSprite drawn = SteadierBee(dying, 1234);
        EXPECT_EQ(drawn.sheetX, dying.sheetX);
        EXPECT_EQ(drawn.sheetY, dying.sheetY);
    }
}

namespace {

std::string ReplayScript(const std::string& name)
{
    std::ifstream file(std::string(SOURCE_DIR) + "/tests/replays/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A frame's line without its "t" (the machine's clock, which a slower game
// speed stretches by design).
std::string WithoutMachineTime(const std::string& line)
{
    size_t at = line.find(",\"t\":");
    if (at == std::string::npos) return line;
    size_t end = line.find(',', at + 1);
    return line.substr(0, at) + line.substr(end);
}

std::vector<std::string> FrameLines(const GameRun& run)
{
    std::vector<std::string> lines;
    for (const TraceEvent* e : run.Frames()) lines.push_back(WithoutMachineTime(e->line));
    return lines;
}

// The frame hashes a run wrote: "frame width height hash" lines.
std::vector<std::string> HashLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class Assists : public HarnessTest {
protected:
    std::string SettingsFile() { return folder + "/settings.ini"; }
    // A run with a settings file of these lines (none at all for ""), its
    // frame hashes in hashes.txt.
    GameRun PlayWith(const std::string& settingsLines, const std::string& script, long long frames)
    {
        fs::remove(SettingsFile());
        if (!settingsLines.empty()) std::ofstream(SettingsFile()) << settingsLines;
        std::string options = "--frame-hashes '" + folder + "/hashes.txt'";
        if (!settingsLines.empty()) options += " --settings '" + SettingsFile() + "'";
        return RunGame(folder, script, frames, "", options);
    }
    void ForgetBestTimes()
    {
        for (const auto& entry : fs::directory_iterator(folder + "/txt"))
            if (entry.path().filename().string().rfind("dw_stage", 0) != 0) fs::remove(entry.path());
    }
    // Stage 1 as a floor with the goal five columns right of the start, in
    // place of the link to the built one (which must not be written through).
    void WriteGoalStage()
    {
        fs::remove(folder + "/txt/dw_stage1.txt");
        std::ofstream stage(folder + "/txt/dw_stage1.txt");
        for (int r = 0; r < 40; r++) {
            for (int c = 0; c < 200; c++) {
                bool block = r == 0 || r == 39 || c == 0 || c == 199 || r >= 33;
                stage << (c == 15 && (r == 31 || r == 32) ? 11 : block ? 1 : 0) << (c == 199 ? '\n' : ' ');
            }
        }
    }
    std::vector<std::string> KeptFiles()
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder + "/txt"))
            if (entry.path().filename().string().rfind("dw_stage", 0) != 0)
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

}  // namespace

TEST_F(Assists, ARunAtSixtyPerCentIsTheSameRunSlowerInRealTimeAndIsNotKept)
{
    const std::string script = ReplayScript("stage1.txt");
    GameRun full = PlayWith("", script, 4000);
    std::vector<std::string> fullHashes = HashLines(folder + "/hashes.txt");
    std::vector<std::string> kept = KeptFiles();
    ASSERT_FALSE(full.Frames("results").empty());
    EXPECT_NE(std::find(kept.begin(), kept.end(), "stage1-rank1.replay"), kept.end());

    ForgetBestTimes();
    GameRun slow = PlayWith("game_speed = 60\n", script, 4000);
    std::vector<std::string> slowHashes = HashLines(folder + "/hashes.txt");
    EXPECT_EQ(slow.status, full.status);
    // The same frames, scenes, clocks, positions and bees, line for line.
    EXPECT_EQ(FrameLines(slow), FrameLines(full));
    // ... each further apart in real time: 1600 / 60 ms, rounded, on average.
    std::vector<const TraceEvent*> frames = slow.Frames();
    ASSERT_GT(frames.size(), 1000u);
    double first = NumberField(frames[10]->line, "t", 0), last = NumberField(frames[1010]->line, "t", 0);
    EXPECT_NEAR((last - first) / 1000, 1600.0 / 60, 0.01);
    // What it shows differs only in the play frames' ASSIST and the
    // results' line: the title, curtains and countdown are as they were.
    ASSERT_EQ(slowHashes.size(), fullHashes.size());
    size_t differing = 0;
    for (size_t i = 0; i < slowHashes.size(); i++) {
        long long n = std::stoll(slowHashes[i]);
        std::string scene;
        for (const TraceEvent* e : slow.Frames())
            if (e->n == n) scene = e->scene;
        if (slowHashes[i] == fullHashes[i]) continue;
        differing++;
        EXPECT_TRUE(scene == "play" || scene == "clear-curtain" || scene == "results") << n << " " << scene;
    }
    EXPECT_GT(differing, 500u);
    // Nothing is kept of it: no best time, no recording.
    EXPECT_TRUE(KeptFiles().empty()) << KeptFiles().front();
}

TEST_F(Assists, ASpeedChangedFromThePauseMakesTheRestOfTheRunAssisted)
{
    // Stage 1 flown to its goal (five columns right of the start, the beam
    // fired to the left) after a pause whose settings set the speed to 90 %:
    // GAME SPEED is the sixth row, left once. (A run ended with E is never
    // kept, assisted or not, so the goal is reached in play.)
    WriteGoalStage();
    const std::string toPlay = "dialog no\n0 mouse 300 580\n0 down lmb\n1 up lmb\n";
    const std::string toGoal = "mouse 100 360\n";
    std::string script = toPlay + "300 down p\n301 up p\n"
                                  "310 down down\n311 up down\n312 down down\n313 up down\n"
                                  "314 down down\n315 up down\n320 down enter\n321 up enter\n";
    for (int i = 0; i < 5; i++)
        script += std::to_string(330 + 2 * i) + " down down\n" + std::to_string(331 + 2 * i) + " up down\n";
    script += "350 down left\n351 up left\n360 down esc\n361 up esc\n370 down esc\n371 up esc\n"
              "400 " + toGoal + "400 down lmb\n";
    GameRun run = PlayWith("effects_volume = 100\n", script, 520);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    ASSERT_FALSE(run.Frames("results").empty());
    EXPECT_NE(ReadText(SettingsFile()).find("game_speed = 90"), std::string::npos);
    EXPECT_TRUE(KeptFiles().empty()) << KeptFiles().front();
    // Set back to full speed, the next run is ranked again.
    std::string back = toPlay + "300 " + toGoal + "300 down lmb\n";
    ForgetBestTimes();
    run = PlayWith("game_speed = 100\n", back, 420);
    ASSERT_FALSE(run.Frames("results").empty());
    EXPECT_FALSE(KeptFiles().empty());
}

TEST_F(Assists, LosingTheFocusPausesAsPDoesOncePerLossAndOnlyWhenAsked)
{
    const std::string toPlay = "dialog no\n0 mouse 300 580\n0 down lmb\n1 up lmb\n290 mouse 100 100\n";
    GameRun byKey = PlayWith("", toPlay + "300 down p\n301 up p\n", 330);
    GameRun byFocus = PlayWith("pause_on_focus_loss = on\n", toPlay + "300 focus out\n", 330);
    ASSERT_FALSE(byKey.Frames("pause").empty());
    ASSERT_FALSE(byFocus.Frames("pause").empty());
    EXPECT_EQ(FrameLines(byFocus), FrameLines(byKey));
    // Off (as without a settings file), a loss pauses nothing.
    GameRun off = PlayWith("", toPlay + "300 focus out\n", 330);
    EXPECT_TRUE(off.Frames("pause").empty());
    // Resumed while still away, play goes on; the next loss pauses again.
    GameRun again = PlayWith("pause_on_focus_loss = on\n",
                             toPlay + "300 focus out\n310 down p\n311 up p\n"
                                      "330 focus in\n340 focus out\n",
                             360);
    std::vector<SceneRun> runs = SceneRuns(again);
    SCOPED_TRACE(Describe(runs));
    ASSERT_GE(runs.size(), 7u);
    EXPECT_EQ(runs[3].scene, "play");
    EXPECT_EQ(runs[4].scene, "pause");
    EXPECT_EQ(runs[5].scene, "play");
    EXPECT_EQ(runs[6].scene, "pause");
    // A loss over before the next frame looked still counts.
    GameRun brief = PlayWith("pause_on_focus_loss = on\n", toPlay + "300 focus out\n300 focus in\n", 330);
    EXPECT_EQ(FrameLines(brief), FrameLines(byKey));
}

TEST_F(Assists, ARunWithVsyncOnIsTheSameRunAndItsRecordingVerifies)
{
    GameRun run = PlayWith("vsync = on\n", ReplayScript("stage1.txt"), 4000);
    bool traced = false;
    for (const TraceEvent& e : run.events)
        if (e.ev == "vsync") traced = e.line.find("\"on\":true") != std::string::npos;
    EXPECT_TRUE(traced);
    ASSERT_TRUE(fs::exists(folder + "/txt/stage1-rank1.replay"));
    std::string command = "'" + HARNESS + "' --dir '" + folder + "' --verify '" + folder +
                          "/txt/stage1-rank1.replay' >/dev/null 2>&1";
    int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // Without a settings file vsync is never traced: a default run's trace
    // is as it always was.
    run = PlayWith("", "dialog no\n", 5);
    for (const TraceEvent& e : run.events) EXPECT_NE(e.ev, "vsync");
}

TEST_F(Assists, ReducedFlashingChangesWhatIsDrawnButNotThePlay)
{
    const std::string script = ReplayScript("stage3.txt");
    GameRun plain = PlayWith("", script, 8000);
    std::vector<std::string> plainHashes = HashLines(folder + "/hashes.txt");
    ForgetBestTimes();
    GameRun steady = PlayWith("reduced_flashing = on\n", script, 8000);
    std::vector<std::string> steadyHashes = HashLines(folder + "/hashes.txt");
    ASSERT_FALSE(plain.Frames("results").empty());
    EXPECT_EQ(FrameLines(steady), FrameLines(plain));
    ASSERT_EQ(steadyHashes.size(), plainHashes.size());
    size_t differing = 0;
    for (size_t i = 0; i < steadyHashes.size(); i++) differing += steadyHashes[i] != plainHashes[i];
    EXPECT_GT(differing, 100u);  // the bees' wings, the character standing still
    EXPECT_FALSE(KeptFiles().empty());  // a steadier picture is no assist
}
