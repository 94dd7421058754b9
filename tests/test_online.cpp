// The game's side of the records board against the harness's canned answers
// (--http-fake): what is sent and when, what is retried, what is final, and
// that nothing at all is sent with online records off or for runs that do
// not count.
#include "tests/test_bad_input_support.h"
#include "tests/board/recordings.h"

#include <memory>

#include "game/online.h"
#include "game/settings.h"
#include "game/world_ghost.h"

using namespace badinput;

namespace {

const std::string SETTINGS_ON = "online = on\nonline_name = Kestrel\nonline_server = http://board.test:8787\n";
const std::string RUN_201 = "{\"id\":5,\"stage\":1,\"stage_hash\":\"00\",\"time_ms\":1,\"rank\":12,\"best\":true}";

struct OnlineFolder : GameFolder {
    std::string Options() const
    {
        return "--settings '" + path + "/settings.ini' --http-fake '" + path + "/answers.txt' --http-log '" + path +
               "/http.log'";
    }
    std::vector<std::string> Log() const
    {
        std::vector<std::string> lines;
        std::istringstream in(ReadText(path + "/http.log"));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    size_t Queued() const
    {
        std::error_code error;
        size_t n = 0;
        for (fs::directory_iterator it(path + "/txt/outbox", error), end; !error && it != end; it.increment(error)) n++;
        return n;
    }
    void QueueOne()
    {
        fs::create_directories(path + "/txt/outbox");
        Write("txt/outbox/" + OutboxName(run), run);
    }
    std::string run = board_test::StageRecordings().empty() ? "" : board_test::StageRecordings()[0];
};

// A committed stage's run, left on its results until the frames run out.
std::string StageScript(int stage)
{
    std::string script = ReadText(std::string(SOURCE_DIR) + "/tests/replays/stage" + std::to_string(stage) + ".txt");
    size_t close = script.rfind(" close");
    return close == std::string::npos ? script : script.substr(0, script.rfind('\n', close) + 1);
}
std::string StageOneScript() { return StageScript(1); }

TEST(OnlineSettings, NameAndServerKeepTheirCaseAndBadOnesCountAsNone)
{
    SettingsText t = ParseSettings("online = on\nonline_name = Kestrel Wren\nonline_server = https://Board.Example/\n", "s");
    EXPECT_TRUE(t.settings.online);
    EXPECT_EQ(t.settings.onlineName, "Kestrel Wren");
    EXPECT_EQ(t.settings.onlineServer, "https://Board.Example/");
    EXPECT_TRUE(OnlineReady(t.settings));
    SettingsText back = ParseSettings(FormatSettings(t.settings, {}), "s");
    EXPECT_EQ(back.settings, t.settings);
    SettingsText bad = ParseSettings("online_name = seventeen chars xx\nonline_server = ftp://x\n", "s");
    EXPECT_EQ(bad.settings.onlineName, "");
    EXPECT_EQ(bad.settings.onlineServer, "");
    EXPECT_EQ(bad.complaints.size(), 2u);
    EXPECT_FALSE(OnlineReady(Settings{}));  // off, and no server, until the player says
}

TEST(OnlineBoard, TheGhostsRunIsTheRecordOrTheOneJustAbove)
{
    std::string board = "{\"stage_hash\":\"ab\",\"entries\":[{\"rank\":3,\"name\":\"A\\\"b\",\"time_ms\":1,\"run\":31,"
                        "\"submitted\":1},{\"rank\":4,\"name\":\"Kestrel\",\"time_ms\":2,\"run\":41,\"submitted\":1}]}";
    EXPECT_EQ(PickBoardRun(board, WORLD_GHOST_RECORD, "Kestrel"), 31);
    EXPECT_EQ(PickBoardRun(board, WORLD_GHOST_ABOVE, "Kestrel"), 31);
    EXPECT_EQ(PickBoardRun(board, WORLD_GHOST_ABOVE, "A\"b"), 0);  // first: nothing above
    EXPECT_EQ(PickBoardRun("{\"entries\":[]}", WORLD_GHOST_RECORD, "x"), 0);
}

class OnlineRuns : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HarnessBuilt() || board_test::StageRecordings().size() != 4) GTEST_SKIP() << "needs " << HARNESS;
    }
};

