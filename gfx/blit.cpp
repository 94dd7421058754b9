// Colour-keyed, stretched and blended copies. Each call walks the destination
// rectangle row by row (clipped to the destination surface), finds the source
// row it shows, and runs one pixel pass over the row. The keyed pass is the
// hot one (two full-screen layers every frame), so it has vector versions.
#include "gfx/blit.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

#include "gfx/compact.h"
#include "gfx/key_spans.h"
#include "gfx/stretch_memo.h"
#include "gfx/screen.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define GFX_X86 1
#define GFX_SSE2 1
#elif defined(__wasm_simd128__)
// In the browser emscripten turns the same SSE2 calls into wasm's SIMD.
#include <emmintrin.h>
#define GFX_SSE2 1
#endif

#ifdef GFX_SSE2
namespace {
// Four floats truncated to whole numbers. Emscripten's SSE2 version goes lane
// by lane for the out-of-range cases; the blends' channels are never out of
// range, where wasm's saturating truncation gives the same numbers.
inline __m128i TruncateLanes(__m128 v) {
#ifdef GFX_X86
    return _mm_cvttps_epi32(v);
#else
    return (__m128i)wasm_i32x4_trunc_sat_f32x4((v128_t)v);
#endif
}
} // namespace
#endif

namespace {

// ---- keyed row pass: d[i] := s[i] wherever s[i] is not the key ----

void KeyedRowPlain(uint32_t* __restrict d, const uint32_t* __restrict s, size_t n, uint32_t pk) {
    for (size_t i = 0; i < n; i++) {
        uint32_t b = s[i];
        d[i] = ((b & 0xFFFFFF) != pk) ? b : d[i];
    }
}

#ifdef GFX_SSE2
void KeyedRowSse2(uint32_t* __restrict d, const uint32_t* __restrict s, size_t n, uint32_t pk) {
    const __m128i colourBits = _mm_set1_epi32(0xFFFFFF);
    const __m128i key = _mm_set1_epi32(int(pk));
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        __m128i keyed = _mm_cmpeq_epi32(_mm_and_si128(b, colourBits), key);
        __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        __m128i mixed = _mm_or_si128(_mm_and_si128(keyed, old), _mm_andnot_si128(keyed, b));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), mixed);
    }
    KeyedRowPlain(d + i, s + i, n - i, pk);
}
#endif

#ifdef GFX_X86
// Eight pixels at a time; a select and an unconditional store. (Skipping
// all-key blocks with a branch measured slower, even on layers with long runs.)
__attribute__((target("avx2")))
void KeyedRowAvx2(uint32_t* __restrict d, const uint32_t* __restrict s, size_t n, uint32_t pk) {
    const __m256i colourBits = _mm256_set1_epi32(0xFFFFFF);
    const __m256i key = _mm256_set1_epi32(int(pk));
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        __m256i keyed = _mm256_cmpeq_epi32(_mm256_and_si256(b, colourBits), key);
        __m256i* out = reinterpret_cast<__m256i*>(d + i);
        _mm256_storeu_si256(out, _mm256_blendv_epi8(b, _mm256_loadu_si256(out), keyed));
    }
    KeyedRowPlain(d + i, s + i, n - i, pk);
}

// Sixteen pixels at a time with a masked store: key pixels are not even read
// from the destination.
__attribute__((target("avx512f")))
void KeyedRowAvx512(uint32_t* __restrict d, const uint32_t* __restrict s, size_t n, uint32_t pk) {
    const __m512i colourBits = _mm512_set1_epi32(0xFFFFFF);
    const __m512i key = _mm512_set1_epi32(int(pk));
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        __m512i b = _mm512_loadu_si512(s + i);
        __mmask16 keep = _mm512_cmpneq_epi32_mask(_mm512_and_si512(b, colourBits), key);
        _mm512_mask_storeu_epi32(d + i, keep, b);
    }
    KeyedRowPlain(d + i, s + i, n - i, pk);
}
#endif

typedef void (*KeyedRowFn)(uint32_t* __restrict, const uint32_t* __restrict, size_t, uint32_t);

