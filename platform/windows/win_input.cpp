// Pointer, keys, wheel and joysticks on Windows: the system-wide key state, the
// screen cursor and the multimedia joystick interface, all polled; the wheel's
// turns as the window procedure hands them on.
#include "platform/windows/win_internal.h"

#include <mmsystem.h>

#include <cmath>

#include "platform/scaling/scaling.h"

void PlatformShowCursor(bool visible) {
    // The class has no cursor of its own, so what SetCursor sets stays put.
    SetCursor(visible ? LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)) : nullptr); // IDC_ARROW
}

// The screen cursor, measured from the client area's origin and taken
// through the picture's place in it.
void PlatformGetPointer(int* x, int* y) {
    POINT point = {0, 0};
    GetCursorPos(&point);
    ScreenToClient(mainWindow, &point);
    PictureRect rect = PictureInClient();
    if (rect.width <= 0 || rect.height <= 0) {  // minimised: nothing is shown
        *x = point.x;
        *y = point.y;
        return;
    }
    PictureFromOutput(rect, pictureWidth, pictureHeight, point.x + 0.5, point.y + 0.5, x, y);
}

void PlatformSetPointer(int x, int y) {
    POINT point = {x, y};
    PictureRect rect = PictureInClient();
    if (rect.width > 0 && rect.height > 0) {
        double clientX, clientY;
        OutputFromPicture(rect, pictureWidth, pictureHeight, x, y, &clientX, &clientY);
        point.x = static_cast<LONG>(std::floor(clientX));
        point.y = static_cast<LONG>(std::floor(clientY));
    }
    ClientToScreen(mainWindow, &point);
    SetCursorPos(point.x, point.y);
}

bool PlatformIsKeyHeld(int virtualKey) {
    // Bit 0x8000: held now. The "pressed since last asked" bit is not wanted.
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

// Presses as the window procedure saw them go down; the mouse's buttons come
// as other messages and count none.
static int keyPresses[256];

void AddKeyPress(int virtualKey) {
    if (virtualKey > 0 && virtualKey < 256 && keyPresses[virtualKey] < KEY_PRESSES_HELD)
        keyPresses[virtualKey]++;
}

int PlatformTakeKeyPresses(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return 0;
    int presses = keyPresses[virtualKey];
    keyPresses[virtualKey] = 0;
    return presses;
}

bool PlatformJoystickPos(int id, unsigned* x, unsigned* y, unsigned* buttons) {
    if (id < 0 || id > 15) return false;
    JOYINFO info = {};
    if (joyGetPos(static_cast<UINT>(id), &info) != JOYERR_NOERROR) return false;
    *x = info.wXpos;
    *y = info.wYpos;
    *buttons = info.wButtons;
    return true;
}

// A notch is WHEEL_DELTA; finer wheels send parts of one, which add up. The
// game may never take them: the count is held to a bound.
static int wheelDelta = 0, wheelSteps = 0;
constexpr int WHEEL_STEPS_HELD = 1000000;

void AddWheelDelta(int delta) {
    wheelDelta += delta;
    int steps = wheelDelta / WHEEL_DELTA;  // toward zero: what is left keeps its sign
    wheelDelta -= steps * WHEEL_DELTA;
    wheelSteps += steps;
    if (wheelSteps > WHEEL_STEPS_HELD) wheelSteps = WHEEL_STEPS_HELD;
    if (wheelSteps < -WHEEL_STEPS_HELD) wheelSteps = -WHEEL_STEPS_HELD;
}

int PlatformTakeWheelSteps() {
    int steps = wheelSteps;
    wheelSteps = 0;
    return steps;
}
