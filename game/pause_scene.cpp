// The pause menu over the stilled play frame.
#include "game/pause_scene.h"

#include "game/assets.h"
#include "game/controls.h"
#include "game/menu_draw.h"
#include "game/scenes.h"
#include "gfx/blit.h"
#include "gfx/text.h"
#include "input/input.h"

namespace {

// The practice row's label is too long for one line of the rows' letters.
const char* const ROW_NAMES[PAUSE_ROWS] = {"RESUME", "RESTART STAGE", nullptr, "SETTINGS", "LEAVE TO TITLE"};

void DrawPauseMenu(const PauseScene& p)
{
    DrawMenuHeading(500, 90, "PAUSE");
    for (int row = 0; row < p.menu.layout.rows; row++) {
        if (ROW_NAMES[row]) {
            DrawMenuRow(p.menu, row, ROW_NAMES[row]);
            continue;
        }
        DrawMenuRowLine(p.menu, row, 0, 36, "PRACTICE FROM THE");
        DrawMenuRowLine(p.menu, row, 36, 36, "LAST CHECKPOINT");
    }
}

}  // namespace

MenuLayout PauseMenuLayout()
{
    return MenuLayout{440, 260, 420, 85, PAUSE_ROWS};  // x, y, width, row height, rows
}

bool PauseKeyHeld()
{
    return ActionHeld(ACTION_PAUSE);
}

SceneChange EnterPause(PauseScene& p, FrameClock&)
{
    p.menu = StartMenu(PauseMenuLayout());
    // The frame play stopped on, darkened once, darker still behind the
    // rows, which lie over the character.
    p.imgPausedFrame = DarkenedScreenCopy(55);
    MenuLayout rows = p.menu.layout;
    DarkenBlock(p.imgPausedFrame, rows.x - 40, rows.y - 20, rows.width + 80,
                rows.rows * rows.rowHeight + 30, 60);
    return Stay();
}

void StepPause(PauseScene& p, const FrameClock&, FrameEnd* end)
{
    SetMouseCursor(1);
    CopySurface(backBuffer, 0, 0, 1280, 720, p.imgPausedFrame);
    MenuInput in = ReadMenuInput(p.menu);
    int action = StepMenu(&p.menu, in);
    bool pauseKey = PauseKeyHeld();
    p.leaving = 0;
    if (action == MENU_BACK || (pauseKey && !p.pauseKeyWas)) p.leaving = PAUSE_RESUME;
    p.toSettings = action == MENU_CHOSEN && p.menu.selected == PAUSE_ROW_SETTINGS;
    if (action == MENU_CHOSEN && !p.toSettings) {
        static const int LEAVING[PAUSE_ROWS] = {PAUSE_RESUME, PAUSE_RESTART, PAUSE_PRACTICE, 0, PAUSE_TO_TITLE};
        p.leaving = LEAVING[p.menu.selected];
    }
    p.pauseKeyWas = pauseKey;
    DrawPauseMenu(p);
    bool left = p.leaving || p.toSettings;
    *end = FrameEnd{left ? FRAME_TRACED : FRAME_SHOWN, "pause", SCENE_PLAYING, p.stage, ""};
}

SceneChange AfterPauseFrame(PauseScene& p, FrameClock&)
{
    if (p.toSettings) return Push(Scene{SettingsScene{}});
    if (!p.leaving) return Stay();
    DeleteSurface(p.imgPausedFrame);
    p.imgPausedFrame = nullptr;
    SetMouseCursor(0);
    return Pop(p.leaving);
}

SceneChange ResumePause(PauseScene& p, int, FrameClock&)
{
    HoldMenuInput(&p.menu);
    p.pauseKeyWas = true;
    return Stay();
}
