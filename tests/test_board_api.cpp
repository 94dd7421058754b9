// The board server's API, driven over HTTP with the committed replays' real
// recordings: what it ranks and how, who owns a name, every refusal's status,
// the recordings it serves back, removing a player, custom stages, the page
// (bounded, in pages), what a browser on another origin may use, a restart
// of the database under the servers, and the stored runs played again after
// an upgrade.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "board/stages.h"
#include "board/store.h"
#include "game/recording.h"
#include "board/sha256.h"
#include "tests/board/recordings.h"
#include "tests/board/server.h"

namespace {

using board_test::KeyOf;

std::string Field(const std::string& json, const std::string& name)
{
    std::smatch m;
    std::regex pattern("\"" + name + "\":(\"[^\"]*\"|[^,}\\]]*)");
    return std::regex_search(json, m, pattern) ? m[1].str() : "";
}

std::string HashOf(const std::string& recording)
{
    size_t at = recording.find("stage-hash ");
    return recording.substr(at + 11, 16);
}

class BoardApi : public board_test::BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        runs = board_test::StageRecordings();
        ASSERT_EQ(runs.size(), 4u);
    }
    // Stage 1 with one far cell (the cell'th from the end) changed: another
    // grid, another hash, the same way to the goal. Its text, and stage 1's
    // run as played on it.
    void CustomStage(int cell, std::string* text, std::string* recording, uint64_t* hash)
    {
        StageGrid grid;
        ASSERT_TRUE(ParseStageText(harness::ReadText(harness::DATA + "/txt/dw_stage1.txt"), &grid));
        grid[MAP_CELLS - 1 - cell] = grid[MAP_CELLS - 1 - cell] == 1 ? 0 : 1;
        text->clear();
        for (int c : grid) *text += std::to_string(c) + " ";
        *hash = GridHash(grid);
        Recording r;
        ASSERT_TRUE(ParseRecording(runs[0].data(), runs[0].size(), &r, nullptr));
        r.stageHash = *hash;
        *recording = FormatRecording(r);
    }
    httplib::Result AddStage(const std::string& text, const std::string& recording, const httplib::Headers& player)
    {
        httplib::MultipartFormDataItems parts = {{"stage", text, "stage.txt", "text/plain"},
                                                 {"recording", recording, "run.replay", "application/octet-stream"}};
        return boards.Client().Post("/api/v1/stages", player, parts);
    }
    std::vector<std::string> runs;
};

