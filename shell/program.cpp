// The program's entry steps and GameMain: the window, the full-screen question,
// the start-up pictures, and the game's scenes.
#include "game/assets.h"
#include "game/scenes.h"
#include <cstdio>
#include <utility>

#include "gfx/rotate.h"
#include "gfx/screen.h"
#include "platform/platform.h"
#include "shell/options.h"
#include "shell/phrases.h"
#include "shell/shell.h"

namespace {

// After the last scene: the start-up pictures go, and the orderly end.
void EndGame()
{
    DeleteStartupSurfaces();
    ShutdownAndExit();
}

}  // namespace

void GameMain()
{
    // The question first; the title once it is answered.
    RunFrameLoop(Scene{QuestionScene{}}, EndGame);
}

// A recorded run in the game's window instead of the game: no question, a
// plain window.
static void WatchMain(const char* path)
{
    SetDisplayMode(0, 0, 1280, 720, DISPLAY_WINDOWED, "Prismveldt");
    LoadAssets();
    ReplayScene replay;
    replay.path = path;
    RunFrameLoop(Scene{std::move(replay)}, EndGame);
}

// The stage editor in the game's window instead of the game: no question, a
// plain window.
static void EditMain(const char* path)
{
    SetDisplayMode(0, 0, 1280, 720, DISPLAY_WINDOWED, "Prismveldt");
    LoadAssets();
    EditorScene editor;
    editor.path = path;
    RunFrameLoop(Scene{std::move(editor)}, EndGame);
}

int RunProgram(const GameOptions& options)
{
    // The first window: tiny, off the corner, until the display mode shapes it.
    snprintf(windowTitle, WINDOW_TITLE_CAPACITY, "%s", Said(PHRASE_FIRST_WINDOW_TITLE));
    PlatformSetWindowTitle(windowTitle);
    PlatformSetWindowed(-10, -10, 3, 3, false);
    FillTrigTables();
    SetDisplayMode(windowX, windowY, screenWidth, screenHeight, displayMode, windowTitle);
    if (!options.editPath.empty())
        EditMain(options.editPath.c_str());
    else if (options.replayPath.empty())
        GameMain();
    else
        WatchMain(options.replayPath.c_str());
    ShutdownAndExit();
}
