// The board's ghosts: the world record's run, or the run ranked just above
// the player's, fetched from the records board in the background
// (GET /api/v1/boards/{stage hash}, then that run's recording) and played
// again by the game's own verifier on the stage in play before it is ever
// drawn. A recording that does not verify is refused: no ghost, one line on
// standard error. Only while online records are on (OnlineReady).
#pragma once
#include <cstdint>
#include <string>
#include "game/ghost.h"

enum { WORLD_GHOST_RECORD = 1, WORLD_GHOST_ABOVE = 2 };
enum { WORLD_GHOST_IDLE = 0, WORLD_GHOST_FETCHING, WORLD_GHOST_READY, WORLD_GHOST_NONE };

struct WorldGhost {
    int which = 0;          // WORLD_GHOST_RECORD or _ABOVE; 0: none wanted
    uint64_t stageHash = 0;
    int state = WORLD_GHOST_IDLE;
    int handle = 0;         // the request under way
    bool gotBoard = false;  // the board is read: the recording is being fetched
};

// Starts fetching the ghost of which for the stage now in tileMap, letting
// go of any fetch under way; track is cleared until it is ready.
void StartWorldGhost(WorldGhost* ghost, int which, GhostTrack* track);
// Once a frame of play: takes the answer of the request under way, when it
// is in, and builds the track once the recording has verified on the stage
// now in tileMap (which must still be the stage it was started on).
void StepWorldGhost(WorldGhost* ghost, GhostTrack* track);
// Lets go of the request under way.
void StopWorldGhost(WorldGhost* ghost);
// The run to race on a board's answer (JSON entries, by rank): the first
// entry for which, else the entry just above name's (0 when there is none).
long long PickBoardRun(const std::string& board, int which, const std::string& name);
