// The game's outbox against the real board: runs queued beside the score
// file reach the board once each, whatever kills the sender on the way, and
// the outbox is empty after. The sender is the headless game itself, idling
// on its title with online records on, killed (SIGKILL) at seeded random
// moments.
#include "tests/board/recordings.h"
#include "tests/board/server.h"
#include "tests/test_bad_input_support.h"

#include <sqlite3.h>

#include <random>

#include "game/online.h"

using namespace board_test;

namespace {

// Runs on the board, counted in its SQLite file.
long long RunsOnBoard(const std::string& database)
{
    sqlite3* db = nullptr;
    long long count = -1;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT COUNT(*), COUNT(DISTINCT fingerprint) FROM runs", -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW && sqlite3_column_int64(s, 0) == sqlite3_column_int64(s, 1))
            count = sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return count;
}

size_t OutboxFiles(const std::string& folder)
{
    std::error_code error;
    size_t n = 0;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) n++;
    return n;
}

class Outbox : public BoardTest {
protected:
    // Limits off but the key's, so that the retries meet 429 too.
    std::string Options() override { return "--address-rate 0"; }
};

TEST_F(Outbox, KilledAtRandomEveryRunReachesTheBoardOnce)
{
    if (boards.database.rfind("sqlite:", 0) != 0) GTEST_SKIP() << "counts the runs in the SQLite file";
    const std::vector<std::string>& texts = StageRecordings();
    ASSERT_EQ(texts.size(), 4u);
    badinput::GameFolder folder;
    folder.Write("settings.ini", "online = on\nonline_name = Kestrel\nonline_server = http://127.0.0.1:" +
                                     std::to_string(boards.Port()) + "/\n");
    fs::create_directory(folder.path + "/txt/outbox");
    constexpr int RUNS = 8;
    for (int k = 0; k < RUNS; k++) {
        std::string run = TrueVariant(texts[k % 4], k);
        folder.Write("txt/outbox/" + OutboxName(run), run);
    }
    // And what a write of one killed half-way left: cleared at the start.
    folder.Write("txt/outbox/" + OutboxName("half") + ".saving-Ab12Cd", "half a r");
    std::string options = "--settings '" + folder.path + "/settings.ini'";
    std::mt19937 random(32);
    int killed = 0, loops = 0;
    for (; loops < 30 && OutboxFiles(folder.path + "/txt/outbox") > 0; loops++) {
        int ms = 20 + (int)(random() % 400);
        char prefix[64];
        snprintf(prefix, sizeof prefix, "timeout -s KILL %d.%03d", ms / 1000, ms % 1000);
        harness::GameRun run = folder.Play("", 1000000, prefix, options);
        killed += run.status == -1 || run.status == 137;
    }
    // Then left to finish: retries wait at most a few seconds of game clock.
    for (int loop = 0; loop < 20 && OutboxFiles(folder.path + "/txt/outbox") > 0; loop++)
        folder.Play("", 3000, "", options);
    std::printf("killed %d of %d starts\n", killed, loops);
    EXPECT_GT(killed, 0);
    EXPECT_EQ(OutboxFiles(folder.path + "/txt/outbox"), 0u);
    EXPECT_EQ(RunsOnBoard(boards.database.substr(7)), RUNS);
    // Sent again, as after a kill between the board's answer and the file's
    // removal: answered with the same run, and not ranked twice.
    std::string again = TrueVariant(texts[0], 0);
    folder.Write("txt/outbox/" + OutboxName(again), again);
    folder.Play("", 600, "", options);
    EXPECT_EQ(OutboxFiles(folder.path + "/txt/outbox"), 0u);
    EXPECT_EQ(RunsOnBoard(boards.database.substr(7)), RUNS);
    // The key was made once and kept, and never written anywhere but its file.
    std::string key = harness::ReadText(folder.path + "/txt/online-key.txt");
    ASSERT_EQ(key.size(), 33u);
    EXPECT_EQ(harness::ReadText(folder.path + "/output.txt").find(key.substr(0, 32)), std::string::npos);
}

// A run cleared with online records on goes from the results to the board,
// and its world rank is what the board answered.
TEST_F(Outbox, AClearedBestReachesTheBoard)
{
    badinput::GameFolder folder;
    folder.Write("settings.ini", "online = on\nonline_name = Wren\nonline_server = http://127.0.0.1:" +
                                     std::to_string(boards.Port()) + "\n");
    std::string script = harness::ReadText(std::string(SOURCE_DIR) + "/tests/replays/stage1.txt");
    // Left on the results until the frames run out, the answer in meanwhile.
    script = script.substr(0, script.rfind(" close"));
    script = script.substr(0, script.rfind('\n') + 1);
    folder.Play(script, 1600, "", "--settings '" + folder.path + "/settings.ini'");
    EXPECT_EQ(OutboxFiles(folder.path + "/txt/outbox"), 0u);
    auto answer = boards.Client().Get("/api/v1/runs/1/recording");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_EQ(answer->body, harness::ReadText(folder.path + "/txt/stage1-rank1.replay"));
}

}  // namespace
