// The play scene (for now only paced frames until the real one lands).
#include "game/play_scene.h"
#include "shell/shell.h"

void RunPlayScene()
{
    uint32_t frameStart = 0;
    for (;;) {
        frameStart = WaitNextFrame(frameStart);
        TraceFrame("play");
        PumpMessages();
    }
}