TEST_F(BoardApi, ARunIsRankedOnceVerifiedAndTheBoardKeepsEachPlayersBestFastestFirst)
{
    auto r = Submit(runs[0], "ann", KeyOf(1));
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 201) << r->body;
    EXPECT_EQ(Field(r->body, "stage"), "1");
    EXPECT_EQ(Field(r->body, "stage_hash"), "\"" + HashOf(runs[0]) + "\"");
    EXPECT_EQ(Field(r->body, "rank"), "1");
    EXPECT_EQ(Field(r->body, "best"), "true");
    std::string time = Field(r->body, "time_ms");
    EXPECT_NE(runs[0].find("result " + time + " "), std::string::npos);
    // The same run sent again (an outbox's second try) is the same entry.
    auto again = Submit(runs[0], "ann", KeyOf(1));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 201);
    EXPECT_EQ(Field(again->body, "id"), Field(r->body, "id"));

    // Three more players with runs of equal time: ann's came first, so the
    // equal times rank after it in the order they came.
    for (int k = 2; k <= 4; k++) {
        auto v = Submit(board_test::TrueVariant(runs[0], k), "p" + std::to_string(k), KeyOf(k));
        ASSERT_TRUE(v);
        ASSERT_EQ(v->status, 201) << v->body;
        EXPECT_EQ(Field(v->body, "rank"), std::to_string(k));
    }
    // A second run of ann's of the same time is not her best: the first is.
    auto second = Submit(board_test::TrueVariant(runs[0], 9), "ann", KeyOf(1));
    ASSERT_TRUE(second);
    EXPECT_EQ(Field(second->body, "best"), "false");
    EXPECT_EQ(Field(second->body, "rank"), "1");

    auto b = boards.Client().Get("/api/v1/boards/" + HashOf(runs[0]));
    ASSERT_TRUE(b);
    ASSERT_EQ(b->status, 200);
    std::regex entry("\\{\"rank\":(\\d+),\"name\":\"([^\"]*)\",\"time_ms\":(\\d+),\"run\":(\\d+),\"submitted\":(\\d+)\\}");
    std::vector<std::string> names;
    for (auto it = std::sregex_iterator(b->body.begin(), b->body.end(), entry); it != std::sregex_iterator(); ++it)
        names.push_back((*it)[2]);
    EXPECT_EQ(names, (std::vector<std::string>{"ann", "p2", "p3", "p4"}));
    EXPECT_EQ(Field(b->body, "stage_hash"), "\"" + HashOf(runs[0]) + "\"");

    // limit and around: the window round a name.
    auto around = boards.Client().Get("/api/v1/boards/" + HashOf(runs[0]) + "?limit=2&around=p3");
    ASSERT_TRUE(around);
    names.clear();
    for (auto it = std::sregex_iterator(around->body.begin(), around->body.end(), entry); it != std::sregex_iterator(); ++it)
        names.push_back((*it)[2]);
    EXPECT_EQ(names, (std::vector<std::string>{"p2", "p3"}));

    // Its recording comes back byte for byte, tagged with its SHA-256.
    auto rec = boards.Client().Get("/api/v1/runs/" + Field(r->body, "id") + "/recording");
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->status, 200);
    EXPECT_EQ(rec->body, runs[0]);
    EXPECT_EQ(rec->get_header_value("ETag"), "\"" + Sha256Hex(runs[0]) + "\"");
    auto cached = boards.Client().Get("/api/v1/runs/" + Field(r->body, "id") + "/recording",
                                      {{"If-None-Match", rec->get_header_value("ETag")}});
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->status, 304);
}

TEST_F(BoardApi, EveryRefusalHasItsStatusAndNothingRefusedIsRanked)
{
    // The first key to use a name owns it.
    ASSERT_EQ(Submit(runs[1], "owner", KeyOf(1))->status, 201);
    auto taken = Submit(board_test::TrueVariant(runs[1], 1), "owner", KeyOf(2));
    EXPECT_EQ(taken->status, 403) << taken->body;
    // Another player's run, inputs and all, is not theirs to rank.
    EXPECT_EQ(Submit(runs[1], "thief", KeyOf(3))->status, 422);
    // Bad headers.
    for (const auto& [name, key] : std::vector<std::pair<std::string, std::string>>{
             {"", KeyOf(4)}, {"seventeen-chars-x", KeyOf(4)}, {"tab\there", KeyOf(4)}, {"ok", "xyz"},
             {"ok", KeyOf(4) + "0"}, {"ok", "g" + KeyOf(4).substr(1)}})
        EXPECT_EQ(Submit(runs[2], name, key)->status, 400) << name << " / " << key;
    // A recording the verifier refuses: its reason comes back.
    std::string late = runs[2];
    size_t at = late.find("result ");
    late.replace(at, 7, "result 1");  // a longer time than the frames reach
    auto refused = Submit(late, "ok", KeyOf(4));
    EXPECT_EQ(refused->status, 422);
    EXPECT_FALSE(Field(refused->body, "error").empty());
    // A stage the board does not know.
    std::string elsewhere = runs[2];
    elsewhere.replace(elsewhere.find("stage-hash ") + 11, 16, "0123456789abcdef");
    EXPECT_EQ(Submit(elsewhere, "ok", KeyOf(4))->status, 404);
    // Too large, and the wrong kind of body.
    std::string head = "POST /api/v1/runs HTTP/1.1\r\nHost: x\r\nX-Player-Name: ok\r\nX-Player-Key: " + KeyOf(4) +
                       "\r\nContent-Type: application/octet-stream\r\nContent-Length: 1048577\r\n\r\n";
    EXPECT_EQ(board_test::RawExchange(boards.Port(), head).rfind("HTTP/1.1 413", 0), 0u);
    auto form = boards.Client().Post("/api/v1/runs", {{"X-Player-Name", "ok"}, {"X-Player-Key", KeyOf(4)}}, runs[2],
                                     "application/x-www-form-urlencoded");
    EXPECT_EQ(form->status, 415);
    // Unknown boards and runs.
    EXPECT_EQ(boards.Client().Get("/api/v1/boards/0123456789abcdef")->status, 404);
    EXPECT_EQ(boards.Client().Get("/api/v1/boards/XYZ")->status, 400);
    EXPECT_EQ(boards.Client().Get("/api/v1/runs/99999/recording")->status, 404);

    auto b = boards.Client().Get("/api/v1/boards/" + HashOf(runs[2]));
    EXPECT_EQ(b->body, "{\"stage_hash\":\"" + HashOf(runs[2]) + "\",\"entries\":[]}");
}

