// Finding faces with fontconfig: the game's own fonts/fonts.conf maps "IMPACT"
// and "ＭＳ 明朝" to free faces of the same look, read on top of the system's
// rules; any other name falls to a monospace face.
#include "platform/freetype/face_lookup.h"

#include <fontconfig/fontconfig.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef GAME_FONTS_CONF
#define GAME_FONTS_CONF ""
#endif

namespace {

FcConfig* fontConfig = nullptr;

bool FileExists(const char* path) {
    FILE* f = path[0] ? std::fopen(path, "rb") : nullptr;
    if (!f) return false;
    std::fclose(f);
    return true;
}

// The game's font aliases sit next to its data (fonts/ in the folder the game
// runs in), or in the source tree the program was built from.
void LoadGameFontConfig() {
    const char* candidates[] = {"fonts/fonts.conf", "data/fonts/fonts.conf", GAME_FONTS_CONF};
    for (const char* candidate : candidates) {
        if (!FileExists(candidate)) continue;
        // fontconfig reads a relative name against its own folder, not ours.
        char absolute[PATH_MAX];
        if (!realpath(candidate, absolute)) continue;
        if (FcConfigParseAndLoad(fontConfig, reinterpret_cast<const FcChar8*>(absolute), FcFalse))
            return;
    }
}

} // namespace

bool StartFaceLookup() {
    fontConfig = FcInitLoadConfig(); // the system's rules, no fonts scanned yet
    if (!fontConfig) return false;
    LoadGameFontConfig();
    FcConfigBuildFonts(fontConfig);
    return true;
}

// The installed face the font mapper would pick for a name. Like a font asked
// for with FF_MODERN | FIXED_PITCH, an unknown name falls to a monospace face.
bool LookUpFace(const char* faceName, FaceLocation* location) {
    bool found = false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("monospace"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(fontConfig, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult outcome;
    FcPattern* match = FcFontMatch(fontConfig, pattern, &outcome);
    if (match) {
        FcChar8* file = nullptr;
        FcChar8* family = nullptr;
        int index = 0;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        // The face's English family name, whatever the locale puts first.
        int named = 0;
        FcChar8* language = nullptr;
        for (int i = 0; FcPatternGetString(match, FC_FAMILYLANG, i, &language) == FcResultMatch; i++)
            if (std::strcmp(reinterpret_cast<const char*>(language), "en") == 0) {
                named = i;
                break;
            }
        if (FcPatternGetString(match, FC_FAMILY, named, &family) != FcResultMatch &&
            FcPatternGetString(match, FC_FAMILY, 0, &family) != FcResultMatch)
            family = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            found = true;
            location->file = reinterpret_cast<const char*>(file);
            location->index = index;
            location->family = family ? reinterpret_cast<const char*>(family) : "";
        }
        FcMatrix* matrix = nullptr;
        if (FcPatternGetMatrix(match, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix) {
            // Only a plain stretch of each axis, within reason, is honoured.
            if (matrix->xx > 0.25 && matrix->xx < 4) location->scaleX = matrix->xx;
            if (matrix->yy > 0.25 && matrix->yy < 4) location->scaleY = matrix->yy;
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return found;
}
