// The best whole game: the fastest total of the four stages played as one
// game from START, kept beside the score file in bestgame.txt with the four
// recordings that made it (game-stageN.replay).
//
//   prismveldt-bestgame 1
//   stage1 14990          each stage's time (ms), the clock of its run
//   stage2 17680
//   stage3 13580
//   stage4 15460
//   total 61710           their sum
//
// Saved as safely as the score file, under its lock: the four recordings
// first under their waiting names (game-stageN-new.replay), then the total
// file replaced whole, then the recordings renamed to their kept names. A
// recording belongs to the total only when its stage and its time equal what
// the total file lists for that stage (it is looked for under the kept name,
// then the waiting one), so a save cut short at any step keeps the old best
// or the new one whole, and never shows a run under a time it did not make.
//
// A damaged total file is kept as it is and left out for the rest of the
// session, said once on standard error; the session's own best stands in
// for it, as it does when there is no score folder (scoreFilePath nullptr).
// No drawing here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/score.h"

struct Recording;

// Far larger than any total file the game writes (under 120 bytes).
constexpr size_t BEST_GAME_FILE_MAX_BYTES = 1024;

struct BestGame {
    bool present = false;              // false: no whole game kept yet
    uint32_t stageMs[STAGE_COUNT] = {};
    uint32_t totalMs = 0;              // the sum of stageMs
};

// The total of four stage times, or false when it goes past what a run's
// clock holds (RECORDED_CLOCK_MAX) or a time is 0: no total of a game.
bool TotalOfStages(const uint32_t stageMs[STAGE_COUNT], uint32_t* totalMs);

// What the text of a total file turned out to be.
enum {
    BEST_GAME_TEXT_GOOD = 0,    // the format above exactly, the total the sum
    BEST_GAME_TEXT_EMPTY = 1,   // no bytes at all: no best yet
    BEST_GAME_TEXT_DAMAGED = 2  // anything else
};
// Reads length bytes of anything into *best strictly: the magic line, the
// four stages in order and the total, each "name value" with one space, a
// line end after each ("\n", or "\r\n"), nothing after the last; values are
// decimal digits (at most ten) from 1 to RECORDED_CLOCK_MAX, and the total
// is their sum. A UTF-8 byte-order mark is skipped at the very start.
// BEST_GAME_TEXT_*; *best is present only when GOOD.
int ParseBestGameText(const char* text, size_t length, BestGame* best);
// The file's text for best (present), in the format above.
std::string FormatBestGameText(const BestGame& best);

// Where the total is kept beside the score file at scorePath (not nullptr),
// and stage's recording of it, kept and waiting. Only names the files.
std::string BestGamePath(const char* scorePath);
std::string GameRecordingPath(const char* scorePath, int stage);
std::string PendingGameRecordingPath(const char* scorePath, int stage);

// What KeepBestGame did with a whole game.
struct BestGameEntry {
    BestGame best;      // the best total after the game: this one when newBest
    bool newBest;       // the game is faster than any before (or the first)
    bool fileWritten;   // the new best reached the file (false when not new)
};
// Keeps a game that counts as the best whole game when its total (see
// TotalOfStages) is faster than the best kept, or none is: under the score
// lock (taken and let go here), recordings[s] (stage s + 1's cleared run,
// nullptr when the run outgrew what a recording holds; kept only when it is
// of that stage and time) go under their waiting names, the total file is
// replaced, and the recordings take their kept names, what no longer matches
// the total removed. With scorePath nullptr, or a damaged file (one line on
// standard error, the first time; the file never touched again this
// session), the session's best stands in and nothing is written. A lock
// another program holds, or a failed save, keeps the old file and says so
// on standard error. recordings are only read.
BestGameEntry KeepBestGame(const char* scorePath, const uint32_t stageMs[STAGE_COUNT],
                           const Recording* const recordings[STAGE_COUNT]);

// stage's recording of best (present) read into *recording: the kept file
// if it holds a run of that stage and time, else the waiting one if it does.
// Reads only. False when neither does, or for scorePath nullptr.
bool FindGameRecording(const char* scorePath, const BestGame& best, int stage, Recording* recording);

// For start-up, holding the score lock: the temporary files a save of the
// total cut short left are removed; then a damaged total file is said (once)
// and left out for the session, with its recordings; otherwise the
// recordings that match the total take their kept names and the rest go.
// Nothing for scorePath nullptr.
void TidyBestGame(const char* scorePath);