TEST_F(BoardApi, ABrowserOnAnotherOriginMayUseTheApiButNotThePage)
{
    httplib::Headers from = {{"Origin", "http://elsewhere.test"}};
    httplib::Headers preflight = {{"Origin", "http://elsewhere.test"}, {"Access-Control-Request-Method", "POST"},
                                  {"Access-Control-Request-Headers", "x-player-name, x-player-key, content-type"}};
    auto asked = boards.Client().Options("/api/v1/runs", preflight);
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->status, 204);
    EXPECT_EQ(asked->get_header_value("Access-Control-Allow-Origin"), "*");
    EXPECT_EQ(asked->get_header_value("Access-Control-Allow-Methods"), "GET, POST");
    EXPECT_EQ(asked->get_header_value("Access-Control-Allow-Headers"), "X-Player-Name, X-Player-Key, Content-Type");
    // Answers and refusals alike can be read there, so the player learns why.
    httplib::Headers player = {{"Origin", "http://elsewhere.test"}, {"X-Player-Name", "far"}, {"X-Player-Key", KeyOf(1)}};
    auto sent = boards.Client().Post("/api/v1/runs", player, runs[0], "application/octet-stream");
    EXPECT_EQ(sent->status, 201) << sent->body;
    EXPECT_EQ(sent->get_header_value("Access-Control-Allow-Origin"), "*");
    auto refused = boards.Client().Post("/api/v1/runs", {{"Origin", "x"}, {"X-Player-Key", "no"}}, runs[0],
                                        "application/octet-stream");
    EXPECT_EQ(refused->status, 400);
    EXPECT_EQ(refused->get_header_value("Access-Control-Allow-Origin"), "*");
    auto read = boards.Client().Get("/api/v1/boards/" + HashOf(runs[0]), from);
    EXPECT_EQ(read->get_header_value("Access-Control-Allow-Origin"), "*");
    // The page, the browser build and the health check stay the board's own.
    EXPECT_FALSE(boards.Client().Get("/", from)->has_header("Access-Control-Allow-Origin"));
    EXPECT_FALSE(boards.Client().Get("/healthz", from)->has_header("Access-Control-Allow-Origin"));
    auto other = boards.Client().Options("/", preflight);
    EXPECT_NE(other->status, 204);
    EXPECT_FALSE(other->has_header("Access-Control-Allow-Origin"));
}

