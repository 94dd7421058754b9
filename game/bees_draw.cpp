// Drawing the bees after their frame's update.
#include "game/bees.h"
#include "game/assets.h"
#include "gfx/blit.h"

void UpdateBees(int camX, int camY, int mouseX, int mouseY, int* beamLength, int firing)
{
    static BeeSprite sprites[MAX_BEES];
    int count = StepBees(camX, camY, mouseX, mouseY, beamLength, firing, sprites);
    for (int i = 0; i < count; ++i)
        DrawColorKeyed(backBuffer, sprites[i].x, sprites[i].y, 64, 64,
                       imgBee, sprites[i].sheetX, sprites[i].sheetY, 0xFF00FF);
}
