// Run-length rows of read-only pictures: encoding, reading spans, expanding;
// and giving a surface that shares its storage a copy of its own.
#include "gfx/compact.h"

#include <algorithm>

namespace {
constexpr uint32_t MAX_RUN = 255;

// Calls emit(length, pixel) for the runs of one picture row at physical width.
template <typename Emit>
void RunsOfRow(const uint32_t* row, int width, int scale, Emit emit) {
    int x = 0;
    while (x < width) {
        uint32_t pixel = row[x] & 0xFFFFFF;
        int end = x + 1;
        while (end < width && (row[end] & 0xFFFFFF) == pixel) end++;
        int64_t length = int64_t(end - x) * scale;
        for (; length > 0; length -= MAX_RUN) emit(uint32_t(std::min<int64_t>(length, MAX_RUN)), pixel);
        x = end;
    }
}
}  // namespace

bool CompactFromPixels(const uint32_t* pixels, int width, int height, int scale,
                       CompactPixels* out) {
    *out = CompactPixels{};
    if (width <= 0 || height <= 0 || scale <= 0) return false;
    // Encoded into a scratch list kept from call to call (the pictures load
    // one after another), then copied out at its size. Past half the flat
    // size the picture stays flat, so the list never grows beyond that.
    static std::vector<uint32_t> scratch;
    const int64_t flatWords = int64_t(width) * height * scale * scale;
    const size_t limit = size_t(std::min<int64_t>(flatWords / 2, 0xFFFFFFFFLL));
    scratch.clear();
    std::vector<uint32_t> rowStart;
    rowStart.reserve(size_t(height) + 1);
    for (int y = 0; y < height; y++) {
        rowStart.push_back(uint32_t(scratch.size()));
        const uint32_t* row = pixels + size_t(y) * width;
        bool fits = true;
        RunsOfRow(row, width, scale, [&](uint32_t length, uint32_t pixel) {
            if (scratch.size() >= limit) fits = false;
            else scratch.push_back(length << 24 | pixel);
        });
        // A pixel with a top byte (no file gives one) has no room for a length.
        for (int x = 0; x < width && fits; x++) fits = row[x] <= 0xFFFFFF;
        if (!fits) return false;
    }
    rowStart.push_back(uint32_t(scratch.size()));
    out->scale = scale;
    out->rowStart = std::move(rowStart);
    out->runs.assign(scratch.begin(), scratch.end());
    return true;
}

namespace {
// Calls fill(offset, count, pixel) for the runs that cover the span [x0, x0 + n)
// of a physical row, offsets counted from x0.
template <typename Fill>
void WalkRow(const SurfaceData& surface, int64_t row, int64_t x0, int64_t n, Fill fill) {
    const CompactPixels& c = *surface.compact;
    const int64_t pictureRow = row / c.scale;
    const uint32_t* run = c.runs.data() + c.rowStart[size_t(pictureRow)];
    const uint32_t* end = c.runs.data() + c.rowStart[size_t(pictureRow) + 1];
    // Skip the runs wholly left of x0.
    int64_t x = 0;
    while (run < end && x + int64_t(*run >> 24) <= x0) x += *run++ >> 24;
    int64_t done = 0;
    while (done < n && run < end) {
        int64_t length = int64_t(*run >> 24) - (x0 + done - x);  // what is left of this run
        int64_t take = std::min(length, n - done);
        fill(done, take, *run & 0xFFFFFF);
        done += take;
        x += *run++ >> 24;
    }
}
}  // namespace

void ReadCompactRow(const SurfaceData& surface, int64_t row, int64_t x0, int64_t n, uint32_t* out) {
    WalkRow(surface, row, x0, n, [out](int64_t at, int64_t count, uint32_t pixel) {
        std::fill(out + at, out + at + count, pixel);
    });
}

void DrawCompactRowKeyed(const SurfaceData& surface, int64_t row, int64_t x0, int64_t n,
                         uint32_t key, uint32_t* out) {
    WalkRow(surface, row, x0, n, [out, key](int64_t at, int64_t count, uint32_t pixel) {
        if (pixel != key) std::fill(out + at, out + at + count, pixel);
    });
}

void ExpandSurface(Surface surface) {
    if (!surface) return;
    if (surface->sharers) {
        // The others keep the storage; this surface takes a copy of its own.
        if (--*surface->sharers > 0) {
            if (surface->pixels) {
                size_t count = size_t(surface->width) * size_t(surface->height);
                uint32_t* own = new uint32_t[count];
                std::copy(surface->pixels, surface->pixels + count, own);
                surface->pixels = own;
            }
            if (surface->compact) surface->compact = new CompactPixels(*surface->compact);
        } else {
            delete surface->sharers;
        }
        surface->sharers = nullptr;
    }
    if (!surface->compact) return;
    uint32_t* pixels = new uint32_t[size_t(surface->width) * size_t(surface->height)];
    for (int64_t row = 0; row < surface->height; row++)
        ReadCompactRow(*surface, row, 0, surface->width, pixels + row * surface->width);
    delete surface->compact;
    surface->compact = nullptr;
    surface->pixels = pixels;
}
