// The picture in a window of any size: placement, filters, the pointer over
// it, and the software scaler used where there is no graphics card to do it.
#include "platform/scaling/scaling.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

PictureRect FitPicture(int pictureWidth, int pictureHeight, int outputWidth, int outputHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0 || outputWidth <= 0 || outputHeight <= 0)
        return PictureRect{0, 0, 0, 0};
    // Which side limits is decided in whole numbers, so that an output of
    // exactly the picture's shape is filled exactly.
    long long wide = static_cast<long long>(outputWidth) * pictureHeight;
    long long tall = static_cast<long long>(outputHeight) * pictureWidth;
    long long width = outputWidth, height = outputHeight;
    if (wide > tall)  // bars left and right
        width = (2LL * pictureWidth * outputHeight + pictureHeight) / (2LL * pictureHeight);
    else if (wide < tall)  // bars above and below
        height = (2LL * pictureHeight * outputWidth + pictureWidth) / (2LL * pictureWidth);
    width = std::clamp<long long>(width, 1, outputWidth);
    height = std::clamp<long long>(height, 1, outputHeight);
    return PictureRect{static_cast<int>((outputWidth - width) / 2), static_cast<int>((outputHeight - height) / 2),
                       static_cast<int>(width), static_cast<int>(height)};
}

// The same letters, whatever their case (the hint's own rule).
static bool SameWord(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; a++, b++)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
    return *a == *b;
}

ScaleChoice ParseScaleChoice(const char* hint)
{
    if (hint == nullptr) return SCALE_CHOICE_AUTO;
    if (SameWord(hint, "nearest") || strcmp(hint, "0") == 0) return SCALE_CHOICE_NEAREST;
    if (SameWord(hint, "linear") || strcmp(hint, "1") == 0) return SCALE_CHOICE_SMOOTH;
    return SCALE_CHOICE_AUTO;
}

static bool WholeMultiple(int pictureWidth, int pictureHeight, PictureRect rect)
{
    return rect.width % pictureWidth == 0 && rect.height % pictureHeight == 0 &&
           rect.width / pictureWidth == rect.height / pictureHeight;
}

ScaleFilter ChooseFilter(int pictureWidth, int pictureHeight, PictureRect rect, ScaleChoice choice)
{
    if (choice == SCALE_CHOICE_NEAREST) return SCALE_NEAREST;
    if (choice == SCALE_CHOICE_SMOOTH) return SCALE_SMOOTH;
    if (pictureWidth <= 0 || pictureHeight <= 0 || rect.width <= 0 || rect.height <= 0) return SCALE_NEAREST;
    if (WholeMultiple(pictureWidth, pictureHeight, rect)) return SCALE_NEAREST;
    // Whole pixels at 1.5 times would be one and two pixels wide by turns,
    // and the scrolling backdrops would shimmer; a plain blur would soften the
    // lettering. Sharp bilinear keeps both.
    return rect.width > pictureWidth ? SCALE_SHARP : SCALE_SMOOTH;
}

int SharpMultiple(int pictureWidth, int pictureHeight, PictureRect rect)
{
    if (pictureWidth <= 0 || pictureHeight <= 0) return 1;
    int across = (rect.width + pictureWidth - 1) / pictureWidth;
    int down = (rect.height + pictureHeight - 1) / pictureHeight;
    return std::max(1, std::max(across, down));
}

void PictureFromOutput(PictureRect rect, int pictureWidth, int pictureHeight, double outputX, double outputY,
                       int* x, int* y)
{
    if (rect.width <= 0 || rect.height <= 0) {
        *x = *y = 0;
        return;
    }
    double px = std::floor((outputX - rect.x) * pictureWidth / rect.width);
    double py = std::floor((outputY - rect.y) * pictureHeight / rect.height);
    // Far outside (a pointer on another screen) the values stay in range.
    *x = static_cast<int>(std::clamp(px, -1e9, 1e9));
    *y = static_cast<int>(std::clamp(py, -1e9, 1e9));
}

void OutputFromPicture(PictureRect rect, int pictureWidth, int pictureHeight, int x, int y, double* outputX,
                       double* outputY)
{
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        *outputX = rect.x;
        *outputY = rect.y;
        return;
    }
    *outputX = rect.x + (x + 0.5) * rect.width / pictureWidth;
    *outputY = rect.y + (y + 0.5) * rect.height / pictureHeight;
}

