// Text: formats a caption, lays it out on one line or word-wrapped in a box,
// and blends its glyphs (from the glyph source) onto a surface in the text
// colour, optionally over an opaque fill of its cells.
#include "gfx/text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gfx/hooks.h"
#include "platform/platform.h"
#include "gfx/screen.h"

Font currentFont = nullptr;
Surface screenSurface = nullptr;

namespace {

// The one font object; currentFont points here while a font exists.
FontData fontRecord;
const char* const DEFAULT_FACE = "ＭＳ 明朝";

SurfaceData screenRecord;
std::vector<uint32_t> screenPixels;

struct Ink {
    Surface surface;
    uint32_t* pixels;  // the surface's, from WritablePixels
    int64_t x, y;   // the text cell's top-left corner, physical pixels
    uint32_t pixel; // the text colour as a surface pixel
};

// Mixes the ink into one pixel by coverage a: a / 255 of the ink, the rest of
// what was there, each channel rounded. 255 gives the ink exactly, 0 the old
// pixel.
inline uint32_t MixPixel(uint32_t ink, uint32_t old, uint32_t a) {
    uint32_t rest = 255 - a, result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t v = ((ink >> shift) & 0xFF) * a + ((old >> shift) & 0xFF) * rest + 128;
        result |= ((v + (v >> 8)) >> 8) << shift; // v / 255
    }
    return result;
}

// One row of a glyph onto n pixels. Captions are large and drawn five times
// over, so four pixels go at a time where the machine allows it: runs of no
// ink are skipped and runs of full ink stored, the rest mixed as MixPixel does.
void BlendRow(uint32_t* out, const uint8_t* coverage, int64_t n, uint32_t ink) {
    int64_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i inkFour = _mm_set1_epi32(int(ink));
    const __m128i inkWide = _mm_unpacklo_epi8(inkFour, zero); // two pixels, 16 bits a channel
    const __m128i full = _mm_set1_epi16(255), half = _mm_set1_epi16(128);
    const __m128i colourBits = _mm_set1_epi32(0x00FFFFFF);
    auto mix = [&](__m128i old, __m128i a) {
        __m128i v = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(inkWide, a),
                                                _mm_mullo_epi16(old, _mm_sub_epi16(full, a))),
                                  half);
        return _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);
    };
    for (; i + 4 <= n; i += 4) {
        uint32_t four;
        std::memcpy(&four, coverage + i, 4);
        if (four == 0) continue;
        __m128i* target = reinterpret_cast<__m128i*>(out + i);
        if (four == 0xFFFFFFFF) {
            _mm_storeu_si128(target, inkFour);
            continue;
        }
        __m128i a = _mm_cvtsi32_si128(int(four));
        a = _mm_unpacklo_epi8(a, a);
        a = _mm_unpacklo_epi16(a, a); // each coverage byte four times, one per channel
        __m128i old = _mm_loadu_si128(target);
        __m128i mixed = _mm_packus_epi16(mix(_mm_unpacklo_epi8(old, zero), _mm_unpacklo_epi8(a, zero)),
                                         mix(_mm_unpackhi_epi8(old, zero), _mm_unpackhi_epi8(a, zero)));
        _mm_storeu_si128(target, _mm_and_si128(mixed, colourBits));
    }
#endif
    for (; i < n; i++) {
        uint32_t a = coverage[i];
        if (a != 0) out[i] = a == 255 ? ink : MixPixel(ink, out[i], a);
    }
}

// Blends one glyph's coverage onto the surface in the text colour, clipped.
void BlendGlyph(void* context, const GlyphCoverage& glyph) {
    const Ink& ink = *static_cast<const Ink*>(context);
    Surface surface = ink.surface;
    int64_t left = ink.x + glyph.x, top = ink.y + glyph.y;
    int64_t col0 = std::max<int64_t>(0, -left), row0 = std::max<int64_t>(0, -top);
    int64_t col1 = std::min<int64_t>(glyph.width, surface->width - left);
    int64_t row1 = std::min<int64_t>(glyph.height, surface->height - top);
    if (col0 >= col1 || row0 >= row1) return;
    for (int64_t row = row0; row < row1; row++)
        BlendRow(ink.pixels + (top + row) * surface->width + left + col0,
                 glyph.coverage + row * glyph.pitch + col0, col1 - col0, ink.pixel);
}

// One line of text with its cell's top-left at physical (x, y); a background
// other than COLOR_NONE fills the cells first.
void DrawLine(Surface surface, GlyphFont font, int64_t x, int64_t y, Colour textColour,
              Colour backColour, const char* text, int length) {
    if (!WritablePixels(surface) || !font || length <= 0) return;
    if (backColour != COLOR_NONE)
        FillPhysicalBlock(surface, x, y, PlatformMeasureGlyphText(font, text, length),
                          PlatformGlyphCellHeight(font), PixelFromColour(backColour));
    Ink ink{surface, WritablePixels(surface), x, y, PixelFromColour(textColour)};
    PlatformRasteriseGlyphText(font, text, length, BlendGlyph, &ink);
}

