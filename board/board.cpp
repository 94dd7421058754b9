// Boards read from the store, and stages looked up across servers.
#include "board/board.h"

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

bool ReadBoard(Board* board, const std::string& hash, std::vector<BoardEntry>* entries)
{
    return ReadEntries(board, "board", {StoreText(hash)}, entries);
}

bool ReadBoardTop(Board* board, const std::string& hash, size_t limit, std::vector<BoardEntry>* entries)
{
    return ReadEntries(board, "board_top", {StoreText(hash), StoreInt((int64_t)limit)}, entries);
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