TEST_F(BoardApi, RemovingAPlayerTakesTheirRunsAndFreesTheName)
{
    ASSERT_EQ(Submit(runs[3], "gone", KeyOf(7))->status, 201);
    auto id = Field(Submit(runs[3], "gone", KeyOf(7))->body, "id");
    EXPECT_EQ(boards.Client().Delete("/api/v1/players/me", {{"X-Player-Key", KeyOf(8)}})->status, 404);
    EXPECT_EQ(boards.Client().Delete("/api/v1/players/me", {{"X-Player-Key", "nothex"}})->status, 400);
    EXPECT_EQ(boards.Client().Delete("/api/v1/players/me", {{"X-Player-Key", KeyOf(7)}})->status, 200);
    EXPECT_EQ(boards.Client().Get("/api/v1/runs/" + id + "/recording")->status, 404);
    auto b = boards.Client().Get("/api/v1/boards/" + HashOf(runs[3]));
    EXPECT_EQ(b->body.find("gone"), std::string::npos);
    // The name is free again, and the run with it.
    EXPECT_EQ(Submit(runs[3], "gone", KeyOf(9))->status, 201);
}

TEST_F(BoardApi, ACustomStageIsKnownOnceARunClearsItAndOnlyThen)
{
    std::string custom, recording;
    uint64_t hash;
    CustomStage(0, &custom, &recording, &hash);
    // Not known before.
    EXPECT_EQ(Submit(recording, "maker", KeyOf(5))->status, 404);
    httplib::Headers h = {{"X-Player-Name", "maker"}, {"X-Player-Key", KeyOf(5)}};
    // A recording that does not clear it adds nothing.
    std::string late = recording;
    late.replace(late.find("result "), 7, "result 1");
    EXPECT_EQ(AddStage(custom, late, h)->status, 422);
    EXPECT_EQ(boards.Client().Get("/api/v1/boards/" + HashText(hash))->status, 404);
    auto added = AddStage(custom, recording, h);
    ASSERT_TRUE(added);
    EXPECT_EQ(added->status, 201) << added->body;
    EXPECT_EQ(Field(added->body, "stage_hash"), "\"" + HashText(hash) + "\"");
    // Known from then on, on every server sharing the database.
    for (size_t i = 0; i < boards.servers.size(); i++) {
        httplib::Client c("127.0.0.1", boards.Port(i));
        auto b = c.Get("/api/v1/boards/" + HashText(hash));
        ASSERT_TRUE(b);
        EXPECT_EQ(b->status, 200);
        EXPECT_NE(b->body.find("\"maker\""), std::string::npos);
    }
}

TEST_F(BoardApi, ThePageShowsEveryBoardWithNamesEscapedAndWatchLinks)
{
    ASSERT_EQ(Submit(runs[0], "<b>x</b>", KeyOf(1))->status, 201);
    ASSERT_EQ(Submit(runs[1], "';DROP TABLE--", KeyOf(2))->status, 201);
    auto page = boards.Client().Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    for (int n = 1; n <= 4; n++) EXPECT_NE(page->body.find("<h2>Stage " + std::to_string(n) + "</h2>"), std::string::npos);
    EXPECT_EQ(page->body.find("<b>x"), std::string::npos);
    EXPECT_NE(page->body.find("&lt;b&gt;x&lt;/b&gt;"), std::string::npos);
    EXPECT_NE(page->body.find("&#39;;DROP TABLE--"), std::string::npos);
    EXPECT_EQ(page->body.find("<script"), std::string::npos);
    std::regex watch("<a href=\"/play/\\?run=(\\d+)\">Watch</a>");
    int links = 0;
    for (auto it = std::sregex_iterator(page->body.begin(), page->body.end(), watch); it != std::sregex_iterator(); ++it) {
        links++;
        EXPECT_EQ(boards.Client().Get("/api/v1/runs/" + (*it)[1].str() + "/recording")->status, 200);
    }
    EXPECT_EQ(links, 2);
    // The table the name tried to drop is there: both runs still served.
    auto health = boards.Client().Get("/healthz");
    EXPECT_EQ(health->status, 200);
    auto json = boards.Client().Get("/api/v1/boards/" + HashOf(runs[1]));
    EXPECT_NE(json->body.find("\"';DROP TABLE--\""), std::string::npos);
}