// Characters of the Far East scripts: a line may break before or after any
// of them, as Japanese text has no spaces between words.
bool IsWide(uint32_t c) {
    return (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF9F) || (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000;
}

// Closing punctuation that must not begin a line.
bool StaysWithPrevious(uint32_t c) {
    static const uint32_t closers[] = {0x3001, 0x3002, 0xFF0C, 0xFF0E, 0xFF01, 0xFF1F,
                                       0xFF09, 0x300D, 0x300F, 0x3011, 0x30FC, 0x3063,
                                       0x30C3, 0x3083, 0x3085, 0x3087, 0x30E3, 0x30E5, 0x30E7};
    return std::find(std::begin(closers), std::end(closers), c) != std::end(closers);
}

struct LineBreak {
    const char* drawEnd; // the line's text ends here
    const char* next;    // the next line starts here
};

// Where a line starting at start must end to fit maxWidth: after the last
// whole word that fits (the spaces at the break are dropped), or, for a word
// wider than the box, after its last character that fits, as an edit control
// breaks it. Every line takes at least one character.
LineBreak BreakLine(GlyphFont font, const char* start, const char* end, int64_t maxWidth) {
    int64_t pen = 0;
    LineBreak lastBreak{nullptr, nullptr};
    bool previousWide = false;
    for (const char* p = start; p < end;) {
        const char* at = p;
        uint32_t c = NextCodepoint(&p, end);
        if (c == ' ') {
            while (p < end && *p == ' ') p++;
            if (at > start) lastBreak = {at, p};
            pen += PlatformMeasureGlyphText(font, at, int(p - at));
            previousWide = false;
            continue;
        }
        bool wide = IsWide(c);
        if ((wide || previousWide) && at > start && !StaysWithPrevious(c)) lastBreak = {at, at};
        int advance = PlatformMeasureGlyphText(font, at, int(p - at));
        if (pen + advance > maxWidth && at > start) {
            if (lastBreak.next) return lastBreak;
            return {at, at};
        }
        pen += advance;
        previousWide = wide;
    }
    return {end, end};
}

// The box layout: paragraphs at CR, LF or CR LF, each broken to boxWidth, one
// cell height per line from y down. Lines are not clipped to any height.
// Returns the number of lines; a null surface only counts them.
int DrawBox(Surface surface, GlyphFont font, int64_t x, int64_t y, int64_t boxWidth,
            Colour textColour, Colour backColour, const char* text, int length) {
    if (!font || length <= 0) return 0;
    int lines = 0;
    int64_t lineTop = y, cell = PlatformGlyphCellHeight(font);
    const char* end = text + length;
    const char* p = text;
    for (;;) {
        const char* paragraphEnd = p;
        while (paragraphEnd < end && *paragraphEnd != '\r' && *paragraphEnd != '\n') paragraphEnd++;
        do {
            LineBreak line = BreakLine(font, p, paragraphEnd, boxWidth);
            if (surface)
                DrawLine(surface, font, x, lineTop, textColour, backColour, p, int(line.drawEnd - p));
            lineTop += cell;
            lines++;
            p = line.next;
        } while (p < paragraphEnd);
        if (paragraphEnd >= end) break;
        p = paragraphEnd + (paragraphEnd[0] == '\r' && paragraphEnd + 1 < end && paragraphEnd[1] == '\n' ? 2 : 1);
        if (p >= end) break;
    }
    return lines;
}

// Expands a format with vsnprintf's rules: cut to the buffer, always ended.
int FormatText(char* buffer, const char* format, va_list args) {
    buffer[0] = '\0';
    if (!format) return 0;
    if (std::vsnprintf(buffer, TEXT_BUFFER_SIZE, format, args) < 0) buffer[0] = '\0';
    return int(std::strlen(buffer));
}

// The current font as the glyph source knows it, creating the default font
// first when there is none.
GlyphFont CurrentGlyphFont() {
    if (!currentFont) SetFont(8, 16, DEFAULT_FACE);
    if (!currentFont) return nullptr;
    return PlatformOpenGlyphFont(currentFont->faceName, currentFont->width, currentFont->height);
}

// The length of a text handed in whole, cut at a mebibyte: no dialog says more.
int BoundedLength(const char* text) {
    return text ? int(std::min<size_t>(std::strlen(text), 1 << 20)) : 0;
}

int64_t Scaled(int64_t value) { return value * PixelScale(); }

int ClampToInt(int64_t value) {
    return int(std::clamp<int64_t>(value, -(int64_t(1) << 30), int64_t(1) << 30));
}

// Keeps screenSurface at the window's physical size; a new one is black.
Surface ScreenPicture() {
    int width = ClampToInt(Scaled(screenWidth)), height = ClampToInt(Scaled(screenHeight));
    width = std::clamp(width, 0, 1 << 14);
    height = std::clamp(height, 0, 1 << 14);
    if (!screenSurface || screenRecord.width != width || screenRecord.height != height) {
        screenPixels.assign(size_t(width) * size_t(height), 0);
        screenRecord = SurfaceData{width, height, screenPixels.empty() ? nullptr : screenPixels.data()};
        screenSurface = &screenRecord;
    }
    return screenSurface;
}

} // namespace

