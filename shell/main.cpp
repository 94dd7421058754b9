// The process entry: the platform first (the headless one reads its command
// line here), then the game.
#include "platform/platform.h"
#include "game/datadir.h"
#include "shell/shell.h"

int main(int argc, char** argv)
{
    PrepareForLowMemory();
    PlatformInit(argc, argv);
    ChooseDataFolder();
    return RunProgram(argc, argv);
}
