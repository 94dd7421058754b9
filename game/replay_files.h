// The recordings kept beside the score file, one for every best time that
// came with one, and the ghost's on/off switch.
//
// A recording belongs to a table entry only when its stage and its result
// (the run's time) equal that entry: they are matched by what they hold,
// never by their file's name alone, so a save cut short anywhere can leave a
// file under another rank's name but never shows a run under a time it did
// not make. The names follow the ranks (stageN-rankR.replay) for the player's
// sake: each save and each start-up puts every matched recording under its
// entry's rank and removes the recordings that match no entry.
//
// A run's recording is written before its time enters the score file, under
// stageN-new.replay, and takes its rank's name once the table is saved. Every
// write replaces a link in the folder instead of writing through it. None of
// these functions takes the score lock: their callers hold it.
#pragma once
#include <cstdint>
#include <string>
#include "game/recording.h"
#include "game/score.h"

// Where the recording of rank (1..5) of stage (1..4) is kept, beside the
// score file at scorePath.
std::string RecordingPath(const char* scorePath, int stage, int rank);
// Where a run's recording waits for the table to take its time.
std::string PendingRecordingPath(const char* scorePath, int stage);

// The most bytes a recording of a run of timeMs can take: a header and one
// longest line per frame period. A file larger than that is no recording of
// such a run and is never read whole.
uint64_t RecordingBytesLimit(uint32_t timeMs);

// Called by the ghost and the tests: the recording of the entry at rank
// (1..5) of stage in table, read into *recording; false when none of the
// stage's kept files holds a run of that stage and time. *why (when given)
// then says what was wrong with the file under the rank's own name, or is
// left empty when there is none.
bool FindKeptRecording(const char* scorePath, const ScoreTable& table, int stage, int rank,
                       Recording* recording, std::string* why = nullptr);

// Which kept file goes with which entry of one stage's row. candidates[0..4]
// are the files under the rank names, candidates[5] the waiting one; a
// candidate holds a run's time, or is absent. The waiting run takes the
// first entry of its time (a new time ranks above an equal one), then each
// entry keeps the file under its own name if that holds its time, then the
// rest take the first free file of their time. assigned[r] is the candidate
// of rank r + 1, or -1.
constexpr int KEPT_CANDIDATES = RANKS_PER_STAGE + 1;
struct KeptCandidate {
    bool present;
    uint32_t timeMs;
};
void AssignKeptRecordings(const int32_t row[RANKS_PER_STAGE],
                          const KeptCandidate candidates[KEPT_CANDIDATES],
                          int assigned[RANKS_PER_STAGE]);

// Called by EnterRunTime before it saves the table with the run in it: the
// run's recording, written where it waits. False (one line on standard
// error) when it cannot be written; the time is then kept without it.
bool WritePendingRecording(const char* scorePath, const Recording& recording);
// Called by EnterRunTime once the table is saved (or not), and at start-up
// for every stage: the stage's recordings renamed to their entries' ranks,
// the waiting one included, and every file that matches no entry removed.
void TidyKeptRecordings(const char* scorePath, const ScoreTable& table, int stage);
// Called at start-up under the lock: what saves cut short left of any file
// the game writes beside the score file.
void RemoveKeptLeftovers(const char* scorePath);

// Called by the play scene: whether the player turned the ghost on, as kept
// in ghost.txt beside the score file (off when there is none).
bool GhostWanted(const char* scorePath);
// Called by the play scene when the player presses G.
void KeepGhostWanted(const char* scorePath, bool on);
