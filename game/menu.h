// A list of choices, one under the other, as the pause menu and the settings
// pages show them: the rules of moving through it and choosing, apart from
// the drawing. The pointer picks the row it is over; a row is chosen by a
// press of the left button that begins and ends over it, or by Enter (the
// pad's A); the arrow keys (the d-pad, a stick) move up and down and change
// a row's value left and right; Escape (B) goes back; the keys and buttons
// are the player's bindings. A key counts once per press: holding it does
// nothing more, so a key still held from the scene before does nothing at all.
//
// The menu is a plain value: its rows' place on the screen and its state
// between frames. MenuInput is one frame's reading; StepMenu needs nothing
// else, so the rules are tested without a window.
#pragma once

constexpr int MENU_MAX_ROWS = 16;

struct MenuLayout {
    int x = 0, y = 0;       // the first row's top left
    int width = 0;          // every row's width
    int rowHeight = 0;      // from one row's top to the next's
    int rows = 0;           // 1..MENU_MAX_ROWS
    int letterHeight = 64;  // the rows' lettering (half as wide), at most rowHeight to read well
};

// The held state of what a menu reads, one frame's worth.
struct MenuInput {
    int mouseX = 0, mouseY = 0;
    bool pointerMoved = false;  // since the last frame
    bool leftButton = false;
    bool up = false, down = false, left = false, right = false;
    bool accept = false, back = false;
};

// What a menu starts from: everything held, so that nothing carried over
// from the scene before counts until it is let go.
constexpr MenuInput MENU_ALL_HELD = {0, 0, false, true, true, true, true, true, true, true};

struct Menu {
    MenuLayout layout;
    int selected = 0;
    // The row a press of the left button began on, -1 for none (or a press
    // that began elsewhere), while the button is held.
    int pressedRow = -1;
    MenuInput was = MENU_ALL_HELD;  // last frame's reading
};

enum MenuAction {
    MENU_NONE,
    MENU_CHOSEN,  // the selected row, by Enter or a click on it
    MENU_LESS,    // left on the selected row
    MENU_MORE,    // right on the selected row
    MENU_BACK     // Escape
};

// The row under the point, -1 for none.
int MenuRowAt(const MenuLayout& layout, int x, int y);
// One frame of the menu: moves the selection and says what the player did.
int StepMenu(Menu* menu, const MenuInput& in);
// A menu coming up with its rows at layout: nothing selected but the first,
// everything counted as held, the pointer where it is now.
Menu StartMenu(const MenuLayout& layout);
// Holds everything again, as when the menu came up (a scene above it went
// back, and what was pressed there must not count here).
void HoldMenuInput(Menu* menu);
// The input the menu reads this frame, from the keyboard and the mouse, the
// pointer's movement measured against the menu's last reading.
MenuInput ReadMenuInput(const Menu& menu);