KeyedRowFn ChooseKeyedRow() {
#ifdef GFX_X86
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f")) return KeyedRowAvx512;
    if (__builtin_cpu_supports("avx2")) return KeyedRowAvx2;
    return KeyedRowSse2;
#elif defined(GFX_SSE2)
    return KeyedRowSse2;
#else
    return KeyedRowPlain;
#endif
}

KeyedRowFn keyedRow = ChooseKeyedRow();

// ---- the other row passes ----

struct KeyedOp {
    uint32_t pk;
    void operator()(uint32_t* d, const uint32_t* s, size_t n) const { keyedRow(d, s, n, pk); }
};

struct CopyOp {
    void operator()(uint32_t* d, const uint32_t* s, size_t n) const {
        std::memmove(d, s, n * 4);
    }
};

// The title's fade: a single-precision mix of source and destination channels
// wherever the source is not the key.
struct MixOp {
    uint32_t pk;
    float a, b;
    void operator()(uint32_t* __restrict d, const uint32_t* __restrict s, size_t n) const {
        if (a == 1.0f && b == 0.0f) return CopyKeyedColours(d, s, n);
        size_t i = 0;
#ifdef GFX_SSE2
        // Four pixels at a time, each channel multiplied and added in single
        // precision exactly as one pixel at a time (no fused multiply-add), so
        // the sums truncate to the same bytes.
        const __m128i low24 = _mm_set1_epi32(0xFFFFFF), byte = _mm_set1_epi32(0xFF);
        const __m128i key = _mm_set1_epi32(int32_t(pk));
        const __m128 av = _mm_set1_ps(a), bv = _mm_set1_ps(b);
        for (; i + 4 <= n; i += 4) {
            __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
            __m128i keyed = _mm_cmpeq_epi32(_mm_and_si128(sv, low24), key);
            __m128i mixed = _mm_setzero_si128();
#define GFX_MIX_CHANNEL(shift)                                                              \
    {                                                                                       \
        __m128 sc = _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(sv, shift), byte));         \
        __m128 dc = _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(dv, shift), byte));         \
        __m128i c = TruncateLanes(_mm_add_ps(_mm_mul_ps(sc, av), _mm_mul_ps(dc, bv)));   \
        mixed = _mm_or_si128(mixed, _mm_slli_epi32(_mm_and_si128(c, byte), shift));          \
    }
            GFX_MIX_CHANNEL(0)
            GFX_MIX_CHANNEL(8)
            GFX_MIX_CHANNEL(16)
#undef GFX_MIX_CHANNEL
            __m128i out = _mm_or_si128(_mm_and_si128(keyed, dv), _mm_andnot_si128(keyed, mixed));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
        }
#endif
        for (; i < n; i++) {
            uint32_t src = s[i];
            if ((src & 0xFFFFFF) == pk) continue;
            uint32_t dst = d[i], result = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                float mixed = float((src >> shift) & 0xFF) * a + float((dst >> shift) & 0xFF) * b;
                result |= (uint32_t(int32_t(mixed)) & 0xFF) << shift;
            }
            d[i] = result;
        }
    }
    // At full strength each channel's mix is the source's own byte (times one,
    // plus the destination's times zero), so only the key and the top byte
    // remain to be dealt with: the title's logo and buttons take this way.
    void CopyKeyedColours(uint32_t* __restrict d, const uint32_t* __restrict s, size_t n) const {
        size_t i = 0;
#ifdef GFX_SSE2
        const __m128i low24 = _mm_set1_epi32(0xFFFFFF), key = _mm_set1_epi32(int32_t(pk));
        for (; i + 4 <= n; i += 4) {
            __m128i sv = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)), low24);
            __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
            __m128i keyed = _mm_cmpeq_epi32(sv, key);
            __m128i out = _mm_or_si128(_mm_and_si128(keyed, dv), _mm_andnot_si128(keyed, sv));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
        }
