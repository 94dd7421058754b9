// The FreeType glyph source. The face lookup (face_lookup.h: fontconfig on
// the desktop, the shipped fonts in the browser) turns the names the game
// asks for into font files; FreeType sizes and draws them.
// A frame creates and drops up to 18 fonts, so everything is kept: one
// FT_Face per face file, one FT_Size per font asked for, and every glyph drawn.
#include "platform/platform.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/freetype/face_lookup.h"

namespace {

// Beyond these the caches start again from empty; the game itself uses about
// ten fonts and a few dozen glyphs.
constexpr size_t MAX_FONTS = 128;
constexpr size_t MAX_FACE_NAMES = 256;
constexpr size_t GLYPH_BYTES_BUDGET = 64u << 20;
// No font the game makes comes near this; it keeps a wild size from asking
// FreeType for gigantic glyphs.
constexpr int MAX_FONT_PIXELS = 2048;
// The face that lends its glyphs to a font that lacks them, as the system's
// font linking lends Japanese glyphs to Latin faces.
const char* const FALLBACK_FACE = "ＭＳ 明朝";

struct FaceFile {
    std::string file;
    std::string family;
    FT_Face face;
};

// What a name resolves to: a face, and the scale the font aliases ask for on
// top of the size (a stand-in face broader than the one it replaces is
// narrowed, so that text takes the room it would have taken).
struct ResolvedFace {
    FaceFile* faceFile = nullptr;
    double scaleX = 1.0;
    double scaleY = 1.0;
};

// One face at one size, and where its baseline sits in the cell.
struct SizedFace {
    FaceFile* faceFile = nullptr;
    FT_Size size = nullptr;
    int ascent = 0;
    int cellHeight = 0;
};

struct CachedGlyph {
    bool loaded = false;
    size_t offset = 0;
    int width = 0, height = 0;
    int x = 0, y = 0;
    int advance = 0;
};

} // namespace

struct GlyphFontData {
    std::string faceName;
    int width = 0;
    int height = 0;
    SizedFace primary;
    SizedFace fallback;
    bool fallbackTried = false;
    CachedGlyph ascii[128];
    std::unordered_map<uint32_t, CachedGlyph> others;
    std::vector<uint8_t> coverage; // every cached glyph's rows, back to back
};

namespace {

bool initialised = false;
FT_Library library = nullptr;
bool lookupReady = false;
std::vector<FaceFile*> faceFiles;                        // never released
std::unordered_map<std::string, ResolvedFace> faceByName; // no faceFile: none found
// Few enough to search in order, which costs less than building a key: a
// frame opens its handful of fonts again and again.
std::vector<GlyphFontData*> fonts;
size_t glyphBytes = 0;

bool Initialise() {
    if (initialised) return library && lookupReady;
    initialised = true;
    if (FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        return false;
    }
    lookupReady = StartFaceLookup();
    return lookupReady;
}

FaceFile* OpenFaceFile(const char* file, int index, const char* family) {
    for (FaceFile* known : faceFiles)
        if (known->file == file && known->face->face_index == index) return known;
    FT_Face face;
    if (FT_New_Face(library, file, index, &face) != 0) return nullptr;
    if (!face->charmap) FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    FaceFile* opened = new FaceFile{file, family, face};
    faceFiles.push_back(opened);
    return opened;
}

// The face that stands for a name, opened once and remembered.
ResolvedFace ResolveFace(const char* faceName) {
    auto found = faceByName.find(faceName);
    if (found != faceByName.end()) return found->second;
    if (faceByName.size() >= MAX_FACE_NAMES) faceByName.clear();

    ResolvedFace result;
    FaceLocation location;
    if (LookUpFace(faceName, &location)) {
        result.faceFile = OpenFaceFile(location.file.c_str(), location.index, location.family.c_str());
        result.scaleX = location.scaleX;
        result.scaleY = location.scaleY;
    }
    faceByName.emplace(faceName, result);
    return result;
}

// Sizes a face the way the Windows font mapper reads a font's height and
// width: height is the cell (the face's Windows ascent plus descent), width the
// average character width; each axis is scaled on its own.
bool SizeFace(const ResolvedFace& resolved, int width, int height, SizedFace* sized) {
    FaceFile* faceFile = resolved.faceFile;
    FT_Face face = faceFile->face;
    long unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 1000;
    long ascent = face->ascender, descent = -face->descender;
    long averageWidth = 0;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            ascent = os2->usWinAscent;
            descent = os2->usWinDescent;
        }
        averageWidth = os2->xAvgCharWidth;
    }
    if (ascent + descent <= 0) {
        ascent = unitsPerEm * 4 / 5;
        descent = unitsPerEm / 5;
    }
    if (averageWidth <= 0) averageWidth = unitsPerEm / 2;

    // A negative height names the em rather than the cell, as in CreateFont.
    long cellHeight, yPpem64;
    if (height < 0) {
        yPpem64 = long(-height) * 64;
        cellHeight = (long(-height) * (ascent + descent) + unitsPerEm / 2) / unitsPerEm;
    } else {
        cellHeight = height;
        yPpem64 = long(height) * 64 * unitsPerEm / (ascent + descent);
    }
    long xPpem64 = width != 0 ? long(width < 0 ? -width : width) * 64 * unitsPerEm / averageWidth
                              : yPpem64;
    xPpem64 = long(xPpem64 * resolved.scaleX);
    yPpem64 = long(yPpem64 * resolved.scaleY);
    auto clampPpem = [](long ppem64) {
        return ppem64 < 64 ? 64L : ppem64 > long(MAX_FONT_PIXELS) * 64 * 4 ? long(MAX_FONT_PIXELS) * 64 * 4 : ppem64;
    };
    FT_Size size;
    if (FT_New_Size(face, &size) != 0) return false;
    FT_Activate_Size(size);
    if (FT_Set_Char_Size(face, clampPpem(xPpem64), clampPpem(yPpem64), 72, 72) != 0) {
        FT_Done_Size(size);
        return false;
    }
    sized->faceFile = faceFile;
    sized->size = size;
    sized->cellHeight = int(cellHeight);
    sized->ascent = int((ascent * cellHeight + (ascent + descent) / 2) / (ascent + descent));
    return true;
}

