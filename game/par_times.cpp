// The solver's times, one for each stage.
#include "game/par_times.h"

#include "game/score.h"

namespace {

constexpr uint32_t PAR_MS[STAGE_COUNT] = {14992, 17680, 13584, 15456};

}  // namespace

uint32_t ParTimeMs(int stage)
{
    return stage >= 1 && stage <= STAGE_COUNT ? PAR_MS[stage - 1] : 0;
}