#endif
        for (; i < n; i++) {
            uint32_t colour = s[i] & 0xFFFFFF;
            if (colour != pk) d[i] = colour;
        }
    }
};

// Each of the four bytes becomes min(255, d + s).
struct AddOp {
    void operator()(uint32_t* __restrict d, const uint32_t* __restrict s, size_t n) const {
        size_t i = 0;
#ifdef GFX_SSE2
        for (; i + 4 <= n; i += 4) {
            __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
            __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_adds_epu8(x, y));
        }
#endif
        for (; i < n; i++) {
            uint32_t a = d[i], b = s[i];
            uint32_t carries = ((a & b) + (((a ^ b) >> 1) & 0x7F7F7F7F)) & 0x80808080;
            uint32_t mask = (carries << 1) - (carries >> 7);
            d[i] = ((a + b) - mask) | mask;
        }
    }
};

// Constant alpha over the whole rectangle: weight/255 of the source.
struct ConstantAlphaOp {
    uint32_t weight;
    void operator()(uint32_t* d, const uint32_t* s, size_t n) const {
        for (size_t i = 0; i < n; i++) {
            uint32_t src = s[i], dst = d[i], result = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                uint32_t c = ((src >> shift) & 0xFF) * weight +
                             ((dst >> shift) & 0xFF) * (255 - weight);
                result |= ((c + 127) / 255) << shift;
            }
            d[i] = result;
        }
    }
};

// ---- the walk over the destination rectangle ----

// Which source column or row shows at destination offset i of `dest` (nearest
// neighbour, sampling each destination pixel's centre).
inline int64_t SourceOffset(int64_t i, int64_t source, int64_t dest) {
    return source == dest ? i : (2 * i + 1) * source / (2 * dest);
}

constexpr int64_t MAX_BLOCK = int64_t(1) << 30;

