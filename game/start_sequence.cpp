// The opening curtain and countdown before a stage, shared by the title and
// results scenes.
#include "game/start_sequence.h"

#include <cmath>

#include "game/assets.h"
#include "game/play_scene.h"
#include "game/scene_rules.h"
#include "game/stage.h"
#include "gfx/blit.h"
#include "gfx/rotate.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace {

constexpr int START_X = static_cast<int>(START_CAM_X);
constexpr int START_Y = static_cast<int>(START_CAM_Y);
constexpr int GUN_REST_ANGLE = 20;  // the gun's turn while nobody aims it
constexpr int GUN_REACH = 35;       // distance of the gun from the character

}  // namespace

void DrawStartView()
{
    // The gun sits where the play scene puts it for a mouse straight to the right.
    int gunX = static_cast<int>(GUN_REACH * std::cos(0.0));
    int gunY = static_cast<int>(GUN_REACH * std::sin(0.0));

    // The far backdrop at scroll 0: panels 0 and 1; the parts outside a panel clip.
    CopyRect(backBuffer, 0, 0, 1280, 720, imgBackdrop[0], 0, 0);
    CopyRect(backBuffer, 0, 0, 1280, 720, imgBackdrop[1], -1920, 0);
    CopyRect(backBuffer, 0, 0, 1280, 720, imgBackdrop[1], -3840, 0);
    DrawColorKeyed(backBuffer, 0, 0, 1280, 720, imgBackdropStrip, START_X / 2, 0, 0xFFFFFF);
    DrawColorKeyed(backBuffer, 0, 0, 1280, 720, imgLevel, START_X, START_Y, 0xFFFFFF);
    DrawRotated(backBuffer, 610 + gunX, 320 + gunY, 64, 64, imgGun, 0, 0, 64, 64, GUN_REST_ANGLE,
                0xFF00FF);
    DrawColorKeyed(backBuffer, 600, 296, 80, 128, imgKyara2, 0, 0, 0xFF00FF);
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
        PresentSurface(screenDC, backBuffer);
        TraceFrame(traceName);
        PumpMessages();
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
        PresentSurface(screenDC, backBuffer);
        TraceFrame(traceName);
        PumpMessages();
    }
}
