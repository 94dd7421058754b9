// Drawing the layers of a stage through the camera, and a whole play frame.
#include "game/stage_view.h"

#include <algorithm>

#include "game/assets.h"
#include "game/flashing.h"
#include "game/play_step.h"
#include "game/score.h"
#include "game/settings.h"
#include "game/stage.h"
#include "gfx/blit.h"
#include "gfx/rotate.h"
#include "gfx/screen.h"
#include "gfx/text.h"

namespace {
constexpr uint32_t SPRITE_KEY = 0xFF00FF;
constexpr uint32_t WHITE_KEY = 0xFFFFFF;
constexpr uint32_t CURTAIN_KEY = 0x000000;
constexpr int GHOST_ALPHA = 40;  // per cent: the ghost is seen through
}  // namespace

namespace {
// The far backdrop's three copies, left to right on the screen: which panel
// (0, 1, 1) and how far left of the screen its first column lies.
struct FarPanel {
    Surface picture;
    int offset;
};
struct FarPanels {
    FarPanel panel[3];
};
FarPanels FarPanelsAt(int scroll)
{
    return {{{imgBackdrop[0], scroll}, {imgBackdrop[1], scroll - 1920}, {imgBackdrop[1], scroll - 3840}}};
}
}  // namespace

void DrawFarBackdrop(int scroll)
{
    // Parts of a copy outside its panel draw nothing.
    for (const FarPanel& p : FarPanelsAt(scroll).panel)
        CopyRect(backBuffer, 0, 0, 1280, 720, p.picture, p.offset, 0);
}

bool FarBackdropHidesClear(int scroll)
{
    const int64_t s = PixelScale();
    if (!backBuffer || !backBuffer->pixels) return false;
    // The block a clear fills; the copies fill at most the 1280 x 720 screen.
    int64_t width = std::min<int64_t>(int64_t(screenWidth) * s, backBuffer->width);
    int64_t height = std::min<int64_t>(int64_t(screenHeight) * s, backBuffer->height);
    if (width > 1280 * s || height > 720 * s) return false;
    int64_t filled = 0;  // screen columns [0, filled) are covered so far
    for (const FarPanel& p : FarPanelsAt(scroll).panel) {
        Surface panel = p.picture;
        if (!panel || !(panel->pixels || panel->compact) || panel->height < height) continue;
        int64_t begin = -int64_t(p.offset) * s, end = panel->width - int64_t(p.offset) * s;
        if (begin <= filled && end > filled) filled = end;
    }
    return filled >= width;
}

void DrawMiddleLayer(int x)
{
    DrawColorKeyed(backBuffer, 0, 0, 1280, 720, imgBackdropStrip, x, 0, WHITE_KEY);
}

void DrawStageLayer(int x, int y, CrystalSpan held)
{
    DrawLevelHeld(backBuffer, 0, 0, 1280, 720, x, y, held);
}

void DrawCharacter(Surface picture, int facingLeft)
{
    DrawColorKeyed(backBuffer, 600, 296, 80, 128, picture, facingLeft ? 80 : 0, 0, SPRITE_KEY);
}

void DrawClock(uint32_t timeMs)
{
    TimeText text = FormatRunTime(timeMs);
    SetFont(48, 96, "IMPACT");
    PrintOutlined(backBuffer, 544, 10, 0x649B9B, 0x64FFFF, "%s", text.clock);
    SetFont(24, 48, "IMPACT");
    PrintOutlined(backBuffer, 736, 38, 0x649B9B, 0x64FFFF, "%s", text.fraction);
    ReleaseFont();
}

void DrawAssistMark()
{
    SetFont(16, 32, "IMPACT");
    PrintOutlined(backBuffer, 16, 8, 0x3C3C3C, 0xDCDCDC, "ASSIST");
    ReleaseFont();
}

void DrawPracticeMark()
{
    SetFont(24, 48, "IMPACT");
    PrintOutlined(backBuffer, 1060, 8, 0x1E5A78, 0x64DCFF, "PRACTICE");
    ReleaseFont();
}

void DrawCursor(int x, int y, int angle)
{
    DrawRotatedAboutPivot(backBuffer, x, y, 32, 32, imgCursor, 0, 0, 32, 32, angle, SPRITE_KEY, 16, 16);
}

void DrawCurtain(int picture)
{
    DrawStretchedColorKeyed(backBuffer, 0, 0, 1280, 720, imgCurtain[picture], 0, 0, 1280, 680,
                            CURTAIN_KEY);
}

void DrawPlayFrame(const PlayView& view)
{
    if (!FarBackdropHidesClear(view.farScroll)) FillSurface(backBuffer, 0);
    DrawFarBackdrop(view.farScroll);
    DrawMiddleLayer(view.middleX);
    // The stage is drawn over the gun, so the gun hides behind walls it touches.
    DrawGunAndBeam(view.gun);
    DrawStageLayer(view.stageX, view.stageY, view.heldCrystal);
    if (view.ghost)
        DrawBlended(backBuffer, view.ghostX, view.ghostY, 80, 128, view.ghostPicture,
                    view.ghostFacingLeft ? 80 : 0, 0, 80, 128, GHOST_ALPHA, SPRITE_KEY);
    if (!settings.reducedFlashing) {
        DrawCharacter(view.character, view.facingLeft);
        DrawBees(view.beeSprites, view.beeSpriteCount);
    } else {
        // The idle pictures held on the first, the wings slowed (flashing.h).
        DrawCharacter(view.character == imgKyara3 ? imgKyara2 : view.character, view.facingLeft);
        BeeSprite steadier[MAX_BEES];
        int count = view.beeSpriteCount < MAX_BEES ? view.beeSpriteCount : MAX_BEES;
        for (int i = 0; i < count; i++) steadier[i] = SteadierBee(view.beeSprites[i], view.clockMs);
        DrawBees(steadier, count);
    }
    DrawClock(view.clockMs);
    DrawCursor(view.cursorX, view.cursorY, view.cursorAngle);
}
