// What the game draws that alternates quickly, and how the reduced flashing
// setting shows it instead. At the game's pace of a frame every 16 ms (62.5
// a second), counting a flash as one whole back-and-forth:
//   - a flying bee's wings: four pictures in turn, a new one every frame,
//     15.6 beats a second; reduced, a new one every STEADY_WING_PICTURE_MS
//     of the run's clock, 2.5 a second;
//   - the character standing still: two idle pictures, each for ten frames,
//     3.1 a second; reduced, the first picture held;
//   - slower ones left as they are: the results' own row (its colour swings
//     back and forth in 1.76 s, 0.57 a second), CLICK START (in 3.65 s, 0.27 a
//     second), the title's sky (4.4 s), the cursors (a turn in 5.8 s), a
//     death's curtain (once, 0.75 s); the beam, its flash and its spark stay
//     lit as long as the button is held.
// The setting changes only the drawing: the rules, the traces and the
// recordings are the same either way.
#pragma once
#include <cstdint>

#include "game/bees.h"

// How long each wing picture is shown with reduced flashing.
constexpr uint32_t STEADY_WING_PICTURE_MS = 100;

// The bee picture drawn with reduced flashing: a flying bee's wings by the
// run's clock (clockMs) instead of the frame; a dying bee's pictures, which
// play once, as they are.
BeeSprite SteadierBee(const BeeSprite& sprite, uint32_t clockMs);
