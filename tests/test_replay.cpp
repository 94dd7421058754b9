// Recordings of runs: their text read strictly, the recordings kept beside
// the score file moving with their times, a recorded run verified (and every
// kind of tampering caught), watched frame for frame as it was played, and
// the ghost drawn only when it is on.
#include "tests/test_bad_input_support.h"

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include <sys/resource.h>

#include "game/best_game.h"
#include "game/recording.h"
#include "game/replay_files.h"
#include "game/verify.h"
#include "game/score.h"
#include "game/stage_pack.h"

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
    r.frames.push_back({false, 33, -5, 999999, 3, 2});
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
    EXPECT_EQ(back.frames[1].mouseY, 999999);
    EXPECT_TRUE(back.frames[2].curtain);
    // Windows line ends read the same.
    std::string crlf = std::regex_replace(text, std::regex("\n"), "\r\n");
    ASSERT_TRUE(ParseRecording(crlf.data(), crlf.size(), &back, &why)) << why;
    EXPECT_EQ(FormatRecording(back), text);
    // A shipped stage's run is format 1 as ever; a custom stage's is format
    // 2, the same lines, read back as custom and never verified on a shipped
    // stage of its number.
    EXPECT_EQ(text.rfind("prismveldt-replay 1\nstage 3\n", 0), 0u);
    EXPECT_FALSE(back.custom);
    r.custom = true;
    text = FormatRecording(r);
    EXPECT_EQ(text.rfind("prismveldt-replay 2\nstage 3\n", 0), 0u);
    ASSERT_TRUE(ParseRecording(text.data(), text.size(), &back, &why)) << why;
    EXPECT_TRUE(back.custom);
    EXPECT_EQ(FormatRecording(back), text);
    EXPECT_FALSE(VerifyRecording(back, &why));
    EXPECT_EQ(why.find("it is a run of a custom stage (stage-hash 0123456789abcdef)"), 0u) << why;
    // A custom stage's place may be any a pack holds; a shipped stage's is 1..4.
    for (auto [format, stage, reads] : {std::tuple{2, PACK_MOST_STAGES, true}, {2, PACK_MOST_STAGES + 1, false},
                                        {1, 4, true}, {1, 5, false}, {2, 0, false}}) {
        std::string head = "prismveldt-replay " + std::to_string(format) + "\nstage " + std::to_string(stage) + "\n";
        std::string made = head + text.substr(text.find("stage-hash"));
        EXPECT_EQ(ParseRecording(made.data(), made.size(), &back, &why), reads) << head;
    }
}

TEST(RecordingText, PausesAreKeptAfterThePlayFramesTheyFollow)
{
    Recording r = SmallRecording();
    r.pauses = {{1, 5230}, {2, 0}};
    std::string text = FormatRecording(r);
    EXPECT_NE(text.find("p 16 700 300 1 0\npause 5230\np 33 -5 999999 3 2\npause 0\nc 49\n"),
              std::string::npos)
        << text;
    Recording back;
    std::string why;
    ASSERT_TRUE(ParseRecording(text.data(), text.size(), &back, &why)) << why;
    ASSERT_EQ(back.pauses.size(), 2u);
    EXPECT_EQ(back.pauses[0].afterFrames, 1u);
    EXPECT_EQ(back.pauses[0].wallMs, 5230u);
    EXPECT_EQ(back.pauses[1].afterFrames, 2u);
    EXPECT_EQ(FormatRecording(back), text);
    // Only after a play frame, once, with a length the clocks can hold.
    auto refused = [&](const std::string& from, const std::string& to) {
        std::string bad = text;
        bad.replace(bad.find(from), from.size(), to);
        Recording out;
        EXPECT_FALSE(ParseRecording(bad.data(), bad.size(), &out, &why)) << bad;
        EXPECT_NE(why.find("pause"), std::string::npos) << why;
    };
    refused("p 16 700", "pause 1\np 16 700");        // before any frame
    refused("pause 0\n", "pause 0\npause 0\n");     // twice after one frame
    refused("c 49\n", "c 49\npause 10\n");         // after a curtain frame
    refused("pause 5230", "pause 2147483648");
    refused("pause 5230", "pause -1");
    refused("pause 5230", "pause");
    refused("pause 5230", "pause 5 6");
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
        "prismveldt-replay 3\n",
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
        // Every field within what the game can give it, even those that do
        // not change where the run goes.
        replaced("beam -1", "beam 751"),
        replaced("beam -1", "beam -752"),
        replaced("shots 90", "shots 2147483647"),
        replaced("shots 90", "shots -1"),
        replaced("cursor-spin 4", "cursor-spin 722"),
        replaced("cursor-spin 4", "cursor-spin 5"),
        replaced("bee-steps 8", "bee-steps 5"),
        replaced("p 33 -5 999999 3 2", "p 33 -5 999999 3 4"),      // a key no frame reads
        replaced("p 33 -5 999999 3 2", "p 33 -5 1000001 3 2"),     // far off any screen
        replaced("p 33 -5 999999 3 2", "p 33 -2147483648 0 3 2"),
        replaced("c 49", "c 2147483648"),                          // past the table's times
        replaced("result 49 2", "result 2147483648 2"),
        replaced("result 49 2", "result 47 2"),                    // three frames in 47 ms
        good + "\nthe end\n",                                     // text after a blank line
        good + "\n",
        good + " ",
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

// A recording of stage 1 in time ms, told apart from others of that time by
// its shot count.
Recording RunOf(uint32_t time, int mark = 0)
{
    Recording r = SmallRecording();
    r.stage = 1;
    r.timeMs = time;
    r.shotFrames = mark;
    return r;
}

// A run of stage 1 entered with its recording.
RunEntry Enter(const char* scores, uint32_t time, int mark = 0)
{
    Recording r = RunOf(time, mark);
    return EnterRunTime(scores, time, 1, &r);
}

void Keep(const std::string& path, const Recording& r)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << FormatRecording(r);
}

