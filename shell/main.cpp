// The process entry: the program's own options, the platform (the headless
// one reads its command line here), the data folder, then a recording's
// verification, or the settings and the game.
#include <cstdio>

#include <utility>

#include "game/score.h"
#include "game/stage_pack.h"
#include "game/verify.h"
#include "platform/platform.h"
#include "game/datadir.h"
#include "audio/audio.h"
#include "game/settings.h"
#include "shell/options.h"
#include "shell/phrases.h"
#include "shell/shell.h"

int main(int argc, char** argv)
{
    PrepareForLowMemory();
    InstallShellHooks();
    GameOptions options;
    std::string error;
    // 64: a command line the program does not take (sysexits' EX_USAGE).
    if (!ParseGameOptions(argc, argv, &options, &error)) {
        fprintf(stderr, "%s: %s\n%s", PlatformProgramName(), error.c_str(), GameUsage().c_str());
        return 64;
    }
    if (options.help) {
        fputs(GameUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        printf("%s %s\n", PlatformProgramName(), PRISMVELDT_VERSION);
        return 0;
    }
    PlatformInit(argc, argv);
    if (!ChooseDataFolder(options.dataDir)) PlatformExit(64);
    if (!options.verifyPath.empty())
        PlatformExit(RunVerify(options.verifyPath.c_str(), options.stagePath.c_str(), options.stagesDir.c_str()));
    if (!options.stagesDir.empty()) {
        // A pack that gives nothing to play is refused before any window opens.
        StagePack pack;
        if (!ReadStagePack(options.stagesDir, &pack, &error)) {
            fprintf(stderr, "Prismveldt: no stage pack to play: %s\n", error.c_str());
            PlatformExit(1);
        }
        UseStagePack(std::move(pack), scoreFilePath);
    }
    // A verification is the game's rules alone, whatever the player has set;
    // the game and the replay viewer read the settings once, here.
    settingsFileOption = options.settingsPath;
    LoadSettings(SettingsFilePath(), &settings);
    UseSettingsLanguage();
    SetAudioVolumes(settings.musicVolume, settings.effectsVolume);
    PlatformSetVsync(settings.vsync);
    return RunProgram(options);
}
