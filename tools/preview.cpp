// Stage preview for level design: draws a whole stage file with the game's own
// tile sheet over a plain sky, marks where the character starts, shrinks the
// picture by a whole factor (each output pixel the average of a square) and
// writes it as a PNG. It also shrinks the harness's screenshots the same way,
// for the README's pictures.
//   preview STAGE.txt TILESHEET.bmp OUT.png [SCALE]     (SCALE 1..16, default 4)
//   preview --shrink IN.png OUT.png SCALE
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/motion.h"
#include "game/play_state.h"
#include "game/stage.h"
#include "gfx/bmp.h"
#include "platform/headless/png.h"
#include <png.h>

namespace {

constexpr uint32_t MAGENTA = 0xFF00FF;
constexpr uint32_t WHITE = 0xFFFFFF;

std::string ReadWhole(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The sky behind the stage: a calm vertical fade, darker at the top.
uint32_t SkyAt(int y)
{
    int t = y * 255 / MAP_HEIGHT;
    int r = 40 + t * 60 / 255, g = 60 + t * 80 / 255, b = 110 + t * 70 / 255;
    return (uint32_t)(r << 16 | g << 8 | b);
}

// Tile pixels go over the sky where they are neither magenta (left out when
// the stage picture is built) nor white (left out when it is drawn in play).
void DrawTiles(std::vector<uint32_t>& map, const DecodedBmp& sheet)
{
    int cellsInSheet = sheet.width / TILE_SIZE;
    for (int r = 0; r < MAP_ROWS; r++)
        for (int c = 0; c < MAP_COLS; c++) {
            int v = tileMap[r][c];
            if (v < 1 || v > cellsInSheet || sheet.height < TILE_SIZE) continue;
            for (int y = 0; y < TILE_SIZE; y++)
                for (int x = 0; x < TILE_SIZE; x++) {
                    uint32_t p = sheet.pixels[(size_t)y * sheet.width + (v - 1) * TILE_SIZE + x];
                    if (p == MAGENTA || p == WHITE) continue;
                    map[(size_t)(r * TILE_SIZE + y) * MAP_WIDTH + c * TILE_SIZE + x] = p;
                }
        }
}

// A bright ring where the character's centre stands when the stage starts.
void MarkStart(std::vector<uint32_t>& map, int scale)
{
    int cx = (int)START_CAM_X + PLAYER_SCREEN_X, cy = (int)START_CAM_Y + PLAYER_SCREEN_Y;
    int outer = 40, inner = outer - 3 * scale;
    for (int y = cy - outer; y <= cy + outer; y++)
        for (int x = cx - outer; x <= cx + outer; x++) {
            int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d2 <= outer * outer && d2 >= inner * inner && x >= 0 && y >= 0 && x < MAP_WIDTH &&
                y < MAP_HEIGHT)
                map[(size_t)y * MAP_WIDTH + x] = 0xFFE040;
        }
}

std::vector<uint32_t> Shrink(const std::vector<uint32_t>& map, int width, int height, int scale)
{
    int w = width / scale, h = height / scale;
    std::vector<uint32_t> out((size_t)w * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            unsigned r = 0, g = 0, b = 0;
            for (int dy = 0; dy < scale; dy++)
                for (int dx = 0; dx < scale; dx++) {
                    uint32_t p = map[(size_t)(y * scale + dy) * width + x * scale + dx];
                    r += p >> 16 & 0xFF;
                    g += p >> 8 & 0xFF;
                    b += p & 0xFF;
                }
            unsigned n = (unsigned)(scale * scale);
            out[(size_t)y * w + x] = (r / n) << 16 | (g / n) << 8 | (b / n);
        }
    return out;
}

// 0x00RRGGBB words as an RGB PNG, packed as tightly as libpng can.
bool WritePicture(const char* path, const std::vector<uint32_t>& pixels, int width, int height)
{
    return WritePng(path, pixels.data(), width, height, width, 9);
}

int ShrinkScreenshot(const char* in, const char* out, int scale)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, in)) {
        fprintf(stderr, "preview: cannot read %s\n", in);
        return 1;
    }
    image.format = PNG_FORMAT_BGRA;  // little-endian words 0xAARRGGBB
    int w = (int)image.width, h = (int)image.height;
    if (w < scale || h < scale || (long long)w * h > 64LL * 1024 * 1024) {
        png_image_free(&image);
        fprintf(stderr, "preview: %s is too small or too large to shrink\n", in);
        return 1;
    }
    std::vector<uint32_t> pixels((size_t)w * h);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        fprintf(stderr, "preview: cannot read %s\n", in);
        return 1;
    }
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    std::vector<uint32_t> small = Shrink(pixels, w, h, scale);
    if (!WritePicture(out, small, w / scale, h / scale)) {
        fprintf(stderr, "preview: cannot write %s\n", out);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == "--shrink") {
        int scale = atoi(argv[4]);
        if (scale < 1 || scale > 16) {
            fprintf(stderr, "preview: the scale must lie in 1..16\n");
            return 64;
        }
        return ShrinkScreenshot(argv[2], argv[3], scale);
    }
    if (argc != 4 && argc != 5) {
        fprintf(stderr, "usage: preview STAGE.txt TILESHEET.bmp OUT.png [SCALE 1..16]\n"
                        "       preview --shrink IN.png OUT.png SCALE\n");
        return 64;
    }
    int scale = argc == 5 ? atoi(argv[4]) : 4;
    if (scale < 1 || scale > 16 || MAP_WIDTH % scale || MAP_HEIGHT % scale) {
        fprintf(stderr, "preview: the scale must divide %d and %d and lie in 1..16\n", MAP_WIDTH,
                MAP_HEIGHT);
        return 64;
    }
    std::string stage = ReadWhole(argv[1]);
    if (stage.empty()) {
        fprintf(stderr, "preview: cannot read %s\n", argv[1]);
        return 1;
    }
    int cells = ParseStageNumbers(stage.data(), stage.size(), &tileMap[0][0]);
    if (cells != MAP_CELLS)
        fprintf(stderr, "preview: %s holds %d of %d cells; the rest stay empty\n", argv[1], cells,
                MAP_CELLS);
    std::string sheetBytes = ReadWhole(argv[2]);
    DecodedBmp sheet;
    if (!DecodeBmp((const uint8_t*)sheetBytes.data(), sheetBytes.size(), &sheet)) {
        fprintf(stderr, "preview: %s is not a picture we can read\n", argv[2]);
        return 1;
    }

    std::vector<uint32_t> map((size_t)MAP_WIDTH * MAP_HEIGHT);
    for (int y = 0; y < MAP_HEIGHT; y++)
        for (int x = 0; x < MAP_WIDTH; x++) map[(size_t)y * MAP_WIDTH + x] = SkyAt(y);
    DrawTiles(map, sheet);
    MarkStart(map, scale);
    std::vector<uint32_t> out = Shrink(map, MAP_WIDTH, MAP_HEIGHT, scale);
    if (!WritePicture(argv[3], out, MAP_WIDTH / scale, MAP_HEIGHT / scale)) {
        fprintf(stderr, "preview: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
