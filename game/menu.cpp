// The rules of a list of choices: selection, clicks and keys, once per press.
#include "game/menu.h"

#include "game/controls.h"
#include "input/input.h"

namespace {

// A stick pushed this far (of 32767) moves through a menu as the d-pad does.
constexpr int MENU_STICK_PUSH = 16384;

}  // namespace

int MenuRowAt(const MenuLayout& layout, int x, int y)
{
    if (x < layout.x || x >= layout.x + layout.width || y < layout.y || layout.rowHeight <= 0)
        return -1;
    int row = (y - layout.y) / layout.rowHeight;
    return row < layout.rows ? row : -1;
}

int StepMenu(Menu* menu, const MenuInput& in)
{
    const MenuInput& was = menu->was;
    int rows = menu->layout.rows;
    int action = MENU_NONE;
    int under = MenuRowAt(menu->layout, in.mouseX, in.mouseY);
    // The pointer selects only when it moves, so that the keys can move the
    // selection away from a pointer at rest.
    if (in.pointerMoved && under >= 0) menu->selected = under;
    if (in.leftButton && !was.leftButton) menu->pressedRow = under;
    if (!in.leftButton) {
        if (was.leftButton && menu->pressedRow >= 0 && menu->pressedRow == under) {
            menu->selected = under;
            action = MENU_CHOSEN;
        }
        menu->pressedRow = -1;
    }
    if (rows > 0 && action == MENU_NONE) {
        if (in.up && !was.up) menu->selected = (menu->selected + rows - 1) % rows;
        if (in.down && !was.down) menu->selected = (menu->selected + 1) % rows;
        if (in.left && !was.left) action = MENU_LESS;
        if (in.right && !was.right) action = MENU_MORE;
        if (in.accept && !was.accept) action = MENU_CHOSEN;
        if (in.back && !was.back) action = MENU_BACK;
    }
    menu->was = in;
    return action;
}

Menu StartMenu(const MenuLayout& layout)
{
    Menu menu;
    menu.layout = layout;
    HoldMenuInput(&menu);
    return menu;
}

void HoldMenuInput(Menu* menu)
{
    menu->was = MENU_ALL_HELD;
    GetMousePos(&menu->was.mouseX, &menu->was.mouseY);
}

MenuInput ReadMenuInput(const Menu& menu)
{
    MenuInput in;
    int buttons;
    GetMousePos(&in.mouseX, &in.mouseY);
    GetMouseButtons(&buttons);
    in.pointerMoved = in.mouseX != menu.was.mouseX || in.mouseY != menu.was.mouseY;
    in.leftButton = (buttons & MOUSE_LEFT) != 0;
    // The keys and pad buttons bound to the menus, and either stick pushed
    // past half way.
    PadState pad;
    bool attached = PlatformReadPad(&pad);
    auto held = [&](int action) { return BindingHeld(settings.bindings[action], pad, attached); };
    auto stick = [&](int axisX, int axisY, int sign, bool vertical) {
        int value = pad.axes[vertical ? axisY : axisX] * sign;
        return attached && value >= MENU_STICK_PUSH;
    };
    auto pushed = [&](int sign, bool vertical) {
        return stick(PAD_AXIS_LEFT_X, PAD_AXIS_LEFT_Y, sign, vertical) ||
               stick(PAD_AXIS_RIGHT_X, PAD_AXIS_RIGHT_Y, sign, vertical);
    };
    in.up = held(ACTION_MENU_UP) || pushed(-1, true);
    in.down = held(ACTION_MENU_DOWN) || pushed(1, true);
    in.left = held(ACTION_MENU_LEFT) || pushed(-1, false);
    in.right = held(ACTION_MENU_RIGHT) || pushed(1, false);
    in.accept = held(ACTION_MENU_ACCEPT);
    in.back = held(ACTION_MENU_BACK);
    return in;
}