// Runs op over the physical destination rectangle (x, y, dw, dh) with the
// source rectangle (sx, sy, sw, sh) scaled onto it. Destination pixels outside
// dst are never touched. Those whose source pixel lies outside src get a black
// source pixel when outsideIsBlack, else are left alone.
template <typename Op>
void RunPass(Surface dst, int64_t x, int64_t y, int64_t dw, int64_t dh, Surface src,
             int64_t sx, int64_t sy, int64_t sw, int64_t sh, bool outsideIsBlack, const Op& op,
             bool mayKeep = true) {
    uint32_t* dstPixels = WritablePixels(dst);
    if (!dstPixels || !src) return;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    // No surface is this big; the stretch arithmetic stays within 64 bits below it.
    if (dw > MAX_BLOCK || dh > MAX_BLOCK || sw > MAX_BLOCK || sh > MAX_BLOCK) return;
    int64_t i0 = std::max<int64_t>(0, -x), i1 = std::min<int64_t>(dw, dst->width - x);
    int64_t j0 = std::max<int64_t>(0, -y), j1 = std::min<int64_t>(dh, dst->height - y);
    if (i0 >= i1 || j0 >= j1) return;
    bool hasPixels = src->pixels || src->compact;
    int64_t srcWidth = hasPixels ? src->width : 0, srcHeight = hasPixels ? src->height : 0;

    // A keyed copy stretched across the columns the same way as last time is
    // drawn once, whole, into a kept picture filled with the key, and that is
    // copied keyed: every pixel comes out as the stretch itself would draw it.
    if constexpr (std::is_same_v<Op, KeyedOp> || std::is_same_v<Op, MixOp>) {
        bool keyedCopy = true;
        if constexpr (std::is_same_v<Op, MixOp>) keyedCopy = op.a == 1.0f && op.b == 0.0f;
        if (mayKeep && keyedCopy && outsideIsBlack && sw != dw && src != dst && hasPixels) {
            bool fresh;
            int pass = std::is_same_v<Op, KeyedOp> ? 0 : 1;
            Surface kept = KeptStretch(src, {sx, sy, sw, sh, dw, dh, op.pk, pass}, &fresh);
            if (kept) {
                if (fresh) RunPass(kept, 0, 0, dw, dh, src, sx, sy, sw, sh, true, op, false);
                RunPass(dst, x, y, dw, dh, kept, 0, 0, dw, dh, true, KeyedOp{op.pk}, false);
                return;
            }
        }
    }

    // Destination columns [a, b) show source columns inside src; the mapping
    // only grows, so they are one run.
    bool sameColumns = sw == dw;
    int64_t a = i0, b = i0;
    std::vector<int64_t> columns;
    if (sameColumns) {
        a = std::clamp(-sx, i0, i1);
        b = std::clamp(srcWidth - sx, a, i1);
    } else {
        columns.resize(size_t(i1 - i0));
        for (int64_t i = i0; i < i1; i++) columns[size_t(i - i0)] = sx + SourceOffset(i, sw, dw);
        while (a < i1 && columns[size_t(a - i0)] < 0) a++;
        b = a;
        while (b < i1 && columns[size_t(b - i0)] < srcWidth) b++;
    }
    // Scaled columns are gathered into `row` before the pass.
    bool gather = !sameColumns;
    std::vector<uint32_t> row(gather ? size_t(b - a) : 0);
    // A compact source's row is read into `span` first: the source columns
    // the pass needs, from spanStart on.
    std::vector<uint32_t> span;
    int64_t spanStart = 0;
    if (src->compact && b > a) {
        spanStart = gather ? columns[size_t(a - i0)] : sx + a;
        int64_t spanEnd = gather ? columns[size_t(b - 1 - i0)] + 1 : sx + b;
        span.resize(size_t(spanEnd - spanStart));
    }
    // Black source pixels for the parts outside src, made only when needed.
    std::vector<uint32_t> zeroRow;
    auto zeros = [&]() {
        if (zeroRow.empty()) zeroRow.assign(size_t(i1 - i0), 0);
        return zeroRow.data();
    };
    // Drawing a surface onto itself reads the picture as it was before the
    // call: the source rows it needs are copied first.
    const uint32_t* sourcePixels = src->pixels;
    int64_t firstRow = 0;
    std::vector<uint32_t> sourceCopy;
    if (src == dst && b > a) {
        firstRow = std::clamp<int64_t>(sy + SourceOffset(j0, sh, dh), 0, srcHeight);
        int64_t lastRow = std::clamp<int64_t>(sy + SourceOffset(j1 - 1, sh, dh) + 1, firstRow, srcHeight);
        sourceCopy.assign(src->pixels + firstRow * srcWidth, src->pixels + lastRow * srcWidth);
        sourcePixels = sourceCopy.data();
    }

    // A flat picture drawn keyed again and again copies only what shows.
    KeySpans* shown = nullptr;
    if constexpr (std::is_same_v<Op, KeyedOp>) {
        if (src->pixels && !src->compact && !gather && src != dst && b > a)
            shown = KeySpansFor(src, op.pk);
    }

    int64_t gatheredRow = -1;  // the source row now in `row`
    for (int64_t j = j0; j < j1; j++) {
        uint32_t* d = dstPixels + (y + j) * dst->width + x;
        int64_t sourceRow = sy + SourceOffset(j, sh, dh);
        bool rowInside = sourceRow >= 0 && sourceRow < srcHeight;
        if (!rowInside || a >= b) {
            if (outsideIsBlack) op(d + i0, zeros(), size_t(i1 - i0));
            continue;
        }
        if (outsideIsBlack) {
            if (a > i0) op(d + i0, zeros(), size_t(a - i0));
            if (b < i1) op(d + b, zeros(), size_t(i1 - b));
        }
        // A keyed copy from run-length rows skips the key's runs; a plain
        // copy reads them straight into the destination.
        if constexpr (std::is_same_v<Op, KeyedOp>) {
            if (src->compact && !gather) {
                DrawCompactRowKeyed(*src, sourceRow, sx + a, b - a, op.pk, d + a);
                continue;
            }
            if (shown) {
                DrawKeyedRowBySpans(shown, *src, sourceRow, sx + a, sx + b, d + a, keyedRow);
                continue;
            }
        }
        if constexpr (std::is_same_v<Op, CopyOp>) {
            if (src->compact && !gather) {
                ReadCompactRow(*src, sourceRow, sx + a, b - a, d + a);
                continue;
            }
        }
        // A stretched source row that shows on several destination rows in
        // turn is read and gathered once.
        if (gather && sourceRow == gatheredRow) {
            op(d + a, row.data(), size_t(b - a));
            continue;
        }
        // s: the source row from column `first` on.
        const uint32_t* s;
        int64_t first;
        if (src->compact) {
            ReadCompactRow(*src, sourceRow, spanStart, int64_t(span.size()), span.data());
            s = span.data();
            first = spanStart;
        } else {
            s = sourcePixels + (sourceRow - firstRow) * srcWidth;
            first = 0;
        }
        if (!gather) {
            op(d + a, s + (sx + a - first), size_t(b - a));
        } else {
            for (int64_t i = a; i < b; i++) {
                row[size_t(i - a)] = s[columns[size_t(i - i0)] - first];
            }
            gatheredRow = sourceRow;
            op(d + a, row.data(), size_t(b - a));
        }
    }
}

