// What the Windows backend's own files share: the game window, its device
// context and the picture shown in it, the event queue its procedure fills,
// and UTF-8 to UTF-16 conversion.
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
// presented to; both live from PlatformInit to PlatformDestroyWindow.
extern HWND mainWindow;
extern HDC windowDC;
// The client size the shell last asked for: the size of the frames it presents.
extern int pictureWidth, pictureHeight;

struct PictureRect;
// Called by the pointer functions and PlatformPresent: where the picture is
// shown in the client area, as large as fits.
PictureRect PictureInClient();

// Called by PlatformInit; registers "WCNAME" and creates the 3 x 3 start-up window.
void CreateGameWindow();
// Called by the window procedure; appends an event for PlatformPollEvent.
void QueuePlatformEvent(int type, int musicReason);
// Called by everything that hands the game's UTF-8 texts to the W functions.
std::wstring Utf8ToWide(const char* text);
