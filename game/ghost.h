// The ghost: the stage's best kept run, played again beside the player's and
// drawn see-through in the world behind the character, where that run was at
// the same time on the clock. Off until the player turns it on with G.
#pragma once
#include <cstdint>

struct PlayView;

// Called by the play scene at each stage start (and when the ghost is turned
// on): the track of the best kept run of stage, when its recording is there
// and was played on the stage now loaded; no ghost otherwise.
void LoadGhost(const char* scorePath, int stage);
// Called by the play scene after each StepPlay while the ghost is on: where
// the ghost is at clockMs, seen from the camera (camX, camY), into view.
void PlaceGhost(uint32_t clockMs, float camX, float camY, PlayView* view);
