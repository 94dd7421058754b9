// The orderly end: every way out of the game but a missing stage file comes here.
#include "platform/platform.h"
#include "shell/shell.h"
#include "gfx/text.h"

void ShutdownAndExit()
{
    ReleaseFont();
    PlatformCloseMusic();      // closes the music whatever state it is in
    PlatformRestoreDisplay();  // the desktop resolution comes back after full screen
    PlatformShowCursor(true);
    PlatformDestroyWindow();
    PlatformExit(1);           // at once: no exit handlers, no static destructors
}
