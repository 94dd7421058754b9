// Lettering for the title logo and the buttons: glyph coverage from the
// system's fonts through FreeType (the same faces every build on Debian).
#pragma once
#include <string>
#include <vector>

struct TextMask {
    int w = 0, h = 0;
    int baseline = 0;                 // row of the baseline inside the mask
    std::vector<float> cover;         // 0..1 per pixel
    float At(int x, int y) const
    {
        return (x < 0 || y < 0 || x >= w || y >= h) ? 0 : cover[size_t(y) * w + x];
    }
};

// Renders text in the font fontconfig picks for pattern (for example
// "URW Gothic:style=Demi"), pixelHeight tall, letters spaced by extra
// pixels. Empty mask if no font could be opened.
TextMask RenderText(const std::string& pattern, const std::string& text, int pixelHeight,
                    int extraSpacing = 0);
