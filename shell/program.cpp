// The program's entry steps and GameMain: the window, the full-screen question,
// the start-up pictures, and the title and play scenes taking turns.
#include "game/assets.h"
#include "game/play_scene.h"
#include "game/title_scene.h"
#include "gfx/rotate.h"
#include "platform/platform.h"
#include "shell/shell.h"

void GameMain()
{
    // A 1 x 1 window titled "未定" stands while the player is asked.
    SetDisplayMode(0, 0, 1, 1, DISPLAY_WINDOWED, "未定");
    bool fullScreen = PlatformMessageBox("フルスクリーンにしますか？", "確認", PLATFORM_BOX_YESNO);
    SetDisplayMode(0, 0, 1280, 720, fullScreen ? DISPLAY_FULLSCREEN : DISPLAY_WINDOWED, "Prismveldt");

    LoadAssets();

    for (;;) {
        RunTitleScene();
        if (sceneId == SCENE_QUIT) break;
        // Any other value, even SCENE_TO_TITLE left from the last game, plays.
        RunPlayScene();
    }

    DeleteStartupSurfaces();
}

int RunProgram(int, char**)
{
    // The first window: tiny, off the corner, until the display mode shapes it.
    PlatformSetWindowTitle(windowTitle);
    PlatformSetWindowed(-10, -10, 3, 3, false);
    FillTrigTables();
    SetDisplayMode(windowX, windowY, screenWidth, screenHeight, displayMode, windowTitle);
    GameMain();
    ShutdownAndExit();
}
