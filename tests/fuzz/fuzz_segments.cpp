// Fuzz target: any bytes as a best-segments file. The reader either takes
// every line or leaves the table empty; what the game writes back reads the
// same; and the sum of best of any stage in it is a chain's, never more
// than a straight start-to-goal segment's.
#include <cstdint>
#include <cstdlib>
#include <string>
#include "game/segments.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SegmentTable table;
    std::string why;
    int state = ParseSegmentsText(reinterpret_cast<const char*>(data), size, &table, &why);
    if (state != SEGMENTS_TEXT_GOOD && state != SEGMENTS_TEXT_EMPTY && state != SEGMENTS_TEXT_DAMAGED) abort();
    if (state != SEGMENTS_TEXT_GOOD && !table.segments.empty()) abort();
    if (state == SEGMENTS_TEXT_DAMAGED && why.empty()) abort();
    if (table.segments.size() > SEGMENTS_MAX) abort();

    std::string text = FormatSegmentsText(table);
    SegmentTable again;
    if (ParseSegmentsText(text.data(), text.size(), &again) != SEGMENTS_TEXT_GOOD) abort();
    if (FormatSegmentsText(again) != text) abort();

    for (const Segment& s : table.segments) {
        uint32_t sum = 0;
        if (!SumOfBest(table, s.stageHash, &sum) && s.from == SEGMENT_START && s.to == SEGMENT_GOAL) abort();
        if (s.from == SEGMENT_START && s.to == SEGMENT_GOAL && sum > s.bestMs) abort();
    }
    // Merging the table into itself changes nothing.
    if (MergeSegments(&again, table.segments)) abort();
    return 0;
}
