// Text masks through fontconfig and FreeType (see lettering.h).
#include "lettering.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>

#include <algorithm>

static std::string FindFontFile(const std::string& pattern)
{
    std::string file;
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    if (!pat)
        return file;
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    if (match) {
        FcChar8* f = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &f) == FcResultMatch)
            file = reinterpret_cast<const char*>(f);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    return file;
}

TextMask RenderText(const std::string& pattern, const std::string& text, int pixelHeight,
                    int extraSpacing)
{
    TextMask mask;
    std::string file = FindFontFile(pattern);
    FT_Library lib;
    if (file.empty() || FT_Init_FreeType(&lib))
        return mask;
    FT_Face face;
    if (FT_New_Face(lib, file.c_str(), 0, &face)) {
        FT_Done_FreeType(lib);
        return mask;
    }
    FT_Set_Pixel_Sizes(face, 0, pixelHeight);
    // Two passes: measure, then draw.
    int pad = pixelHeight / 4;
    int ascent = int(face->size->metrics.ascender >> 6);
    int descent = int(-(face->size->metrics.descender >> 6));
    int width = 0;
    for (char ch : text) {
        if (FT_Load_Char(face, FT_ULong(ch), FT_LOAD_DEFAULT))
            continue;
        width += int(face->glyph->advance.x >> 6) + extraSpacing;
    }
    mask.w = width + 2 * pad;
    mask.h = ascent + descent + 2 * pad;
    mask.baseline = pad + ascent;
    mask.cover.assign(size_t(mask.w) * mask.h, 0);
    int penX = pad;
    for (char ch : text) {
        if (FT_Load_Char(face, FT_ULong(ch), FT_LOAD_RENDER))
            continue;
        FT_GlyphSlot g = face->glyph;
        for (unsigned r = 0; r < g->bitmap.rows; r++)
            for (unsigned c = 0; c < g->bitmap.width; c++) {
                int x = penX + g->bitmap_left + int(c);
                int y = mask.baseline - g->bitmap_top + int(r);
                if (x < 0 || y < 0 || x >= mask.w || y >= mask.h)
                    continue;
                float v = g->bitmap.buffer[r * g->bitmap.pitch + c] / 255.0f;
                float& d = mask.cover[size_t(y) * mask.w + x];
                d = std::max(d, v);
            }
        penX += int(g->advance.x >> 6) + extraSpacing;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return mask;
}
