// Whole-game runs of the play scene through the headless harness, on small
// stages of the test's own: a death and its curtain, the respawn at the last
// checkpoint with the bees back at their nests; key E and the clear curtain,
// the run it ends skipped; R and the retry's beat;
// Escape, the leaving curtain and the way back to the title; a missing stage file.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>
#include "game/play_state.h"
#include "tests/harness_run.h"
#include "tests/test_play_autopilot.h"

namespace fs = std::filesystem;

namespace {

struct Frame {
    int n = -1;
    std::string scene;
    int sceneId = 0;
    std::string line;
};

std::string Field(const std::string& line, const std::string& name)
{
    std::smatch m;
    std::regex pattern("\"" + name + "\":(\"[^\"]*\"|\\[\\[.*?\\]\\]|\\[\\]|[-0-9.e+]+)");
    if (!std::regex_search(line, m, pattern)) return "";
    std::string value = m[1];
    if (!value.empty() && value[0] == '"') value = value.substr(1, value.size() - 2);
    return value;
}

double Number(const Frame& f, const std::string& name) { return std::stod(Field(f.line, name)); }

// The bee records of a play frame: x, y, state for each.
std::vector<std::vector<int>> Bees(const Frame& f)
{
    std::vector<std::vector<int>> bees;
    std::string list = Field(f.line, "bees");
    std::regex record("\\[(-?\\d+),(-?\\d+),(-?\\d+)\\]");
    for (std::sregex_iterator it(list.begin(), list.end(), record), end; it != end; ++it)
        bees.push_back({std::stoi((*it)[1]), std::stoi((*it)[2]), std::stoi((*it)[3])});
    return bees;
}

// A data folder with the built pictures and sounds and the test's stage 1.
class PlayRuns : public ::testing::Test {
protected:
    fs::path dir;
    std::vector<Frame> frames;
    std::vector<std::string> events;
    std::vector<harness::Event> trace;  // every line, in order
    int exitCode = -1;

    void SetUp() override
    {
        fs::path data = harness::DATA;
        if (!harness::HarnessBuilt()) GTEST_SKIP() << "needs the headless game and build/data";
        dir = fs::temp_directory_path() / ("play-runs-" + std::to_string(getpid()));
        fs::create_directories(dir / "txt");
        for (const char* sub : {"bmp", "se", "fonts"})
            if (fs::exists(data / sub)) fs::create_directory_symlink(data / sub, dir / sub);
        fs::copy_file(data / "txt" / "scoretime.txt", dir / "txt" / "scoretime.txt");
    }
    void TearDown() override
    {
        if (!dir.empty()) fs::remove_all(dir);
    }

    // Rows 0..39 of codes, all 0 but the border and the floor below the start
    // (row 33); cells listed as {row, col, code} are set on top.
    void WriteStage(int stage, std::vector<std::vector<int>> cells)
    {
        std::ofstream file(dir / "txt" / ("dw_stage" + std::to_string(stage) + ".txt"));
        int grid[40][200] = {};
        for (int r = 0; r < 40; ++r)
            for (int c = 0; c < 200; ++c)
                grid[r][c] = (r == 0 || r == 39 || c == 0 || c == 199 || r >= 33) ? 1 : 0;
        for (auto& cell : cells) grid[cell[0]][cell[1]] = cell[2];
        for (auto& row : grid) {
            for (int v : row) file << v << ' ';
            file << '\n';
        }
    }

    // Starts the game: No to the full-screen question, START on the title,
    // then the play lines with frames counted from the first play frame.
    void Run(const std::string& playScript, int playFrames, const std::string& options = "")
    {
        int firstPlay = FirstPlayFrame();
        ASSERT_GT(firstPlay, 0);
        std::string script = "dialog no\n0 mouse 300 560\n5 down lmb\n6 up lmb\n";
        std::istringstream lines(playScript);
        for (std::string line; std::getline(lines, line);) {
            int n = 0;
            char rest[128] = "";
            if (sscanf(line.c_str(), "%d %127[^\n]", &n, rest) == 2)
                script += std::to_string(firstPlay + n) + " " + rest + "\n";
        }
        Launch(script, firstPlay + playFrames, options);
    }

