// The frame hash of --frame-hashes, on its own so that the browser build can
// print the same hash of the frames it shows.
#include "platform/headless/headless.h"

uint64_t HashFrame(const uint32_t* pixels, int width, int height, int pitch)
{
    // Two pixels at a time through a multiply and a shift, in four lanes that
    // the processor runs side by side: fast enough for every frame of a long
    // replay, and any changed pixel changes the result.
    constexpr uint64_t K = 0xFF51AFD7ED558CCDull;
    auto mix = [](uint64_t h, uint64_t w) {
        h = (h ^ w) * K;
        return h ^ (h >> 29);
    };
    uint64_t lane[4] = {0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full, 0x165667B19E3779F9ull,
                        uint64_t(width) << 32 | uint32_t(height)};
    for (int y = 0; y < height; y++) {
        const uint32_t* row = pixels + int64_t(y) * pitch;
        int x = 0;
        for (; x + 8 <= width; x += 8)
            for (int k = 0; k < 4; k++)
                lane[k] = mix(lane[k], row[x + 2 * k] | uint64_t(row[x + 2 * k + 1]) << 32);
        for (; x < width; x++) lane[x & 3] = mix(lane[x & 3], row[x] | uint64_t(y) << 32);
    }
    uint64_t hash = 0;
    for (uint64_t h : lane) hash = mix(hash, h);
    return hash;
}