void WindowedClientSize(int pictureWidth, int pictureHeight, double desktopScale, int roomWidth, int roomHeight,
                        int* width, int* height)
{
    if (!(desktopScale >= 1.0 && desktopScale <= 8.0)) desktopScale = 1.0;
    long long wanted = std::llround(pictureWidth * desktopScale);
    long long wantedHeight = std::llround(pictureHeight * desktopScale);
    *width = static_cast<int>(std::max(1LL, wanted));
    *height = static_cast<int>(std::max(1LL, wantedHeight));
    if (roomWidth <= 0 || roomHeight <= 0 || (*width <= roomWidth && *height <= roomHeight)) return;
    PictureRect fit = FitPicture(pictureWidth, pictureHeight, roomWidth, roomHeight);
    *width = fit.width;
    *height = fit.height;
}

// ---- the software scaler ----

namespace {

// The mix of two 0x00RRGGBB pixels, weight/256 of b: red with blue and green
// apart, each in a 16-bit lane, rounded to nearest.
inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t weight)
{
    uint32_t keep = 256 - weight;
    uint32_t redBlue = ((a & 0xFF00FF) * keep + (b & 0xFF00FF) * weight + 0x800080) >> 8;
    uint32_t green = ((a & 0x00FF00) * keep + (b & 0x00FF00) * weight + 0x008000) >> 8;
    return (redBlue & 0xFF00FF) | (green & 0x00FF00);
}

// One output column (or row) of a filtered scale: the two picture pixels it
// lies between and the weight of the second, 0..255.
struct Tap {
    int first, second;
    uint32_t weight;
};

// Output pixel i's centre falls at u in picture pixels (centres at whole
// numbers). Bilinear weighs the two neighbours by the distance; sharp
// bilinear as if the picture were first enlarged multiple times with whole
// pixels: full weight near a pixel's centre, a ramp only at its edges.
std::vector<Tap> Taps(int pictureSize, int outputSize, int multiple)
{
    std::vector<Tap> taps(static_cast<size_t>(outputSize));
    for (int i = 0; i < outputSize; i++) {
        double u = (i + 0.5) * pictureSize / outputSize - 0.5;
        double base = std::floor(u);
        double fraction = std::clamp((u - base - 0.5) * multiple + 0.5, 0.0, 1.0);
        int first = static_cast<int>(base);
        long weight = std::lround(fraction * 256);
        if (weight >= 256) {
            first++;
            weight = 0;
        }
        taps[i] = Tap{std::clamp(first, 0, pictureSize - 1), std::clamp(first + 1, 0, pictureSize - 1),
                      static_cast<uint32_t>(weight)};
    }
    return taps;
}

// What one scale needs besides the pixels, kept while the sizes stay the
// same (they do, frame after frame).
struct Plan {
    int width = 0, height = 0, outputWidth = 0, outputHeight = 0, multiple = 0;
    ScaleFilter filter = SCALE_NEAREST;
    std::vector<Tap> columns, rows;
    std::vector<int> nearestColumns, nearestRows;
    std::vector<uint32_t> firsts, seconds;  // a row's picked neighbours
    std::vector<uint16_t> columnWeights;    // four times each column's weight
    bool mostlyWhole = false;               // most columns take one pixel whole
    std::vector<uint32_t> lines[2];  // two picture rows scaled across
    int lineRows[2] = {-1, -1};
    const uint32_t* lineAt[2] = {nullptr, nullptr};  // where each kept line is
};

Plan plan;

void Prepare(int width, int height, PictureRect rect, ScaleFilter filter)
{
    int multiple = filter == SCALE_SHARP ? SharpMultiple(width, height, rect) : 1;
    if (plan.width == width && plan.height == height && plan.outputWidth == rect.width &&
        plan.outputHeight == rect.height && plan.filter == filter && plan.multiple == multiple)
        return;
    plan = Plan{};
    plan.width = width;
    plan.height = height;
    plan.outputWidth = rect.width;
    plan.outputHeight = rect.height;
    plan.filter = filter;
    plan.multiple = multiple;
    if (filter == SCALE_NEAREST) {
        plan.nearestColumns.resize(static_cast<size_t>(rect.width));
        for (int i = 0; i < rect.width; i++)
            plan.nearestColumns[i] = static_cast<int>((2LL * i + 1) * width / (2LL * rect.width));
        plan.nearestRows.resize(static_cast<size_t>(rect.height));
        for (int i = 0; i < rect.height; i++)
            plan.nearestRows[i] = static_cast<int>((2LL * i + 1) * height / (2LL * rect.height));
    } else {
        plan.columns = Taps(width, rect.width, multiple);
        plan.rows = Taps(height, rect.height, multiple);
        plan.firsts.resize(static_cast<size_t>(rect.width));
        plan.seconds.resize(static_cast<size_t>(rect.width));
        plan.columnWeights.resize(4 * static_cast<size_t>(rect.width));
        int whole = 0;
        for (int i = 0; i < rect.width; i++) {
            std::fill_n(&plan.columnWeights[4 * static_cast<size_t>(i)], 4, static_cast<uint16_t>(plan.columns[i].weight));
            whole += plan.columns[i].weight == 0;
        }
        plan.mostlyWhole = whole * 2 > rect.width;
        plan.lines[0].resize(static_cast<size_t>(rect.width));
        plan.lines[1].resize(static_cast<size_t>(rect.width));
    }
}

