// Best segments: their file, a finished run's, and the sum of best.
#include "game/segments.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "gfx/whole_file.h"
#include "platform/platform.h"

namespace {

const char* const SEGMENTS_MAGIC = "prismveldt-segments 1";

bool Damaged(SegmentTable* table, std::string* why, size_t line, const char* reason)
{
    table->segments.clear();
    if (why) *why = "line " + std::to_string(line) + ": " + reason;
    return false;
}

// A whole number 0..max in decimal, no sign, no leading zero.
bool ParseNumber(const std::string& token, uint64_t max, uint64_t* value)
{
    if (token.empty() || token.size() > 10 || (token.size() > 1 && token[0] == '0')) return false;
    uint64_t v = 0;
    for (char c : token) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + uint64_t(c - '0');
    }
    if (v > max) return false;
    *value = v;
    return true;
}

bool ParseHash(const std::string& token, uint64_t* hash)
{
    if (token.size() != 16) return false;
    uint64_t h = 0;
    for (char c : token) {
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return false;
        h = h << 4 | uint64_t(digit);
    }
    *hash = h;
    return true;
}

bool ParsePoint(const std::string& token, const char* word, int* point)
{
    if (token == word) {
        *point = std::strcmp(word, "start") == 0 ? SEGMENT_START : SEGMENT_GOAL;
        return true;
    }
    uint64_t n;
    if (!ParseNumber(token, SEGMENT_MAX_CHECKPOINT, &n) || n == 0) return false;
    *point = int(n);
    return true;
}

bool SameEdge(const Segment& a, const Segment& b)
{
    return a.stageHash == b.stageHash && a.from == b.from && a.to == b.to;
}

bool ParseLine(const std::string& line, Segment* s)
{
    std::vector<std::string> tokens;
    size_t at = 0;
    for (;;) {
        size_t space = line.find(' ', at);
        tokens.push_back(line.substr(at, space == std::string::npos ? std::string::npos : space - at));
        if (space == std::string::npos || tokens.size() > 4) break;
        at = space + 1;
    }
    if (tokens.size() != 4) return false;
    uint64_t ms;
    return ParseHash(tokens[0], &s->stageHash) && ParsePoint(tokens[1], "start", &s->from) &&
           ParsePoint(tokens[2], "goal", &s->to) && s->from != s->to &&
           ParseNumber(tokens[3], INT32_MAX, &ms) && (s->bestMs = uint32_t(ms), true);
}

}  // namespace

int ParseSegmentsText(const char* text, size_t length, SegmentTable* table, std::string* why)
{
    table->segments.clear();
    if (why) why->clear();
    if (length == 0) return SEGMENTS_TEXT_EMPTY;
    if (length > SEGMENTS_FILE_MAX_BYTES) {
        Damaged(table, why, 0, "far larger than a segments file");
        return SEGMENTS_TEXT_DAMAGED;
    }
    size_t at = 0, lineNumber = 0;
    while (at < length) {
        lineNumber++;
        const void* end = std::memchr(text + at, '\n', length - at);
        if (end == nullptr) {
            Damaged(table, why, lineNumber, "no line end");
            return SEGMENTS_TEXT_DAMAGED;
        }
        size_t stop = size_t(static_cast<const char*>(end) - text);
        std::string line(text + at, stop - at);
        at = stop + 1;
        if (line.find('\0') != std::string::npos) {
            Damaged(table, why, lineNumber, "a zero byte");
            return SEGMENTS_TEXT_DAMAGED;
        }
        if (lineNumber == 1) {
            if (line != SEGMENTS_MAGIC) {
                Damaged(table, why, lineNumber, "not a segments file of this version");
                return SEGMENTS_TEXT_DAMAGED;
            }
            continue;
        }
        Segment s;
        if (!ParseLine(line, &s)) {
            Damaged(table, why, lineNumber, "not a segment");
            return SEGMENTS_TEXT_DAMAGED;
        }
        for (const Segment& kept : table->segments)
            if (SameEdge(kept, s)) {
                Damaged(table, why, lineNumber, "a segment given twice");
                return SEGMENTS_TEXT_DAMAGED;
            }
        if (table->segments.size() >= SEGMENTS_MAX) {
            Damaged(table, why, lineNumber, "more segments than a file holds");
            return SEGMENTS_TEXT_DAMAGED;
        }
        table->segments.push_back(s);
    }
    return SEGMENTS_TEXT_GOOD;
}

std::string FormatSegmentsText(const SegmentTable& table)
{
    std::string text = std::string(SEGMENTS_MAGIC) + "\n";
    for (const Segment& s : table.segments) {
        char from[16], to[16], line[96];
        if (s.from == SEGMENT_START) snprintf(from, sizeof from, "start");
        else snprintf(from, sizeof from, "%d", s.from);
        if (s.to == SEGMENT_GOAL) snprintf(to, sizeof to, "goal");
        else snprintf(to, sizeof to, "%d", s.to);
        snprintf(line, sizeof line, "%016llx %s %s %u\n", (unsigned long long)s.stageHash, from, to,
                 (unsigned)s.bestMs);
        text += line;
    }
    return text;
}

