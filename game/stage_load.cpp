// Reading a stage file into the grid, then bringing the stage picture up to date.
#include <cstdio>
#include <cstring>
#include <string>
#include "game/stage.h"
#include "gfx/whole_file.h"
#include "platform/platform.h"
#include "shell/phrases.h"

namespace {

// Only the first 8000 numbers matter; a stage file is a few tens of
// kilobytes, so reading never goes past this whatever the file holds.
constexpr unsigned long long STAGE_READ_LIMIT = 4ull << 20;

const int* heldCells = nullptr;  // the editor's stage, played in place of the files
const std::vector<std::vector<int>>* packStages = nullptr;  // a pack's, in place of ./txt/

[[noreturn]] void StageFileError()
{
    PlatformWriteStdout((std::string(Said(PHRASE_STAGE_NOT_OPENED)) + "\n").c_str());
    PlatformExit(0);
}

struct StageReading {
    StageParser parser;
    int* cells;
};

bool FeedPiece(void* context, const char* bytes, size_t length)
{
    StageReading* reading = static_cast<StageReading*>(context);
    return FeedStageParser(&reading->parser, bytes, length, reading->cells);
}

}  // namespace

bool ReadStageFile(int stage)
{
    if (packStages) {
        if (stage < 1 || stage > (int)packStages->size()) return false;
        memcpy(tileMap, (*packStages)[stage - 1].data(), sizeof tileMap);
        return true;
    }
    char path[64];
    snprintf(path, sizeof path, "./txt/dw_stage%d.txt", stage);
    // A folder, a pipe or a device in the file's place is no stage file, nor
    // is one that cannot be read. It is read a piece at a time and only
    // until its numbers are all in: a huge file costs no memory.
    StageReading reading;
    StartStageParser(&reading.parser);
    reading.cells = &tileMap[0][0];
    bool readable = ReadFileStart(path, STAGE_READ_LIMIT, FeedPiece, &reading) == WHOLE_FILE_OK;
    // Not a single number, but something else: a binary file, not a stage.
    int count = FinishStageParser(&reading.parser, reading.cells);
    return readable && !(count == 0 && reading.parser.stoppedAtJunk);
}

void PlayStageCells(const int* cells) { heldCells = cells; }

void PlayStagePack(const std::vector<std::vector<int>>* stages) { packStages = stages; }

void LoadStage(int stage)
{
    if (heldCells) {
        memcpy(tileMap, heldCells, sizeof tileMap);
        RenderLevel();
        return;
    }
    if (!ReadStageFile(stage)) StageFileError();
    RenderLevel();
}
