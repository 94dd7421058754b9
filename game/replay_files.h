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
// write replaces a link in the folder instead of writing through it.
//
// None of these functions takes the score lock. Those that change the kept
// recordings (WritePendingRecording, TidyKeptRecordings, RemoveKeptLeftovers)
// are to be called with it held (PlatformLockFile on the score file); reading
// a recording for the ghost and the ghost's setting need no lock. scorePath
// names the score file (scoreFilePath); the functions that accept nullptr for
// it (a session without a score file) say so, and then do nothing.
#pragma once
#include <cstdint>
#include <string>
#include "game/recording.h"
#include "game/score.h"

// Where a file named name (no folder) is kept beside the score file at
// scorePath (not nullptr). Only names the file.
std::string KeptFilePath(const char* scorePath, const std::string& name);
// Where the recording of rank (1..5) of stage (1..4) is kept, beside the
// score file at scorePath (not nullptr). Only names the file.
std::string RecordingPath(const char* scorePath, int stage, int rank);
// Where a run's recording of stage waits for the table to take its time,
// beside the score file at scorePath (not nullptr).
std::string PendingRecordingPath(const char* scorePath, int stage);

// The most bytes a recording of a run of timeMs can take: a header and one
// longest line per frame period. A file larger than that is no recording of
// such a run and is never read whole.
uint64_t RecordingBytesLimit(uint32_t timeMs);

// The recording of the entry at rank (1..5) of stage in table, read into
// *recording: the file under the rank's own name when it holds a run of that
// stage and time, else whichever kept file the tidying would give the entry.
// Reads only; renames and removes nothing. False when none of the stage's
// kept files holds such a run, and for scorePath nullptr or a stage or rank
// out of range; *recording then holds nothing to use. *why (when given) is
// cleared, and on false says what was wrong with the file under the rank's
// own name, or stays empty when there is none.
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

// Writes a run's recording where it waits (PendingRecordingPath for its
// stage, replacing what was there), before the table with the run's time in
// it is saved; scorePath must not be nullptr. False (one line on standard
// error) when it cannot be written; the time is then kept without it.
bool WritePendingRecording(const char* scorePath, const Recording& recording);
// Matches the stage's kept files to table, which must be the table now on
// disk (after a save, or after one that failed): the stage's recordings are
// renamed to their entries' ranks, the waiting one included, and everything
// under their names that matches no entry is removed (one line on standard
// error for a damaged file; a run that dropped out goes quietly). A rename or
// removal that fails says so on standard error and leaves that file. Nothing
// for scorePath nullptr or a stage out of range.
void TidyKeptRecordings(const char* scorePath, const ScoreTable& table, int stage);
// Removes what saves cut short left beside every file the game writes there:
// the score file, the ghost's setting, the best segments and every recording's name. Meant for
// start-up, before any save of this session. Nothing for scorePath nullptr.
void RemoveKeptLeftovers(const char* scorePath);

// Whether the player turned the ghost on, as kept in ghost.txt beside the
// score file: on only when the file starts with "on"; off when there is no
// such file or no scorePath.
bool GhostWanted(const char* scorePath);
// Keeps the player's choice in ghost.txt ("on" or "off" and a line end),
// replacing the file whole; one line on standard error when it cannot be
// written: the choice then lasts only for this session. Nothing for
// scorePath nullptr.
void KeepGhostWanted(const char* scorePath, bool on);
