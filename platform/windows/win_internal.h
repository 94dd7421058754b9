// What the Windows backend's own files share: the game window, its device
// context and the picture shown in it, the event queue its procedure fills,
// and UTF-8 to UTF-16 conversion. Everything runs on the game's one thread,
// the one that made the window, which is also where the window procedure runs
// whenever messages reach it (in PlatformPollEvent, in a message box's own
// loop, or in a call that sends the window a message).
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <xinput.h>
#include <string>

#include "platform/platform.h"

// The one game window of class "WCNAME" and the device context every frame is
// presented to; both live from PlatformInit to PlatformDestroyWindow, and are
// nullptr outside that.
extern HWND mainWindow;
extern HDC windowDC;
// The client size the shell last asked for, windowed or full screen (1 x 1
// until then): the size of the frames it presents.
extern int pictureWidth, pictureHeight;

struct PictureRect;
// Where a picture of pictureWidth x pictureHeight goes in the client area as
// it is now: as large as fits, centred. Empty when the client area is empty
// (minimised, or no window).
PictureRect PictureInClient();

// Registers the class "WCNAME" and makes the start-up window: 3 x 3 at
// (-10, -10), topmost and shown, until the shell shapes it; sets mainWindow
// and windowDC. Once, at start-up, on the game's thread.
void CreateGameWindow();
// Appends an event for PlatformPollEvent (a music end's reason is the
// system's MCI notification code, which the MUSIC_DONE_* values match).
void QueuePlatformEvent(int type, int musicReason);
// The mouse wheel turned by delta (WM_MOUSEWHEEL's, WHEEL_DELTA a notch, up
// positive): whole notches for PlatformTakeWheelSteps, the rest kept for the
// next turn.
void AddWheelDelta(int delta);
// A key went down (WM_KEYDOWN or WM_SYSKEYDOWN, not a repeat): one press of
// its virtual key for PlatformTakeKeyPresses.
void AddKeyPress(int virtualKey);

// The pad's parts as SDL names them (platform.h's PadState) from XInput's:
// the sticks turned down-positive, the triggers 0..32767, the buttons in
// SDL's numbering (the guide button, which XInput has not, never held).
void PadStateFromXInput(const XINPUT_GAMEPAD& gamepad, PadState* state);
// Stops the rumble PlatformRumblePad started, if it still runs; before the
// program ends or a message box takes the thread, so that no pad is left
// rumbling while no frame reads it.
void StopPadRumble();
// XInput's calls, as its library exports them.
typedef DWORD WINAPI XInputGetStateFunction(DWORD user, XINPUT_STATE* state);
typedef DWORD WINAPI XInputSetStateFunction(DWORD user, XINPUT_VIBRATION* vibration);
// Reads the pads through these instead of XInput's library (the self-test's
// pads), forgetting every pad seen so far; either nullptr: XInput's library
// again, as at start-up. Not for the game itself.
void UseXInputFunctions(XInputGetStateFunction* get, XInputSetStateFunction* set);

// The game's UTF-8 text as UTF-16 for the W functions, a copy the caller
// owns; empty for nullptr or "". Malformed bytes come out as the system's
// converter makes them, or byte for byte should it refuse the text.
std::wstring Utf8ToWide(const char* text);
