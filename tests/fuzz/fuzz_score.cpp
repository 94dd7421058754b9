// Fuzz target: any bytes as a score file. The reader either takes twenty
// numbers, with rows in the ranking's order, or leaves every slot empty; and
// what the game writes back reads the same.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include "game/score.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ScoreTable table;
    int state = ParseScoreText(reinterpret_cast<const char*>(data), size, &table);
    if (state != SCORE_TEXT_GOOD && state != SCORE_TEXT_EMPTY && state != SCORE_TEXT_DAMAGED) abort();
    if (state != SCORE_TEXT_GOOD) {
        ScoreTable empty;
        FillEmptyScoreTable(&empty);
        if (memcmp(&table, &empty, sizeof table) != 0) abort();
    }
    for (int stage = 0; stage < STAGE_COUNT; stage++)
        for (int rank = 1; rank < RANKS_PER_STAGE; rank++)
            if ((uint32_t)table.times[stage][rank - 1] > (uint32_t)table.times[stage][rank]) abort();

    char text[256];
    int length = FormatScoreText(table, text, sizeof text);
    if (length <= 0 || length >= (int)sizeof text || text[length] != '\0') abort();
    ScoreTable again;
    if (ParseScoreText(text, (size_t)length, &again) != SCORE_TEXT_GOOD) abort();
    if (memcmp(&table, &again, sizeof table) != 0) abort();

    // Ranking any time into a row keeps it in order.
    if (size >= 4) {
        uint32_t run;
        memcpy(&run, data, 4);
        RankRunTime(table.times[0], run);
        for (int rank = 1; rank < RANKS_PER_STAGE; rank++)
            if ((uint32_t)table.times[0][rank - 1] > (uint32_t)table.times[0][rank]) abort();
        TimeText shown = FormatRunTime(run);
        TimeText entry = FormatEntryTime((int32_t)run);
        if (!memchr(shown.clock, 0, sizeof shown.clock) || !memchr(entry.fraction, 0, sizeof entry.fraction))
            abort();
    }
    return 0;
}
