// Official and custom stages, read with the game's own stage reader.
#include "board/stages.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "game/recording.h"
#include "game/score.h"
#include "gfx/whole_file.h"

bool ParseStageText(const std::string& text, StageGrid* grid)
{
    grid->fill(0);
    StageParser parser;
    StartStageParser(&parser);
    FeedStageParser(&parser, text.data(), text.size(), grid->data());
    int count = FinishStageParser(&parser, grid->data());
    if (count == 0 && parser.stoppedAtJunk) return false;
    for (int cell : *grid)
        if (cell != TILE_EMPTY) return true;
    return false;
}

uint64_t GridHash(const StageGrid& grid)
{
    std::memcpy(tileMap, grid.data(), sizeof tileMap);
    return StageHash();
}

std::string HashText(uint64_t hash) { return StageHashText(hash); }

bool ParseHashText(const std::string& text, uint64_t* hash)
{
    if (text.size() != 16 || text.find_first_not_of("0123456789abcdef") != std::string::npos)
        return false;
    *hash = std::strtoull(text.c_str(), nullptr, 16);
    return true;
}

bool LoadOfficialStages(const std::string& folder, StageSet* set, std::string* why)
{
    for (int n = 1; n <= STAGE_COUNT; n++) {
        std::string name = "dw_stage" + std::to_string(n) + ".txt";
        std::string text;
        if (ReadWholeFile((folder + "/txt/" + name).c_str(), 4u << 20, &text) != WHOLE_FILE_OK &&
            ReadWholeFile((folder + "/" + name).c_str(), 4u << 20, &text) != WHOLE_FILE_OK) {
            *why = "no readable " + name + " in " + folder + " (nor in its txt/)";
            return false;
        }
        BoardStage stage;
        auto grid = std::make_shared<StageGrid>();
        if (!ParseStageText(text, grid.get())) {
            *why = name + " in " + folder + " is not a stage file";
            return false;
        }
        stage.hash = GridHash(*grid);
        stage.number = n;
        stage.official = true;
        stage.content = text;
        stage.grid = grid;
        AddStage(set, stage);
    }
    return true;
}

void AddStage(StageSet* set, const BoardStage& stage)
{
    std::lock_guard<std::mutex> hold(set->lock);
    set->stages.emplace(stage.hash, stage);
}

bool FindStage(StageSet* set, uint64_t hash, BoardStage* stage)
{
    std::lock_guard<std::mutex> hold(set->lock);
    auto at = set->stages.find(hash);
    if (at == set->stages.end()) return false;
    *stage = at->second;
    return true;
}