TEST_F(OnlineRuns, BusyAndLostAnswersAreTriedAgainAndARefusalIsFinal)
{
    struct Case {
        std::string answers;
        size_t posts;   // at least
        size_t queued;  // after
        const char* said;
    };
    const Case cases[] = {
        {"POST /api/v1/runs 503\nPOST /api/v1/runs 429\nPOST /api/v1/runs 201 " + RUN_201 + "\n", 3, 0, ""},
        {"POST /api/v1/runs fail\n", 3, 1, ""},
        {"POST /api/v1/runs 422 {\"error\":\"it does not reach the goal\"}\n", 1, 0, "refused the run of stage 1 (422"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answers);
        OnlineFolder folder;
        folder.Write("settings.ini", SETTINGS_ON);
        folder.Write("answers.txt", c.answers);
        folder.QueueOne();
        // 2 s, then 4 s, then 8 s of the harness's clock between tries.
        GameRun run = folder.Play("", 1000, "", folder.Options());
        std::vector<std::string> log = folder.Log();
        EXPECT_GE(log.size(), c.posts);
        if (c.queued == 0) {
            EXPECT_EQ(log.size(), c.posts);  // nothing after the last answer
        }
        for (const std::string& line : log) EXPECT_EQ(line.rfind("POST /api/v1/runs bytes=", 0), 0u) << line;
        ASSERT_FALSE(log.empty());
        EXPECT_NE(log[0].find("name=Kestrel key=ok"), std::string::npos) << log[0];
        EXPECT_EQ(folder.Queued(), c.queued);
        EXPECT_NE(run.output.find(c.said), std::string::npos) << run.output;
    }
}

TEST_F(OnlineRuns, NothingIsSentOfflineNorForARunThatDoesNotCount)
{
    OnlineFolder off;
    off.Write("settings.ini", "online = off\nonline_name = Kestrel\nonline_server = http://board.test:8787\n");
    off.Write("answers.txt", "POST /api/v1/runs 201 " + RUN_201 + "\n");
    off.QueueOne();
    off.Play(StageOneScript(), 1400, "", off.Options());
    EXPECT_TRUE(off.Log().empty());
    EXPECT_EQ(off.Queued(), 1u);

    // Played at a lower game speed: not ranked, so never queued.
    OnlineFolder assisted;
    assisted.Write("settings.ini", SETTINGS_ON + "game_speed = 90\n");
    assisted.Write("answers.txt", "POST /api/v1/runs 201 " + RUN_201 + "\n");
    assisted.Play(StageOneScript(), 1400, "", assisted.Options());
    EXPECT_TRUE(assisted.Log().empty());
    EXPECT_EQ(assisted.Queued(), 0u);

    // Stage 1 ended with E, stage 2 played: only stage 2's run is sent.
    OnlineFolder skipped;
    skipped.Write("settings.ini", SETTINGS_ON);
    skipped.Write("answers.txt", "POST /api/v1/runs 201 " + RUN_201 + "\n");
    skipped.Play(StageScript(2), 1800, "", skipped.Options());
    std::vector<std::string> log = skipped.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "POST /api/v1/runs bytes=" + std::to_string(ReadText(skipped.path + "/txt/stage2-rank1.replay").size()) +
                          " name=Kestrel key=ok");
}

TEST_F(OnlineRuns, ABadFileOfAnswersIsRefusedAtStart)
{
    OnlineFolder folder;
    folder.Write("answers.txt", "POST /api/v1/runs 999\n");
    GameRun run = folder.Play("", 10, "", folder.Options());
    EXPECT_EQ(run.status, 64);
    EXPECT_NE(run.output.find("line 1: the status \"999\" is no HTTP status"), std::string::npos) << run.output;
}

