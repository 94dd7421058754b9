// The stage select's small pictures of the stages, from their tiles.
#include "game/stage_thumbnail.h"

#include <cstring>

#include "game/stage.h"
#include "platform/platform.h"

static_assert(THUMBNAIL_WIDTH == MAP_COLS * THUMBNAIL_CELL && THUMBNAIL_HEIGHT == MAP_ROWS * THUMBNAIL_CELL,
              "one block per cell of the grid");

Colour ThumbnailColour(int code)
{
    if (code == TILE_GOAL) return 0x30D8FF;        // gold
    if (code == TILE_CHECKPOINT) return 0xFFE060;  // crystal blue
    if (IsHiveTile(code)) return 0x2080E0;         // amber
    if (IsDeadlyTile(code)) return 0x3030E0;       // red
    if (IsSolidTile(code)) return 0xB4B4B4;        // wall
    return 0x402818;                               // night air
}

Surface MakeStageThumbnail(int stage)
{
    std::memset(tileMap, 0, sizeof tileMap);
    if (!ReadStageFile(stage)) std::memset(tileMap, 0, sizeof tileMap);
    Surface picture = CreateBlankSurface(THUMBNAIL_WIDTH, THUMBNAIL_HEIGHT);
    // A block is a cell's logical pixels at the display's scale.
    int64_t block = static_cast<int64_t>(THUMBNAIL_CELL) * PixelScale();
    for (int row = 0; row < MAP_ROWS; row++)
        for (int col = 0; col < MAP_COLS; col++)
            FillPhysicalBlock(picture, col * block, row * block, block, block,
                              PixelFromColour(ThumbnailColour(tileMap[row][col])));
    return picture;
}
