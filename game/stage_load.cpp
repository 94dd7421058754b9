// Reading a stage file into the grid, then bringing the stage picture up to date.
#include <cstdio>
#include "game/stage.h"
#include "platform/platform.h"

namespace {

// Only the first 8000 numbers matter; a stage file is a few tens of
// kilobytes, so reading never goes past this whatever the file holds.
constexpr unsigned long long STAGE_READ_LIMIT = 4ull << 20;

[[noreturn]] void StageFileError()
{
    PlatformWriteStdout("ファイルオープンエラー\n");
    PlatformExit(0);
}

}  // namespace

bool ReadStageFile(int stage)
{
    char path[64];
    snprintf(path, sizeof path, "./txt/dw_stage%d.txt", stage);
    // A folder, a pipe or a device in the file's place is no stage file.
    PlatformFile* file = nullptr;
    uint64_t size = 0;
    if (PlatformOpenFile(path, &file, &size) != PLATFORM_FILE_OK) return false;
    // Read through a small buffer: a huge file costs no memory.
    StageParser parser;
    StartStageParser(&parser);
    int* cells = &tileMap[0][0];
    char buffer[16384];
    unsigned long long total = 0;
    bool readable = true;
    while (total < STAGE_READ_LIMIT) {
        long long got = PlatformReadFile(file, buffer, sizeof buffer);
        if (got < 0) readable = false;  // an unreadable file, as if missing
        if (got <= 0) break;
        total += (unsigned long long)got;
        if (!FeedStageParser(&parser, buffer, (size_t)got, cells)) break;
    }
    PlatformCloseFile(file);
    // Not a single number, but something else: a binary file, not a stage.
    int count = FinishStageParser(&parser, cells);
    return readable && !(count == 0 && parser.stoppedAtJunk);
}

void LoadStage(int stage)
{
    if (!ReadStageFile(stage)) StageFileError();
    RenderLevel();
}