void SetFont(int width, int height, const char* faceName) {
    ReleaseFont();
    FontData font;
    font.width = ClampToInt(Scaled(width));
    font.height = ClampToInt(Scaled(height));
    // A name too long for the record is cut at a character boundary.
    const char* name = faceName ? faceName : "";
    size_t length = std::strlen(name);
    if (length >= FONT_FACE_CAPACITY) {
        length = FONT_FACE_CAPACITY - 1;
        while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) length--;
    }
    std::memcpy(font.faceName, name, length);
    font.faceName[length] = '\0';
    if (!PlatformOpenGlyphFont(font.faceName, font.width, font.height)) return; // no font: none current
    fontRecord = font;
    currentFont = &fontRecord;
}

void ReleaseFont() {
    currentFont = nullptr;
}

void PrintTextOn(Surface surface, int x, int y, Colour textColour, Colour backColour,
                 const char* format, ...) {
    char buffer[TEXT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    int length = FormatText(buffer, format, args);
    va_end(args);
    GlyphFont font = CurrentGlyphFont();
    DrawLine(surface, font, Scaled(x), Scaled(y), textColour, backColour, buffer, length);
    GfxPumpMessages();
}

void PrintOutlined(Surface surface, int x, int y, Colour outlineColour, Colour fillColour,
                   const char* format, ...) {
    char buffer[TEXT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    int length = FormatText(buffer, format, args);
    va_end(args);
    static const int offsets[5][2] = {{2, -2}, {-2, 2}, {-2, -2}, {2, 2}, {0, 0}};
    for (int copy = 0; copy < 5; copy++) {
        GlyphFont font = CurrentGlyphFont();
        DrawLine(surface, font, Scaled(int64_t(x) + offsets[copy][0]), Scaled(int64_t(y) + offsets[copy][1]),
                 copy < 4 ? outlineColour : fillColour, COLOR_NONE, buffer, length);
        GfxPumpMessages();
    }
}

void PrintTextBox(Surface surface, int x, int y, int w, int h, Colour textColour,
                  Colour backColour, const char* format, ...) {
    (void)h; // the lines are not clipped to the box's height
    char buffer[TEXT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    int length = FormatText(buffer, format, args);
    va_end(args);
    GlyphFont font = CurrentGlyphFont();
    if (surface)
        DrawBox(surface, font, Scaled(x), Scaled(y), Scaled(w),
                textColour, backColour, buffer, length);
    GfxPumpMessages();
}

void PrintText(int x, int y, Colour textColour, const char* format, ...) {
    char buffer[TEXT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    int length = FormatText(buffer, format, args);
    va_end(args);
    GlyphFont font = CurrentGlyphFont();
    Surface screen = ScreenPicture();
    DrawLine(screen, font, Scaled(x), Scaled(y), textColour, 0x000000, buffer, length);
    if (screen->pixels) PlatformPresent(screen->pixels, screen->width, screen->height, screen->width);
    GfxPumpMessages();
    GfxPumpMessages();
}

void MeasureTextWithFace(const char* faceName, int width, int height, const char* text,
                         int* textWidth, int* textHeight) {
    GlyphFont font = PlatformOpenGlyphFont(faceName, width, height);
    int length = BoundedLength(text);
    if (textWidth) *textWidth = PlatformMeasureGlyphText(font, text, length);
    if (textHeight) *textHeight = PlatformGlyphCellHeight(font);
}

void DrawTextWithFace(Surface surface, int x, int y, Colour textColour, Colour backColour,
                      const char* faceName, int width, int height, const char* text) {
    if (!text) return;
    GlyphFont font = PlatformOpenGlyphFont(faceName, width, height);
    int length = BoundedLength(text);
    DrawLine(surface, font, x, y, textColour, backColour, text, length);
}

int DrawTextBoxWithFace(Surface surface, int x, int y, int boxWidth, Colour textColour,
                        Colour backColour, const char* faceName, int width, int height,
                        const char* text) {
    if (!text) return 0;
    GlyphFont font = PlatformOpenGlyphFont(faceName, width, height);
    int length = BoundedLength(text);
    return DrawBox(surface, font, x, y, boxWidth, textColour, backColour, text, length);
}
