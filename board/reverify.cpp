// After an upgrade of the rules: every stored run played again, and those
// that no longer verify taken off the boards and reported.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "board/board.h"
#include "game/recording.h"

int ReverifyStoredRuns(Board* board, bool forced)
{
    std::vector<StoreRow> rows;
    if (!StoreRun(board->store, "get_meta", {StoreText("rules")}, &rows)) return -1;
    std::string rules = std::to_string(RULES_VERSION);
    bool changed = rows.empty() || rows[0][0] != rules;
    if (!changed && !forced) return 0;
    std::vector<StoreRow> runs;
    if (!StoreRun(board->store, "valid_runs", {}, &runs)) return -1;
    int failed = 0;
    for (const StoreRow& run : runs) {
        Recording r;
        std::string why;
        BoardStage stage;
        bool ok = ParseRecording(run[3].data(), run[3].size(), &r, &why);
        if (ok && !LookUpStage(board, r.stageHash, &stage)) {
            ok = false;
            why = "the board no longer knows its stage";
        }
        if (ok) {
            int outcome;
            // A full queue only means the pool is busy: wait and try again.
            while ((outcome = VerifyOnPool(board->pool, r, stage.grid, &why)) == VERIFY_QUEUE_FULL) {}
            ok = outcome == VERIFY_ACCEPTED;
        }
        if (ok) continue;
        failed++;
        fprintf(stderr, "prismveldt-board: run %s of %s on stage %s no longer verifies: %s\n", run[0].c_str(),
                run[1].c_str(), run[2].c_str(), why.c_str());
        if (!StoreRun(board->store, "invalidate_run", {StoreInt(std::atoll(run[0].c_str()))})) return -1;
    }
    if (!StoreRun(board->store, "set_meta", {StoreText("rules"), StoreText(rules)})) return -1;
    fprintf(stderr, "prismveldt-board: %zu stored runs played again under rules %d: %d no longer verify\n",
            runs.size(), RULES_VERSION, failed);
    return failed;
}