    // The title and its countdown take the same frames in every run.
    int FirstPlayFrame()
    {
        static int known = -1;
        if (known > 0) return known;
        Launch("dialog no\n0 mouse 300 560\n5 down lmb\n6 up lmb\n", 400);
        for (auto& f : frames)
            if (f.scene == "play") return known = f.n;
        return -1;
    }

    void Launch(const std::string& script, int maxFrames, const std::string& options = "")
    {
        harness::GameRun run = harness::RunGame(dir.string(), script, maxFrames, "", options);
        exitCode = run.status;
        trace = run.events;
        frames.clear();
        events.clear();
        for (const harness::Event& e : run.events) {
            if (e.ev == "frame")
                frames.push_back(Frame{(int)e.n, e.scene, e.sceneId, e.line});
            else
                events.push_back(e.line);
        }
    }

    // Index into frames of the first frame of a scene at or after index from.
    size_t Find(const std::string& scene, size_t from = 0)
    {
        for (size_t i = from; i < frames.size(); ++i)
            if (frames[i].scene == scene) return i;
        return frames.size();
    }
    // The recordings kept beside the score file.
    std::vector<std::string> Recordings()
    {
        std::vector<std::string> kept;
        for (const auto& entry : fs::directory_iterator(dir / "txt"))
            if (entry.path().extension() == ".replay") kept.push_back(entry.path().string());
        return kept;
    }
    static std::string ShotName(int n)
    {
        char name[32];
        snprintf(name, sizeof name, "frame-%06d.png", n);
        return name;
    }
    // Pixels of SKIPPED's fill colour where the results screen says it.
    static int SkippedPixels(const fs::path& shot)
    {
        int w = 0, h = 0;
        std::vector<uint32_t> pixels = harness::ReadShot(shot.string(), &w, &h);
        EXPECT_EQ(w * h, 1280 * 720) << shot;
        int count = 0;
        for (int y = 400; y < 490 && y < h; y++)
            for (int x = 240; x < 640 && x < w; x++) count += pixels[y * w + x] == 0xFFDC64;
        return count;
    }
    int CountRun(size_t from, const std::string& scene)
    {
        int count = 0;
        while (from + count < frames.size() && frames[from + count].scene == scene) ++count;
        return count;
    }
};

TEST_F(PlayRuns, EachDeathRumblesThePadOnceAndNothingElseDoes)
{
    WriteStage(1, {{33, 10, 4}, {32, 15, 5}, {31, 15, 5}});
    Run("0 pad connect\n10 mouse 100 360\n10 down lmb\n", 200);
    size_t death = Find("death-curtain");
    ASSERT_LT(death, frames.size());
    int rumbles = 0;
    for (const std::string& e : events)
        if (e.find("\"ev\":\"rumble\"") != std::string::npos) {
            rumbles++;
            EXPECT_NE(e.find("\"strength\":70,\"ms\":350"), std::string::npos) << e;
        }
    int deaths = 0;
    for (size_t i = 1; i < frames.size(); i++)
        deaths += frames[i].scene == "death-curtain" && frames[i - 1].scene == "play";
    EXPECT_GE(deaths, 1);
    EXPECT_EQ(rumbles, deaths);
}

TEST_F(PlayRuns, ADeathRunsTheCurtainAndRespawnsAtTheCheckpointWithTheBeesHome)
{
    // Checkpoint under the start, spikes four columns right, a nest in view.
    WriteStage(1, {{33, 10, 4}, {32, 15, 5}, {31, 15, 5}, {26, 20, 3}});
    // Stand a moment (the checkpoint is found), then fly right into the spikes.
    Run("10 mouse 100 360\n10 down lmb\n", 200);
    size_t death = Find("death-curtain");
    ASSERT_LT(death, frames.size());
    const Frame& dying = frames[death - 1];
    EXPECT_EQ(dying.scene, "play");
    EXPECT_EQ(dying.sceneId, 1);
    // The last sub-step with the foot centre over the checkpoint (x 640..703),
    // two pixels below the start after the first fall.
    EXPECT_EQ(Number(dying, "respawnX"), 63);
    EXPECT_EQ(Number(dying, "respawnY"), 1702);
    auto beesBefore = Bees(dying);
    ASSERT_EQ(beesBefore.size(), 1u);
    EXPECT_EQ(beesBefore[0][2], 1);
    EXPECT_GT(std::abs(beesBefore[0][0] - 20 * 64) + std::abs(beesBefore[0][1] - 26 * 64), 20);

    EXPECT_EQ(CountRun(death, "death-curtain"), 47);
    // The respawn comes on the 24th curtain frame, the one of picture 1.
    for (int i = 0; i < 47; ++i)
        EXPECT_EQ(frames[death + i].sceneId, i < 23 ? 1 : 0) << "curtain frame " << i;
    const Frame& back = frames[death + 47];
    EXPECT_EQ(back.scene, "play");
    EXPECT_EQ(back.n, dying.n + 48);
    // The first frame after the respawn: the camera at the checkpoint (the
    // left button still held, but the recoil was reset), the bee home again.
    EXPECT_EQ(Number(back, "camX"), 63);
    EXPECT_EQ(Number(back, "camY"), 1702);
    EXPECT_EQ(Number(back, "fallSpeed"), 0);
    auto beesAfter = Bees(back);
    ASSERT_EQ(beesAfter.size(), 1u);
    EXPECT_LE(std::abs(beesAfter[0][0] - 20 * 64) + std::abs(beesAfter[0][1] - 26 * 64), 4);
    // The clock went on through the curtain.
    EXPECT_EQ(Number(back, "clockMs") - Number(dying, "clockMs"), 48 * 16);
}

// Each feedback sound as "path@frame": the frame line that follows it in the
// trace is the frame that played it; "stop@frame" for a stop.
std::vector<std::string> FeedbackAt(const std::vector<harness::Event>& trace)
{
    std::vector<std::string> heard, pending;
    for (const harness::Event& e : trace) {
        if (e.ev == "feedback") pending.push_back(e.op == "play" ? e.path : e.op);
        if (e.ev != "frame") continue;
        for (const std::string& p : pending) heard.push_back(p + "@" + std::to_string(e.n));
        pending.clear();
    }
    return heard;
}

// The sound and music lines and the frames, all but the feedback's.
std::vector<std::string> AllButFeedback(const std::vector<harness::Event>& trace)
{
    std::vector<std::string> lines;
    for (const harness::Event& e : trace)
        if (e.ev != "feedback") lines.push_back(e.line);
    return lines;
}

// A crystal taken sounds in the frame the respawn point first lands on it,
// once: standing on it again after a death is silent. Each death sounds in
// the frame that decides it, the goal in the frame that touches it; the shot's
// sound lines and every frame stay exactly as without them, and the setting
// silences all three.
TEST_F(PlayRuns, TheBigMomentsSoundOnceEachOnTheFeedbackPathUnlessTurnedOff)
{
    // A two-cell crystal under the start, spikes four columns right.
    WriteStage(1, {{33, 10, 4}, {33, 11, 4}, {32, 15, 5}, {31, 15, 5}});
    Run("10 mouse 100 360\n10 down lmb\n", 200);
    std::vector<std::string> heard = FeedbackAt(trace);
    std::vector<std::string> want;
    int respawnY = (int)START_CAM_Y;
    for (size_t i = 0; i < frames.size(); i++) {
        if (frames[i].scene != "play") continue;
        int y = (int)Number(frames[i], "respawnY");
        if (y != respawnY && want.empty())
            want.push_back("./se/checkpoint.wav@" + std::to_string(frames[i].n));
        respawnY = y;
        if (frames[i].sceneId == 1) want.push_back("./se/death.wav@" + std::to_string(frames[i].n));
    }
    ASSERT_GE(want.size(), 3u) << "a crystal taken and two deaths at least";
    EXPECT_EQ(heard, want);
    std::vector<std::string> withSounds = AllButFeedback(trace);

    std::ofstream(dir / "off.ini") << "feedback_sounds = off\n";
    Run("10 mouse 100 360\n10 down lmb\n", 200, "--settings '" + (dir / "off.ini").string() + "'");
    EXPECT_TRUE(FeedbackAt(trace).empty());
    EXPECT_EQ(AllButFeedback(trace), withSounds);

    // The goal where the character stands: touched in the first play frame.
    WriteStage(1, {{32, 10, 11}});
    Run("", 40);
    size_t curtain = Find("clear-curtain");
    ASSERT_LT(curtain, frames.size());
    EXPECT_EQ(FeedbackAt(trace), std::vector<std::string>{"./se/goal.wav@" + std::to_string(frames[curtain - 1].n)});
    Run("", 40, "--settings '" + (dir / "off.ini").string() + "'");
    EXPECT_TRUE(FeedbackAt(trace).empty());
}

// A feedback sound still ringing stops when play pauses or leaves for the
// title, before the menus' clicks could sound over it; with none started,
// nothing is stopped.
TEST_F(PlayRuns, AFeedbackSoundStopsWithThePauseAndTheWayToTheTitle)
{
    WriteStage(1, {{33, 10, 4}});
    Run("20 down p\n21 up p\n40 down esc\n41 up esc\n60 down esc\n61 up esc\n", 120);
    std::vector<std::string> heard = FeedbackAt(trace);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].rfind("./se/checkpoint.wav@", 0), 0u) << heard[0];
    size_t pause = Find("pause");
    ASSERT_LT(pause, frames.size());
    EXPECT_EQ(heard[1], "stop@" + std::to_string(frames[pause].n));
    WriteStage(1, {});
    Run("20 down esc\n21 up esc\n", 80);
    EXPECT_TRUE(FeedbackAt(trace).empty());
}

