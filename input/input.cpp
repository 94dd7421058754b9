// Keyboard, mouse and joystick queries over the platform layer. Every query
// but TakeKeyPresses samples the held state at the moment of the call; there
// is no edge detection, only keys held back until let go.
#include "input/input.h"

#include "platform/platform.h"
#include "gfx/screen.h"

int16_t joystickIds[JOYSTICK_SLOTS] = {-1, -1, -1, -1, -1, -1, -1, -1,
                                       -1, -1, -1, -1, -1, -1, -1, -1};

static bool heldBack[256];

int IsKeyDown(int virtualKey)
{
    if (virtualKey >= 0 && virtualKey < 256 && heldBack[virtualKey]) return 0;
    return PlatformIsKeyHeld(virtualKey) ? 1 : 0;
}

void HoldKeyBack(int virtualKey)
{
    if (virtualKey >= 0 && virtualKey < 256) heldBack[virtualKey] = true;
}

void ReleaseKeysLetGo()
{
    for (int key = 0; key < 256; key++)
        if (heldBack[key] && !PlatformIsKeyHeld(key)) heldBack[key] = false;
}

int TakeKeyPresses(int virtualKey)
{
    int presses = PlatformTakeKeyPresses(virtualKey);
    if (virtualKey >= 0 && virtualKey < 256 && heldBack[virtualKey]) return 0;
    return presses;
}

void GetMouseButtons(int* buttons)
{
    *buttons = 0;
    if (PlatformIsKeyHeld(VK_LBUTTON)) *buttons |= MOUSE_LEFT;
    if (PlatformIsKeyHeld(VK_RBUTTON)) *buttons |= MOUSE_RIGHT;
}

// The platform gives the pointer in the picture's pixels, whatever size the
// window shows the picture at; only the doubled window's own factor is left.
void GetMousePos(int* x, int* y)
{
    int pointX = 0, pointY = 0;
    PlatformGetPointer(&pointX, &pointY);
    // C++ division truncates toward zero, so -3 halves to -1 as the doubled
    // window always did.
    int scale = PixelScale();
    *x = pointX / scale;
    *y = pointY / scale;
}

void SetMousePos(int x, int y)
{
    int scale = PixelScale();
    PlatformSetPointer(x * scale, y * scale);
}

void SetMouseCursor(int mode)
{
    if (mode == 0) PlatformShowCursor(false);
    else if (mode == 1) PlatformShowCursor(true);
}

int IsAnyKeyDown()
{
    for (int key = 'A'; key <= 'Z'; key++)
        if (PlatformIsKeyHeld(key)) return 1;
    for (int key = '0'; key <= '9'; key++)
        if (PlatformIsKeyHeld(key)) return 1;
    static const int others[] = {VK_SPACE, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN};
    for (int key : others)
        if (PlatformIsKeyHeld(key)) return 1;
    return 0;
}

// One pass over the keys WaitKey knows, highest priority first; 0 when none is held.
static int HeldKeyCode()
{
    static const struct { int key; int code; } fixed[] = {
        {VK_ESCAPE, 27}, {VK_RETURN, 13}, {VK_RIGHT, 77}, {VK_LEFT, 75},
        {VK_DOWN, 80},   {VK_UP, 72},     {VK_SPACE, 32},
    };
    for (const auto& entry : fixed)
        if (PlatformIsKeyHeld(entry.key)) return entry.code;
    for (int key = '0'; key <= '9'; key++)
        if (PlatformIsKeyHeld(key)) return key;
    for (int key = 'A'; key <= 'Z'; key++)
        if (PlatformIsKeyHeld(key)) return key - 'A' + 'a';
    return 0;
}

int WaitKey()
{
    for (;;) {
        int code = HeldKeyCode();
        if (code != 0) return code;
    }
}

int WaitKeyPaced(unsigned ms)
{
    PlatformSleep(ms / 2);
    int code = WaitKey();
    PlatformSleep(ms / 2);
    return code;
}

// The system id in a slot and its current reading; false when the slot is
// empty, out of range or the joystick stopped answering.
static bool ReadJoystick(int slot, unsigned* x, unsigned* y, unsigned* buttons)
{
    if (slot < 0 || slot >= JOYSTICK_SLOTS || joystickIds[slot] < 0) return false;
    return PlatformJoystickPos(joystickIds[slot], x, y, buttons);
}

int IsJoyUp(int slot)
{
    unsigned x, y, buttons;
    return ReadJoystick(slot, &x, &y, &buttons) && y < JOY_LOW_THRESHOLD;
}

int IsJoyDown(int slot)
{
    unsigned x, y, buttons;
    return ReadJoystick(slot, &x, &y, &buttons) && y > JOY_HIGH_THRESHOLD;
}

int IsJoyLeft(int slot)
{
    unsigned x, y, buttons;
    return ReadJoystick(slot, &x, &y, &buttons) && x < JOY_LOW_THRESHOLD;
}

int IsJoyRight(int slot)
{
    unsigned x, y, buttons;
    return ReadJoystick(slot, &x, &y, &buttons) && x > JOY_HIGH_THRESHOLD;
}

int IsJoyButtonDown(int slot, int button)
{
    unsigned x, y, buttons;
    if (button < 1 || button > 32) return 0;  // no such bit in the mask
    return ReadJoystick(slot, &x, &y, &buttons) && (buttons & (1u << (button - 1))) != 0;
}

int ScanJoysticks()
{
    for (auto& id : joystickIds) id = -1;
    int found = 0;
    for (int id = 0; id < JOYSTICK_SLOTS; id++) {
        unsigned x, y, buttons;
        if (PlatformJoystickPos(id, &x, &y, &buttons)) joystickIds[found++] = static_cast<int16_t>(id);
    }
    return found;
}
