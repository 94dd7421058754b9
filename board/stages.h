// The stages a board knows: the official ones read from the data folder at
// start, and custom ones added with a recording that clears them. Each is
// known by its grid's hash (StageHash), which every recording names.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include "game/stage.h"

using StageGrid = std::array<int, MAP_CELLS>;

struct BoardStage {
    uint64_t hash = 0;
    int number = 0;         // the stage number recordings of it carry
    bool official = false;  // read from the data folder
    std::string content;    // the file's bytes as given
    std::shared_ptr<const StageGrid> grid;
};

// Reads a stage file's text as the game reads a stage file: into a cleared
// grid, the first MAP_CELLS numbers, row by row. False for text with not a
// single number but something else, or with no cell that is not empty (no
// stage to play).
bool ParseStageText(const std::string& text, StageGrid* grid);
// The grid's StageHash. Uses the calling thread's tileMap.
uint64_t GridHash(const StageGrid& grid);
// "%016x" of a hash, as recordings and the board's addresses write it; and
// back (false for anything but 16 lower-case hex digits).
std::string HashText(uint64_t hash);
bool ParseHashText(const std::string& text, uint64_t* hash);

struct StageSet {
    std::mutex lock;
    std::map<uint64_t, BoardStage> stages;
};
// Reads the official stages, txt/dw_stageN.txt (or dw_stageN.txt) in folder
// for N = 1..STAGE_COUNT. False with a reason when one is missing or bad.
bool LoadOfficialStages(const std::string& folder, StageSet* set, std::string* why);
// Adds stage (replacing nothing already known under its hash).
void AddStage(StageSet* set, const BoardStage& stage);
// The stage known under hash, copied into *stage; false when unknown.
bool FindStage(StageSet* set, uint64_t hash, BoardStage* stage);
