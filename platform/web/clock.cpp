// The clock and the frames in the browser. The game never waits here: the
// page calls the frame loop once per display refresh (requestAnimationFrame,
// through emscripten's main loop), and a frame runs only when the game's
// clock says one is due, so play keeps the game's pace of a frame every
// 16 ms whatever the display's rate (60, 120 or 144 Hz).
#include <emscripten.h>

#include "platform/web/web_internal.h"

static double startMs = emscripten_get_now();

// The page counts the frames, those that began more than a period late (a
// frame's work took longer than a period, or the tab was away), and those
// that began late by more than a display refresh of the slowest screens.
EM_JS(void, PageCountFrame, (int overran, int late), {
    Module.web.frameWaits++;
    if (overran) Module.web.overranFrames++;
    if (late) Module.web.lateFrames++;
});
constexpr uint32_t LATE_MS = 17;  // past its start by more than a 60 Hz refresh

// A display's refreshes rarely fall on the game's 16 ms: at 144 Hz a frame
// due at 16 ms would wait for the refresh at 20.8 and play would slow to 48
// frames a second. So a frame may begin at a refresh up to this much before
// its time, and the game's clock then reads its time: the clock runs at
// most this far ahead of the wall's, never back, and frames stay 16 ms apart
// on it. Less than a 60 Hz refresh, so a 60 Hz display still gets one frame
// a refresh.
constexpr uint32_t EARLY_MS = 6;

static uint32_t scriptClockMs = 0;  // the scripted run's clock: one period a frame
static uint32_t lastRealFrame = 0;  // when the last scripted frame began, in real time
static uint32_t frameClockMs = 0;   // the last frame's start on the game's clock

static uint32_t RealMs()
{
    return static_cast<uint32_t>(static_cast<int64_t>(emscripten_get_now() - startMs));
}

uint32_t PlatformTimeMs()
{
    if (scripted) return scriptClockMs;
    uint32_t real = RealMs();
    return static_cast<int32_t>(frameClockMs - real) > 0 ? frameClockMs : real;
}

// Nothing may wait in the browser.
void PlatformSleep(uint32_t) {}

bool PlatformFrameDue(uint32_t previousFrameStart, uint32_t periodMs)
{
    // A scripted run shows the harness's frames, still paced in real time.
    if (scripted) return static_cast<uint32_t>(RealMs() - lastRealFrame) >= periodMs;
    return static_cast<uint32_t>(PlatformTimeMs() - previousFrameStart) + EARLY_MS >= periodMs;
}

void PlatformWaitFrame(uint32_t previousFrameStart, uint32_t periodMs)
{
    // The music's ends are looked for once a frame, as the desktop's mixer
    // reports them between frames: the answer to one can never bring the
    // next within the same pump.
    CheckMusic();
    long long frame = framesStarted++;
    if (scripted) {
        lastRealFrame = RealMs();
        if (static_cast<uint32_t>(scriptClockMs - previousFrameStart) < periodMs)
            scriptClockMs = previousFrameStart + periodMs;
        ApplyScriptInput(frame);
        return;
    }
    uint32_t elapsed = PlatformTimeMs() - previousFrameStart;
    // Early by a little: the clock reads the frame's own time.
    if (static_cast<uint32_t>(PlatformTimeMs() - previousFrameStart) < periodMs)
        frameClockMs = previousFrameStart + periodMs;
    PageCountFrame(elapsed >= 2 * periodMs, elapsed > periodMs + LATE_MS);
}

namespace {

struct Frames {
    bool (*tick)(void*);
    void (*done)(void*);
    void* context;
};

void OneRefresh(void* argument)
{
    Frames* frames = static_cast<Frames*>(argument);
    if (frames->tick(frames->context)) return;
    emscripten_cancel_main_loop();
    frames->done(frames->context);
}

}  // namespace

void PlatformRunFrames(bool (*tick)(void*), void (*done)(void*), void* context)
{
    static Frames frames;
    frames = Frames{tick, done, context};
    // 0: at the display's refresh. The call does not return: main's frame
    // is let go, and the page's refreshes carry the game from here.
    emscripten_set_main_loop_arg(OneRefresh, &frames, 0, 1);
}
