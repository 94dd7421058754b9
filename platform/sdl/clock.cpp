// The millisecond clock and the frame wait: sleep until a quarter of a
// millisecond remains, then spin to the exact millisecond, so that a paced
// frame costs a few per cent of a core instead of all of it.
#include <cerrno>
#include <ctime>

#include <sys/prctl.h>

#include "platform/sdl/sdl_internal.h"

static timespec clockStart;

static int64_t NanosecondsSinceStart()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - clockStart.tv_sec) * 1000000000LL + (now.tv_nsec - clockStart.tv_nsec);
}

void StartClock()
{
    // Sleeps end within a microsecond of their time instead of the default 50.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    clock_gettime(CLOCK_MONOTONIC, &clockStart);
}

uint32_t PlatformTimeMs()
{
    return static_cast<uint32_t>(NanosecondsSinceStart() / 1000000);
}

static void SleepUntil(int64_t nanoseconds)
{
    int64_t absolute = (clockStart.tv_sec * 1000000000LL + clockStart.tv_nsec) + nanoseconds;
    timespec until{static_cast<time_t>(absolute / 1000000000LL), static_cast<long>(absolute % 1000000000LL)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {}
}

void PlatformSleep(uint32_t ms)
{
    SleepUntil(NanosecondsSinceStart() + static_cast<int64_t>(ms) * 1000000);
}

// The margin left for spinning: the scheduler may wake a sleeper this late.
// With the timer slack at its minimum (StartClock) a wake-up is rarely more
// than a tenth of a millisecond late, and a late wake-up still lands inside
// the right millisecond, so a quarter of a millisecond keeps every frame on
// its exact millisecond while the spin costs about one per cent of a core.
constexpr int64_t SPIN_MARGIN_NS = 250000;

void PlatformWaitFrame(uint32_t previousFrameStart, uint32_t periodMs)
{
    int64_t now = NanosecondsSinceStart();
    uint32_t elapsed = static_cast<uint32_t>(now / 1000000) - previousFrameStart;
    if (elapsed >= periodMs) return;
    // The instant the millisecond clock reads previousFrameStart + periodMs.
    int64_t target = (now / 1000000 + (periodMs - elapsed)) * 1000000;
    if (target - now > SPIN_MARGIN_NS) SleepUntil(target - SPIN_MARGIN_NS);
    while (static_cast<uint32_t>(PlatformTimeMs() - previousFrameStart) < periodMs) {}
}

// Frames follow one another in this loop; each waits in PlatformWaitFrame.
bool PlatformFrameDue(uint32_t, uint32_t) { return true; }

void PlatformRunFrames(bool (*tick)(void*), void (*done)(void*), void* context)
{
    while (tick(context)) {
    }
    done(context);
}
