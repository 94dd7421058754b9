// Polled keyboard, mouse and joystick queries. Nothing is queued and nothing is
// remembered between calls: each query samples the machine's state right now.
#pragma once
#include <cstdint>

// Windows virtual-key codes: the key names every caller uses.
enum {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28
    // digits and letters are their upper-case characters: '0'..'9', 'A'..'Z'
};

// The mouse-button set.
enum { MOUSE_LEFT = 1, MOUSE_RIGHT = 2 };

constexpr int JOYSTICK_SLOTS = 16;
constexpr unsigned JOY_LOW_THRESHOLD = 0x3FFF;   // a quarter of the axis range
constexpr unsigned JOY_HIGH_THRESHOLD = 0xBFFF;
// System joystick ids that answered the last scan, packed from slot 0; -1 elsewhere.
extern int16_t joystickIds[JOYSTICK_SLOTS];

// Called by the scenes for Escape and E; 1 while the key is held.
int IsKeyDown(int virtualKey);
// Called by every scene each frame; MOUSE_LEFT / MOUSE_RIGHT flags of the held buttons.
void GetMouseButtons(int* buttons);
// Called by every scene each frame; the pointer in logical client coordinates
// (halved in the doubled display mode), not clamped to the window.
void GetMousePos(int* x, int* y);
// Called by the title scene when it starts; moves the pointer to a client point.
void SetMousePos(int x, int y);
// Called by the title and play scenes: 0 hides the pointer, 1 shows the arrow,
// anything else does nothing.
void SetMouseCursor(int mode);
// No caller in the game: 1 while a letter, digit, Space, an arrow or Enter is held.
int IsAnyKeyDown();
// No caller in the game: spins until a key is held and returns its code
// (27 Escape, 13 Enter, 77/75/80/72 arrows, 32 Space, '0'..'9', 'a'..'z').
int WaitKey();
// No caller in the game: sleeps ms / 2, WaitKey, sleeps ms / 2 again.
int WaitKeyPaced(unsigned ms);
// No caller in the game: axis and button tests of the joystick in a slot (0..15).
int IsJoyUp(int slot);
int IsJoyDown(int slot);
int IsJoyLeft(int slot);
int IsJoyRight(int slot);
// button counts from 1 (bit 0 of the button mask).
int IsJoyButtonDown(int slot, int button);
// Called by the window procedure on a device change: rebuilds joystickIds,
// returns how many joysticks answered.
int ScanJoysticks();
