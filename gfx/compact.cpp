// Run-length rows of read-only pictures: encoding, reading spans; and
// WritablePixels, which expands them, gives a surface that shares its
// storage a copy of its own and forgets what was kept beside the pixels.
#include "gfx/compact.h"
#include "gfx/key_spans.h"
#include "gfx/stretch_memo.h"

#include <algorithm>
#include <memory>

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#define GFX_X86 1
#endif

namespace {
constexpr uint32_t MAX_RUN = 255;

// The runs of one picture, written into a scratch list kept from call to call
// (the pictures load one after another) and copied out at their size. Past
// half the flat size the picture stays flat, so the list never holds more
// than that; its memory is only touched as far as runs are written.
struct RunWriter {
    uint32_t* begin = nullptr;
    uint32_t* stop = nullptr;
    uint32_t* at = nullptr;
    std::vector<uint32_t> rowStart;
    int scale = 1;

    bool Start(int64_t width, int64_t height, int s) {
        static std::unique_ptr<uint32_t[]> scratch;
        static int64_t scratchWords = 0;
        if (width <= 0 || height <= 0 || s <= 0 || static_cast<uint32_t>(s) > MAX_RUN) return false;
        const int64_t flatWords = width * height * s * s;
        const int64_t limit = std::min<int64_t>(flatWords / 2, 0xFFFFFFFFLL);
        if (limit < 1) return false;
        if (scratchWords < limit) {
            scratch.reset(new uint32_t[size_t(limit)]);
            scratchWords = limit;
        }
        begin = at = scratch.get();
        stop = begin + limit;
        rowStart.reserve(size_t(height) + 1);
        scale = s;
        return true;
    }
    void StartRow() { rowStart.push_back(uint32_t(at - begin)); }
    // length picture pixels of one colour; false once the list is full.
    bool Put(uint32_t pixel, int64_t length) {
        for (length *= scale; length > MAX_RUN; length -= MAX_RUN) {
            *at++ = MAX_RUN << 24 | pixel;
            if (at >= stop) return false;
        }
        *at++ = uint32_t(length) << 24 | pixel;
        return at < stop;
    }
    void Finish(CompactPixels* out) {
        StartRow();
        out->scale = scale;
        out->rowStart = std::move(rowStart);
        out->runs.assign(begin, at);
    }
};
}  // namespace

bool CompactFromPixels(const uint32_t* pixels, int width, int height, int scale,
                       CompactPixels* out) {
    *out = CompactPixels{};
    RunWriter w;
    if (!w.Start(width, height, scale)) return false;
    for (int y = 0; y < height; y++) {
        w.StartRow();
        const uint32_t* p = pixels + size_t(y) * width;
        const uint32_t* const e = p + width;
        uint32_t marks = 0;  // a pixel with a top byte (no file gives one) has no room for a length
        while (p < e) {
            const uint32_t pixel = *p;
            const uint32_t* q = p + 1;
            while (q < e && *q == pixel) q++;
            marks |= pixel;
            if (!w.Put(pixel, q - p)) return false;
            p = q;
        }
        if (marks > 0xFFFFFF) return false;
    }
    w.Finish(out);
    return true;
}

bool CompactFromRuns(const DecodedBmpRuns& picture, int scale, CompactPixels* out) {
    *out = CompactPixels{};
    RunWriter w;
    if (picture.rowStart.size() != size_t(picture.height) + 1 || !w.Start(picture.width, picture.height, scale))
        return false;
    for (int y = 0; y < picture.height; y++) {
        w.StartRow();
        for (uint32_t i = picture.rowStart[size_t(y)]; i < picture.rowStart[size_t(y) + 1]; i++) {
            const BmpRun& run = picture.runs[i];
            if (run.colour > 0xFFFFFF || !w.Put(run.colour, run.length)) return false;
        }
    }
    w.Finish(out);
    return true;
}

namespace {
// The runs under the span [x0, x0 + n) of a physical row, in order: each as
// its pixel, where it starts in the span and how much of it lies inside.
template <typename Visit>
void WalkSpan(const SurfaceData& surface, int64_t row, int64_t x0, int64_t n, Visit visit) {
    const CompactPixels& c = *surface.compact;
    const int64_t pictureRow = row / c.scale;
    const uint32_t* run = c.runs.data() + c.rowStart[size_t(pictureRow)];
    const uint32_t* const end = c.runs.data() + c.rowStart[size_t(pictureRow) + 1];
    int64_t x = 0;
    while (run < end && x + int64_t(*run >> 24) <= x0) x += *run++ >> 24;
    int64_t skip = x0 - x;  // how much of the first run lies left of x0
    int64_t done = 0;
    while (done < n && run < end) {
        const uint32_t word = *run++;
        const int64_t take = std::min(int64_t(word >> 24) - skip, n - done);
        skip = 0;
        visit(word & 0xFFFFFF, done, take);
        done += take;
    }
}
}  // namespace

void ReadCompactRow(const SurfaceData& surface, int64_t row, int64_t x0, int64_t n, uint32_t* out) {
    WalkSpan(surface, row, x0, n, [out, n](uint32_t pixel, int64_t done, int64_t take) {
        uint32_t* d = out + done;
#ifdef GFX_X86
        // Most runs are short: four pixels stored at once, whatever the run's
        // length, as long as they stay inside the span; the next runs write
        // over the extra ones.
        if (done + 4 <= n) {
            const __m128i four = _mm_set1_epi32(int(pixel));
            int64_t k = 0;
            do {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k), four);
                k += 4;
            } while (k < take && done + k + 4 <= n);
            for (; k < take; k++) d[k] = pixel;
            return;
        }
#endif
        for (int64_t k = 0; k < take; k++) d[k] = pixel;
    });
}

void DrawCompactRowKeyed(const SurfaceData& surface, int64_t row, int64_t x0, int64_t n,
                         uint32_t key, uint32_t* out) {
    WalkSpan(surface, row, x0, n, [out, key](uint32_t pixel, int64_t done, int64_t take) {
        if (pixel != key) std::fill(out + done, out + done + take, pixel);
    });
}

uint32_t* WritablePixels(Surface surface) {
    if (!surface) return nullptr;
    // Whatever is drawn changes what its keyed and stretched copies show.
    DropKeySpans(surface);
    DropStretchMemo(surface);
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
    if (surface->compact) {
        uint32_t* pixels = new uint32_t[size_t(surface->width) * size_t(surface->height)];
        for (int64_t row = 0; row < surface->height; row++)
            ReadCompactRow(*surface, row, 0, surface->width, pixels + row * surface->width);
        delete surface->compact;
        surface->compact = nullptr;
        surface->pixels = pixels;
    }
    // The surface's own flat pixels (new[] here or by whoever made it).
    return const_cast<uint32_t*>(surface->pixels);
}