TEST_F(OnlineRuns, AClearedBestIsQueuedSentAndItsWorldRankShown)
{
    OnlineFolder folder;
    folder.Write("settings.ini", SETTINGS_ON);
    folder.Write("answers.txt", "POST /api/v1/runs 201 +30 " + RUN_201 + "\n");
    GameRun sent = folder.Play(StageOneScript(), 1400, "", folder.Options() + " --frame-hashes '" + folder.path + "/h'");
    std::vector<std::string> log = folder.Log();
    ASSERT_EQ(log.size(), 1u);
    std::string kept = ReadText(folder.path + "/txt/stage1-rank1.replay");
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(log[0], "POST /api/v1/runs bytes=" + std::to_string(kept.size()) + " name=Kestrel key=ok");
    EXPECT_EQ(folder.Queued(), 0u);
    // The results' frames are the offline game's until the answer is in,
    // then show WORLD #12: they differ from then on only.
    OnlineFolder offline;
    offline.Write("settings.ini", "online = off\n");
    offline.Write("answers.txt", "");
    GameRun alone = offline.Play(StageOneScript(), 1400, "", offline.Options() + " --frame-hashes '" + offline.path + "/h'");
    std::vector<const Event*> results = sent.Frames("results");
    ASSERT_FALSE(results.empty());
    std::istringstream a(ReadText(offline.path + "/h")), b(ReadText(folder.path + "/h"));
    long long firstDifferent = -1, frame = 0;
    for (std::string x, y; std::getline(a, x) && std::getline(b, y); frame++)
        if (x != y && firstDifferent < 0) firstDifferent = std::atoll(x.c_str());
    EXPECT_GT(firstDifferent, results.front()->n);
}

TEST_F(OnlineRuns, AnOutboxThatCannotBeWrittenLosesNothing)
{
    // A file where the outbox's folder belongs: queueing fails as on a full
    // disk; the run is sent from memory all the same.
    OnlineFolder folder;
    folder.Write("settings.ini", SETTINGS_ON);
    folder.Write("answers.txt", "POST /api/v1/runs 201 " + RUN_201 + "\n");
    folder.Write("txt/outbox", "in the way");
    GameRun run = folder.Play(StageOneScript(), 1400, "", folder.Options());
    EXPECT_NE(run.output.find("cannot be kept in the outbox"), std::string::npos) << run.output;
    EXPECT_EQ(folder.Log().size(), 1u);
    EXPECT_FALSE(ReadText(folder.path + "/txt/stage1-rank1.replay").empty());
}

}  // namespace

namespace {

// G pressed twice early in stage 1's play: the own best's ghost, then the
// world record's. The player sets off late, so that the ghost, the same
// run on time, is seen beside the character.
std::string StageOneWithG()
{
    return Late(StageOneScript(), 60) + "300 down g\n302 up g\n306 down g\n308 up g\n";
}

TEST_F(OnlineRuns, TheWorldRecordsGhostIsDrawnOnlyOnceItVerifies)
{
    std::string good = board_test::StageRecordings()[0];
    std::string forged = good;
    size_t result = forged.find("\nresult ");
    ASSERT_NE(result, std::string::npos);
    forged[forged.find(' ', result + 8) - 1] ^= 1;  // the recorded time, a millisecond off
    auto play = [&](const std::string& settings, const std::string& recording, GameRun* run) {
        auto folder = std::make_unique<OnlineFolder>();
        folder->Write("settings.ini", settings);
        folder->Write("ghost.replay", recording);
        folder->Write("answers.txt", "GET /api/v1/boards/* 200 {\"stage_hash\":\"x\",\"entries\":[{\"rank\":1,"
                                     "\"name\":\"Ace\",\"time_ms\":1,\"run\":7,\"submitted\":1}]}\n"
                                     "GET /api/v1/runs/7/recording 200 @ghost.replay\n");
        *run = folder->Play(StageOneWithG(), 1100, "", folder->Options() + " --frame-hashes '" + folder->path + "/h'");
        return folder;
    };
    GameRun verified, refused, offline;
    auto a = play(SETTINGS_ON, good, &verified);
    auto b = play(SETTINGS_ON, forged, &refused);
    auto c = play("online = off\n", good, &offline);
    std::vector<std::string> log = a->Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].rfind("GET /api/v1/boards/", 0), 0u);
    EXPECT_NE(log[0].find("?limit=1 "), std::string::npos);
    EXPECT_EQ(log[1].rfind("GET /api/v1/runs/7/recording ", 0), 0u);
    EXPECT_NE(refused.output.find("does not verify"), std::string::npos) << refused.output;
    EXPECT_EQ(refused.output.find("does not verify"), refused.output.rfind("does not verify"));
    EXPECT_TRUE(c->Log().empty());
    // The forged run's frames are the offline game's (no ghost either way);
    // the verified one's show its ghost.
    std::string hashesA = ReadText(a->path + "/h"), hashesB = ReadText(b->path + "/h"),
                hashesC = ReadText(c->path + "/h");
    EXPECT_FALSE(hashesB.empty());
    EXPECT_EQ(hashesB, hashesC);
    EXPECT_NE(hashesA, hashesB);
}

}  // namespace