void DeleteGlyphFont(GlyphFontData* font) {
    if (font->primary.size) FT_Done_Size(font->primary.size);
    if (font->fallback.size) FT_Done_Size(font->fallback.size);
    glyphBytes -= font->coverage.size();
    delete font;
}

void ForgetGlyphs(GlyphFontData* font) {
    glyphBytes -= font->coverage.size();
    font->coverage.clear();
    font->coverage.shrink_to_fit();
    for (CachedGlyph& glyph : font->ascii) glyph.loaded = false;
    font->others.clear();
}

// Draws one glyph of a sized face into the font's cache. The coverage box is
// placed against the font's own baseline, so a borrowed glyph lines up too.
void RenderGlyph(GlyphFontData* font, const SizedFace& sized, FT_UInt index, CachedGlyph* glyph) {
    glyph->loaded = true;
    FT_Face face = sized.faceFile->face;
    FT_Activate_Size(sized.size);
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP) != 0) return;
    FT_GlyphSlot slot = face->glyph;
    glyph->advance = int((slot->advance.x + 32) >> 6);
    if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bitmap = slot->bitmap;
    int width = int(bitmap.width), height = int(bitmap.rows);
    if (width <= 0 || height <= 0 || !bitmap.buffer) return;
    size_t bytes = size_t(width) * size_t(height);
    glyph->offset = font->coverage.size();
    font->coverage.resize(glyph->offset + bytes);
    glyphBytes += bytes;
    uint8_t* out = font->coverage.data() + glyph->offset;
    for (int row = 0; row < height; row++) {
        const uint8_t* in = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
        uint8_t* line = out + size_t(row) * width;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int col = 0; col < width; col++)
                line[col] = (in[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
        } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.num_grays == 256) {
            std::memcpy(line, in, size_t(width));
        } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.num_grays > 1) {
            for (int col = 0; col < width; col++)
                line[col] = uint8_t(in[col] * 255 / (bitmap.num_grays - 1));
        } else {
            std::memset(line, 0, size_t(width));
        }
    }
    glyph->width = width;
    glyph->height = height;
    glyph->x = slot->bitmap_left;
    glyph->y = font->primary.ascent - slot->bitmap_top;
}

CachedGlyph* GlyphSlot(GlyphFontData* font, uint32_t codepoint) {
    return codepoint < 128 ? &font->ascii[codepoint] : &font->others[codepoint];
}

