// The game window on Windows: the "WCNAME" class, its procedure, the queue of
// events the procedure fills for PumpMessages, and the window's size and title.
#include "platform/windows/win_internal.h"

#include <cstdio>

#include <deque>
#include <mmsystem.h>

#include "platform/scaling/scaling.h"

HWND mainWindow = nullptr;
HDC windowDC = nullptr;

static std::deque<PlatformEvent> pendingEvents;
static bool windowFocused = true;  // until the system says otherwise
static bool focusLost = false;     // since the game last asked

static void SetFocused(bool focused) {
    if (!focused) focusLost = true;
    windowFocused = focused;
}

void QueuePlatformEvent(int type, int musicReason) {
    pendingEvents.push_back(PlatformEvent{type, musicReason});
}

// Messages are only turned into events here; the game's own window procedure
// (in the shell) decides what a close request or a finished song means, on its
// next PumpMessages.
static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT: {
        // The next present repaints the window.
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        // Never passed on: DefWindowProc would destroy the window before the
        // player has answered the confirmation.
        QueuePlatformEvent(PLATFORM_EVENT_CLOSE, 0);
        return 0;
    case WM_MOUSEWHEEL:
        // Up, away from the player, is positive, as the game counts it.
        AddWheelDelta(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // Bit 30: the key was already down, a repeat of the system's.
        if ((lParam & (1L << 30)) == 0) AddKeyPress(static_cast<int>(wParam));
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_DEVICECHANGE:
        QueuePlatformEvent(PLATFORM_EVENT_DEVICE_CHANGE, 0);
        return 0;
    case WM_ACTIVATE:
        // Another program's window came to the front (or this one went back
        // there); minimised counts as away.
        SetFocused(LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        SetFocused(message == WM_SETFOCUS);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SYSCHAR:
        // Alt+Enter switches the display (the frame loop reads the keys);
        // the window has no menu for it, and the system would beep.
        if (wParam == VK_RETURN) return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    case MM_MCINOTIFY:
        QueuePlatformEvent(PLATFORM_EVENT_MUSIC_DONE, static_cast<int>(wParam));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void CreateGameWindow() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    // No class cursor: the game sets the pointer itself with SetCursor, and a
    // class cursor would bring the arrow back on every mouse move.
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = L"WCNAME";
    RegisterClassW(&windowClass);

    std::wstring title = Utf8ToWide("タイトルです");
    mainWindow = CreateWindowExW(WS_EX_TOPMOST, L"WCNAME", title.c_str(),
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, -10, -10, 3, 3,
                                 nullptr, nullptr, instance, nullptr);
    if (mainWindow == nullptr) {
        // Without a window GetDC would hand out the whole screen's, and every
        // frame would be painted over the desktop.
        fprintf(stderr, "prismveldt: cannot open the game window (error %lu)\n", GetLastError());
        PlatformExit(1);
    }
    UpdateWindow(mainWindow);
    windowDC = GetDC(mainWindow);
    SetStretchBltMode(windowDC, COLORONCOLOR);
}

bool PlatformPollEvent(PlatformEvent* event) {
    if (pendingEvents.empty()) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            // WM_QUIT is dispatched like any other message and changes nothing.
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (pendingEvents.empty()) return false;
    *event = pendingEvents.front();
    pendingEvents.pop_front();
    return true;
}

bool PlatformWindowFocused() {
    // Messages reach the procedure in the game's pump; a loss since the last
    // pump is seen at the next.
    bool focused = windowFocused && !focusLost;
    focusLost = false;
    return focused;
}

void PlatformSetWindowTitle(const char* title) {
    std::wstring wide = Utf8ToWide(title);
    SetWindowTextW(mainWindow, wide.c_str());
}

void PlatformSetWindowed(int x, int y, int clientWidth, int clientHeight, bool captionless) {
    pictureWidth = clientWidth > 0 ? clientWidth : 1;
    pictureHeight = clientHeight > 0 ? clientHeight : 1;
    // Caption, system menu, minimise and maximise boxes and a sizing border:
    // the player may make the window any size, the picture follows.
    DWORD frameStyle = captionless ? WS_POPUP
                                   : (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME);
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRect(&frame, frameStyle, FALSE);
    int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    // On a screen too small for the picture the window starts as large as
    // fits in the work area (the desktop less its task bar). A high-DPI
    // desktop enlarges the whole window itself: the game does not declare
    // itself DPI-aware.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    RECT work = {0, 0, 0, 0};
    POINT corner = {x, y};
    if (GetMonitorInfoW(MonitorFromPoint(corner, MONITOR_DEFAULTTOPRIMARY), &monitor)) work = monitor.rcWork;
    int width, height;
    WindowedClientSize(pictureWidth, pictureHeight, 1.0, work.right - work.left - frameWidth,
                       work.bottom - work.top - frameHeight, &width, &height);
    int outerWidth = width + frameWidth, outerHeight = height + frameHeight;
    // The outer corner goes to (x, y), moved in where that would put part of
    // the window off the work area.
    int outerX = x, outerY = y;
    if (work.right > work.left && work.bottom > work.top) {
        if (outerX + outerWidth > work.right) outerX = work.right - outerWidth;
        if (outerY + outerHeight > work.bottom) outerY = work.bottom - outerHeight;
        if (outerX < work.left) outerX = work.left;
        if (outerY < work.top) outerY = work.top;
    }
    SetWindowLongW(mainWindow, GWL_STYLE, static_cast<LONG>(frameStyle | WS_VISIBLE));
    // SWP_FRAMECHANGED makes the new frame style take effect now rather than
    // on the next resize.
    SetWindowPos(mainWindow, HWND_TOPMOST, outerX, outerY, outerWidth, outerHeight,
                 SWP_SHOWWINDOW | SWP_FRAMECHANGED);
}

void PlatformDestroyWindow() {
    if (mainWindow == nullptr) return;
    HWND window = mainWindow;
    DestroyWindow(window);
    if (windowDC != nullptr) ReleaseDC(window, windowDC);
    windowDC = nullptr;
    mainWindow = nullptr;
}
