// The opening curtain and countdown before a stage, shared by the title and
// the play scene's next stage.
#include "game/start_sequence.h"

#include "game/assets.h"
#include "game/gun.h"
#include "game/play_state.h"
#include "game/scenes.h"
#include "game/stage_view.h"
#include "gfx/blit.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "platform/platform.h"
#include "shell/shell.h"

void DrawStartView()
{
    DrawStartViewAt(static_cast<int>(START_CAM_X), static_cast<int>(START_CAM_Y));
}

void DrawStartViewAt(int x, int y)
{
    // The play scene's layers at the run's start, the gun as a mouse
    // straight to the right would turn it, the stage drawn under the gun.
    GunView gun;
    gun.pose = ComputeGunPose(0);
    DrawFarBackdrop(0);
    DrawMiddleLayer(x / 2);
    DrawStageLayer(x, y, HeldCrystal(x, y));
    DrawGunAndBeam(gun);
    DrawCharacter(imgKyara2, 0);
}

SceneChange EnterOpeningCurtain(OpeningCurtainScene&, FrameClock&) { return Stay(); }

void StepOpeningCurtain(OpeningCurtainScene& c, const FrameClock&, FrameEnd* end)
{
    DrawStartViewAt(c.camX, c.camY);
    DrawStretchedColorKeyed(backBuffer, 0, 0, 1280, 720, imgCurtain[c.picture], 0, 0, 1280, 680, 0);
    c.picture += 2;
    *end = FrameEnd{FRAME_SHOWN, c.name, c.selector, c.stage, ""};
}

SceneChange AfterOpeningCurtainFrame(OpeningCurtainScene& c, FrameClock&)
{
    if (c.picture < 2 * OPENING_CURTAIN_FRAMES - 1) return Stay();
    CountdownScene countdown;
    countdown.name = c.countdownName;
    countdown.selector = c.selector;
    countdown.stage = c.stage;
    countdown.camX = c.camX;
    countdown.camY = c.camY;
    return Replace(Scene{countdown});
}

SceneChange EnterCountdown(CountdownScene& c, FrameClock&)
{
    c.countdownStart = GameTimeMs();
    return Stay();
}

void StepCountdown(CountdownScene& c, const FrameClock& clock, FrameEnd* end)
{
    DrawStartViewAt(c.camX, c.camY);
    SetFont(160, 320, "IMPACT");
    int v = CountdownValue(clock.frameStart, c.countdownStart);
    if (v == 0)
        PrintOutlined(backBuffer, 220, 200, 0x9B6464, 0xFF6464, "START!!");
    else
        PrintOutlined(backBuffer, 560, 200, 0x649B64, 0x64FF64, "%d", v);
    ReleaseFont();
    c.over = v == -1;
    *end = FrameEnd{c.over ? FRAME_TRACED : FRAME_SHOWN, c.name, c.selector, c.stage, ""};
}

SceneChange AfterCountdownFrame(CountdownScene& c, FrameClock&) { return c.over ? Pop() : Stay(); }
