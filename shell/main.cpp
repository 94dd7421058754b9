// The process entry: the program's own options, the platform (the headless
// one reads its command line here), the data folder, then the game, or a
// recording's verification instead.
#include <cstdio>

#include "game/verify.h"
#include "platform/platform.h"
#include "game/datadir.h"
#include "shell/options.h"
#include "shell/shell.h"

int main(int argc, char** argv)
{
    PrepareForLowMemory();
    GameOptions options;
    std::string error;
    if (!ParseGameOptions(argc, argv, &options, &error)) {
        fprintf(stderr, "Prismveldt: %s\n", error.c_str());
        return 64;
    }
    PlatformInit(argc, argv);
    ChooseDataFolder();
    if (!options.verifyPath.empty()) PlatformExit(RunVerify(options.verifyPath.c_str()));
    return RunProgram(options);
}
