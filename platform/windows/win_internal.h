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
// The game's UTF-8 text as UTF-16 for the W functions, a copy the caller
// owns; empty for nullptr or "". Malformed bytes come out as the system's
// converter makes them, or byte for byte should it refuse the text.
std::wstring Utf8ToWide(const char* text);
