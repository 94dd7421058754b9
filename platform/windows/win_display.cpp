// Full screen and presenting on Windows: the display-mode switch with its test
// and the copy of each finished frame to the window's device context.
#include "platform/windows/win_internal.h"

static DEVMODEA DisplayModeRecord(int width, int height) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof(DEVMODEA);
    // Only the size: colour depth and refresh rate stay as the desktop has them.
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    return mode;
}

bool PlatformTestFullscreen(int width, int height) {
    DEVMODEA mode = DisplayModeRecord(width, height);
    return ChangeDisplaySettingsA(&mode, CDS_TEST) == DISP_CHANGE_SUCCESSFUL;
}

void PlatformSetFullscreen(int width, int height) {
    DEVMODEA mode = DisplayModeRecord(width, height);
    ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
    SetWindowLongW(mainWindow, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_VISIBLE));
    SetWindowPos(mainWindow, HWND_TOPMOST, 0, 0, width, height, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
}

void PlatformRestoreDisplay() {
    ChangeDisplaySettingsA(nullptr, 0);
}

void PlatformPresent(const uint32_t* pixels, int width, int height, int pitch) {
    if (windowDC == nullptr || pixels == nullptr || width <= 0 || height <= 0 || pitch < width) return;
    // 0x00RRGGBB words are exactly a 32-bit DIB's blue, green, red, pad bytes;
    // a negative height says the rows run top-down like ours.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = pitch;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(windowDC, 0, 0, width, height, 0, 0, width, height, pixels, &info,
                  DIB_RGB_COLORS, SRCCOPY);
}