// A whole multiple: each picture row widened once, then copied down.
void ScaleWhole(const uint32_t* pixels, int width, int height, int pitch, uint32_t* output, int outputPitch,
                PictureRect rect, int multiple)
{
    for (int y = 0; y < height; y++) {
        const uint32_t* source = pixels + static_cast<size_t>(y) * pitch;
        uint32_t* line = output + static_cast<size_t>(rect.y + y * multiple) * outputPitch + rect.x;
        int x = 0;
#if defined(__SSE2__)
        if (multiple == 2) {
            for (; x + 4 <= width; x += 4) {
                __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(line + 2 * x), _mm_unpacklo_epi32(four, four));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(line + 2 * x + 4), _mm_unpackhi_epi32(four, four));
            }
        }
#endif
        for (; x < width; x++) std::fill_n(line + x * multiple, multiple, source[x]);
        for (int copy = 1; copy < multiple; copy++)
            memcpy(line + static_cast<size_t>(copy) * outputPitch, line, static_cast<size_t>(rect.width) * 4);
    }
}

void ScaleNearest(const uint32_t* pixels, int pitch, uint32_t* output, int outputPitch, PictureRect rect)
{
    const int* columns = plan.nearestColumns.data();
    int previous = -1;
    uint32_t* previousLine = nullptr;
    for (int y = 0; y < rect.height; y++) {
        uint32_t* line = output + static_cast<size_t>(rect.y + y) * outputPitch + rect.x;
        int row = plan.nearestRows[y];
        if (row == previous) {
            memcpy(line, previousLine, static_cast<size_t>(rect.width) * 4);
        } else {
            const uint32_t* source = pixels + static_cast<size_t>(row) * pitch;
            for (int x = 0; x < rect.width; x++) line[x] = source[columns[x]];
        }
        previous = row;
        previousLine = line;
    }
}

// out = a mixed with b, weight/256 of b; the same rounding as Mix.
void MixLine(const uint32_t* a, const uint32_t* b, uint32_t* out, int count, uint32_t weight)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(128);
    const __m128i keep = _mm_set1_epi16(static_cast<short>(256 - weight));
    const __m128i take = _mm_set1_epi16(static_cast<short>(weight));
    for (; x + 4 <= count; x += 4) {
        __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
        __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
        // Each channel times at most 256 stays below 65536: 16-bit lanes do.
        __m128i low = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(va, zero), keep),
                                    _mm_mullo_epi16(_mm_unpacklo_epi8(vb, zero), take));
        __m128i high = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(va, zero), keep),
                                     _mm_mullo_epi16(_mm_unpackhi_epi8(vb, zero), take));
        low = _mm_srli_epi16(_mm_add_epi16(low, half), 8);
        high = _mm_srli_epi16(_mm_add_epi16(high, half), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(low, high));
    }
#endif
    for (; x < count; x++) out[x] = Mix(a[x], b[x], weight);
}

// out[x] = a[x] mixed with b[x], weights[x]/256 of b[x] (weights holds each
// pixel's weight four times, once for each byte).
void MixLineWeighted(const uint32_t* a, const uint32_t* b, uint32_t* out, int count, const uint16_t* weights)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(128), full = _mm_set1_epi16(256);
    for (; x + 4 <= count; x += 4) {
        __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
        __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
        __m128i takeLow = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + 4 * x));
        __m128i takeHigh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + 4 * x + 8));
        __m128i low = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(va, zero), _mm_sub_epi16(full, takeLow)),
                                    _mm_mullo_epi16(_mm_unpacklo_epi8(vb, zero), takeLow));
        __m128i high = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(va, zero), _mm_sub_epi16(full, takeHigh)),
                                     _mm_mullo_epi16(_mm_unpackhi_epi8(vb, zero), takeHigh));
        low = _mm_srli_epi16(_mm_add_epi16(low, half), 8);
        high = _mm_srli_epi16(_mm_add_epi16(high, half), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(low, high));
    }
#endif
    for (; x < count; x++) out[x] = Mix(a[x], b[x], weights[4 * x]);
}

