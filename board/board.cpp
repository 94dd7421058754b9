// Boards read from the store, and stages looked up across servers.
#include "board/board.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool ReadEntries(Board* board, const char* statement, const std::vector<StoreValue>& params,
                 std::vector<BoardEntry>* entries)
{
    std::vector<StoreRow> rows;
    entries->clear();
    if (!StoreRun(board->store, statement, params, &rows)) return false;
    for (const StoreRow& row : rows) {
        BoardEntry e;
        e.rank = (int)entries->size() + 1;
        e.name = row[0];
        e.timeMs = std::atoll(row[1].c_str());
        e.run = std::atoll(row[2].c_str());
        e.submitted = std::atoll(row[3].c_str());
        entries->push_back(e);
    }
    return true;
}

}  // namespace

bool ReadBoardTop(Board* board, const std::string& hash, size_t limit, std::vector<BoardEntry>* entries)
{
    return ReadEntries(board, "board_top", {StoreText(hash), StoreInt((int64_t)limit)}, entries);
}

bool FindStanding(Board* board, const std::string& hash, const std::string& name, BoardStanding* standing)
{
    *standing = BoardStanding{};
    std::vector<StoreRow> rows;
    if (!StoreRun(board->store, "player_best", {StoreText(hash), StoreText(name)}, &rows)) return false;
    if (rows.empty()) return true;
    standing->timeMs = std::atoll(rows[0][0].c_str());
    standing->run = std::atoll(rows[0][1].c_str());
    std::vector<StoreRow> count;
    if (!StoreRun(board->store, "players_before",
                  {StoreText(hash), StoreInt(standing->timeMs), StoreInt(standing->run)}, &count) ||
        count.empty())
        return false;
    standing->rank = (int)std::atoll(count[0][0].c_str()) + 1;
    return true;
}

bool ReadBoardAround(Board* board, const std::string& hash, const std::string& name, size_t limit,
                     std::vector<BoardEntry>* entries)
{
    BoardStanding me;
    if (!FindStanding(board, hash, name, &me)) return false;
    if (me.rank == 0) return ReadBoardTop(board, hash, limit, entries);
    size_t above = me.rank - 1;
    std::vector<StoreValue> at = {StoreText(hash), StoreInt(me.timeMs), StoreInt(me.run), StoreInt((int64_t)limit)};
    std::vector<BoardEntry> from, before;
    if (!ReadEntries(board, "board_from", at, &from)) return false;
    // Half the window above the name, or more when the board ends sooner below it.
    size_t want = std::min(above, from.size() < limit - limit / 2 ? limit - from.size() : limit / 2);
    at[3] = StoreInt((int64_t)want);
    if (want > 0 && !ReadEntries(board, "board_before", at, &before)) return false;
    entries->clear();
    for (size_t i = before.size(); i-- > 0;) entries->push_back(before[i]);
    for (size_t i = 0; i < from.size() && entries->size() < limit; i++) entries->push_back(from[i]);
    int first = me.rank - (int)before.size();
    for (size_t i = 0; i < entries->size(); i++) (*entries)[i].rank = first + (int)i;
    return true;
}

bool LookUpStage(Board* board, uint64_t hash, BoardStage* stage)
{
    if (FindStage(&board->stages, hash, stage)) return true;
    std::vector<StoreRow> rows;
    if (!StoreRun(board->store, "find_stage", {StoreText(HashText(hash))}, &rows) || rows.empty()) return false;
    auto grid = std::make_shared<StageGrid>();
    if (!ParseStageText(rows[0][1], grid.get()) || GridHash(*grid) != hash) return false;
    stage->hash = hash;
    stage->number = std::atoi(rows[0][0].c_str());
    stage->official = false;
    stage->content = rows[0][1];
    stage->grid = grid;
    AddStage(&board->stages, *stage);
    return true;
}
