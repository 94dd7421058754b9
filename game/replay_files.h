// The recordings kept beside the score file: one for every best time, named
// by stage and rank, moved along with their times when a new time enters the
// table and removed when theirs drops out. And the ghost's on/off switch.
#pragma once
#include <string>
#include "game/recording.h"

// Called by the score keeping, the ghost and the tests: where the recording of
// rank (1..5) of stage (1..4) is kept, beside the score file at scorePath.
std::string RecordingPath(const char* scorePath, int stage, int rank);
// Called by EnterRunTime, under the score lock, once the new table is saved
// with the run at rank (1..5) of stage: the recordings of the ranks below move
// down one (the fifth's drops out) and the run's, if there is one, is written
// at rank. A file that cannot be moved or written costs its recording and one
// line on standard error, never the score file.
void KeepRunRecording(const char* scorePath, int stage, int rank, const Recording* recording);

// Called by the play scene: whether the player turned the ghost on, as kept
// in ghost.txt beside the score file (off when there is none).
bool GhostWanted(const char* scorePath);
// Called by the play scene when the player presses G.
void KeepGhostWanted(const char* scorePath, bool on);
