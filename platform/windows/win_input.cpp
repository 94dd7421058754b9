// Pointer, keys and joysticks on Windows: the system-wide key state, the screen
// cursor and the multimedia joystick interface, all polled.
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

bool PlatformJoystickPos(int id, unsigned* x, unsigned* y, unsigned* buttons) {
    if (id < 0 || id > 15) return false;
    JOYINFO info = {};
    if (joyGetPos(static_cast<UINT>(id), &info) != JOYERR_NOERROR) return false;
    *x = info.wXpos;
    *y = info.wYpos;
    *buttons = info.wButtons;
    return true;
}

// The pad comes later; until then there is none.
bool PlatformReadPad(PadState* state) {
    *state = PadState{};
    return false;
}
void PlatformRumblePad(int, uint32_t) {}
int PlatformTakeWheelSteps() { return 0; }
