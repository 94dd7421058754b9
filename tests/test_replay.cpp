// Recordings of runs: their text read strictly, the recordings kept beside
// the score file moving with their times, a recorded run verified (and every
// kind of tampering caught), watched frame for frame as it was played, and
// the ghost drawn only when it is on.
#include "tests/test_bad_input_support.h"

#include <fstream>
#include <map>
#include <regex>

#include <sys/resource.h>

#include "game/recording.h"
#include "game/replay_files.h"
#include "game/score.h"

using namespace badinput;

namespace {

Recording SmallRecording()
{
    Recording r;
    r.stage = 3;
    r.stageHash = 0x0123456789ABCDEFull;
    r.beeSteps = 8;
    r.beamLength = -1;
    r.shotFrames = 90;
    r.cursorSpin = 4;
    r.frames.push_back({false, 16, 700, 300, 1, 0});
    r.frames.push_back({false, 33, -5, 123456789, 3, 2});
    r.frames.push_back({true, 49, 0, 0, 0, 0});
    r.timeMs = 49;
    r.playFrames = 2;
    return r;
}

TEST(RecordingText, ReadsBackWhatItWrites)
{
    Recording r = SmallRecording();
    std::string text = FormatRecording(r);
    Recording back;
    std::string why;
    ASSERT_TRUE(ParseRecording(text.data(), text.size(), &back, &why)) << why << "\n" << text;
    EXPECT_EQ(FormatRecording(back), text);
    EXPECT_EQ(back.stageHash, r.stageHash);
    EXPECT_EQ(back.frames[1].mouseY, 123456789);
    EXPECT_TRUE(back.frames[2].curtain);
    // Windows line ends read the same.
    std::string crlf = std::regex_replace(text, std::regex("\n"), "\r\n");
    ASSERT_TRUE(ParseRecording(crlf.data(), crlf.size(), &back, &why)) << why;
    EXPECT_EQ(FormatRecording(back), text);
}

TEST(RecordingText, AnythingElseIsRefusedWithAReason)
{
    std::string good = FormatRecording(SmallRecording());
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    std::vector<std::string> bad = {
        "",
        "prismveldt-replay 2\n",
        "GIF89a",
        replaced("stage 3", "stage 5"),
        replaced("stage 3", "stage three"),
        replaced("stage-hash 0123456789abcdef", "stage-hash 0123"),
        replaced("rules 1\n", ""),
        replaced("result 49 2", "result 49 3"),   // says three play frames
        replaced("result 49 2", "result -1 2"),
        replaced("p 16 700 300 1 0", "p 16 700 300 7 0"),  // buttons beyond both
        replaced("p 16 700 300 1 0", "p 16 700 300 1"),
        replaced("p 16 700 300 1 0", "p 16 7000000000000 300 1 0"),
        replaced("c 49", "x 49"),
        replaced("end\n", ""),                      // cut short
        good + "p 99 1 1 1 0\n",                    // text after the end
        replaced("p 16", std::string("p 1\0" "6", 4)),
        replaced("stage 3", "stage 3" + std::string(100000, '9')),
    };
    for (const std::string& text : bad) {
        Recording r;
        std::string why;
        EXPECT_FALSE(ParseRecording(text.data(), text.size(), &r, &why)) << text.substr(0, 80);
        EXPECT_FALSE(why.empty());
        EXPECT_LT(why.size(), 200u);
    }
}

// A folder for the score file and its recordings.
struct ScoreFolder {
    ScoreFolder()
    {
        char pattern[] = "/tmp/prismveldt-replays-XXXXXX";
        if (mkdtemp(pattern)) path = pattern;
        scores = path + "/scoretime.txt";
        std::string text;
        for (int k = 0; k < 20; k++) text += " 5999999";
        std::ofstream(scores) << text;
    }
    ~ScoreFolder() { fs::remove_all(path); }
    // The time each rank's recording of stage 1 holds, 0 for none.
    std::vector<uint32_t> KeptTimes()
    {
        std::vector<uint32_t> times;
        for (int rank = 1; rank <= 5; rank++) {
            Recording r;
            times.push_back(ReadRecordingFile(RecordingPath(scores.c_str(), 1, rank).c_str(), &r, nullptr)
                                ? r.timeMs
                                : 0);
        }
        return times;
    }
    std::string path, scores;
};

TEST(KeptRecordings, MoveAlongWithTheirTimesAndDropOutWithThem)
{
    ScoreFolder folder;
    auto enter = [&](uint32_t time) {
        Recording r = SmallRecording();
        r.stage = 1;
        r.timeMs = time;
        EnterRunTime(folder.scores.c_str(), time, 1, &r);
    };
    enter(500);
    enter(300);
    enter(400);
    EXPECT_EQ(folder.KeptTimes(), (std::vector<uint32_t>{300, 400, 500, 0, 0}));
    enter(100);
    enter(600);
    EXPECT_EQ(folder.KeptTimes(), (std::vector<uint32_t>{100, 300, 400, 500, 600}));
    enter(350);  // the 600 drops out
    EXPECT_EQ(folder.KeptTimes(), (std::vector<uint32_t>{100, 300, 350, 400, 500}));
    enter(900);  // too slow: nothing moves
    EXPECT_EQ(folder.KeptTimes(), (std::vector<uint32_t>{100, 300, 350, 400, 500}));
    // A time that came without a recording leaves a gap that moves with it.
    EnterRunTime(folder.scores.c_str(), 200, 1);
    EXPECT_EQ(folder.KeptTimes(), (std::vector<uint32_t>{100, 0, 300, 350, 400}));
}

TEST(KeptRecordings, ARecordingThatCannotBeWrittenCostsOnlyItself)
{
    // Files may not grow past 200 bytes: the table (160) is saved, the
    // recording (longer) is not, and the game goes on.
    ScoreFolder folder;
    pid_t child = fork();
    if (child == 0) {
        struct rlimit limit = {200, 200};
        setrlimit(RLIMIT_FSIZE, &limit);
        Recording r = SmallRecording();
        r.stage = 1;
        for (int k = 0; k < 30; k++) r.frames.push_back({true, 100u + 16u * k, 0, 0, 0, 0});
        testing::internal::CaptureStderr();
        RunEntry entry = EnterRunTime(folder.scores.c_str(), 777, 1, &r);
        std::string err = testing::internal::GetCapturedStderr();
        bool ok = entry.fileWritten && entry.table.times[0][0] == 777 &&
                  err.find("recording") != std::string::npos &&
                  !fs::exists(RecordingPath(folder.scores.c_str(), 1, 1));
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << (WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status)) : "status " + std::to_string(WEXITSTATUS(status)));
    EXPECT_NE(ReadText(folder.scores).find(" 777 "), std::string::npos);
    for (const auto& entry : fs::directory_iterator(folder.path))
        EXPECT_EQ(entry.path().filename().string().find(".saving-"), std::string::npos);
}

