// The keyed copies' index of the spans a picture shows (gfx/key_spans.h).
#include "gfx/key_spans.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
// Columns per block. A block of more spans than MAX_SPANS goes to the
// per-pixel pass: copying many short spans one by one is slower than it.
constexpr int64_t BLOCK = 256;
constexpr uint32_t MAX_SPANS = 4;
constexpr uint32_t NOT_FOUND = 0xFFFFFFFFu;
constexpr uint32_t TOO_MANY = 0xFFFFFFFEu;
}  // namespace

struct KeySpans {
    uint32_t key = 0;
    bool ready = false;  // the second keyed copy with this key makes the table
    int64_t blocksPerRow = 0;
    // Per block (row-major): where its spans start in `spans`, NOT_FOUND or
    // TOO_MANY; and how many it has.
    std::vector<uint32_t> first;
    std::vector<uint8_t> count;
    // Pairs of physical columns [begin, end) that are not the key.
    std::vector<uint32_t> spans;
};

namespace {
void FindBlock(KeySpans* index, const SurfaceData& source, int64_t row, int64_t block) {
    size_t at = size_t(row * index->blocksPerRow + block);
    const uint32_t* p = source.pixels + row * source.width;
    int64_t x = block * BLOCK, end = std::min<int64_t>(x + BLOCK, source.width);
    size_t start = index->spans.size();
    uint32_t found = 0;
    while (x < end) {
        while (x < end && (p[x] & 0xFFFFFF) == index->key) x++;
        if (x == end) break;
        int64_t begin = x;
        while (x < end && (p[x] & 0xFFFFFF) != index->key) x++;
        if (++found > MAX_SPANS) {
            index->spans.resize(start);
            index->first[at] = TOO_MANY;
            return;
        }
        index->spans.push_back(uint32_t(begin));
        index->spans.push_back(uint32_t(x));
    }
    index->first[at] = uint32_t(start);
    index->count[at] = uint8_t(found);
}
}  // namespace

KeySpans* KeySpansFor(Surface source, uint32_t pk) {
    KeySpans* index = source->keySpans;
    if (!index || index->key != pk) {
        delete index;
        source->keySpans = new KeySpans();
        source->keySpans->key = pk;
        return nullptr;
    }
    if (!index->ready) {
        index->blocksPerRow = (source->width + BLOCK - 1) / BLOCK;
        size_t blocks = size_t(index->blocksPerRow) * size_t(source->height);
        index->first.assign(blocks, NOT_FOUND);
        index->count.assign(blocks, 0);
        index->ready = true;
    }
    return index;
}

void DrawKeyedRowBySpans(KeySpans* index, const SurfaceData& source, int64_t row,
                         int64_t c0, int64_t c1, uint32_t* out, KeyedPass pass) {
    const uint32_t* p = source.pixels + row * source.width;
    // Spans that meet across a block's edge go as one copy.
    int64_t pendingBegin = c0, pendingEnd = c0;
    auto flush = [&]() {
        if (pendingEnd > pendingBegin)
            std::memcpy(out + (pendingBegin - c0), p + pendingBegin, size_t(pendingEnd - pendingBegin) * 4);
        pendingBegin = pendingEnd;
    };
    for (int64_t block = c0 / BLOCK; block * BLOCK < c1; block++) {
        size_t at = size_t(row * index->blocksPerRow + block);
        if (index->first[at] == NOT_FOUND) FindBlock(index, source, row, block);
        if (index->first[at] == TOO_MANY) {
            flush();
            int64_t x0 = std::max(c0, block * BLOCK), x1 = std::min(c1, block * BLOCK + BLOCK);
            pass(out + (x0 - c0), p + x0, size_t(x1 - x0), index->key);
            continue;
        }
        const uint32_t* span = index->spans.data() + index->first[at];
        for (uint32_t k = 0; k < index->count[at]; k++, span += 2) {
            int64_t begin = std::max<int64_t>(span[0], c0), end = std::min<int64_t>(span[1], c1);
            if (begin >= end) continue;
            if (begin != pendingEnd) {
                flush();
                pendingBegin = begin;
            }
            pendingEnd = end;
        }
    }
    flush();
}

void DropKeySpans(Surface surface) {
    if (!surface) return;
    delete surface->keySpans;
    surface->keySpans = nullptr;
}
