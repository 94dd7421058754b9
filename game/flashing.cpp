// The steadier pictures of reduced flashing; see flashing.h.
#include "game/flashing.h"

namespace {

constexpr int CELL = 64;          // the bee sheet's pictures are 64 x 64
constexpr int WING_PICTURES = 4;  // a flying bee's, in rows 0 (left) and 1 (right)

}  // namespace

BeeSprite SteadierBee(const BeeSprite& sprite, uint32_t clockMs)
{
    if (sprite.sheetY != 0 && sprite.sheetY != CELL) return sprite;  // dying: played once
    BeeSprite steadier = sprite;
    steadier.sheetX = static_cast<int>(clockMs / STEADY_WING_PICTURE_MS % WING_PICTURES) * CELL;
    return steadier;
}
