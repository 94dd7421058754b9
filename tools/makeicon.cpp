// Makes the game's desktop icon: the character's first frame from the sprite
// sheet (magenta left out), trimmed, centred on a square and scaled to the
// icon size, written as an RGBA PNG.
//   makeicon SHEET.bmp FRAME_WIDTH SIZE OUT.png
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "gfx/bmp.h"
#include "platform/headless/png.h"

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: makeicon SHEET.bmp FRAME_WIDTH SIZE OUT.png\n");
        return 64;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    DecodedBmp sheet;
    if (!DecodeBmp(bytes.data(), bytes.size(), &sheet)) {
        fprintf(stderr, "makeicon: cannot read %s\n", argv[1]);
        return 1;
    }
    int frameWidth = std::clamp(atoi(argv[2]), 1, sheet.width);
    int size = std::clamp(atoi(argv[3]), 16, 1024);

    // The drawn part of the frame: everything that is not the magenta key.
    auto drawn = [&](int x, int y) { return (sheet.pixels[(size_t)y * sheet.width + x] & 0xFFFFFF) != 0xFF00FF; };
    int left = frameWidth, right = -1, top = sheet.height, bottom = -1;
    for (int y = 0; y < sheet.height; y++)
        for (int x = 0; x < frameWidth; x++)
            if (drawn(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0) {
        fprintf(stderr, "makeicon: the first frame of %s is empty\n", argv[1]);
        return 1;
    }
    // A square around it with a little room, centred.
    int side = std::max(right - left + 1, bottom - top + 1) + 4;
    double originX = (left + right + 1) / 2.0 - side / 2.0;
    double originY = (top + bottom + 1) / 2.0 - side / 2.0;

    // Each icon pixel averages the sheet pixels it covers (box filter), with
    // the key as transparent.
    std::vector<uint32_t> icon((size_t)size * size, 0);  // 0xAARRGGBB
    int samples = 4;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < samples; sy++)
                for (int sx = 0; sx < samples; sx++) {
                    int px = (int)(originX + (x + (sx + 0.5) / samples) * side / size);
                    int py = (int)(originY + (y + (sy + 0.5) / samples) * side / size);
                    if (px < 0 || py < 0 || px >= frameWidth || py >= sheet.height || !drawn(px, py)) continue;
                    uint32_t p = sheet.pixels[(size_t)py * sheet.width + px];
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                    a += 1;
                }
            if (a == 0) continue;
            uint32_t red = (uint32_t)(r / a + 0.5), green = (uint32_t)(g / a + 0.5);
            uint32_t blue = (uint32_t)(b / a + 0.5), alpha = (uint32_t)(255 * a / (samples * samples) + 0.5);
            icon[(size_t)y * size + x] = alpha << 24 | red << 16 | green << 8 | blue;
        }
    if (!WritePng(argv[4], icon.data(), size, size, size, 9, true)) {
        fprintf(stderr, "makeicon: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