// ---- through the real game ----

class Replays : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HarnessBuilt()) GTEST_SKIP() << "needs " << HARNESS << " and " << DATA;
        // A fresh table, so that every cleared stage enters it.
        std::string text;
        for (int k = 0; k < 20; k++) text += " 5999999";
        folder.Write("txt/scoretime.txt", text);
    }
    std::string Script(const std::string& name)
    {
        return ReadText(std::string(SOURCE_DIR) + "/tests/replays/" + name);
    }
    std::string Kept(int stage, int rank = 1) { return folder.path + "/txt/stage" + std::to_string(stage) + "-rank" + std::to_string(rank) + ".replay"; }
    // --verify on a recording; the exit status and what it said.
    int Verify(const std::string& file, std::string* said)
    {
        std::string out = folder.path + "/verify.txt";
        std::string command = "'" + HARNESS + "' --dir '" + folder.path + "' --verify '" + file + "' >'" +
                              out + "' 2>&1";
        int raw = std::system(command.c_str());
        *said = ReadText(out);
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    GameFolder folder;
};

TEST_F(Replays, AClearedStageIsKeptAndVerifiesAtItsTime)
{
    GameRun run = folder.Play(Script("stage2.txt"), 30000);
    ASSERT_EQ(run.status, 1) << run.output;
    Recording r;
    std::string why;
    ASSERT_TRUE(ReadRecordingFile(Kept(2).c_str(), &r, &why)) << why;
    // Stage 1 was skipped with E: kept, but no true time.
    ASSERT_TRUE(fs::exists(Kept(1)));
    std::string said;
    EXPECT_EQ(Verify(Kept(2), &said), 0) << said;
    TimeText shown = FormatRunTime(r.timeMs);
    EXPECT_NE(said.find(std::string("stage 2 in ") + shown.clock + shown.fraction), std::string::npos) << said;
    // The time verified is the one in the table.
    std::string scores = ReadText(folder.path + "/txt/scoretime.txt");
    EXPECT_NE(scores.find(" " + std::to_string(r.timeMs) + " "), std::string::npos) << scores;
    EXPECT_NE(Verify(Kept(1), &said), 0);
    EXPECT_NE(said.find("key E"), std::string::npos) << said;
}

