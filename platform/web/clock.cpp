// The clock and the frame wait. The game's loops block; ASYNCIFY lets a wait
// hand the tab back to the browser (which then shows the canvas and delivers
// the input events) and carry on where it stopped. A wait sleeps until a
// millisecond before the frame's start, then spins to the exact millisecond.
#include <emscripten.h>

#include "platform/web/web_internal.h"

static double startMs = emscripten_get_now();

// The margin left for spinning: the browser's timers wake a sleeper up to a
// millisecond late. While the page's compositor took a copy of each frame on
// this thread, they woke later still and two milliseconds were needed; with
// the canvas desynchronized, one is enough for fewer than one frame in six
// hundred to begin late.
constexpr uint32_t SPIN_MARGIN_MS = 1;

// The page counts the frames, those whose work took longer than a period,
// and those that began after their millisecond.
EM_JS(void, PageCountFrame, (int overran, int late), {
    Module.web.frameWaits++;
    if (overran) Module.web.overranFrames++;
    if (late) Module.web.lateFrames++;
});
static uint32_t scriptClockMs = 0;  // the scripted run's clock: one period a frame

uint32_t PlatformTimeMs()
{
    if (scripted) return scriptClockMs;
    return static_cast<uint32_t>(static_cast<int64_t>(emscripten_get_now() - startMs));
}

static uint32_t RealMs()
{
    return static_cast<uint32_t>(static_cast<int64_t>(emscripten_get_now() - startMs));
}

void PlatformSleep(uint32_t ms)
{
    emscripten_sleep(ms);
}

void PlatformWaitFrame(uint32_t previousFrameStart, uint32_t periodMs)
{
    // The music's ends are looked for once a frame, as the desktop's mixer
    // reports them between frames: the answer to one can never bring the
    // next within the same pump.
    CheckMusic();
    long long frame = framesStarted++;
    if (scripted) {
        // The same frames as the harness's, still paced in real time.
        static uint32_t lastReal = RealMs();
        uint32_t elapsed = RealMs() - lastReal;
        if (elapsed < periodMs) emscripten_sleep(periodMs - elapsed);
        else emscripten_sleep(0);
        lastReal = RealMs();
        if (static_cast<uint32_t>(scriptClockMs - previousFrameStart) < periodMs)
            scriptClockMs = previousFrameStart + periodMs;
        ApplyScriptInput(frame);
        return;
    }
    uint32_t elapsed = PlatformTimeMs() - previousFrameStart;
    // Even a late frame lets the browser show the canvas and take the input.
    bool overran = elapsed >= periodMs;
    if (overran) {
        emscripten_sleep(0);
    } else {
        if (periodMs - elapsed > SPIN_MARGIN_MS)
            emscripten_sleep(periodMs - elapsed - SPIN_MARGIN_MS);
        while (static_cast<uint32_t>(PlatformTimeMs() - previousFrameStart) < periodMs) {}
    }
    PageCountFrame(overran, static_cast<uint32_t>(PlatformTimeMs() - previousFrameStart) > periodMs);
}
