// Full screen and presenting on Windows: the display-mode switch where the
// monitor offers the game's size, else a borderless window over the whole
// monitor; each finished frame copied to the window's device context, scaled
// to the client area with black bars where its shape differs.
#include "platform/windows/win_internal.h"

#include <dwmapi.h>

#include <vector>

#include "platform/scaling/scaling.h"

int pictureWidth = 1, pictureHeight = 1;
static std::vector<uint32_t> scaledFrame;
static bool fullscreen = false;
static bool vsync = false;

static DEVMODEA DisplayModeRecord(int width, int height) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof(DEVMODEA);
    // Only the size: colour depth and refresh rate stay as the desktop has them.
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    return mode;
}

// Every monitor can show the full screen: scaled, where it has no mode of
// the game's size.
bool PlatformTestFullscreen(int width, int height) {
    return width > 0 && height > 0;
}

void PlatformSetFullscreen(int width, int height) {
    pictureWidth = width > 0 ? width : 1;
    pictureHeight = height > 0 ? height : 1;
    DEVMODEA mode = DisplayModeRecord(width, height);
    RECT cover = {0, 0, width, height};
    if (ChangeDisplaySettingsA(&mode, CDS_TEST) == DISP_CHANGE_SUCCESSFUL) {
        ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
    } else {
        // No such mode: the desktop keeps its own, and the window covers the
        // monitor it is on.
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoW(MonitorFromWindow(mainWindow, MONITOR_DEFAULTTOPRIMARY), &monitor))
            cover = monitor.rcMonitor;
    }
    SetWindowLongW(mainWindow, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_VISIBLE));
    SetWindowPos(mainWindow, HWND_TOPMOST, cover.left, cover.top, cover.right - cover.left,
                 cover.bottom - cover.top, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    fullscreen = true;
}

void PlatformRestoreDisplay() {
    ChangeDisplaySettingsA(nullptr, 0);
    fullscreen = false;
}

bool PlatformIsFullscreen() {
    return fullscreen;
}

// GDI draws into the window at once; what waits for the display is the
// desktop's compositor, which shows the window's new pixels at its next
// refresh. Waiting for that composition (DwmFlush) after each present ties
// the frames to the refresh. Without composition (Windows 7's basic theme)
// DwmFlush returns at once, and the frames are shown as they come.
void PlatformSetVsync(bool on) {
    vsync = on;
}

PictureRect PictureInClient() {
    RECT client = {};
    GetClientRect(mainWindow, &client);
    return FitPicture(pictureWidth, pictureHeight, client.right - client.left, client.bottom - client.top);
}

static void ShowPixels(int x, int y, int width, int height, const uint32_t* pixels, int pitch) {
    // 0x00RRGGBB words are exactly a 32-bit DIB's blue, green, red, pad bytes;
    // a negative height says the rows run top-down like ours.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = pitch;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(windowDC, x, y, width, height, 0, 0, width, height, pixels, &info, DIB_RGB_COLORS, SRCCOPY);
}

void PlatformPresent(const uint32_t* pixels, int width, int height, int pitch) {
    if (windowDC == nullptr || pixels == nullptr || width <= 0 || height <= 0 || pitch < width) return;
    RECT client = {};
    GetClientRect(mainWindow, &client);
    int clientWidth = client.right - client.left, clientHeight = client.bottom - client.top;
    if (clientWidth <= 0 || clientHeight <= 0) return;  // minimised
    PictureRect rect = FitPicture(width, height, clientWidth, clientHeight);
    // The bars: above, below, left and right of the picture.
    PatBlt(windowDC, 0, 0, clientWidth, rect.y, BLACKNESS);
    PatBlt(windowDC, 0, rect.y + rect.height, clientWidth, clientHeight - rect.y - rect.height, BLACKNESS);
    PatBlt(windowDC, 0, rect.y, rect.x, rect.height, BLACKNESS);
    PatBlt(windowDC, rect.x + rect.width, rect.y, clientWidth - rect.x - rect.width, rect.height, BLACKNESS);
    if (rect.width == width && rect.height == height) {
        ShowPixels(rect.x, rect.y, width, height, pixels, pitch);
        if (vsync) DwmFlush();
        return;
    }
    // GDI's own stretching is either blocky or slow and soft; the game's
    // scaler gives the same sharp picture as on the other desktops.
    scaledFrame.resize(static_cast<size_t>(rect.width) * rect.height);
    DrawPicture(pixels, width, height, pitch, scaledFrame.data(), rect.width, rect.height, rect.width,
                PictureRect{0, 0, rect.width, rect.height}, ChooseFilter(width, height, rect, SCALE_CHOICE_AUTO));
    ShowPixels(rect.x, rect.y, rect.width, rect.height, scaledFrame.data(), rect.width);
    if (vsync) DwmFlush();
}
