// The pause menu over the stilled play frame.
#include "game/pause_scene.h"

#include "game/assets.h"
#include "game/scenes.h"
#include "gfx/blit.h"
#include "gfx/text.h"
#include "input/input.h"

namespace {

constexpr int KEY_P = 0x50;
constexpr int KEY_PAUSE = 0x13;

const char* const ROW_NAMES[PAUSE_ROWS] = {"RESUME", "RESTART STAGE", "LEAVE TO TITLE"};

void DrawPauseMenu(const PauseScene& p)
{
    SetFont(64, 128, "IMPACT");
    PrintOutlined(backBuffer, 500, 90, 0x9B6464, 0xFFC8C8, "PAUSE");
    MenuLayout layout = p.menu.layout;
    SetFont(32, 64, "IMPACT");
    for (int row = 0; row < layout.rows; row++) {
        bool selected = row == p.menu.selected;
        int y = layout.y + row * layout.rowHeight;
        if (selected)
            PrintOutlined(backBuffer, layout.x, y, 0x649B64, 0xC8FFC8, "%s", ROW_NAMES[row]);
        else
            PrintTextOn(backBuffer, layout.x, y, 0xB4B4B4, COLOR_NONE, "%s", ROW_NAMES[row]);
    }
    ReleaseFont();
}

}  // namespace

MenuLayout PauseMenuLayout()
{
    MenuLayout layout;
    layout.x = 440;
    layout.y = 300;
    layout.width = 420;
    layout.rowHeight = 90;
    layout.rows = PAUSE_ROWS;
    return layout;
}

bool PauseKeyHeld()
{
    return IsKeyDown(KEY_P) || IsKeyDown(KEY_PAUSE);
}

SceneChange EnterPause(PauseScene& p, FrameClock&)
{
    p.menu = Menu();
    p.menu.layout = PauseMenuLayout();
    GetMousePos(&p.lastX, &p.lastY);
    // The frame play stopped on, dimmed once, drawn under the menu each frame.
    p.imgPausedFrame = CreateBlankSurface(1280, 720);
    CopySurface(p.imgPausedFrame, 0, 0, 1280, 720, backBuffer);
    Surface black = CreateBlankSurface(8, 8);
    FillSurface(black, 0);
    DrawBlended(p.imgPausedFrame, 0, 0, 1280, 720, black, 0, 0, 8, 8, 55, BLEND_CONSTANT_ALPHA);
    // Darker still behind the rows, which lie over the character.
    MenuLayout rows = p.menu.layout;
    DrawBlended(p.imgPausedFrame, rows.x - 40, rows.y - 20, rows.width + 80, rows.rows * rows.rowHeight + 30,
                black, 0, 0, 8, 8, 60, BLEND_CONSTANT_ALPHA);
    DeleteSurface(black);
    return Stay();
}

void StepPause(PauseScene& p, const FrameClock&, FrameEnd* end)
{
    SetMouseCursor(1);
    CopySurface(backBuffer, 0, 0, 1280, 720, p.imgPausedFrame);
    MenuInput in = ReadMenuInput(&p.lastX, &p.lastY);
    int action = StepMenu(&p.menu, in);
    bool pauseKey = PauseKeyHeld();
    p.leaving = 0;
    if (action == MENU_BACK || (pauseKey && !p.pauseKeyWas)) p.leaving = PAUSE_RESUME;
    if (action == MENU_CHOSEN) {
        static const int LEAVING[PAUSE_ROWS] = {PAUSE_RESUME, PAUSE_RESTART, PAUSE_TO_TITLE};
        p.leaving = LEAVING[p.menu.selected];
    }
    p.pauseKeyWas = pauseKey;
    DrawPauseMenu(p);
    *end = FrameEnd{p.leaving ? FRAME_TRACED : FRAME_SHOWN, "pause", SCENE_PLAYING, p.stage, ""};
}

SceneChange AfterPauseFrame(PauseScene& p, FrameClock&)
{
    if (!p.leaving) return Stay();
    DeleteSurface(p.imgPausedFrame);
    p.imgPausedFrame = nullptr;
    SetMouseCursor(0);
    return Pop(p.leaving);
}
