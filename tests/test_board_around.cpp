// The board's reads (the top, a player's standing, the window round their
// name) against the whole board worked out here from the runs put in: the
// same ranks, the same entries, on a real database (SQLite, or PostgreSQL as
// tests/board/server.h says) filled with many players' runs, ties, slower
// repeats, runs no longer valid and another stage's runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "board/board.h"
#include "tests/board/server.h"

namespace {

const std::string STAGE = "00000000000000aa";
const std::string OTHER = "00000000000000bb";

// The window the whole board gives: limit entries with the name at i in the
// middle, pushed back from the board's end; the top for a name not on it.
std::vector<BoardEntry> WindowOf(const std::vector<BoardEntry>& board, const std::string& name, size_t limit)
{
    size_t first = 0;
    for (size_t i = 0; i < board.size(); i++)
        if (board[i].name == name) first = i > limit / 2 ? i - limit / 2 : 0;
    if (first + limit > board.size()) first = board.size() > limit ? board.size() - limit : 0;
    return std::vector<BoardEntry>(board.begin() + first, board.begin() + std::min(board.size(), first + limit));
}

std::string Describe(const std::vector<BoardEntry>& entries)
{
    std::string s;
    for (const BoardEntry& e : entries)
        s += std::to_string(e.rank) + " " + e.name + " " + std::to_string(e.timeMs) + " #" + std::to_string(e.run) + "\n";
    return s;
}

class BoardAround : public testing::Test {
protected:
    board_test::Boards boards;
    Board board;
    std::vector<std::string> names;

    void SetUp() override
    {
        ASSERT_TRUE(board_test::MakeBoards(&boards)) << "no database for the board";
        std::string why;
        board.store = OpenStore(boards.database, &why);
        ASSERT_NE(board.store, nullptr) << why;
    }
    // Every run put in: its entry, its stage and whether it is still valid.
    struct Put {
        BoardEntry entry;
        std::string stage;
        bool valid = true;
    };
    std::vector<Put> put;

    // The whole board of stage: each player's fastest valid run (of equal
    // times the earlier), fastest first, equal times by the earlier run.
    std::vector<BoardEntry> Whole(const std::string& stage) const
    {
        auto before = [](const BoardEntry& a, const BoardEntry& b) {
            return a.timeMs != b.timeMs ? a.timeMs < b.timeMs : a.run < b.run;
        };
        std::map<std::string, BoardEntry> best;
        for (const Put& p : put)
            if (p.stage == stage && p.valid &&
                (!best.count(p.entry.name) || before(p.entry, best[p.entry.name])))
                best[p.entry.name] = p.entry;
        std::vector<BoardEntry> whole;
        for (const auto& [name, e] : best) whole.push_back(e);
        std::sort(whole.begin(), whole.end(), before);
        for (size_t i = 0; i < whole.size(); i++) whole[i].rank = (int)i + 1;
        return whole;
    }

    void TearDown() override
    {
        if (board.store) CloseStore(board.store);
        std::filesystem::remove_all(boards.folder);
    }

    int64_t AddPlayer(const std::string& name)
    {
        std::vector<StoreRow> rows;
        EXPECT_TRUE(StoreRun(board.store, "claim_name", {StoreText(name), StoreText("k" + name), StoreInt(1)}));
        EXPECT_TRUE(StoreRun(board.store, "find_player", {StoreText(name)}, &rows));
        return rows.empty() ? 0 : std::atoll(rows[0][0].c_str());
    }
    int64_t AddRun(int64_t player, const std::string& name, const std::string& stage, int64_t ms, int n)
    {
        std::vector<StoreRow> rows;
        std::string print = "f" + std::to_string(n);
        EXPECT_TRUE(StoreRun(board.store, "add_run",
                             {StoreInt(player), StoreText(stage), StoreInt(1), StoreInt(ms), StoreInt(ms / 16),
                              StoreInt(1), StoreBytes("r"), StoreText("s"), StoreText(print), StoreInt(n)},
                             &rows));
        int64_t id = rows.empty() ? 0 : std::atoll(rows[0][0].c_str());
        Put p;
        p.entry.name = name;
        p.entry.timeMs = ms;
        p.entry.run = id;
        p.entry.submitted = n;
        p.stage = stage;
        put.push_back(p);
        return id;
    }
};

TEST_F(BoardAround, TheStandingAndTheWindowAreTheWholeBoardsOwn)
{
    // 70 players; 500 runs of times close enough to tie often, a tenth made
    // no longer valid; stage OTHER's runs are faster than them all.
    std::mt19937 random(7);
    std::vector<int64_t> players;
    for (int p = 0; p < 70; p++) {
        names.push_back("p" + std::to_string(p));
        players.push_back(AddPlayer(names.back()));
    }
    for (int n = 0; n < 500; n++) {
        int p = random() % 50;
        int64_t id = AddRun(players[p], names[p], STAGE, 4000 + random() % 120 * 16, n);
        if (random() % 10 == 0) {
            ASSERT_TRUE(StoreRun(board.store, "invalidate_run", {StoreInt(id)}));
            put.back().valid = false;
        }
        p = random() % 70;
        if (n % 5 == 0) AddRun(players[p], names[p], OTHER, 1000 + n, 1000 + n);
    }
    std::vector<BoardEntry> whole = Whole(STAGE);
    ASSERT_GT(whole.size(), 40u);
    for (size_t limit : {1, 5, 40, 1000}) {
        std::vector<BoardEntry> top;
        ASSERT_TRUE(ReadBoardTop(&board, STAGE, limit, &top));
        EXPECT_EQ(Describe(top), Describe(WindowOf(whole, "", limit))) << "top " << limit;
    }

    names.push_back("nobody");   // has no run at all
    names.push_back("p65");      // has runs on OTHER only (if any)
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        BoardStanding standing;
        ASSERT_TRUE(FindStanding(&board, STAGE, name, &standing));
        int rank = 0;
        int64_t run = 0;
        for (const BoardEntry& e : whole)
            if (e.name == name) {
                rank = e.rank;
                run = e.run;
            }
        EXPECT_EQ(standing.rank, rank);
        if (rank) {
            EXPECT_EQ(standing.run, run);
        }
        for (size_t limit : {1, 2, 3, 4, 7, 10, 100, 1000}) {
            SCOPED_TRACE("limit " + std::to_string(limit));
            std::vector<BoardEntry> around;
            ASSERT_TRUE(ReadBoardAround(&board, STAGE, name, limit, &around));
            EXPECT_EQ(Describe(around), Describe(WindowOf(whole, name, limit)));
        }
    }
}

TEST_F(BoardAround, AnEmptyBoardHasNoStandingAndAnEmptyWindow)
{
    AddPlayer("alone");
    BoardStanding standing;
    ASSERT_TRUE(FindStanding(&board, STAGE, "alone", &standing));
    EXPECT_EQ(standing.rank, 0);
    std::vector<BoardEntry> around = {BoardEntry{}};
    ASSERT_TRUE(ReadBoardAround(&board, STAGE, "alone", 5, &around));
    EXPECT_TRUE(around.empty());
}

}  // namespace
