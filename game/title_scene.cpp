// The title scene (for now only paced frames until the real title lands).
#include "game/title_scene.h"
#include "shell/shell.h"

void RunTitleScene()
{
    uint32_t frameStart = 0;
    for (;;) {
        frameStart = WaitNextFrame(frameStart);
        TraceFrame("title");
        PumpMessages();
    }
}