// The entries of a board's page section or of a board's JSON, as
// "rank name run" lines: each match of pattern's three groups.
std::vector<std::string> Entries(const std::string& text, const std::regex& pattern)
{
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it)
        found.push_back((*it)[1].str() + " " + (*it)[2].str() + " " + (*it)[3].str());
    return found;
}
std::vector<std::string> PageEntries(const std::string& html)
{
    static const std::regex row(
        "<tr><td>(\\d+)</td><td>([^<]*)</td><td class=\"t\">[^<]*</td><td><a href=\"/play/\\?run=(\\d+)\">");
    return Entries(html, row);
}
std::vector<std::string> JsonEntries(const std::string& json)
{
    static const std::regex entry("\\{\"rank\":(\\d+),\"name\":\"([^\"]*)\",\"time_ms\":\\d+,\"run\":(\\d+)");
    return Entries(json, entry);
}

TEST_F(BoardApi, ThePageHoldsTwentyBoardsOfTwentyEntriesEachRankedAsTheWholeBoard)
{
    // 22 players on stage 1, all of one time, so the earlier run ranks first;
    // the first player's second run is not her best.
    for (int k = 1; k <= 22; k++)
        ASSERT_EQ(Submit(board_test::TrueVariant(runs[0], k), "p" + std::to_string(k), KeyOf(k))->status, 201);
    ASSERT_EQ(Submit(board_test::TrueVariant(runs[0], 40), "p1", KeyOf(1))->status, 201);
    // 17 custom stages with a run each: 21 boards, one more than a page holds.
    httplib::Headers maker = {{"X-Player-Name", "maker"}, {"X-Player-Key", KeyOf(30)}};
    for (int cell = 0; cell < 17; cell++) {
        std::string text, recording;
        uint64_t hash;
        CustomStage(cell, &text, &recording, &hash);
        auto added = AddStage(text, recording, maker);
        ASSERT_TRUE(added);
        ASSERT_EQ(added->status, 201) << cell << ": " << added->body;
    }
    auto first = boards.Client().Get("/");
    auto second = boards.Client().Get("/?page=2");
    ASSERT_TRUE(first && second);
    auto Count = [](const std::string& html, const std::string& what) {
        size_t n = 0;
        for (size_t at = html.find(what); at != std::string::npos; at = html.find(what, at + 1)) n++;
        return n;
    };
    EXPECT_EQ(Count(first->body, "<h2>"), 20u);
    EXPECT_EQ(Count(second->body, "<h2>"), 1u);
    EXPECT_NE(first->body.find("<a href=\"/?page=2\">More boards</a>"), std::string::npos);
    EXPECT_NE(second->body.find("<a href=\"/?page=1\">Earlier boards</a>"), std::string::npos);
    EXPECT_EQ(second->body.find("More boards"), std::string::npos);
    // A custom stage's run would play on the official stage in the browser: no link.
    EXPECT_NE(second->body.find("<td>maker</td>"), std::string::npos);
    EXPECT_EQ(second->body.find("Watch"), std::string::npos);
    // Stage 1's section: its fastest 20, as the API gives them from the top
    // and round the leader's name; a page past the end has none.
    std::string stage1 = first->body.substr(0, first->body.find("<h2>Stage 2</h2>"));
    auto whole = boards.Client().Get("/api/v1/boards/" + HashOf(runs[0]) + "?around=p1&limit=20");
    auto top = boards.Client().Get("/api/v1/boards/" + HashOf(runs[0]) + "?limit=20");
    std::vector<std::string> shown = PageEntries(stage1);
    ASSERT_EQ(shown.size(), 20u);
    EXPECT_EQ(shown, JsonEntries(whole->body));
    EXPECT_EQ(shown, JsonEntries(top->body));
    EXPECT_EQ(shown[0].substr(0, 5), "1 p1 ");
    EXPECT_NE(stage1.find("more of this board"), std::string::npos);
    EXPECT_EQ(Count(boards.Client().Get("/?page=9")->body, "<h2>"), 0u);
}

// Too many from one key: 429, the rest of the minute.
class BoardThrottle : public BoardApi {
    std::string Options() override { return "--key-rate 3 --address-rate 0"; }
};

