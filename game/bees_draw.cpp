// Drawing the bees a frame's rules listed.
#include "game/bees.h"
#include "game/assets.h"
#include "gfx/blit.h"

void DrawBees(const BeeSprite* sprites, int count)
{
    for (int i = 0; i < count; ++i)
        DrawColorKeyed(backBuffer, sprites[i].x, sprites[i].y, 64, 64,
                       imgBee, sprites[i].sheetX, sprites[i].sheetY, 0xFF00FF);
}
