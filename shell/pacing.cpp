// Frame pacing: every scene loop starts its frames here.
#include "platform/platform.h"
#include "shell/shell.h"

uint32_t WaitNextFrame(uint32_t previousStart)
{
    PlatformWaitFrame(previousStart, FRAME_PERIOD_MS);
    return PlatformTimeMs();
}
