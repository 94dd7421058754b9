// Pointer, keys and joysticks on Windows: the system-wide key state, the screen
// cursor and the multimedia joystick interface, all polled.
#include "platform/windows/win_internal.h"

#include <mmsystem.h>

void PlatformShowCursor(bool visible) {
    // The class has no cursor of its own, so what SetCursor sets stays put.
    SetCursor(visible ? LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)) : nullptr); // IDC_ARROW
}

// The screen cursor, measured from the client area's origin.
void PlatformGetPointer(int* x, int* y) {
    POINT point = {0, 0};
    GetCursorPos(&point);
    ScreenToClient(mainWindow, &point);
    *x = point.x;
    *y = point.y;
}

void PlatformSetPointer(int x, int y) {
    POINT point = {x, y};
    ClientToScreen(mainWindow, &point);
    SetCursorPos(point.x, point.y);
}

bool PlatformIsKeyHeld(int virtualKey) {
    // Bit 0x8000: held now. The "pressed since last asked" bit is not wanted.
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
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