namespace {

// Script lines from frame *frame on that type text on the online page,
// two frames a key.
std::string Typing(const std::string& text, int* frame)
{
    std::string lines;
    auto key = [&](const std::string& name, bool shift) {
        int n = (*frame += 2);
        if (shift) lines += std::to_string(n) + " down shift\n";
        lines += std::to_string(n) + " down " + name + "\n" + std::to_string(n + 1) + " up " + name + "\n";
        if (shift) lines += std::to_string(n + 1) + " up shift\n";
    };
    for (char c : text) {
        if (c >= 'A' && c <= 'Z') key(std::string(1, (char)(c - 'A' + 'a')), true);
        else if (c == ':') key("semicolon", true);
        else if (c == '.') key("period", false);
        else if (c == '/') key("slash", false);
        else key(std::string(1, c), false);
    }
    return lines;
}

TEST_F(OnlineRuns, TheOnlinePageTurnsThemOnAndTypesTheNameAndTheServer)
{
    OnlineFolder folder;
    // SETTINGS on the title, up three rows round to ONLINE RECORDS, Enter;
    // right turns them on, down to NAME and SERVER to type, Escape twice.
    std::string script = "dialog no\ndialog yes\n0 mouse 1150 40\n5 mouse 1151 41\n10 down lmb\n11 up lmb\n"
                         "20 down up\n21 up up\n24 down up\n25 up up\n28 down up\n29 up up\n"
                         "32 down enter\n33 up enter\n40 down right\n41 up right\n44 down down\n45 up down\n";
    int frame = 46;
    script += Typing("Kes", &frame) + "60 down backspace\n61 up backspace\n";
    frame = 62;
    script += Typing("x", &frame);
    script += std::to_string(frame + 2) + " down down\n" + std::to_string(frame + 3) + " up down\n";
    frame += 4;
    script += Typing("http://Board.test:8787/", &frame);
    script += std::to_string(frame + 4) + " down esc\n" + std::to_string(frame + 5) + " up esc\n" +
              std::to_string(frame + 10) + " down esc\n" + std::to_string(frame + 11) + " up esc\n" +
              std::to_string(frame + 30) + " close\n";
    folder.Play(script, frame + 60, "", "--settings '" + folder.path + "/settings.ini'");
    SettingsText saved = ParseSettings(ReadText(folder.path + "/settings.ini"), "s");
    EXPECT_TRUE(saved.settings.online);
    EXPECT_EQ(saved.settings.onlineName, "Kex");
    EXPECT_EQ(saved.settings.onlineServer, "http://Board.test:8787/");
    EXPECT_TRUE(saved.complaints.empty());
}

}  // namespace

namespace {

TEST_F(OnlineRuns, AFileInTheOutboxThatIsNoRecordingIsRemovedAndTheRestSent)
{
    OnlineFolder folder;
    folder.Write("settings.ini", SETTINGS_ON);
    folder.Write("answers.txt", "POST /api/v1/runs 201 " + RUN_201 + "\n");
    folder.QueueOne();
    folder.Write("txt/outbox/" + OutboxName("junk"), std::string("\0\1junk", 6));
    GameRun run = folder.Play("", 300, "", folder.Options());
    EXPECT_EQ(folder.Log().size(), 1u);
    EXPECT_EQ(folder.Queued(), 0u);
    EXPECT_NE(run.output.find(OutboxName("junk") + " in the outbox is no recording"), std::string::npos) << run.output;
}

}  // namespace
