// Run-length rows of read-only pictures: encoding, reading spans, expanding.
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
    // Every pixel must fit below the run length; a picture with a top byte
    // (none loaded from a file has one) stays flat.
    size_t count = 0;
    for (int y = 0; y < height; y++) {
        const uint32_t* row = pixels + size_t(y) * width;
        for (int x = 0; x < width; x++)
            if (row[x] > 0xFFFFFF) return false;
        RunsOfRow(row, width, scale, [&](uint32_t, uint32_t) { count++; });
    }
    int64_t flatWords = int64_t(width) * height * scale * scale;
    if (int64_t(count) * 2 >= flatWords || count > 0xFFFFFFFFu) return false;
    out->scale = scale;
    out->rowStart.reserve(size_t(height) + 1);
    out->runs.reserve(count);
    for (int y = 0; y < height; y++) {
        out->rowStart.push_back(uint32_t(out->runs.size()));
        RunsOfRow(pixels + size_t(y) * width, width, scale,
                  [&](uint32_t length, uint32_t pixel) { out->runs.push_back(length << 24 | pixel); });
    }
    out->rowStart.push_back(uint32_t(out->runs.size()));
    return true;
}

void ReadCompactRow(const SurfaceData& surface, int64_t row, int64_t x0, int64_t n, uint32_t* out) {
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
        std::fill(out + done, out + done + take, *run & 0xFFFFFF);
        done += take;
        x += *run++ >> 24;
    }
}

void ExpandSurface(Surface surface) {
    if (!surface || !surface->compact) return;
    uint32_t* pixels = new uint32_t[size_t(surface->width) * size_t(surface->height)];
    for (int64_t row = 0; row < surface->height; row++)
        ReadCompactRow(*surface, row, 0, surface->width, pixels + row * surface->width);
    delete surface->compact;
    surface->compact = nullptr;
    surface->pixels = pixels;
}
