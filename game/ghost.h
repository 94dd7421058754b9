// The ghost: the stage's best kept run, played again beside the player's and
// drawn see-through in the world behind the character, where that run was at
// the same time on the clock. Off until the player turns it on with G.
#pragma once
#include <cstdint>
#include <vector>
#include "gfx/surface.h"

struct PlayView;

// Where the best run was on each of its play frames.
struct GhostSample {
    uint32_t clockMs;
    float camX, camY;
    Surface picture;
    int facingLeft;
};
struct GhostTrack {
    std::vector<GhostSample> samples;  // by clock; empty: no ghost
};

// The track of the best kept run of stage (the table's first entry, paired
// with its recording by stage and time, bounded by what a run of that time
// holds), when it was played on the stage now in tileMap; empty otherwise. A
// recording that is there but cannot be read costs the ghost and one line on
// standard error.
void LoadGhost(const char* scorePath, int stage, GhostTrack* track);
// The track of recording played on the stage now in tileMap, into *track.
struct Recording;
void TrackRecordedRun(const Recording& recording, GhostTrack* track);
// Where the ghost is at clockMs, seen from the camera (camX, camY), into view:
// the last sample at or before the clock (before the run's first, its start).
void PlaceGhost(const GhostTrack& track, uint32_t clockMs, float camX, float camY, PlayView* view);
