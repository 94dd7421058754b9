// The stage's checkpoints, numbered from the left.
#include "game/checkpoints.h"

#include <algorithm>

std::vector<CrystalSpan> StageCrystals()
{
    std::vector<CrystalSpan> crystals;
    for (int row = 0; row < MAP_ROWS; row++) {
        for (int col = 0; col < MAP_COLS; col++) {
            if (tileMap[row][col] != TILE_CHECKPOINT) continue;
            CrystalSpan span;
            span.row = row;
            span.firstCol = col;
            while (col + 1 < MAP_COLS && tileMap[row][col + 1] == TILE_CHECKPOINT) col++;
            span.lastCol = col;
            crystals.push_back(span);
        }
    }
    std::stable_sort(crystals.begin(), crystals.end(), [](const CrystalSpan& a, const CrystalSpan& b) {
        return a.firstCol != b.firstCol ? a.firstCol < b.firstCol : a.row < b.row;
    });
    return crystals;
}

int CheckpointNumber(const std::vector<CrystalSpan>& crystals, const CrystalSpan& crystal)
{
    if (crystal.row < 0) return 0;
    for (size_t i = 0; i < crystals.size(); i++)
        if (crystals[i] == crystal) return int(i) + 1;
    return 0;
}

void CrystalStandPoint(const CrystalSpan& crystal, int* camX, int* camY)
{
    // The middle foot's probe is 640 right of the camera and 410 below it:
    // at the crystal's middle, in its cells' top row of pixels.
    *camX = (crystal.firstCol + crystal.lastCol + 1) * TILE_SIZE / 2 - 640;
    *camY = crystal.row * TILE_SIZE - 410;
}