// A picture row scaled across. Sharp bilinear takes most columns whole (two
// in three at 1.5 times), and a branch that skips their mixing is faster than
// mixing everything; a smooth scale mixes every column, four at a time.
void ScaleAcross(const uint32_t* source, uint32_t* line)
{
    // Locals, so the compiler need not fear the stores changing the plan.
    const Tap* __restrict taps = plan.columns.data();
    const int count = plan.outputWidth;
    if (plan.mostlyWhole) {
        for (int x = 0; x < count; x++) {
            uint32_t first = source[taps[x].first];
            line[x] = taps[x].weight != 0 ? Mix(first, source[taps[x].second], taps[x].weight) : first;
        }
        return;
    }
    uint32_t* __restrict firsts = plan.firsts.data();
    uint32_t* __restrict seconds = plan.seconds.data();
    for (int x = 0; x < count; x++) {
        firsts[x] = source[taps[x].first];
        seconds[x] = source[taps[x].second];
    }
    MixLineWeighted(firsts, seconds, line, count, plan.columnWeights.data());
}

// Picture row `row` scaled across, from the two lines kept, leaving the line
// of row `keep` alone; a line not kept yet is scaled into `into` when given
// (an output row that shows it unmixed), else into a line of the plan's own.
// Output rows go top to bottom, so each picture row is scaled once a frame.
const uint32_t* LineFor(const uint32_t* pixels, int pitch, int row, int keep, uint32_t* into)
{
    for (int i = 0; i < 2; i++)
        if (plan.lineRows[i] == row) return plan.lineAt[i];
    int slot = plan.lineRows[0] == keep ? 1 : 0;
    uint32_t* line = into != nullptr ? into : plan.lines[slot].data();
    ScaleAcross(pixels + static_cast<size_t>(row) * pitch, line);
    plan.lineRows[slot] = row;
    plan.lineAt[slot] = line;
    return line;
}

void ScaleFiltered(const uint32_t* pixels, int pitch, uint32_t* output, int outputPitch, PictureRect rect)
{
    plan.lineRows[0] = plan.lineRows[1] = -1;  // a new picture
    for (int y = 0; y < rect.height; y++) {
        const Tap& tap = plan.rows[y];
        uint32_t* line = output + static_cast<size_t>(rect.y + y) * outputPitch + rect.x;
        if (tap.weight == 0) {
            const uint32_t* whole = LineFor(pixels, pitch, tap.first, tap.second, line);
            if (whole != line) memcpy(line, whole, static_cast<size_t>(rect.width) * 4);
            continue;
        }
        const uint32_t* top = LineFor(pixels, pitch, tap.first, tap.second, nullptr);
        const uint32_t* bottom = LineFor(pixels, pitch, tap.second, tap.first, nullptr);
        MixLine(top, bottom, line, rect.width, tap.weight);
    }
}

void FillBlack(uint32_t* output, int outputPitch, int x, int y, int width, int height)
{
    for (int row = y; row < y + height; row++)
        std::fill_n(output + static_cast<size_t>(row) * outputPitch + x, width, 0u);
}

}  // namespace

void DrawPicture(const uint32_t* pixels, int width, int height, int pitch, uint32_t* output, int outputWidth,
                 int outputHeight, int outputPitch, PictureRect rect, ScaleFilter filter)
{
    if (output == nullptr || outputWidth <= 0 || outputHeight <= 0) return;
    // Only a rectangle inside the output is drawn into.
    rect.width = std::clamp(rect.width, 0, outputWidth);
    rect.height = std::clamp(rect.height, 0, outputHeight);
    rect.x = std::clamp(rect.x, 0, outputWidth - rect.width);
    rect.y = std::clamp(rect.y, 0, outputHeight - rect.height);
    bool drawn = pixels != nullptr && width > 0 && height > 0 && pitch >= width && rect.width > 0 && rect.height > 0;
    if (!drawn) {
        FillBlack(output, outputPitch, 0, 0, outputWidth, outputHeight);
        return;
    }
    FillBlack(output, outputPitch, 0, 0, outputWidth, rect.y);
    FillBlack(output, outputPitch, 0, rect.y + rect.height, outputWidth, outputHeight - rect.y - rect.height);
    FillBlack(output, outputPitch, 0, rect.y, rect.x, rect.height);
    FillBlack(output, outputPitch, rect.x + rect.width, rect.y, outputWidth - rect.x - rect.width, rect.height);
    if (rect.width == width && rect.height == height) {
        for (int y = 0; y < height; y++)
            memcpy(output + static_cast<size_t>(rect.y + y) * outputPitch + rect.x,
                   pixels + static_cast<size_t>(y) * pitch, static_cast<size_t>(width) * 4);
        return;
    }
    if (filter == SCALE_NEAREST && WholeMultiple(width, height, rect)) {
        ScaleWhole(pixels, width, height, pitch, output, outputPitch, rect, rect.width / width);
        return;
    }
    Prepare(width, height, rect, filter);
    if (filter == SCALE_NEAREST)
        ScaleNearest(pixels, pitch, output, outputPitch, rect);
    else
        ScaleFiltered(pixels, pitch, output, outputPitch, rect);
}
