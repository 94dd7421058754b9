// Polled keyboard, mouse and joystick queries. Each query samples the
// machine's state right now, and only a key held back stays unseen until it
// is let go; only TakeKeyPresses counts what happened between two reads.
#pragma once
#include <cstdint>

// Windows virtual-key codes: the key names every caller uses.
enum {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_MBUTTON = 0x04,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,  // Alt
    VK_PAUSE = 0x13,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_F1 = 0x70,  // F1..F12 are 0x70..0x7B
    VK_F11 = 0x7A,
    VK_F12 = 0x7B
    // digits and letters are their upper-case characters: '0'..'9', 'A'..'Z'
};

// The mouse-button set.
enum { MOUSE_LEFT = 1, MOUSE_RIGHT = 2 };

constexpr int JOYSTICK_SLOTS = 16;
constexpr unsigned JOY_LOW_THRESHOLD = 0x3FFF;   // a quarter of the axis range
constexpr unsigned JOY_HIGH_THRESHOLD = 0xBFFF;
// System joystick ids that answered the last scan, packed from slot 0; -1 elsewhere.
extern int16_t joystickIds[JOYSTICK_SLOTS];

// 1 while the key (a virtual-key code, above) is held, else 0; a key the
// backend does not know is never held, nor one held back (below).
int IsKeyDown(int virtualKey);
// Holds the key (0..255) back from IsKeyDown until it has been let go, for
// a key that did something of its own (Enter of Alt+Enter switching the
// display), so that the scene does not take it too. ReleaseKeysLetGo looks
// at the held-back keys and lets go of those no longer held: once a frame.
void HoldKeyBack(int virtualKey);
void ReleaseKeysLetGo();
// How many times the keyboard's key went down since it was last asked
// (PlatformTakeKeyPresses): for a menu's keys, so that a tap between two
// frames acts. Presses while the key is held back are taken and count none.
int TakeKeyPresses(int virtualKey);
// *buttons (not null) becomes the MOUSE_LEFT / MOUSE_RIGHT flags of the held
// buttons.
void GetMouseButtons(int* buttons);
// The pointer into *x and *y (not null) in logical client coordinates: the
// picture's pixels, whatever size the window shows the picture at, halved
// (toward zero) in the doubled display mode; not clamped to the window.
void GetMousePos(int* x, int* y);
// Moves the pointer to the logical client point (x, y) (doubled in the
// doubled display mode).
void SetMousePos(int x, int y);
// 0 hides the pointer, 1 shows the arrow, anything else does nothing.
void SetMouseCursor(int mode);
// 1 while a letter, digit, Space, an arrow or Enter is held.
int IsAnyKeyDown();
// Spins until a key is held and returns its code, the first held of: 27
// Escape, 13 Enter, 77/75/80/72 arrows, 32 Space, '0'..'9', 'a'..'z'. It
// neither pumps messages nor sleeps, so it only returns where the key state
// changes while the program runs (the desktop and Windows read it live); in
// the harness, whose keys change only between frames, and in the browser, it
// never returns unless a key is already held.
int WaitKey();
// Sleeps ms / 2, WaitKey, sleeps ms / 2 again; WaitKey's code.
int WaitKeyPaced(unsigned ms);
// Axis and button tests of the joystick in a slot (0..15): 1 while its stick
// reads below JOY_LOW_THRESHOLD (up, left) or above JOY_HIGH_THRESHOLD (down,
// right) on that axis, or the button is down; 0 for a slot out of range, an
// empty one, or a joystick that no longer answers. The slots are empty until
// ScanJoysticks fills them.
int IsJoyUp(int slot);
int IsJoyDown(int slot);
int IsJoyLeft(int slot);
int IsJoyRight(int slot);
// button counts from 1 (bit 0 of the button mask), up to 32; any other is 0.
int IsJoyButtonDown(int slot, int button);
// Rebuilds joystickIds from the system joystick ids 0..15 that answer now,
// packed from slot 0, every other slot -1; returns how many answered. Nothing
// scans at start-up: the slots stay empty until the first call (the window
// procedure makes one on every device change).
int ScanJoysticks();