TEST(KeptRecordings, AnEqualTimeRanksAboveAndTakesItsRecordingWithIt)
{
    ScoreFolder folder;
    Enter(folder.scores.c_str(), 300, 1);
    Enter(folder.scores.c_str(), 200, 2);
    Enter(folder.scores.c_str(), 300, 3);  // the new 300 is rank 2, the old one 3
    std::vector<int> marks;
    for (int rank = 1; rank <= 4; rank++) {
        Recording r;
        marks.push_back(ReadRecordingFile(RecordingPath(folder.scores.c_str(), 1, rank).c_str(), &r,
                                          nullptr)
                            ? r.shotFrames
                            : -1);
    }
    EXPECT_EQ(marks, (std::vector<int>{2, 3, 1, -1}));
    EXPECT_EQ(folder.KeptTimes(), (std::vector<uint32_t>{200, 300, 300, 0, 0}));
}

TEST(KeptRecordings, APairIsWhatTheyHoldWhateverTheirNames)
{
    // As a save killed half way leaves them: the table has taken the new
    // 100, the recordings are still under their old ranks, the new one waits.
    ScoreFolder folder;
    const char* scores = folder.scores.c_str();
    std::string text = " 100 200 300 400 500";
    for (int k = 0; k < 15; k++) text += " 5999999";
    std::ofstream(folder.scores, std::ios::trunc) << text;
    ScoreTable table;
    ASSERT_EQ(ReadScoreFile(scores, &table), SCORE_FILE_READ);
    Keep(RecordingPath(scores, 1, 1), RunOf(200));
    Keep(RecordingPath(scores, 1, 2), RunOf(300));
    Keep(RecordingPath(scores, 1, 3), RunOf(400));
    Keep(RecordingPath(scores, 1, 4), RunOf(500));
    Keep(RecordingPath(scores, 1, 5), RunOf(600));  // dropped out of the table
    Keep(PendingRecordingPath(scores, 1), RunOf(100));
    Recording other = RunOf(300);
    other.stage = 2;
    Keep(RecordingPath(scores, 2, 1), other);       // the right time of the wrong stage
    for (int rank = 1; rank <= 5; rank++) {
        Recording r;
        ASSERT_TRUE(FindKeptRecording(scores, table, 1, rank, &r)) << rank;
        EXPECT_EQ(r.timeMs, (uint32_t)table.times[0][rank - 1]);
    }
    Recording r;
    EXPECT_FALSE(FindKeptRecording(scores, table, 2, 1, &r));
    // Tidied, each is under its own rank and nothing else is left.
    TidyKeptRecordings(scores, table, 1);
    TidyKeptRecordings(scores, table, 2);
    EXPECT_EQ(folder.KeptTimes(), (std::vector<uint32_t>{100, 200, 300, 400, 500}));
    EXPECT_FALSE(fs::exists(PendingRecordingPath(scores, 1)));
    EXPECT_FALSE(fs::exists(RecordingPath(scores, 2, 1)));
    // An emptied table pairs with nothing.
    std::ofstream(folder.scores, std::ios::trunc) << "";
    ASSERT_EQ(ReadScoreFile(scores, &table), SCORE_FILE_NEW);
    EXPECT_FALSE(FindKeptRecording(scores, table, 1, 1, &r));
    TidyKeptRecordings(scores, table, 1);
    EXPECT_EQ(folder.KeptTimes(), (std::vector<uint32_t>{0, 0, 0, 0, 0}));
}

TEST(KeptRecordings, NoFileIsReadWholeThatIsLargerThanItsRunCouldBe)
{
    ScoreFolder folder;
    const char* scores = folder.scores.c_str();
    ScoreTable table;
    ASSERT_EQ(ReadScoreFile(scores, &table), SCORE_FILE_READ);
    table.times[0][0] = 15000;
    // A true recording of 15 s, grown far beyond what 15 s of frames take.
    Recording big = RunOf(15000);
    std::string text = FormatRecording(big);
    text.insert(text.find("\nend\n") + 1, std::string(RecordingBytesLimit(15000), ' '));
    std::ofstream(RecordingPath(scores, 1, 1)) << text;
    Recording r;
    std::string why;
    EXPECT_FALSE(FindKeptRecording(scores, table, 1, 1, &r, &why));
    EXPECT_NE(why.find("larger"), std::string::npos) << why;
    EXPECT_LT(RecordingBytesLimit(15000), 100000u);
    Keep(RecordingPath(scores, 1, 1), big);
    EXPECT_TRUE(FindKeptRecording(scores, table, 1, 1, &r, &why)) << why;
}

