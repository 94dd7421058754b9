// Where the FreeType glyph source finds the file of a face the game names:
// fontconfig with the game's aliases on the desktop (platform/posix), the
// fonts shipped in the page's data in the browser (platform/web). One
// implementation is linked with the glyph source.
#pragma once
#include <string>

struct FaceLocation {
    std::string file;    // the font file to open
    int index = 0;       // the face within it
    std::string family;  // the face's English family name
    double scaleX = 1.0; // a stretch the aliases ask for on top of the size
    double scaleY = 1.0;
};

// Called once before the first lookup; false when no face can ever be found.
bool StartFaceLookup();
// Called for each name not seen before; false when nothing stands for it.
bool LookUpFace(const char* faceName, FaceLocation* location);
