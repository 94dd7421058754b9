// The faces in the browser: the same font files the desktop's fontconfig
// aliases (fonts/fonts.conf) pick, shipped in the page's data under fonts/,
// with the same stretch. A name the aliases do not know gets the Mincho face,
// which has every character the game writes.
#include "platform/freetype/face_lookup.h"

#include <cstring>

namespace {

struct ShippedFace {
    const char* name;
    const char* file;
    const char* family;
    double scaleX;
};

const ShippedFace SHIPPED[] = {
    {"IMPACT", "fonts/BebasNeue-Bold.otf", "Bebas Neue", 0.78},
    {"ＭＳ 明朝", "fonts/ipam.ttf", "IPAMincho", 1.0},
    {"MS Mincho", "fonts/ipam.ttf", "IPAMincho", 1.0},
};

} // namespace

bool StartFaceLookup() { return true; }

bool LookUpFace(const char* faceName, FaceLocation* location) {
    const ShippedFace* face = &SHIPPED[1];
    for (const ShippedFace& shipped : SHIPPED)
        if (std::strcmp(faceName, shipped.name) == 0) face = &shipped;
    location->file = face->file;
    location->index = 0;
    location->family = face->family;
    location->scaleX = face->scaleX;
    location->scaleY = 1.0;
    return true;
}
