// A stage pack: the stage files of a folder (--stages DIR), played in place
// of the shipped four with the same scenes, each stage keeping its own best
// times and recordings by the hash of its grid.
//
// The files are read once, whole and strictly (stage_file.h), when the pack
// is chosen; the game then plays the grids read, never the files again. A
// stage's records live beside the score file under stages/<hash>/ (its own
// scoretime.txt, of which only the first row is used, and its rank
// recordings and segments), written as the game's own are: so two packs
// never mix their tables, the same stage in two packs is the same table,
// and an edited stage starts a fresh one. The shipped table is never
// touched while a pack is played, and a pack keeps no whole-game total.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/score.h"

// The most stages a pack plays: the stage select shows them four to a page.
constexpr int PACK_MOST_STAGES = 100;
// The most entries of a folder looked at; a pack is a handful of files.
constexpr int PACK_MOST_ENTRIES = 4096;

struct StagePack {
    std::string folder;
    std::vector<std::string> names;         // the files' names, in the order played
    std::vector<std::vector<int>> cells;    // each stage's grid, MAP_CELLS codes
    std::vector<uint64_t> hashes;           // CellsHash of each
    std::vector<std::string> scorePaths;    // each stage's own score file; "" for none
};

// Reads the *.txt files of folder, in byte order of their names, into *pack
// (cleared first). A file that is not a whole stage (damaged, not text,
// empty, too large, unreadable, not a regular file) is left out, with one
// line on standard error naming it (its control bytes shown as '?') and
// saying why; so are the good files after the first PACK_MOST_STAGES. False
// with the reason in *why when the folder cannot be read or gives no stage
// to play. Reads only.
bool ReadStagePack(const std::string& folder, StagePack* pack, std::string* why);

// From now on the game plays pack (ReadStageFile reads its grids), and each
// of its stages keeps its records beside the score file at scorePath, under
// stages/<hash>/; the folders are made, private to the player, and what a
// save cut short left there is tidied away. With scorePath nullptr, or a
// folder that cannot be made (one line on standard error), that stage's
// times last only for the session.
void UseStagePack(StagePack pack, const char* scorePath);
// The pack played, or nullptr for the shipped stages.
const StagePack* PackInPlay();
// How many stages a game has: the shipped four, or the pack's.
int StagesInPlay();

// Where a stage's best times are kept: the score file and its row there.
struct StageRecords {
    const char* scorePath;  // nullptr: this session's table only
    int row;                // 1..STAGE_COUNT
    const char* session;    // with no score file, the session table's name (score.h)
};
// The shipped stage's: the score file and the stage's row. A pack stage's:
// its own score file, first row (or, with no folder for it, first row of a
// session table of its own).
StageRecords RecordsOfStage(int stage);

// The stage (1..) of pack whose grid has this hash, 0 when none has.
int PackStageWithHash(const StagePack& pack, uint64_t hash);
