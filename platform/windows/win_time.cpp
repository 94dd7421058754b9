// The millisecond clock and frame pacing on Windows: the multimedia timer at
// 1-ms resolution (raised in PlatformInit, lowered in PlatformExit).
#include "platform/windows/win_internal.h"

#include <mmsystem.h>

uint32_t PlatformTimeMs() {
    return timeGetTime();
}

void PlatformSleep(uint32_t ms) {
    Sleep(ms);
}

void PlatformWaitFrame(uint32_t previousFrameStart, uint32_t periodMs) {
    // Sleep while more than a couple of milliseconds remain (Sleep(1) can take
    // up to 2 ms even with the 1-ms timer), then spin for the exact moment.
    for (;;) {
        uint32_t elapsed = timeGetTime() - previousFrameStart;
        if (elapsed >= periodMs) return;
        uint32_t remaining = periodMs - elapsed;
        if (remaining > 2) Sleep(remaining - 2);
        else if (remaining > 1) Sleep(0);
    }
}

// Frames follow one another in this loop; each waits in PlatformWaitFrame.
bool PlatformFrameDue(uint32_t, uint32_t) { return true; }

void PlatformRunFrames(bool (*tick)(void*), void (*done)(void*), void* context)
{
    while (tick(context)) {
    }
    done(context);
}