std::vector<Segment> RunSegments(uint64_t stageHash, const std::vector<Split>& splits, uint32_t timeMs)
{
    std::vector<Segment> segments;
    int from = SEGMENT_START;
    uint32_t fromMs = 0;
    for (const Split& split : splits) {
        if (split.checkpoint < 1 || split.checkpoint > SEGMENT_MAX_CHECKPOINT || split.clockMs < fromMs)
            return segments;
        segments.push_back({stageHash, from, split.checkpoint, split.clockMs - fromMs});
        from = split.checkpoint;
        fromMs = split.clockMs;
    }
    if (timeMs >= fromMs && timeMs - fromMs <= uint32_t(INT32_MAX))
        segments.push_back({stageHash, from, SEGMENT_GOAL, timeMs - fromMs});
    return segments;
}

bool MergeSegments(SegmentTable* table, const std::vector<Segment>& segments)
{
    bool changed = false;
    for (const Segment& s : segments) {
        bool found = false;
        for (Segment& kept : table->segments) {
            if (!SameEdge(kept, s)) continue;
            found = true;
            if (s.bestMs < kept.bestMs) {
                kept.bestMs = s.bestMs;
                changed = true;
            }
        }
        if (!found && table->segments.size() < SEGMENTS_MAX) {
            table->segments.push_back(s);
            changed = true;
        }
    }
    return changed;
}

bool SumOfBest(const SegmentTable& table, uint64_t stageHash, uint32_t* ms)
{
    // Dijkstra over the start, the checkpoints and the goal: few points, so
    // the plain quadratic form. The weights are times, never negative.
    constexpr int POINTS = SEGMENT_GOAL + 1;
    constexpr uint64_t FAR = UINT64_MAX;
    uint64_t distance[POINTS];
    bool done[POINTS] = {};
    for (uint64_t& d : distance) d = FAR;
    distance[SEGMENT_START] = 0;
    for (;;) {
        int next = -1;
        for (int p = 0; p < POINTS; p++)
            if (!done[p] && distance[p] != FAR && (next < 0 || distance[p] < distance[next])) next = p;
        if (next < 0 || next == SEGMENT_GOAL) break;
        done[next] = true;
        for (const Segment& s : table.segments) {
            if (s.stageHash != stageHash || s.from != next || s.to < 0 || s.to >= POINTS) continue;
            uint64_t through = distance[next] + s.bestMs;
            if (through < distance[s.to]) distance[s.to] = through;
        }
    }
    if (distance[SEGMENT_GOAL] == FAR || distance[SEGMENT_GOAL] > UINT32_MAX) return false;
    *ms = uint32_t(distance[SEGMENT_GOAL]);
    return true;
}

std::string SegmentsPath(const char* scorePath)
{
    std::string folder = std::filesystem::path(scorePath).parent_path().string();
    return (folder.empty() ? std::string(".") : folder) + "/segments.txt";
}

namespace {

// The segments of this session's runs, whatever became of their saving.
SegmentTable sessionSegments;
// The file was found damaged this session: it is left as it is until the game ends.
bool fileDamaged = false;

// The file's segments into *table; false (table empty) when it is damaged,
// which is then said once and remembered for the session.
bool ReadSegmentsFile(const char* scorePath, SegmentTable* table)
{
    table->segments.clear();
    if (fileDamaged) return false;
    std::string path = SegmentsPath(scorePath);
    std::string bytes, why;
    int read = ReadWholeFile(path.c_str(), SEGMENTS_FILE_MAX_BYTES, &bytes);
    if (read == WHOLE_FILE_MISSING) return true;
    if (read == WHOLE_FILE_OK &&
        ParseSegmentsText(bytes.data(), bytes.size(), table, &why) != SEGMENTS_TEXT_DAMAGED)
        return true;
    if (read != WHOLE_FILE_OK) why = read == WHOLE_FILE_TOO_LARGE || read == WHOLE_FILE_OVERRAN
                                         ? "it is far larger than a segments file"
                                         : "it cannot be read";
    fileDamaged = true;
    fprintf(stderr,
            "Prismveldt: the best segments in %s cannot be used (%s); the file is kept as it is, "
            "and this session's segments only until the game ends\n",
            path.c_str(), why.c_str());
    return false;
}

}  // namespace

void KeepRunSegments(const char* scorePath, const std::vector<Segment>& segments)
{
    MergeSegments(&sessionSegments, segments);
    if (scorePath == nullptr || fileDamaged) return;
    int lock = PlatformLockFile(scorePath);
    SegmentTable table;
    if (lock == PLATFORM_LOCK_BUSY) {
        fprintf(stderr, "Prismveldt: the best segments beside %s are held by another program; "
                        "this run's were not saved\n", scorePath);
    } else if (ReadSegmentsFile(scorePath, &table) && MergeSegments(&table, segments)) {
        std::string path = SegmentsPath(scorePath), text = FormatSegmentsText(table);
        char reason[160] = "";
        if (!PlatformReplaceFile(path.c_str(), text.data(), text.size(), reason, sizeof reason))
            fprintf(stderr, "Prismveldt: the best segments could not be saved to %s (%s)\n", path.c_str(),
                    reason);
    }
    PlatformUnlockFile();
}

SegmentTable StandingSegments(const char* scorePath)
{
    SegmentTable table;
    if (scorePath != nullptr) ReadSegmentsFile(scorePath, &table);
    MergeSegments(&table, sessionSegments.segments);
    return table;
}
