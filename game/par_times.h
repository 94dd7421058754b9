// The par time of each stage: the time the solver's committed run of it
// (tests/replays/stageN.txt, written by tools/solve) clears it in, as the
// run clock counts it, curtain included. The stage select shows it beside
// the player's best; a test plays those runs and holds these numbers to them,
// so a change of the stages or of the solver's runs is noticed.
#pragma once
#include <cstdint>

// The par of stage (1..STAGE_COUNT) in milliseconds; 0 for any other stage.
uint32_t ParTimeMs(int stage);
