// Fuzz target: any bytes as a stage file. The reader writes only inside the
// grid, and reading the file in two pieces, wherever they break, gives the
// same cells as reading it whole (LoadStage reads through a small buffer).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include "game/stage.h"

static int whole[MAP_CELLS];
static int pieces[MAP_CELLS];

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    // The first byte chooses where the second reading breaks.
    size_t cut = data[0] % size;
    const char* text = reinterpret_cast<const char*>(data + 1);
    size_t length = size - 1;
    if (cut > length) cut = length;

    for (int i = 0; i < MAP_CELLS; i++) whole[i] = pieces[i] = -12345;
    int count = ParseStageNumbers(text, length, whole);
    if (count < 0 || count > MAP_CELLS) abort();

    StageParser parser;
    StartStageParser(&parser);
    if (FeedStageParser(&parser, text, cut, pieces))
        FeedStageParser(&parser, text + cut, length - cut, pieces);
    int count2 = FinishStageParser(&parser, pieces);
    if (count2 != count || memcmp(whole, pieces, sizeof whole) != 0) abort();
    for (int i = count; i < MAP_CELLS; i++)
        if (whole[i] != -12345) abort();
    return 0;
}