TEST_F(Replays, EveryKindOfTamperingIsCaught)
{
    ASSERT_EQ(folder.Play(Script("stage1.txt"), 30000).status, 1);
    std::string good = ReadText(Kept(1));
    ASSERT_FALSE(good.empty());
    std::string said;
    ASSERT_EQ(Verify(Kept(1), &said), 0) << said;
    std::string file = folder.path + "/tampered.replay";
    auto check = [&](const std::string& text, const std::string& reason) {
        SCOPED_TRACE(reason);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
        EXPECT_EQ(Verify(file, &said), 1) << said;
        EXPECT_NE(said.find(reason), std::string::npos) << said;
    };
    // The pointer moved on some frames: the flight goes elsewhere.
    std::string moved = std::regex_replace(good, std::regex(" 490 620 "), " 100 100 ");
    ASSERT_NE(moved, good);
    check(moved, "does not verify");
    // Another game's rules.
    check(std::regex_replace(good, std::regex("\nrules 1\n"), "\nrules 2\n"), "other rules");
    // A faster clock: one frame sooner after the one before than the game allows.
    std::smatch m;
    ASSERT_TRUE(std::regex_search(good, m, std::regex("\np 48 ")));
    check(std::regex_replace(good, std::regex("\np 48 "), "\np 40 "), "sooner");
    // A claimed time that is not the one played.
    std::string claimed = good;
    size_t at = claimed.find("result ");
    claimed.replace(at, claimed.find(' ', at + 7) - at, "result 100");
    check(claimed, "not the recorded");
    // The run cut before the goal (with its header made to fit).
    std::vector<std::string> lines;
    std::istringstream in(good);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::string cut;
    int plays = 0;
    for (size_t i = 0; i + 60 < lines.size(); i++) {
        if (lines[i].rfind("p ", 0) == 0) plays++;
        cut += lines[i] + "\n";
    }
    cut += "end\n";
    cut = std::regex_replace(cut, std::regex("\nresult (\\d+) \\d+\n"),
                             "\nresult $1 " + std::to_string(plays) + "\n");
    check(cut, "never reach the goal");
    // The stage file here is not the one it was played on.
    std::string stage = ReadText(folder.path + "/txt/dw_stage1.txt");
    folder.Write("txt/dw_stage1.txt", "1 " + stage);
    check(good, "another stage file");
    folder.Write("txt/dw_stage1.txt", stage);
    // Not a recording at all.
    check("junk\n", "not a recording");
}

// The hashes of the frames a run presented, by frame number.
std::map<long long, std::string> Hashes(const std::string& path)
{
    std::map<long long, std::string> hashes;
    std::ifstream in(path);
    long long n;
    int w, h;
    std::string hash;
    while (in >> n >> w >> h >> hash) hashes[n] = hash;
    return hashes;
}

TEST_F(Replays, WatchingARecordingShowsTheFramesTheRunShowed)
{
    std::string played = folder.path + "/played.hashes", watched = folder.path + "/watched.hashes";
    GameRun run = folder.Play(Script("stage1.txt"), 30000, "", "--frame-hashes '" + played + "'");
    ASSERT_EQ(run.status, 1);
    std::string command = "'" + HARNESS + "' --dir '" + folder.path + "' --replay '" + Kept(1) +
                          "' --frame-hashes '" + watched + "' --max-frames 1300 >/dev/null 2>&1";
    std::system(command.c_str());
    std::map<long long, std::string> playedHashes = Hashes(played), watchedHashes = Hashes(watched);
    // The run's own frames in order: play and curtains of stage 1. The goal's
    // play frame was never shown by the game; the viewer shows it.
    long long viewerFrame = 0, compared = 0;
    for (const Event& e : run.events) {
        if (e.ev != "frame" || e.stageNo != 1) continue;
        if (e.scene != "play" && e.scene != "death-curtain" && e.scene != "clear-curtain") continue;
        long long mine = viewerFrame++;
        if (!playedHashes.count(e.n)) continue;  // the goal's frame
        ASSERT_TRUE(watchedHashes.count(mine)) << mine;
        EXPECT_EQ(watchedHashes[mine], playedHashes[e.n]) << "run frame " << e.n << ", viewer frame " << mine;
        compared++;
        if (HasFailure()) break;
    }
    EXPECT_GT(compared, 900);
    // After the last frame the viewer says so.
    ASSERT_TRUE(watchedHashes.count(viewerFrame + 5));
    EXPECT_NE(watchedHashes[viewerFrame + 5], watchedHashes[viewerFrame - 1]);
}

TEST_F(Replays, TheGhostIsDrawnOnlyWhenItIsOn)
{
    // A best run to race, then the same stage again a little later.
    ASSERT_EQ(folder.Play(Script("stage1.txt"), 30000).status, 1);
    std::string late;
    std::istringstream in(Script("stage1.txt"));
    for (std::string line; std::getline(in, line);) {
        long long frame;
        char rest[128];
        if (sscanf(line.c_str(), "%lld %127[^\n]", &frame, rest) == 2 && frame > 300 && frame < 1150)
            line = std::to_string(frame + 40) + " " + rest;
        late += line + "\n";
    }
    auto hashesWith = [&](const char* ghost) {
        if (ghost) folder.Write("txt/ghost.txt", ghost); else fs::remove(folder.path + "/txt/ghost.txt");
        std::string out = folder.path + "/ghost.hashes";
        folder.Play(late, 700, "", "--frame-hashes '" + out + "'");
        return Hashes(out);
    };
    std::map<long long, std::string> none = hashesWith(nullptr), off = hashesWith("off\n"),
                                     on = hashesWith("on\n");
    EXPECT_EQ(off, none);
    int differ = 0;
    for (auto& [frame, hash] : on) differ += none.count(frame) && none[frame] != hash;
    EXPECT_GT(differ, 100);
    // G turns it on in the middle of a stage, and the choice is kept.
    fs::remove(folder.path + "/txt/ghost.txt");
    folder.Play(late + "400 down g\n401 up g\n", 500);
    EXPECT_EQ(ReadText(folder.path + "/txt/ghost.txt"), "on\n");
}

}  // namespace
