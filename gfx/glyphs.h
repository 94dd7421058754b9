// The glyph source: finds a face by name, sizes it the way the Windows font
// mapper sizes a font (cell height and average character width), measures
// text and hands out its glyphs as 8-bit coverage. The Linux build takes them
// from FreeType with fontconfig naming the faces; a Windows build can put GDI
// behind the same few functions. Texts are UTF-8 and never need a locale.
#pragma once
#include <cstdint>

struct GlyphFontData;                 // private to the glyph source
typedef GlyphFontData* GlyphFont;     // nullptr: no font

// One glyph's coverage, rows top-down, 0 (background) .. 255 (ink). (x, y) is
// the top-left of the coverage box relative to the top-left corner of the
// text's cell, so the caller only adds where the text starts.
struct GlyphCoverage {
    const uint8_t* coverage;
    int width;
    int height;
    int pitch;   // bytes from one row to the next
    int x;
    int y;
};

// Receives the glyphs of RasteriseGlyphText one by one; the coverage is only
// valid during the call.
typedef void (*GlyphSink)(void* context, const GlyphCoverage& glyph);

// Called by SetFont and the text helpers; the face named faceName (as a game
// names it: "IMPACT", "ＭＳ 明朝", or any family) scaled so that its cell
// (ascent + descent) is height pixels and its average character width is width
// pixels, each axis on its own; width 0 keeps the face's own proportions.
// Opening the same font again is a cache lookup. nullptr when no face at all
// can be found. The handle stays valid until the next OpenGlyphFont.
GlyphFont OpenGlyphFont(const char* faceName, int width, int height);

// Called by the text layout; the font's cell height and ascent (baseline
// distance from the cell's top) in pixels.
int GlyphCellHeight(GlyphFont font);
int GlyphAscent(GlyphFont font);

// Called by the text layout; the advance of length bytes of text in pixels,
// that is how far the next text would start (each glyph's advance is rounded
// to whole pixels, and there is no kerning, as with the system's TextOut).
int MeasureGlyphText(GlyphFont font, const char* text, int length);

// Called by the text drawing; hands each visible glyph of the one-line text to
// sink, placed as by MeasureGlyphText from a pen starting at the cell's left.
void RasteriseGlyphText(GlyphFont font, const char* text, int length,
                        GlyphSink sink, void* context);

// Called by tests and diagnostics; the family and file the font's face came
// from (empty strings when unknown).
const char* GlyphFontFamily(GlyphFont font);
const char* GlyphFontFile(GlyphFont font);

// Called by the glyph sources and the text layout: the code point at *cursor
// (before end), moving *cursor past it. Malformed or truncated UTF-8 yields
// U+FFFD for one byte, so any byte string can be walked safely.
inline uint32_t NextCodepoint(const char** cursor, const char* end) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(*cursor);
    const unsigned char* e = reinterpret_cast<const unsigned char*>(end);
    uint32_t c = *p;
    if (c < 0x80) {
        *cursor += 1;
        return c;
    }
    int extra = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2
              : c >= 0xF0 && c <= 0xF4 ? 3 : -1;
    if (extra < 0 || e - p <= extra) {
        *cursor += 1;
        return 0xFFFD;
    }
    uint32_t value = extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
    for (int i = 1; i <= extra; i++) {
        if ((p[i] & 0xC0) != 0x80) { *cursor += 1; return 0xFFFD; }
        value = (value << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static const uint32_t least[4] = {0, 0x80, 0x800, 0x10000};
    if (value < least[extra] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
        *cursor += 1;
        return 0xFFFD;
    }
    *cursor += extra + 1;
    return value;
}