// The cached glyph for a code point, drawn on first use. Control characters
// take no room; a character the face lacks is borrowed from the fallback face,
// or shown as the face's own missing-glyph box.
const CachedGlyph* GlyphFor(GlyphFontData* font, uint32_t codepoint) {
    CachedGlyph* glyph = GlyphSlot(font, codepoint);
    if (glyph->loaded) return glyph;
    // Past the budget every cache starts again. No caller holds a glyph across
    // this call, and the slot is looked up afresh after the clearing.
    if (glyphBytes > GLYPH_BYTES_BUDGET) {
        for (GlyphFontData* each : fonts) ForgetGlyphs(each);
        glyph = GlyphSlot(font, codepoint);
    }
    if (codepoint < 0x20 || codepoint == 0x7F) {
        glyph->loaded = true;
        return glyph;
    }
    FT_UInt index = FT_Get_Char_Index(font->primary.faceFile->face, codepoint);
    if (index == 0) {
        if (!font->fallbackTried) {
            font->fallbackTried = true;
            ResolvedFace other = ResolveFace(FALLBACK_FACE);
            if (other.faceFile && other.faceFile != font->primary.faceFile)
                SizeFace(other, font->width, font->height, &font->fallback);
        }
        if (font->fallback.size) {
            FT_UInt borrowed = FT_Get_Char_Index(font->fallback.faceFile->face, codepoint);
            if (borrowed != 0) {
                RenderGlyph(font, font->fallback, borrowed, glyph);
                return glyph;
            }
        }
    }
    RenderGlyph(font, font->primary, index, glyph);
    return glyph;
}

int Clamp(int value) {
    if (value > MAX_FONT_PIXELS) return MAX_FONT_PIXELS;
    if (value < -MAX_FONT_PIXELS) return -MAX_FONT_PIXELS;
    return value;
}

} // namespace

GlyphFont PlatformOpenGlyphFont(const char* faceName, int width, int height) {
    if (!faceName || !Initialise()) return nullptr;
    width = Clamp(width);
    height = Clamp(height);
    if (height == 0) height = 16; // the system's default cell
    for (GlyphFontData* font : fonts)
        if (font->width == width && font->height == height && font->faceName == faceName)
            return font;

    ResolvedFace resolved = ResolveFace(faceName);
    if (!resolved.faceFile) return nullptr;
    if (fonts.size() >= MAX_FONTS) {
        for (GlyphFontData* each : fonts) DeleteGlyphFont(each);
        fonts.clear();
    }
    GlyphFontData* font = new GlyphFontData;
    font->faceName = faceName;
    font->width = width;
    font->height = height;
    if (!SizeFace(resolved, width, height, &font->primary)) {
        delete font;
        return nullptr;
    }
    fonts.push_back(font);
    return font;
}

int PlatformGlyphCellHeight(GlyphFont font) { return font ? font->primary.cellHeight : 0; }

int PlatformGlyphAscent(GlyphFont font) { return font ? font->primary.ascent : 0; }

int PlatformMeasureGlyphText(GlyphFont font, const char* text, int length) {
    if (!font || !text || length <= 0) return 0;
    long total = 0;
    const char* end = text + length;
    for (const char* p = text; p < end;) total += GlyphFor(font, NextCodepoint(&p, end))->advance;
    return total > INT_MAX ? INT_MAX : int(total);
}

void PlatformRasteriseGlyphText(GlyphFont font, const char* text, int length,
                        GlyphSink sink, void* context) {
    if (!font || !text || length <= 0 || !sink) return;
    long pen = 0;
    const char* end = text + length;
    for (const char* p = text; p < end;) {
        const CachedGlyph* glyph = GlyphFor(font, NextCodepoint(&p, end));
        if (glyph->width > 0 && pen + glyph->x < INT_MAX / 2) {
            GlyphCoverage coverage{font->coverage.data() + glyph->offset, glyph->width,
                                   glyph->height, glyph->width, int(pen) + glyph->x, glyph->y};
            sink(context, coverage);
        }
        pen += glyph->advance;
    }
}

const char* PlatformGlyphFontFamily(GlyphFont font) {
    return font ? font->primary.faceFile->family.c_str() : "";
}

const char* PlatformGlyphFontFile(GlyphFont font) {
    return font ? font->primary.faceFile->file.c_str() : "";
}