// E ends the stage at once, through the clear curtain to the results, but the
// run was never played to the goal: the results say SKIPPED, and the score
// file and the recordings are left as they were. A run that reaches the goal
// is kept, and says nothing of the kind.
TEST_F(PlayRuns, KeyEClearsTheStageButTheRunIsSkippedNotKept)
{
    WriteStage(1, {});
    WriteStage(2, {});
    std::string table = harness::ReadText((dir / "txt" / "scoretime.txt").string());
    int skippedShot = FirstPlayFrame() + 80;
    Run("20 down e\n21 up e\n", 81, "--shot-dir '" + (dir / "shots").string() + "' --shot " +
                                        std::to_string(skippedShot));
    size_t curtain = Find("clear-curtain");
    ASSERT_LT(curtain, frames.size());
    EXPECT_EQ(frames[curtain - 1].scene, "play");
    EXPECT_EQ(frames[curtain - 1].sceneId, 3);
    EXPECT_EQ(frames[curtain - 1].n - frames[Find("play")].n, 20);
    EXPECT_EQ(CountRun(curtain, "clear-curtain"), 25);
    EXPECT_EQ(frames[curtain + 25].scene, "results");
    EXPECT_EQ(frames.back().scene, "results");
    EXPECT_EQ(harness::ReadText((dir / "txt" / "scoretime.txt").string()), table);
    EXPECT_TRUE(Recordings().empty());
    EXPECT_GT(SkippedPixels(dir / "shots" / ShotName(skippedShot)), 400);

    // The goal under the start, reached in the first frame: ranked, kept.
    WriteStage(1, {{32, 10, 11}, {31, 10, 11}});
    int clearedShot = FirstPlayFrame() + 60;
    fs::remove_all(dir / "shots");
    Run("", 61, "--shot-dir '" + (dir / "shots").string() + "' --shot " + std::to_string(clearedShot));
    EXPECT_EQ(frames.back().scene, "results");
    EXPECT_NE(harness::ReadText((dir / "txt" / "scoretime.txt").string()), table);
    EXPECT_EQ(Recordings().size(), 1u);
    EXPECT_EQ(SkippedPixels(dir / "shots" / ShotName(clearedShot)), 0);
}

