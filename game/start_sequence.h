// The way into a stage from the title and from the results screen: the stage's
// start view behind an opening curtain, then "3", "2", "1", "START!!".
#pragma once
#include <cstdint>

// Called by both scenes on every curtain and countdown frame: the play scene's
// layers at the stage's start, camera (34, 1700), gun at rest, no cursor.
void DrawStartView();
// Called by RunTitleScene and RunResultsScene once the stage is loaded: the
// curtain pictures 0, 2, ..., 48 over the start view, one frame each (25
// frames). frameStart is the caller's pacing clock; traceName the frames' name
// in the replay trace.
void RunOpeningCurtain(uint32_t* frameStart, const char* traceName);
// Called right after RunOpeningCurtain: one second each of "3", "2", "1" and
// "START!!" by the clock; returns in the frame that reaches four seconds, which
// is drawn but not shown.
void RunCountdown(uint32_t* frameStart, const char* traceName);
