// Reading a stage file into the grid, then bringing the stage picture up to date.
#include <cstdio>
#include "game/stage.h"
#include "platform/platform.h"
#include "shell/shell.h"

void LoadStage()
{
    char path[64];
    snprintf(path, sizeof path, "./txt/dw_stage%d.txt", stageNo);
    FILE* file = fopen(path, "rb");
    if (!file) {
        PlatformWriteStdout("ファイルオープンエラー\n");
        PlatformExit(0);
    }
    // Read through a small buffer: only the first 8000 numbers matter, so a
    // huge file costs no memory and is not read past them.
    StageParser parser;
    StartStageParser(&parser);
    int* cells = &tileMap[0][0];
    char buffer[16384];
    for (;;) {
        size_t got = fread(buffer, 1, sizeof buffer, file);
        if (got == 0) break;
        if (!FeedStageParser(&parser, buffer, got, cells)) break;
    }
    FinishStageParser(&parser, cells);
    fclose(file);
    RenderLevel();
}