TEST_F(BoardThrottle, AKeyThatSendsTooMuchIsToldToWait)
{
    int throttled = 0;
    for (int i = 0; i < 8; i++) throttled += Submit(runs[0], "busy", KeyOf(1))->status == 429;
    // A bucket of 3 (twice that with two servers, each counting its own).
    EXPECT_EQ(throttled, 8 - 3 * (int)boards.servers.size());
    EXPECT_EQ(Submit(runs[1], "calm", KeyOf(2))->status, 201);
}

TEST_F(BoardApi, AfterAnUpgradeTheStoredRunsArePlayedAgainAndThoseThatFailAreReported)
{
    ASSERT_EQ(Submit(runs[0], "old", KeyOf(1))->status, 201);
    ASSERT_EQ(Submit(runs[1], "old", KeyOf(1))->status, 201);
    board_test::StopBoards(&boards);
    // The store says other rules ranked them; and stage 1's file has changed
    // since, so the run on it no longer verifies.
    std::string why;
    Store* store = OpenStore(boards.database, &why);
    ASSERT_NE(store, nullptr) << why;
    ASSERT_TRUE(StoreRun(store, "set_meta", {StoreText("rules"), StoreText("0")}));
    CloseStore(store);
    std::string data = boards.folder + "/data";
    std::filesystem::create_directories(data + "/txt");
    for (int n = 1; n <= 4; n++) {
        std::string name = "/txt/dw_stage" + std::to_string(n) + ".txt";
        std::string text = harness::ReadText(harness::DATA + name);
        if (n == 1) text = "1 " + text;  // every cell one to the right
        std::ofstream(data + name) << text;
    }
    board_test::BoardServer s = board_test::StartOneBoard(boards, "--data '" + data + "'", 9);
    ASSERT_NE(s.port, 0) << board_test::ReadLog(s);
    boards.servers.push_back(s);
    std::string log = board_test::ReadLog(s);
    EXPECT_NE(log.find("of old on stage " + HashOf(runs[0]) + " no longer verifies"), std::string::npos) << log;
    EXPECT_EQ(log.find("stage " + HashOf(runs[1]) + " no longer"), std::string::npos) << log;
    EXPECT_NE(log.find("2 stored runs played again under rules 1: 1 no longer verify"), std::string::npos) << log;
    httplib::Client c("127.0.0.1", s.port);
    EXPECT_EQ(c.Get("/api/v1/boards/" + HashOf(runs[1]))->body.find("\"old\"") != std::string::npos, true);
}

// PostgreSQL restarted under running servers (tools/test-postgres.sh says
// how in PRISMVELDT_BOARD_POSTGRES_RESTART): every server answers again at
// once, reads and writes, without being restarted itself.
TEST_F(BoardApi, AfterTheDatabaseRestartsEveryServerAnswersAgain)
{
    const char* restart = std::getenv("PRISMVELDT_BOARD_POSTGRES_RESTART");
    if (!restart || !*restart) GTEST_SKIP() << "needs PRISMVELDT_BOARD_POSTGRES_RESTART (tools/test-postgres.sh)";
    ASSERT_EQ(Submit(runs[0], "before", KeyOf(1))->status, 201);
    ASSERT_EQ(std::system(restart), 0);
    // Not one request refused: a dropped connection is found and made again
    // under the request that finds it.
    int answered = 0;
    for (int i = 0; i < 40; i++) {
        auto b = boards.Client().Get("/api/v1/boards/" + HashOf(runs[0]));
        answered += b && b->status == 200 && b->body.find("\"before\"") != std::string::npos;
    }
    EXPECT_EQ(answered, 40);
    EXPECT_EQ(Submit(runs[1], "after", KeyOf(2))->status, 201);
    for (size_t i = 0; i < boards.servers.size(); i++)
        EXPECT_EQ(httplib::Client("127.0.0.1", boards.Port(i)).Get("/healthz")->status, 200);
}

}  // namespace
