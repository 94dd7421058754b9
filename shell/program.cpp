// The program's entry steps and GameMain: the window, the full-screen question,
// the start-up pictures, and the game's scenes.
#include "game/assets.h"
#include "game/replay_scene.h"
#include "game/scenes.h"
#include "gfx/rotate.h"
#include "gfx/screen.h"
#include "platform/platform.h"
#include "shell/options.h"
#include "shell/shell.h"

void GameMain()
{
    // A 1 x 1 window titled "未定" stands while the player is asked.
    SetDisplayMode(0, 0, 1, 1, DISPLAY_WINDOWED, "未定");
    bool fullScreen = PlatformMessageBox("フルスクリーンにしますか？", "確認", PLATFORM_BOX_YESNO);
    SetDisplayMode(0, 0, 1280, 720, fullScreen ? DISPLAY_FULLSCREEN : DISPLAY_WINDOWED, "Prismveldt");

    LoadAssets();

    RunScenes();

    DeleteStartupSurfaces();
}

// A recorded run in the game's window instead of the game: no question, a
// plain window.
static void WatchMain(const char* path)
{
    SetDisplayMode(0, 0, 1280, 720, DISPLAY_WINDOWED, "Prismveldt");
    LoadAssets();
    WatchRecording(path);
    DeleteStartupSurfaces();
}

int RunProgram(const GameOptions& options)
{
    // The first window: tiny, off the corner, until the display mode shapes it.
    PlatformSetWindowTitle(windowTitle);
    PlatformSetWindowed(-10, -10, 3, 3, false);
    FillTrigTables();
    SetDisplayMode(windowX, windowY, screenWidth, screenHeight, displayMode, windowTitle);
    if (options.replayPath.empty())
        GameMain();
    else
        WatchMain(options.replayPath.c_str());
    ShutdownAndExit();
}
