// The rules of a list of choices: selection, clicks and keys, once per press.
#include "game/menu.h"

#include "input/input.h"

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
    in.up = IsKeyDown(VK_UP);
    in.down = IsKeyDown(VK_DOWN);
    in.left = IsKeyDown(VK_LEFT);
    in.right = IsKeyDown(VK_RIGHT);
    in.accept = IsKeyDown(VK_RETURN);
    in.back = IsKeyDown(VK_ESCAPE);
    return in;
}
