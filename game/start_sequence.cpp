// The opening curtain and countdown before a stage, shared by the title and
// results scenes.
#include "game/start_sequence.h"

#include "game/assets.h"
#include "game/gun.h"
#include "game/play_state.h"
#include "game/scene_rules.h"
#include "game/stage_view.h"
#include "gfx/blit.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "platform/platform.h"
#include "game/frame.h"
#include "shell/shell.h"

void DrawStartView()
{
    // The play scene's layers at the stage's start, the gun as a mouse
    // straight to the right would turn it, the stage drawn under the gun.
    const int x = static_cast<int>(START_CAM_X), y = static_cast<int>(START_CAM_Y);
    GunView gun;
    gun.pose = ComputeGunPose(0);
    DrawFarBackdrop(0);
    DrawMiddleLayer(x / 2);
    DrawStageLayer(x, y);
    DrawGunAndBeam(gun);
    DrawCharacter(imgKyara2, 0);
}

void RunOpeningCurtain(uint32_t* frameStart, const char* traceName)
{
    int k = 0;
    bool finished = false;
    while (!finished) {
        *frameStart = WaitNextFrame(*frameStart);
        DrawStartView();
        DrawStretchedColorKeyed(backBuffer, 0, 0, 1280, 720, imgCurtain[k], 0, 0, 1280, 680, 0);
        k += 2;
        if (k >= 49)
            finished = true;
        FinishFrame(traceName);
    }
}

void RunCountdown(uint32_t* frameStart, const char* traceName)
{
    uint32_t countdownStart = PlatformTimeMs();
    for (;;) {
        *frameStart = WaitNextFrame(*frameStart);
        DrawStartView();
        SetFont(160, 320, "IMPACT");
        int v = CountdownValue(*frameStart, countdownStart);
        if (v == 0)
            PrintOutlined(backBuffer, 220, 200, 0x9B6464, 0xFF6464, "START!!");
        else
            PrintOutlined(backBuffer, 560, 200, 0x649B64, 0x64FF64, "%d", v);
        ReleaseFont();
        if (v == -1) {
            TraceFrame(traceName);
            return;
        }
        FinishFrame(traceName);
    }
}
