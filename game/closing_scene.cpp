// The closing screen: the whole game's stage times and total over the
// results screen's picture, lettered as the results are, then the title.
#include "game/closing_scene.h"

#include <cstdio>
#include <string>

#include "audio/audio.h"
#include "game/assets.h"
#include "game/controls.h"
#include "game/results_scene.h"
#include "game/scenes.h"
#include "gfx/blit.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace {

// A time as the results letter it: the clock large at x, its hundredths
// small after it.
void DrawTime(int x, int y, uint32_t timeMs, Colour clock, Colour fraction)
{
    TimeText text = FormatRunTime(timeMs);
    SetFont(40, 80, "IMPACT");
    PrintTextOn(backBuffer, x, y, clock, COLOR_NONE, "%s", text.clock);
    SetFont(20, 40, "IMPACT");
    PrintTextOn(backBuffer, x + 155, y + 33, fraction, COLOR_NONE, "%s", text.fraction);
}

// The right-hand panel, where the results rank: each stage's time.
void DrawStageRows(const ClosingScene& c)
{
    SetFont(64, 128, "IMPACT");
    PrintOutlined(backBuffer, 790, 130, 0x64649B, 0xC8C8FF, "STAGES");
    for (int s = 0; s < STAGE_COUNT; s++) {
        int y = 230 + 65 * s;
        DrawTime(920, y, c.stageMs[s], 0xFAFAFA, 0xFFFFFF);
        SetFont(40, 80, "IMPACT");
        PrintTextOn(backBuffer, 765, y, 0xC8FFC8, COLOR_NONE, "MAP%d", s + 1);
    }
}

// The left-hand panel: the total, large; under it the best total, lit with
// NEW BEST when this game set it.
void DrawTotal(const ClosingScene& c)
{
    TimeText total = FormatRunTime(c.totalMs);
    SetFont(64, 128, "IMPACT");
    PrintOutlined(backBuffer, 240, 130, 0x649B64, 0xC8FFC8, "TOTAL");
    PrintOutlined(backBuffer, 220, 270, 0x9B649B, 0xFFC8FF, "%s", total.clock);
    SetFont(32, 64, "IMPACT");
    PrintOutlined(backBuffer, 466, 324, 0x9B649B, 0xFFC8FF, "%s", total.fraction);
    bool lit = c.entry.newBest;
    Colour best = lit ? HighlightColour(c.highlight) : 0xFAFAFA;
    SetFont(40, 80, "IMPACT");
    PrintTextOn(backBuffer, 220, 410, RankColour(0), COLOR_NONE, "BEST");
    DrawTime(360, 410, c.entry.best.totalMs, best, best);
    SetFont(24, 48, "IMPACT");
    if (lit && !c.entry.fileWritten)
        PrintOutlined(backBuffer, 246, 500, 0x1E1E78, 0x5A5AFF, "NEW BEST, NOT SAVED");
    else if (lit)
        PrintOutlined(backBuffer, 316, 500, 0x1E5A78, 0x64DCFF, "NEW BEST");
}

// The way on, where the results say CLICK START: back to the title.
void DrawWayOn(Pulse click)
{
    const char* label = "TITLE";
    int width = 0, height = 0;
    MeasureTextWithFace("IMPACT", 96, 80, label, &width, &height);
    SetFont(96, 80, "IMPACT");
    PrintTextOn(backBuffer, 228 + (777 - width) / 2, 570, ClickColour(click), COLOR_NONE, "%s", label);
}

std::string ClosingTraceFields(const ClosingScene& c)
{
    char fields[256];
    snprintf(fields, sizeof fields, "\"stageMs\":[%u,%u,%u,%u],\"totalMs\":%u,\"bestMs\":%u,\"newBest\":%d",
             c.stageMs[0], c.stageMs[1], c.stageMs[2], c.stageMs[3], c.totalMs, c.entry.best.totalMs,
             c.entry.newBest ? 1 : 0);
    return fields;
}

}  // namespace

SceneChange EnterClosing(ClosingScene&, FrameClock& clock)
{
    clock.frameStart = GameTimeMs();
    return Stay();
}

void StepClosing(ClosingScene& c, const FrameClock&, FrameEnd* end)
{
    SetMouseCursor(0);
    // Enter and the pad's A go on as a click does; Escape and the pad's B too,
    // once pressed on this screen.
    bool back = false;
    int buttons = DrawResultsBackdropAndReadButtons(&back);
    back = back || IsKeyDown(VK_ESCAPE);
    bool backPressed = back && !c.backWasHeld;
    c.backWasHeld = back;
    SetFont(64, 128, "IMPACT");
    PrintOutlined(backBuffer, 485, 20, 0x9B6464, 0xFFC8C8, "CLEAR");
    DrawTotal(c);
    DrawStageRows(c);
    DrawWayOn(c.click);
    ReleaseFont();
    AdvanceHighlightPulse(&c.highlight);
    AdvanceClickPulse(&c.click);
    bool clicked = TakeResultsClick(buttons, &c.clickWait);
    c.leaving = clicked || backPressed;
    *end = FrameEnd{c.leaving ? FRAME_TRACED : FRAME_SHOWN, "closing",
                    c.leaving ? SCENE_TO_TITLE : SCENE_GOAL, c.stage,
                    PlatformTracing() ? ClosingTraceFields(c) : ""};
}

SceneChange AfterClosingFrame(ClosingScene& c, FrameClock&)
{
    if (!c.leaving) return Stay();
    StopMusic("bgm");
    return Replace(Scene{TitleAfterGame(c.stage, c.beeSteps)});
}