bool NoKey(uint32_t key) { return (key & 0x80000000u) != 0; }

} // namespace

int LimitKeyedPassLevel(int level) {
    keyedRow = ChooseKeyedRow();
#ifdef GFX_X86
    if (level < 3 && keyedRow == KeyedRowAvx512) keyedRow = KeyedRowAvx2;
    if (level < 2) keyedRow = KeyedRowSse2;
    if (level < 1) keyedRow = KeyedRowPlain;
    return keyedRow == KeyedRowAvx512 ? 3 : keyedRow == KeyedRowAvx2 ? 2 : keyedRow == KeyedRowSse2 ? 1 : 0;
#elif defined(GFX_SSE2)
    if (level < 1) keyedRow = KeyedRowPlain;
    return keyedRow == KeyedRowSse2 ? 1 : 0;
#else
    (void)level;
    return 0;
#endif
}

void DrawColorKeyed(Surface dst, int x, int y, int w, int h,
                    Surface src, int sx, int sy, uint32_t key) {
    DrawStretchedColorKeyed(dst, x, y, w, h, src, sx, sy, w, h, key);
}

void DrawStretchedColorKeyed(Surface dst, int x, int y, int dw, int dh,
                             Surface src, int sx, int sy, int sw, int sh, uint32_t key) {
    int64_t s = PixelScale();
    if (NoKey(key)) {
        // Without a key this is a plain copy, clipped to both surfaces.
        RunPass(dst, x * s, y * s, dw * s, dh * s, src, sx * s, sy * s, sw * s, sh * s,
                false, CopyOp{});
    } else {
        RunPass(dst, x * s, y * s, dw * s, dh * s, src, sx * s, sy * s, sw * s, sh * s,
                true, KeyedOp{PixelKeyFromColour(key)});
    }
}

void DrawBlended(Surface dst, int x, int y, int dw, int dh,
                 Surface src, int sx, int sy, int sw, int sh,
                 int16_t alpha, uint32_t mode) {
    alpha = std::clamp<int16_t>(alpha, 0, 100);
    int64_t s = PixelScale();
    if (mode <= 0xFFFFFF) {
        float a = float(alpha / 100.0);
        float b = float(1.0 - double(a));
        RunPass(dst, x * s, y * s, dw * s, dh * s, src, sx * s, sy * s, sw * s, sh * s,
                true, MixOp{PixelKeyFromColour(mode), a, b});
    } else if (mode == BLEND_CONSTANT_ALPHA) {
        RunPass(dst, x * s, y * s, dw * s, dh * s, src, sx * s, sy * s, sw * s, sh * s,
                false, ConstantAlphaOp{uint32_t(alpha) * 255 / 100});
    } else if (mode == BLEND_ADDITIVE) {
        RunPass(dst, x * s, y * s, dw * s, dh * s, src, sx * s, sy * s, sw * s, sh * s,
                true, AddOp{});
    }
}
