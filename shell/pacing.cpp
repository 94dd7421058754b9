// Frame pacing: the frame loop starts every frame here, 16 ms after the last.
#include "platform/platform.h"
#include "shell/shell.h"

uint32_t WaitNextFrame(uint32_t previousStart)
{
    PlatformWaitFrame(previousStart, FRAME_PERIOD_MS);
    return PlatformTimeMs();
}
