// Best segments: the fastest time from one checkpoint to the next (from the
// start to the first split, split to split, the last split to the goal) over
// every finished run that counts, kept in segments.txt beside the score file
// for each stage file by its content (StageHash), and the sum of best they
// make: the shortest chain of them from the start to the goal.
//
// The file's text:
//   prismveldt-segments 1
//   8f1c0e2a9b3d4c5e start 1 4288    stage hash (16 hex digits), from, to, ms
//   8f1c0e2a9b3d4c5e 1 goal 9120     from: start or 1..; to: 1.. or goal
// Every line ends with "\n"; each (stage, from, to) once; nothing else. A
// text that is anything else is damaged, never guessed from.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "game/splits.h"

// Where a segment starts and ends: the run's start, a checkpoint 1..MAX, the goal.
constexpr int SEGMENT_START = 0;
constexpr int SEGMENT_MAX_CHECKPOINT = 99;
constexpr int SEGMENT_GOAL = SEGMENT_MAX_CHECKPOINT + 1;
// A segments file holds at most this many lines of segments, in at most
// this many bytes; anything larger is not one and is never read further.
constexpr size_t SEGMENTS_MAX = 2000;
constexpr size_t SEGMENTS_FILE_MAX_BYTES = 64 * 1024;

struct Segment {
    uint64_t stageHash = 0;
    int from = SEGMENT_START, to = SEGMENT_GOAL;
    uint32_t bestMs = 0;
};
struct SegmentTable {
    std::vector<Segment> segments;  // each (stageHash, from, to) once
};

enum { SEGMENTS_TEXT_GOOD = 0, SEGMENTS_TEXT_EMPTY = 1, SEGMENTS_TEXT_DAMAGED = 2 };
// length bytes of anything read into *table strictly (cleared first):
// SEGMENTS_TEXT_GOOD, EMPTY for no bytes at all, DAMAGED (table empty, a
// short reason in *why when given) for anything else.
int ParseSegmentsText(const char* text, size_t length, SegmentTable* table, std::string* why = nullptr);
// The file's text for table: what ParseSegmentsText reads back the same.
std::string FormatSegmentsText(const SegmentTable& table);

// The segments of a finished run of the stage with stageHash: its splits in
// the order made (checkpoints 1..SEGMENT_MAX_CHECKPOINT; any other ends the
// chain there) and its time, the goal's.
std::vector<Segment> RunSegments(uint64_t stageHash, const std::vector<Split>& splits, uint32_t timeMs);
// Each of segments into table where it is faster than the one kept for the
// same (stage, from, to), or new while the table has room; true when
// anything changed.
bool MergeSegments(SegmentTable* table, const std::vector<Segment>& segments);
// The sum of best of the stage with stageHash into *ms: the shortest chain
// of table's segments from the start to the goal. False when none reaches it.
bool SumOfBest(const SegmentTable& table, uint64_t stageHash, uint32_t* ms);

// Where the segments are kept beside the score file at scorePath (not nullptr).
std::string SegmentsPath(const char* scorePath);
// Keeps a finished run's segments: under the score lock, the file beside
// scorePath is read, merged and replaced whole (PlatformReplaceFile), so a
// save cut short leaves the old file. The session's own table takes them
// too, so they are shown all the same when there is no folder (nullptr),
// the lock is held elsewhere, the write fails, or the file is damaged. A
// damaged file is never written in the session it was found damaged in, and
// says so once on standard error.
void KeepRunSegments(const char* scorePath, const std::vector<Segment>& segments);
// The best segments as this session sees them: the file's (unless it is
// damaged), with the session's own merged in. Takes no lock.
SegmentTable StandingSegments(const char* scorePath);