TEST(KeptRecordings, ALinkInTheFolderIsReplacedNeverWrittenThrough)
{
    // As a folder unpacked from an archive may carry them: links where the
    // game writes, to files that are not the game's.
    ScoreFolder folder;
    const char* scores = folder.scores.c_str();
    std::string victims = folder.path + "/victims";
    fs::create_directory(victims);
    std::vector<std::string> names = {RecordingPath(scores, 1, 1), PendingRecordingPath(scores, 1),
                                      folder.path + "/ghost.txt",
                                      RecordingPath(scores, 1, 2) + ".saving-abcdef"};
    for (size_t k = 0; k < names.size(); k++) {
        std::ofstream(victims + "/" + std::to_string(k)) << "precious";
        fs::create_symlink(victims + "/" + std::to_string(k), names[k]);
    }
    Enter(scores, 300);
    Enter(scores, 200);
    KeepGhostWanted(scores, true);
    for (size_t k = 0; k < names.size(); k++)
        EXPECT_EQ(ReadText(victims + "/" + std::to_string(k)), "precious") << names[k];
    EXPECT_EQ(folder.KeptTimes(), (std::vector<uint32_t>{200, 300, 0, 0, 0}));
    EXPECT_FALSE(fs::is_symlink(RecordingPath(scores, 1, 1)));
    EXPECT_FALSE(fs::is_symlink(folder.path + "/ghost.txt"));
    EXPECT_TRUE(GhostWanted(scores));
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
        r.timeMs = 777;
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

// The best whole game's save cut short at each of its steps: the total on
// disk is always the old one or the new one, and each stage's recording is
// found only when it is of that stage and that total's time.
TEST(BestGameRecordings, ASaveCutShortAnywhereKeepsAWholeBestAndNoRunUnderAnotherTime)
{
    ScoreFolder folder;
    const char* scores = folder.scores.c_str();
    auto game = [](uint32_t time, Recording runs[4], const Recording* made[4], uint32_t times[4]) {
        for (int s = 0; s < 4; s++) {
            runs[s] = RunOf(time + s);
            runs[s].stage = s + 1;
            made[s] = &runs[s];
            times[s] = time + s;
        }
    };
    auto found = [&](int stage) {
        BestGame best;
        std::string text = ReadText(BestGamePath(scores));
        EXPECT_EQ(ParseBestGameText(text.data(), text.size(), &best), BEST_GAME_TEXT_GOOD) << text;
        Recording r;
        return FindGameRecording(scores, best, stage, &r) ? r.timeMs : 0u;
    };
    Recording runs[4];
    const Recording* made[4];
    uint32_t times[4];
    game(1000, runs, made, times);
    BestGameEntry entry = KeepBestGame(scores, times, made);
    EXPECT_TRUE(entry.newBest && entry.fileWritten);
    EXPECT_EQ(entry.best.totalMs, 4006u);
    std::string oldTotal = ReadText(BestGamePath(scores));
    for (int stage = 1; stage <= 4; stage++) EXPECT_EQ(found(stage), 999u + stage);

    // A faster game, cut short once its recordings wait: the old best stands
    // with its own recordings.
    Recording faster[4];
    const Recording* fasterMade[4];
    uint32_t fasterTimes[4];
    game(900, faster, fasterMade, fasterTimes);
    for (int s = 0; s < 4; s++) Keep(PendingGameRecordingPath(scores, s + 1), faster[s]);
    for (int stage = 1; stage <= 4; stage++) EXPECT_EQ(found(stage), 999u + stage);
    // ... and once the total is replaced too: the waiting ones are its own.
    BestGame next;
    for (int s = 0; s < 4; s++) next.stageMs[s] = fasterTimes[s];
    ASSERT_TRUE(TotalOfStages(next.stageMs, &next.totalMs));
    next.present = true;
    std::ofstream(BestGamePath(scores), std::ios::binary | std::ios::trunc) << FormatBestGameText(next);
    for (int stage = 1; stage <= 4; stage++) EXPECT_EQ(found(stage), 899u + stage);
    // A run of another stage with the right time is never taken for it.
    Recording wrongStage = faster[0];
    wrongStage.timeMs = fasterTimes[1];
    Keep(PendingGameRecordingPath(scores, 2), wrongStage);
    EXPECT_EQ(found(2), 0u);

    // A slower game changes nothing; a faster one sets every name right.
    Recording slower[4];
    const Recording* slowerMade[4];
    uint32_t slowerTimes[4];
    game(2000, slower, slowerMade, slowerTimes);
    std::string before = ReadText(BestGamePath(scores));
    entry = KeepBestGame(scores, slowerTimes, slowerMade);
    EXPECT_FALSE(entry.newBest);
    EXPECT_EQ(entry.best.totalMs, next.totalMs);
    EXPECT_EQ(ReadText(BestGamePath(scores)), before);
    Recording fastest[4];
    const Recording* fastestMade[4];
    uint32_t fastestTimes[4];
    game(800, fastest, fastestMade, fastestTimes);
    fastestMade[2] = nullptr;  // a run that outgrew what a recording holds
    entry = KeepBestGame(scores, fastestTimes, fastestMade);
    EXPECT_TRUE(entry.newBest && entry.fileWritten);
    EXPECT_NE(ReadText(BestGamePath(scores)), oldTotal);
    for (int stage = 1; stage <= 4; stage++) {
        EXPECT_EQ(found(stage), stage == 3 ? 0u : 799u + stage);
        EXPECT_FALSE(fs::exists(PendingGameRecordingPath(scores, stage)));
        EXPECT_EQ(fs::exists(GameRecordingPath(scores, stage)), stage != 3);
    }
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
    // Stage 1 was skipped with E: never ranked, so nothing of it is kept.
    EXPECT_FALSE(fs::exists(Kept(1)));
    std::string said;
    EXPECT_EQ(Verify(Kept(2), &said), 0) << said;
    TimeText shown = FormatRunTime(r.timeMs);
    EXPECT_NE(said.find(std::string("stage 2 in ") + shown.clock + shown.fraction), std::string::npos) << said;
    // The time verified is the one in the table.
    std::string scores = ReadText(folder.path + "/txt/scoretime.txt");
    EXPECT_NE(scores.find(" " + std::to_string(r.timeMs) + " "), std::string::npos) << scores;
    // A recording that claims a run ended with E (none is kept now, but a
    // file may say anything) is refused for it.
    for (size_t i = r.frames.size(); i-- > 0;)
        if (!r.frames[i].curtain) {
            r.frames[i].keys |= RECORDED_KEY_E;
            break;
        }
    std::string ended = folder.path + "/ended-with-e.replay";
    std::ofstream(ended, std::ios::binary) << FormatRecording(r);
    EXPECT_NE(Verify(ended, &said), 0);
    EXPECT_NE(said.find("key E"), std::string::npos) << said;
}

// The script with play paused by P at frame at for length frames and then
// resumed by the key given (P again, or Enter on the menu's first row,
// RESUME): every later line comes length frames later.
std::string WithPause(const std::string& script, long long at, long long length, const std::string& resume)
{
    std::istringstream in(script);
    std::string line, out;
    bool inserted = false;
    while (std::getline(in, line)) {
        long long frame;
        std::istringstream words(line);
        if (!(words >> frame)) {
            out += line + "\n";
            continue;
        }
        if (frame > at && !inserted) {
            out += std::to_string(at) + " down p\n" + std::to_string(at + 1) + " up p\n" +
                   std::to_string(at + length) + " down " + resume + "\n" +
                   std::to_string(at + length + 1) + " up " + resume + "\n";
            inserted = true;
        }
        std::string rest;
        std::getline(words, rest);
        out += std::to_string(frame > at ? frame + length : frame) + rest + "\n";
    }
    return out;
}

TEST_F(Replays, APauseIsLeftOutOfTheTimeAndThePausedRunVerifies)
{
    ASSERT_EQ(folder.Play(Script("stage1.txt"), 30000).status, 1);
    Recording plain;
    std::string why, said;
    ASSERT_TRUE(ReadRecordingFile(Kept(1).c_str(), &plain, &why)) << why;
    // The same inputs, paused twice: for 120 frames, resumed with P, and for
    // 30 frames, resumed from the menu.
    std::string paused = WithPause(WithPause(Script("stage1.txt"), 300, 120, "p"), 600, 30, "enter");
    GameRun run = folder.Play(paused, 30000);
    ASSERT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(run.Frames("pause").size(), 150u);
    // An equal time ranks above the one before: rank 1 is the paused run.
    Recording r;
    ASSERT_TRUE(ReadRecordingFile(Kept(1).c_str(), &r, &why)) << why;
    ASSERT_EQ(r.pauses.size(), 2u);
    EXPECT_EQ(r.timeMs, plain.timeMs);
    ASSERT_EQ(r.frames.size(), plain.frames.size());
    for (size_t i = 0; i < r.frames.size(); i++) {
        EXPECT_EQ(r.frames[i].clockMs, plain.frames[i].clockMs) << i;
        EXPECT_EQ(r.frames[i].mouseX, plain.frames[i].mouseX) << i;
        EXPECT_EQ(r.frames[i].buttons, plain.frames[i].buttons) << i;
    }
    // Each pause follows the frame P was pressed on, and lasts its frames on
    // the wall's clock. Play begins on frame 276 (the title's click, 25
    // frames of curtain, 250 of countdown): P on frame 300 is its 25th
    // frame; the second P, on frame 600, comes 180 play frames after the
    // first pause's 120.
    EXPECT_EQ(r.pauses[0].afterFrames, 25u);
    EXPECT_EQ(r.pauses[0].wallMs, 120u * 16);
    EXPECT_EQ(r.pauses[1].afterFrames, 205u);
    EXPECT_EQ(r.pauses[1].wallMs, 30u * 16);
    EXPECT_EQ(Verify(Kept(1), &said), 0) << said;
    TimeText shown = FormatRunTime(plain.timeMs);
    EXPECT_NE(said.find(std::string("stage 1 in ") + shown.clock + shown.fraction), std::string::npos) << said;
    EXPECT_EQ(Verify(Kept(1, 2), &said), 0) << said;
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
    claimed.replace(at, claimed.find(' ', at + 7) - at, "result 99999");
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

// The lines of a text, and back.
std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string TextOf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// The recording with its result made to fit its frames: the last frame's
// clock and the number of play frames.
std::string WithFittingResult(std::vector<std::string> lines)
{
    int plays = 0;
    std::string last;
    for (const std::string& line : lines) {
        if (line.rfind("p ", 0) == 0) plays++;
        if (line.rfind("p ", 0) == 0 || line.rfind("c ", 0) == 0) last = line.substr(2, line.find(' ', 2) - 2);
    }
    for (std::string& line : lines)
        if (line.rfind("result ", 0) == 0) line = "result " + last + " " + std::to_string(plays);
    return TextOf(lines);
}

// The recordings a forger would try on a true one, each with what the
// verifier must say; kept in the fuzzer's corpus too.
std::vector<std::pair<std::string, std::string>> Forgeries(const std::string& good)
{
    std::vector<std::string> lines = LinesOf(good);
    size_t end = lines.size() - 1, lastCurtain = end - 1, firstPlay = 0;
    while (lines[firstPlay].rfind("p ", 0) != 0) firstPlay++;
    std::vector<std::pair<std::string, std::string>> forged;
    auto with = [&](size_t at, const std::string& line) {
        std::vector<std::string> copy = lines;
        copy[at] = line;
        return copy;
    };
    // The goal's last curtain frame at 0, the result 0: the clock going back
    // must not wrap round into a long wait.
    std::vector<std::string> zero = with(lastCurtain, "c 0");
    forged.push_back({WithFittingResult(zero), "not a recording"});
    // A frame whose clock goes back a little, the time as it was.
    std::string back = lines[firstPlay + 20], before = lines[firstPlay + 19];
    long long beforeClock = std::stoll(before.substr(2, before.find(' ', 2) - 2));
    back.replace(2, back.find(' ', 2) - 2, std::to_string(beforeClock - 5));
    forged.push_back({TextOf(with(firstPlay + 20, back)), "sooner"});
    // One frame far in the future, the next back to normal.
    std::string far = lines[firstPlay + 10];
    far.replace(2, far.find(' ', 2) - 2, "2147483000");
    forged.push_back({TextOf(with(firstPlay + 10, far)), "sooner"});
    far.replace(2, far.find(' ', 2) - 2, "2147483648");
    forged.push_back({TextOf(with(firstPlay + 10, far)), "not a recording"});
    // The goal's curtain cut short, or drawn out, the result made to fit.
    std::vector<std::string> cut = lines;
    cut.erase(cut.begin() + (long)lastCurtain);
    forged.push_back({WithFittingResult(cut), "before the goal's curtain"});
    std::vector<std::string> longer = lines;
    longer.insert(longer.begin() + (long)end, "c " + std::to_string(std::stoll(lines[lastCurtain].substr(2)) + 16));
    forged.push_back({WithFittingResult(longer), "after the goal's curtain"});
    // Anything after the end.
    forged.push_back({good + "\nwhatever\n", "not a recording"});
    // Fields that do not change the outcome, out of their range.
    for (const char* field : {"beam 0|beam 9999", "shots 0|shots -5", "cursor-spin 0|cursor-spin 999"}) {
        std::string text = good, from = std::string(field).substr(0, std::string(field).find('|')),
                    to = std::string(field).substr(from.size() + 1);
        text.replace(text.find("\n" + from + "\n") + 1, from.size(), to);
        forged.push_back({text, "not a recording"});
    }
    std::string buttons = lines[firstPlay];
    buttons.replace(buttons.rfind(' ') - 1, 1, "4");
    forged.push_back({TextOf(with(firstPlay, buttons)), "not a recording"});
    return forged;
}

TEST_F(Replays, ForgedTimesAreRefused)
{
    ASSERT_EQ(folder.Play(Script("stage1.txt"), 30000).status, 1);
    std::string good = ReadText(Kept(1)), said;
    ASSERT_EQ(Verify(Kept(1), &said), 0) << said;
    std::string file = folder.path + "/forged.replay";
    int n = 0;
    for (const auto& [text, reason] : Forgeries(good)) {
        SCOPED_TRACE("forgery " + std::to_string(n++) + ": " + reason);
        ASSERT_NE(text, good);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
        EXPECT_EQ(Verify(file, &said), 1) << said;
        EXPECT_NE(said.find(reason), std::string::npos) << said;
        EXPECT_EQ(said.find("verified"), std::string::npos) << said;
    }
    // The fuzzer starts from them (FORGERIES_TO=folder writes them there).
    if (const char* to = getenv("FORGERIES_TO")) {
        std::ofstream(std::string(to) + "/true-stage1.replay") << good;
        n = 0;
        for (const auto& forgery : Forgeries(good))
            std::ofstream(std::string(to) + "/forged-" + std::to_string(n++) + ".replay") << forgery.first;
    }
}

TEST_F(Replays, TheRecordingHoldsTheButtonsAsRead)
{
    // The right button held through the run: alone it is no shot, with the
    // left it changes nothing, so the run is the same; the recording still
    // holds what was read.
    std::string script = Script("stage1.txt");
    script.insert(script.find("# stage 1"), "300 down rmb\n");
    ASSERT_EQ(folder.Play(script, 30000).status, 1);
    Recording r;
    std::string why, said;
    ASSERT_TRUE(ReadRecordingFile(Kept(1).c_str(), &r, &why)) << why;
    std::set<int> seen;
    for (const RecordedFrame& f : r.frames)
        if (!f.curtain) seen.insert(f.buttons);
    EXPECT_EQ(seen, (std::set<int>{1, 2, 3})) << "buttons 0 only before frame 300";
    EXPECT_EQ(Verify(Kept(1), &said), 0) << said;
}

TEST_F(Replays, StartUpPairsTheRecordingsAndClearsWhatSavesLeft)
{
    // What kills at every step of a save can leave: the table has the new
    // time, the recordings are a rank off, the new one waits, and temporary
    // files of every kind lie about.
    ASSERT_EQ(folder.Play(Script("stage1.txt"), 30000).status, 1);
    Recording best;
    ASSERT_TRUE(ReadRecordingFile(Kept(1).c_str(), &best, nullptr));
    std::string txt = folder.path + "/txt/";
    std::string scores = ReadText(txt + "scoretime.txt");
    fs::rename(Kept(1), txt + "stage1-new.replay");
    Recording orphan = best;
    orphan.timeMs += 1000;  // no entry has this time
    std::ofstream(Kept(1, 3)) << FormatRecording(orphan);
    std::ofstream(Kept(2, 1)) << FormatRecording(best);  // a run of stage 1 under stage 2's name
    std::vector<std::string> leftovers = {"scoretime.txt.saving-Ab12Cd", "ghost.txt.saving-Ab12Cd",
                                          "stage1-rank2.replay.saving-Ab12Cd",
                                          "stage3-new.replay.saving-Ab12Cd"};
    for (const std::string& name : leftovers) std::ofstream(txt + name) << "half";
    std::ofstream(txt + "notes.txt") << "the player's";
    GameRun run = folder.Play("", 3);
    EXPECT_EQ(run.status, 2) << run.output;
    for (const std::string& name : leftovers) EXPECT_FALSE(fs::exists(txt + name)) << name;
    EXPECT_FALSE(fs::exists(txt + "stage1-new.replay"));
    EXPECT_FALSE(fs::exists(Kept(1, 3)));
    EXPECT_FALSE(fs::exists(Kept(2, 1)));
    EXPECT_TRUE(fs::exists(txt + "notes.txt"));
    EXPECT_EQ(ReadText(txt + "scoretime.txt"), scores);
    Recording r;
    ASSERT_TRUE(ReadRecordingFile(Kept(1).c_str(), &r, nullptr));
    EXPECT_EQ(FormatRecording(r), FormatRecording(best));
    // A damaged table keeps its recordings, all of them, for the player to mend.
    std::ofstream(txt + "scoretime.txt") << "not a table";
    std::ofstream(Kept(1, 4)) << FormatRecording(orphan);
    folder.Play("", 3);
    EXPECT_TRUE(fs::exists(Kept(1, 4)));
    EXPECT_TRUE(fs::exists(Kept(1)));
}

TEST_F(Replays, AGhostTooLargeForItsRunIsDroppedAndTheGameGoesOn)
{
    if (std::system("command -v prlimit >/dev/null") != 0) GTEST_SKIP() << "needs prlimit";
    std::string limit = "prlimit --as=" + std::to_string(180 << 20);
#if defined(__SANITIZE_ADDRESS__)
    limit = "";  // the sanitizer's own reservations do not fit under a limit
#endif
    ASSERT_EQ(folder.Play(Script("stage1.txt"), 30000).status, 1);
    // The best run, swollen to 41 MB by frames its time cannot hold.
    std::string good = ReadText(Kept(1));
    std::string frames;
    while (frames.size() < (41u << 20)) frames += "c 14000\n";
    std::string huge = good;
    huge.insert(huge.find("\nend\n") + 1, frames);
    std::ofstream(Kept(1), std::ios::binary | std::ios::trunc) << huge;
    folder.Write("txt/ghost.txt", "on\n");
    std::string script = Script("stage1.txt");
    GameRun run = folder.Play(script, 30000, limit);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(run.output.find("out of memory"), std::string::npos) << run.output;
    // It pairs with no best time of its size: gone at start-up, said once.
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    EXPECT_NE(run.output.find("larger than any recording of its run"), std::string::npos) << run.output;
    EXPECT_FALSE(run.Frames("results").empty());
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

// The viewer's labels lie in two corners of the 1280 x 720 picture: the
// state at the top left, the keys at the bottom left. Elsewhere (and away from
// the end's time) a frame of the viewer is the run's own.
struct Area {
    int x, y, width, height;
    bool Holds(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};
const Area VIEWER_STATE = {0, 0, 300, 72};
const Area VIEWER_KEYS = {0, 680, 320, 40};

struct Shot {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

Shot ReadShotOf(const std::string& dir, long long frame)
{
    char name[32];
    snprintf(name, sizeof name, "/frame-%06lld.png", frame);
    Shot shot;
    shot.pixels = ReadShot(dir + name, &shot.width, &shot.height);
    EXPECT_EQ(shot.pixels.size(), size_t(1280 * 720)) << dir << name;
    if (shot.pixels.size() != size_t(1280 * 720)) shot.pixels.assign(1280 * 720, 0);
    shot.width = 1280;
    shot.height = 720;
    return shot;
}

// Pixels of a and b that differ, inside the area (or outside all of skip).
int Differing(const Shot& a, const Shot& b, const Area* inside, std::vector<Area> skip = {})
{
    int n = 0;
    for (int y = 0; y < 720; y++)
        for (int x = 0; x < 1280; x++) {
            if (inside && !inside->Holds(x, y)) continue;
            bool skipped = false;
            for (const Area& area : skip) skipped = skipped || area.Holds(x, y);
            if (!skipped && a.At(x, y) != b.At(x, y)) n++;
        }
    return n;
}

std::string Shots(const std::string& dir, const std::vector<long long>& frames)
{
    std::string options = "--shot-dir '" + dir + "'";
    for (long long f : frames) options += " --shot " + std::to_string(f);
    return options;
}

// The label fields of the viewer's frame n in the trace ("" when there is no such frame).
std::string ViewerField(const GameRun& run, long long n, const std::string& name)
{
    for (const Event* e : run.Frames("replay"))
        if (e->n == n) return StringField(e->line, name);
    return "";
}

// The game's frame numbers of the run's own frames of stage 1 in order (play
// and curtains): the viewer at 1x shows the i-th of them as its frame i.
std::vector<long long> RunFrames(const GameRun& run)
{
    std::vector<long long> frames;
    for (const Event& e : run.events)
        if (e.ev == "frame" && e.stageNo == 1 &&
            (e.scene == "play" || e.scene == "death-curtain" || e.scene == "clear-curtain"))
            frames.push_back(e.n);
    return frames;
}

TEST_F(Replays, WatchingARecordingShowsTheFramesTheRunShowed)
{
    std::string played = folder.path + "/played", watched = folder.path + "/watched";
    GameRun run = folder.Play(Script("stage1.txt"), 30000, "", "--frame-hashes '" + played + ".hashes'");
    ASSERT_EQ(run.status, 1);
    std::vector<long long> runFrames = RunFrames(run);
    ASSERT_GT(runFrames.size(), 900u);
    // Every 40th of the run's frames, its death's and goal's curtains among
    // them, and the last: the viewer's frame is the run's but for its labels.
    std::vector<long long> mine, theirs;
    for (size_t i = 0; i < runFrames.size(); i += 40) mine.push_back(i);
    mine.push_back(runFrames.size() - 1);
    std::map<long long, std::string> playedHashes = Hashes(played + ".hashes");
    for (long long i : mine) {
        // The goal's play frame was never shown by the game; the viewer shows it.
        if (playedHashes.count(runFrames[i])) theirs.push_back(runFrames[i]);
    }
    folder.Play(Script("stage1.txt"), 30000, "", Shots(played, theirs));
    GameRun watch = folder.Play("", 1300, "", "--replay '" + Kept(1) + "' --frame-hashes '" + watched +
                                                  ".hashes' " + Shots(watched, mine));
    long long compared = 0;
    for (long long i : mine) {
        if (!playedHashes.count(runFrames[i])) continue;
        Shot viewer = ReadShotOf(watched, i), game = ReadShotOf(played, runFrames[i]);
        EXPECT_EQ(Differing(viewer, game, nullptr, {VIEWER_STATE, VIEWER_KEYS}), 0)
            << "run frame " << runFrames[i] << ", viewer frame " << i;
        // REPLAY and the keys are there at 1x, over play and curtains alike.
        EXPECT_GT(Differing(viewer, game, &VIEWER_STATE), 200) << "viewer frame " << i;
        EXPECT_GT(Differing(viewer, game, &VIEWER_KEYS), 200) << "viewer frame " << i;
        EXPECT_EQ(ViewerField(watch, i, "label"), "REPLAY");
        compared++;
        if (HasFailure()) break;
    }
    EXPECT_GT(compared, 20);
    // After the last frame the viewer says so.
    std::map<long long, std::string> watchedHashes = Hashes(watched + ".hashes");
    long long last = runFrames.size() - 1;
    ASSERT_TRUE(watchedHashes.count(last + 5));
    EXPECT_NE(watchedHashes[last + 5], watchedHashes[last]);
    EXPECT_EQ(ViewerField(watch, last + 5, "label"), "REPLAY  END");
}

TEST_F(Replays, TheViewerSaysWhatItShowsAndTakesItsKeysOnTaps)
{
    GameRun run = folder.Play(Script("stage1.txt"), 30000);
    ASSERT_EQ(run.status, 1);
    Recording r;
    std::string why;
    ASSERT_TRUE(ReadRecordingFile(Kept(1).c_str(), &r, &why)) << why;
    std::vector<long long> runFrames = RunFrames(run);
    ASSERT_EQ(runFrames.size(), r.frames.size());
    // Every key tapped down and up between two frames. Paused at 300 for
    // ten frames, it shows the run's frame 299; its end comes ten frames late,
    // and is paused after a while.
    const long long pause = 300, end = static_cast<long long>(r.frames.size()) + 10, endPause = end + 20;
    auto tap = [](long long frame, const char* key) {
        return std::to_string(frame) + " down " + key + "\n" + std::to_string(frame) + " up " + key + "\n";
    };
    std::string script = tap(pause, "space") + tap(pause + 10, "space") + tap(endPause, "space");
    std::string shots = folder.path + "/watched";
    GameRun watch = folder.Play(script, endPause + 20, "",
                                "--replay '" + Kept(1) + "' " + Shots(shots, {pause + 5, end + 5, endPause + 5}));
    ASSERT_FALSE(watch.Frames("replay").empty()) << watch.output;
    folder.Play(Script("stage1.txt"), 30000, "",
                Shots(folder.path + "/played", {runFrames[pause - 1], runFrames.back()}));
    Shot pausedInPlay = ReadShotOf(shots, pause + 5), atEnd = ReadShotOf(shots, end + 5),
         pausedAtEnd = ReadShotOf(shots, endPause + 5);
    Shot runsFrame = ReadShotOf(folder.path + "/played", runFrames[pause - 1]),
         runsLast = ReadShotOf(folder.path + "/played", runFrames.back());

    // The labels: REPLAY, paused, the end with the run's time as the table
    // holds it, paused again; the keys at every one of them.
    TimeText kept = FormatRunTime(r.timeMs);
    EXPECT_EQ(ViewerField(watch, 10, "label"), "REPLAY");
    EXPECT_EQ(ViewerField(watch, pause, "label"), "REPLAY  PAUSE");
    EXPECT_EQ(ViewerField(watch, pause + 10, "label"), "REPLAY");
    EXPECT_EQ(ViewerField(watch, end - 1, "label"), "REPLAY");
    EXPECT_EQ(ViewerField(watch, end - 1, "time"), "");
    EXPECT_EQ(ViewerField(watch, end, "label"), "REPLAY  END");
    EXPECT_EQ(ViewerField(watch, end, "time"), std::string(kept.clock) + kept.fraction);
    EXPECT_EQ(ViewerField(watch, endPause, "label"), "REPLAY  PAUSE");
    EXPECT_EQ(ViewerField(watch, endPause, "time"), std::string(kept.clock) + kept.fraction);
    for (long long n : {10LL, pause, end, endPause}) {
        std::string keys = ViewerField(watch, n, "keys");
        for (const char* key : {"SPACE", "1 2 4", "ESC"}) EXPECT_NE(keys.find(key), std::string::npos) << keys;
    }
    // The end waits for Escape.
    EXPECT_EQ(watch.Frames("replay").back()->n, endPause + 19);

    // The pause stands still on the run's own frame.
    EXPECT_EQ(Differing(pausedInPlay, runsFrame, nullptr, {VIEWER_STATE, VIEWER_KEYS}), 0);
    // The end shows its time over the goal's wipe.
    int timeShown = Differing(atEnd, runsLast, nullptr, {VIEWER_STATE, VIEWER_KEYS});
    EXPECT_GT(timeShown, 5000);
    // Paused at the end, only the label changes, and it reads PAUSE alone:
    // its corner is the wipe but for the pixels the same label changes over
    // play, with nothing left of END's.
    EXPECT_EQ(Differing(pausedAtEnd, atEnd, nullptr, {VIEWER_STATE}), 0);
    int label = 0, leftOver = 0;
    for (int y = 0; y < VIEWER_STATE.height; y++)
        for (int x = 0; x < VIEWER_STATE.width; x++) {
            bool lettering = pausedInPlay.At(x, y) != runsFrame.At(x, y);
            label += lettering;
            leftOver += !lettering && pausedAtEnd.At(x, y) != runsLast.At(x, y);
        }
    EXPECT_GT(label, 500);
    EXPECT_LT(leftOver, 10) << "of " << label << " pixels of the label";
}

TEST_F(Replays, TheViewersSpeedAndLeavingActOnTaps)
{
    ASSERT_EQ(folder.Play(Script("stage1.txt"), 30000).status, 1);
    auto tap = [](long long frame, const char* key) {
        return std::to_string(frame) + " down " + key + "\n" + std::to_string(frame) + " up " + key + "\n";
    };
    GameRun watch = folder.Play(tap(100, "2") + tap(150, "4") + tap(200, "1") + tap(250, "esc"), 400, "",
                                "--replay '" + Kept(1) + "'");
    EXPECT_EQ(ViewerField(watch, 99, "label"), "REPLAY");
    EXPECT_EQ(ViewerField(watch, 100, "label"), "REPLAY  x2");
    EXPECT_EQ(ViewerField(watch, 150, "label"), "REPLAY  x4");
    EXPECT_EQ(ViewerField(watch, 200, "label"), "REPLAY");
    // Escape left at once, its frame unshown, and the game ended as it
    // always ends (status 1), long before the frame limit.
    ASSERT_FALSE(watch.Frames("replay").empty());
    EXPECT_EQ(watch.Frames("replay").back()->n, 249);
    EXPECT_EQ(watch.status, 1) << watch.output;
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
