// Fuzz target: any bytes as the best whole game's file. The reader either
// takes four stage times within a run's clock and their sum, or nothing; and
// what the game writes back reads the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include "game/best_game.h"
#include "game/recording.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    BestGame best;
    int state = ParseBestGameText(reinterpret_cast<const char*>(data), size, &best);
    if (state != BEST_GAME_TEXT_GOOD && state != BEST_GAME_TEXT_EMPTY && state != BEST_GAME_TEXT_DAMAGED) abort();
    if ((state == BEST_GAME_TEXT_GOOD) != best.present) abort();
    if (state == BEST_GAME_TEXT_EMPTY && size != 0) abort();
    if (!best.present) return 0;
    uint64_t sum = 0;
    for (uint32_t t : best.stageMs) {
        if (t == 0 || t > RECORDED_CLOCK_MAX) abort();
        sum += t;
    }
    if (sum != best.totalMs || sum > RECORDED_CLOCK_MAX) abort();

    std::string text = FormatBestGameText(best);
    if (text.size() >= BEST_GAME_FILE_MAX_BYTES) abort();
    BestGame again;
    if (ParseBestGameText(text.data(), text.size(), &again) != BEST_GAME_TEXT_GOOD) abort();
    for (int s = 0; s < STAGE_COUNT; s++)
        if (again.stageMs[s] != best.stageMs[s]) abort();
    if (again.totalMs != best.totalMs) abort();
    return 0;
}