// R starts the stage again: a short beat, then a new run from the start with
// its clock at zero, back in control well within half a second of the press.
// The abandoned run is not kept: the run that reaches the goal afterwards is
// the one ranked, by its own time, and its recording verifies.
TEST_F(PlayRuns, RetryStartsANewRunWithinHalfASecondAndTheAbandonedOneIsNotKept)
{
    // The goal five columns right: firing to the left flies the character there.
    WriteStage(1, {{32, 15, 11}, {31, 15, 11}});
    WriteStage(2, {});
    Run("10 mouse 100 360\n10 down lmb\n14 down r\n15 up r\n", 200);
    size_t first = Find("play");
    size_t beat = Find("retry-beat");
    ASSERT_LT(beat, frames.size());
    const Frame& press = frames[beat - 1];
    EXPECT_EQ(press.scene, "play");
    EXPECT_EQ(press.n - frames[first].n, 14);
    EXPECT_EQ(CountRun(beat, "retry-beat"), 15);
    size_t control = beat + 15;
    ASSERT_LT(control, frames.size());
    EXPECT_EQ(frames[control].scene, "play");
    EXPECT_EQ(Find("death-curtain"), frames.size());
    long long frameCount = frames[control].n - press.n;
    double ms = harness::NumberField(frames[control].line, "t", -1) - harness::NumberField(press.line, "t", -1);
    std::printf("retry: press in frame %d, control again in frame %d: %lld frames, %.0f ms\n", press.n,
                frames[control].n, frameCount, ms);
    EXPECT_LE(frameCount, 31);
    EXPECT_GT(ms, 0);
    EXPECT_LE(ms, 500);
    // The new run's clock starts again, its first frame a whole frame long.
    EXPECT_EQ(Number(frames[control], "clockMs"), Number(frames[first], "clockMs"));
    EXPECT_EQ(Number(frames[control], "respawnX"), Number(frames[first], "respawnX"));

    size_t cleared = Find("clear-curtain", control);
    ASSERT_LT(cleared, frames.size());
    EXPECT_EQ(Find("retry-beat", control), frames.size());
    // The kept time: the last play frame's clock and the curtain's frames.
    double kept = Number(frames[cleared - 1], "clockMs") + 16.0 * 25;
    std::string table = harness::ReadText((dir / "txt" / "scoretime.txt").string());
    int best = 0;
    ASSERT_EQ(sscanf(table.c_str(), "%d", &best), 1) << table;
    EXPECT_EQ(best, kept) << table;
    std::vector<std::string> kept1 = Recordings();
    ASSERT_EQ(kept1.size(), 1u);
    std::string said = (dir / "verify.txt").string();
    int raw = std::system(("'" + harness::HARNESS + "' --dir '" + dir.string() + "' --verify '" + kept1[0] +
                           "' >'" + said + "' 2>&1").c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << harness::ReadText(said);

    // Retried and then left with Escape: nothing at all is kept.
    fs::remove(kept1[0]);
    fs::copy_file(fs::path(harness::DATA) / "txt" / "scoretime.txt", dir / "txt" / "scoretime.txt",
                  fs::copy_options::overwrite_existing);
    Run("10 mouse 100 360\n10 down lmb\n14 down r\n15 up r\n20 down esc\n21 up esc\n", 80);
    EXPECT_LT(Find("retry-beat"), frames.size());
    EXPECT_EQ(Find("results"), frames.size());
    EXPECT_EQ(harness::ReadText((dir / "txt" / "scoretime.txt").string()),
              harness::ReadText(harness::DATA + "/txt/scoretime.txt"));
    EXPECT_TRUE(Recordings().empty());
}

// The retry binding counts once for each press, only in play (not in a
// death's curtain), from the pad's Y as from R, and as the settings bind it.
TEST_F(PlayRuns, RetryCountsOncePerPressOnlyInPlayAndAsBound)
{
    auto beats = [&] {
        int count = 0;
        for (size_t i = 1; i < frames.size(); i++)
            count += frames[i].scene == "retry-beat" && frames[i - 1].scene != "retry-beat";
        return count;
    };
    WriteStage(1, {});
    Run("10 down r\n70 up r\n", 100);
    EXPECT_EQ(beats(), 1) << "held through the beat and beyond";
    Run("10 down r\n11 up r\n40 down r\n41 up r\n", 100);
    EXPECT_EQ(beats(), 2);
    Run("0 pad connect\n10 pad down y\n11 pad up y\n", 60);
    EXPECT_EQ(beats(), 1) << "the pad's Y";

    std::string settings = (dir / "settings.ini").string();
    std::ofstream(settings) << "bind_retry = key t\n";
    Run("10 down r\n11 up r\n", 60, "--settings '" + settings + "'");
    EXPECT_EQ(beats(), 0) << "R no longer bound";
    Run("10 down t\n11 up t\n", 60, "--settings '" + settings + "'");
    EXPECT_EQ(beats(), 1) << "T bound instead";

    // Spikes four columns right: a death, and R pressed and let go during
    // its curtain does nothing.
    WriteStage(1, {{32, 14, 5}, {31, 14, 5}});
    Run("1 mouse 100 360\n1 down lmb\n", 200);
    size_t death = Find("death-curtain");
    ASSERT_LT(death, frames.size());
    int inCurtain = frames[death + 5].n - frames[Find("play")].n;
    Run("1 mouse 100 360\n1 down lmb\n" + std::to_string(inCurtain) + " down r\n" +
            std::to_string(inCurtain + 1) + " up r\n",
        200);
    EXPECT_EQ(frames[Find("death-curtain") + 5].scene, "death-curtain");
    EXPECT_EQ(beats(), 0);
}

TEST_F(PlayRuns, EscapeLeavesThroughTheCurtainToTheTitleWithTheMusicStopped)
{
    WriteStage(1, {});
    Run("30 down esc\n31 up esc\n", 80);
    size_t curtain = Find("leave-curtain");
    ASSERT_LT(curtain, frames.size());
    EXPECT_EQ(frames[curtain - 1].sceneId, -999);
    EXPECT_EQ(CountRun(curtain, "leave-curtain"), 25);
    EXPECT_EQ(frames[curtain + 25].scene, "title");
    bool stopped = false;
    for (auto& e : events)
        if (e.find("\"ev\":\"music\",\"op\":\"stop\"") != std::string::npos) stopped = true;
    EXPECT_TRUE(stopped);
}

TEST_F(PlayRuns, KeysWinOverADeathInTheSameFrame)
{
    // Spikes where the character stands: the first probe, in frame 1, kills.
    WriteStage(1, {{32, 10, 6}});
    Run("1 down esc\n", 40);
    size_t first = Find("play");
    ASSERT_LT(first + 2, frames.size());
    EXPECT_EQ(frames[first].sceneId, 0);
    EXPECT_EQ(frames[first + 1].sceneId, -999);
    EXPECT_EQ(frames[first + 2].scene, "leave-curtain");
    EXPECT_EQ(Find("death-curtain"), frames.size());

    Run("1 down e\n2 up e\n", 40);
    first = Find("play");
    ASSERT_LT(first + 2, frames.size());
    EXPECT_EQ(frames[first + 1].sceneId, 3);
    EXPECT_EQ(frames[first + 2].scene, "clear-curtain");
}

// The game, drawing and all, moves the camera exactly as the rules alone do:
// the autopilot's flight through the tunnel stage (bees, spikes, the beam),
// replayed as a script, gives the same camera on every play frame.
TEST_F(PlayRuns, TheGameFollowsTheRulesFrameForFrameThroughAShippedStage)
{
    std::string script;
    autopilot::Flight flight = autopilot::Fly(4, autopilot::ROUTES[3], &script);
    ASSERT_TRUE(flight.cleared);
    fs::copy_file(fs::path(SOURCE_DIR) / "data" / "txt" / "dw_stage4.txt", dir / "txt" / "dw_stage1.txt");
    Run(script, flight.frames + 30);
    size_t first = Find("play");
    ASSERT_LT(first, frames.size());
    int base = frames[first].n;
    int compared = 0;
    for (size_t i = first; i < frames.size() && frames[i].scene == "play"; ++i) {
        int n = frames[i].n - base;
        ASSERT_LT(n, (int)flight.track.size());
        EXPECT_EQ((float)Number(frames[i], "camX"), flight.track[n].first) << "frame " << n;
        EXPECT_EQ((float)Number(frames[i], "camY"), flight.track[n].second) << "frame " << n;
        ++compared;
    }
    EXPECT_EQ(compared, flight.frames);
    size_t curtain = Find("clear-curtain");
    ASSERT_LT(curtain, frames.size());
    EXPECT_EQ(frames[curtain].n - base, flight.frames);
}

TEST_F(PlayRuns, AMissingStageFileEndsTheGameWithItsMessageAndStatusZero)
{
    // No stage files at all: the title's load of stage 1 fails.
    Launch("dialog no\n0 mouse 300 560\n5 down lmb\n6 up lmb\n", 400);
    EXPECT_EQ(exitCode, 0);
    bool message = false;
    for (auto& e : events)
        if (e.find("\"ev\":\"stdout\",\"text\":\"ファイルオープンエラー\\n\"") != std::string::npos) message = true;
    EXPECT_TRUE(message);
    for (auto& e : events) EXPECT_EQ(e.find("\"ev\":\"dialog\",\"text\":\"Bitmap"), std::string::npos);
}

}  // namespace
