// Checks of the Windows backend on a real (or Wine's) Windows: the window and
// its events, presenting (scaled, and the scaled full screen), the frame
// wait, the GDI glyph source, the one-step file replace replacing a file, the
// settings folder, HTTP to the records board (WinHTTP, when the smoke
// started one and named it in PRISMVELDT_BOARD_URL), and the wheel and the pad (XInput's, and pads of the
// test's own put in its place). Run by tools/windows-smoke.sh; exit status 0 when all
// pass.
// GoogleTest has no MinGW build in Debian, hence the few lines of CHECK below.
#include "platform/windows/win_internal.h"

#include <mmsystem.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/scaling/scaling.h"

static int failures = 0;
static int checks = 0;
#define CHECK(condition)                                                         \
    do {                                                                         \
        ++checks;                                                                \
        if (!(condition)) {                                                      \
            ++failures;                                                          \
            std::printf("FAILED %s:%d: %s\n", __FILE__, __LINE__, #condition);   \
        }                                                                        \
    } while (0)

static void CheckTextConversion() {
    CHECK(Utf8ToWide("") == L"");
    CHECK(Utf8ToWide(nullptr) == L"");
    CHECK(Utf8ToWide("Prismveldt") == L"Prismveldt");
    // "確認": U+78BA U+8A8D
    CHECK(Utf8ToWide("確認") == std::wstring(L"\x78BA\x8A8D"));
}

static void CheckWindowAndEvents() {
    CHECK(mainWindow != nullptr);
    CHECK(windowDC != nullptr);
    wchar_t className[32] = {};
    GetClassNameW(mainWindow, className, 32);
    CHECK(std::wstring(className) == L"WCNAME");
    CHECK((GetWindowLongW(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);

    // The focus as the window procedure hears of it: a loss is told once even
    // when it is over by the time the game asks.
    PlatformWindowFocused();  // whatever came before
    SendMessageW(mainWindow, WM_KILLFOCUS, 0, 0);
    SendMessageW(mainWindow, WM_SETFOCUS, 0, 0);
    CHECK(!PlatformWindowFocused());
    CHECK(PlatformWindowFocused());
    SendMessageW(mainWindow, WM_ACTIVATE, WA_INACTIVE, 0);
    CHECK(!PlatformWindowFocused());
    CHECK(!PlatformWindowFocused());  // still away
    SendMessageW(mainWindow, WM_ACTIVATE, WA_ACTIVE, 0);
    CHECK(PlatformWindowFocused());

    PlatformSetWindowTitle("本当に終了しますか？");
    wchar_t title[64] = {};
    GetWindowTextW(mainWindow, title, 64);
    CHECK(std::wstring(title) == Utf8ToWide("本当に終了しますか？"));

    // A captioned window the player may resize, whose client area is exactly
    // as asked where the screen has room for it.
    PlatformSetWindowed(0, 0, 1280, 720, false);
    RECT client = {};
    GetClientRect(mainWindow, &client);
    CHECK(client.right - client.left == 1280);
    CHECK(client.bottom - client.top == 720);
    LONG style = GetWindowLongW(mainWindow, GWL_STYLE);
    CHECK((style & WS_CAPTION) == WS_CAPTION);
    CHECK((style & WS_THICKFRAME) != 0);
    CHECK((style & WS_MAXIMIZEBOX) != 0);
    RECT outer = {};
    GetWindowRect(mainWindow, &outer);
    CHECK(outer.left == 0 && outer.top == 0);
    POINT origin = {0, 0};
    ClientToScreen(mainWindow, &origin);
    CHECK(origin.y > 0); // below the caption
    // The pointer is measured from the client area's corner.
    PlatformSetPointer(100, 50);
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    CHECK(cursor.x == origin.x + 100 && cursor.y == origin.y + 50);
    int pointerX = -1, pointerY = -1;
    PlatformGetPointer(&pointerX, &pointerY);
    CHECK(pointerX == 100 && pointerY == 50);

    // On a screen too small for it the window starts as large as fits, whole.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(mainWindow, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT work = monitor.rcWork;
    int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    PlatformSetWindowed(0, 0, workWidth * 2, workHeight * 2, false);
    RECT outerBig = {};
    GetWindowRect(mainWindow, &outerBig);
    GetClientRect(mainWindow, &client);
    CHECK(outerBig.left >= work.left && outerBig.top >= work.top);
    CHECK(outerBig.right <= work.right && outerBig.bottom <= work.bottom);
    CHECK(client.right >= workWidth * 8 / 10 || client.bottom >= workHeight * 8 / 10);
    std::printf("a window of %d x %d on a work area of %d x %d starts at %ld x %ld\n", workWidth * 2,
                workHeight * 2, workWidth, workHeight, client.right, client.bottom);

    // Without a title: no caption at all.
    PlatformSetWindowed(10, 20, 320, 200, true);
    style = GetWindowLongW(mainWindow, GWL_STYLE);
    CHECK((style & WS_CAPTION) != WS_CAPTION);
    GetClientRect(mainWindow, &client);
    CHECK(client.right == 320 && client.bottom == 200);
    PlatformSetWindowed(0, 0, 1280, 720, false);

    // Messages become events, in order; the close request leaves the window be.
    PlatformEvent event;
    while (PlatformPollEvent(&event)) {}
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    PostMessageW(mainWindow, MM_MCINOTIFY, MCI_NOTIFY_ABORTED, 0);
    PostMessageW(mainWindow, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 0);
    PostMessageW(mainWindow, WM_DEVICECHANGE, 7, 0);
    std::vector<PlatformEvent> events;
    while (PlatformPollEvent(&event)) events.push_back(event);
    CHECK(events.size() == 4);
    if (events.size() == 4) {
        CHECK(events[0].type == PLATFORM_EVENT_CLOSE);
        CHECK(events[1].type == PLATFORM_EVENT_MUSIC_DONE && events[1].musicReason == MUSIC_DONE_ABORTED);
        CHECK(events[2].type == PLATFORM_EVENT_MUSIC_DONE && events[2].musicReason == MUSIC_DONE_SUCCESSFUL);
        CHECK(events[3].type == PLATFORM_EVENT_DEVICE_CHANGE);
    }
    CHECK(IsWindow(mainWindow));
    CHECK(!PlatformPollEvent(&event));
    // A quit message is taken from the queue and changes nothing.
    PostQuitMessage(0);
    CHECK(!PlatformPollEvent(&event));
    CHECK(IsWindow(mainWindow));
}

// The colour the window shows at client pixel (x, y), or CLR_INVALID where
// the driver cannot read the screen back.
static COLORREF Shown(int x, int y) {
    GdiFlush();
    return GetPixel(windowDC, x, y);
}

static void CheckPresent() {
    // 0x00RRGGBB pixels land as those colours; the pitch skips the padding.
    const int width = 320, height = 180, pitch = 336;
    PlatformSetWindowed(0, 0, width, height, false);
    std::vector<uint32_t> frame(static_cast<size_t>(pitch) * height, 0x00FF00FF);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) frame[static_cast<size_t>(y) * pitch + x] = y < 90 ? 0x00FF0000 : 0x000000FF;
    PlatformPresent(frame.data(), width, height, pitch);
    if (Shown(5, 5) != CLR_INVALID) { // some drivers cannot read the screen back
        CHECK(Shown(5, 5) == RGB(255, 0, 0));
        CHECK(Shown(5, 100) == RGB(0, 0, 255));
        CHECK(Shown(319, 5) == RGB(255, 0, 0)); // padding not shown
    }
    PlatformPresent(nullptr, width, height, pitch); // ignored, no crash
    PlatformPresent(frame.data(), width, height, width - 1);

    // With vertical sync a present waits for the desktop's composition, a
    // refresh at most, never long.
    PlatformSetVsync(true);
    DWORD before = GetTickCount();
    for (int i = 0; i < 10; i++) PlatformPresent(frame.data(), width, height, pitch);
    CHECK(GetTickCount() - before < 1000);
    PlatformSetVsync(false);

    // A frame of half the client's size is shown twice as large.
    PlatformPresent(frame.data(), width / 2, height / 2, pitch);
    if (Shown(5, 5) != CLR_INVALID) {
        CHECK(Shown(300, 5) == RGB(255, 0, 0));
        CHECK(Shown(300, 175) == RGB(255, 0, 0)); // all of it the top half's red
    }
}

// Full screen at a size no monitor offers: the desktop keeps its mode, the
// window covers the monitor, the picture is scaled into it with black bars,
// and the pointer is taken through the same scale.
static void CheckScaledFullScreen() {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(mainWindow, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT screen = monitor.rcMonitor;
    int screenWidth = screen.right - screen.left, screenHeight = screen.bottom - screen.top;
    DEVMODEA before = {};
    before.dmSize = sizeof before;
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &before);

    const int width = 1279, height = 719;
    CHECK(PlatformTestFullscreen(width, height));
    CHECK(!PlatformIsFullscreen());
    PlatformSetFullscreen(width, height);
    CHECK(PlatformIsFullscreen());
    DEVMODEA during = {};
    during.dmSize = sizeof during;
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &during);
    CHECK(during.dmPelsWidth == before.dmPelsWidth && during.dmPelsHeight == before.dmPelsHeight);
    RECT client = {};
    GetClientRect(mainWindow, &client);
    CHECK(client.right == screenWidth && client.bottom == screenHeight);
    CHECK((GetWindowLongW(mainWindow, GWL_STYLE) & WS_CAPTION) != WS_CAPTION);
    CHECK((GetWindowLongW(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    std::printf("full screen of %d x %d on a monitor of %d x %d\n", width, height, screenWidth, screenHeight);

    PictureRect rect = FitPicture(width, height, screenWidth, screenHeight);
    std::vector<uint32_t> frame(static_cast<size_t>(width) * height, 0x0000FF00);
    PlatformPresent(frame.data(), width, height, width);
    if (Shown(screenWidth / 2, screenHeight / 2) != CLR_INVALID) {
        CHECK(Shown(screenWidth / 2, screenHeight / 2) == RGB(0, 255, 0));
        CHECK(Shown(rect.x, rect.y) == RGB(0, 255, 0));
        CHECK(Shown(rect.x + rect.width - 1, rect.y + rect.height - 1) == RGB(0, 255, 0));
        if (rect.y > 0) CHECK(Shown(rect.x, rect.y - 1) == RGB(0, 0, 0));
        if (rect.x > 0) CHECK(Shown(rect.x - 1, rect.y) == RGB(0, 0, 0));
    }

    // The pointer put on the picture's corners and middle reads back there,
    // over the screen pixel the picture shows it at.
    for (POINT at : {POINT{0, 0}, POINT{width - 1, height - 1}, POINT{650, 500}}) {
        PlatformSetPointer(at.x, at.y);
        POINT cursor = {};
        GetCursorPos(&cursor);
        long expectedX = screen.left + static_cast<long>(rect.x + (at.x + 0.5) * rect.width / width);
        long expectedY = screen.top + static_cast<long>(rect.y + (at.y + 0.5) * rect.height / height);
        CHECK(cursor.x == expectedX && cursor.y == expectedY);
        int x = -1, y = -1;
        PlatformGetPointer(&x, &y);
        CHECK(x == at.x && y == at.y);
    }

    PlatformRestoreDisplay();
    CHECK(!PlatformIsFullscreen());
    PlatformSetWindowed(0, 0, 1280, 720, false);
}

static void CheckTime() {
    uint32_t start = PlatformTimeMs();
    uint32_t longest = 0, shortest = 1000;
    for (int i = 0; i < 20; ++i) {
        uint32_t before = PlatformTimeMs();
        PlatformWaitFrame(before, 16);
        uint32_t took = PlatformTimeMs() - before;
        if (took > longest) longest = took;
        if (took < shortest) shortest = took;
    }
    CHECK(shortest >= 16);
    std::printf("frame wait: 16 ms asked, %u..%u ms taken\n", shortest, longest);
    CHECK(PlatformTimeMs() - start >= 20 * 16);
    // An old frame start: no wait at all.
    uint32_t before = PlatformTimeMs();
    PlatformWaitFrame(before - 100, 16);
    CHECK(PlatformTimeMs() - before <= 2);
}

static void CheckInputAndAudio() {
    CHECK(!PlatformIsKeyHeld(0x7B)); // F12, nobody holds it
    unsigned x = 0, y = 0, buttons = 0;
    CHECK(!PlatformJoystickPos(99, &x, &y, &buttons));
    CHECK(!PlatformJoystickPos(-1, &x, &y, &buttons));
    // A path too long for the 256-byte command is refused, not cut short.
    std::string longPath = "./se/" + std::string(300, 'a') + ".mp3";
    CHECK(!PlatformOpenMusic(longPath.c_str()));
    CHECK(!PlatformOpenMusic("./se/no-such-music.mp3"));
    PlatformStopMusic();  // nothing open: fails quietly
    PlatformCloseMusic();
    PlatformStopSound();
    // A missing feedback sound is silence, never the system's default sound.
    CHECK(!PlatformPlayFeedback("./se/no-such-feedback.wav"));
    std::string longFeedback = "./se/" + std::string(300, 'a') + ".wav";
    CHECK(!PlatformPlayFeedback(longFeedback.c_str()));
    PlatformStopFeedback();  // nothing open: fails quietly
}

static void CheckWheel() {
    CHECK(PlatformTakeWheelSteps() == 0);
    SendMessageW(mainWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    SendMessageW(mainWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    CHECK(PlatformTakeWheelSteps() == 2);
    CHECK(PlatformTakeWheelSteps() == 0);
    // A fine wheel's parts of a notch add up; toward the player is negative.
    SendMessageW(mainWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, 40), 0);
    SendMessageW(mainWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, 40), 0);
    CHECK(PlatformTakeWheelSteps() == 0);
    SendMessageW(mainWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, 40), 0);
    CHECK(PlatformTakeWheelSteps() == 1);
    SendMessageW(mainWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-3 * WHEEL_DELTA - 10)), 0);
    CHECK(PlatformTakeWheelSteps() == -3);
    SendMessageW(mainWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, 10), 0);  // the -10 left over, undone
    SendMessageW(mainWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA - 1), 0);
    CHECK(PlatformTakeWheelSteps() == 0);
}

// The test's own pads in XInput's four slots: what each holds, whether it is
// plugged in, how often each was asked, and the last rumble sent to each.
static struct {
    bool connected[XUSER_MAX_COUNT];
    XINPUT_GAMEPAD gamepad[XUSER_MAX_COUNT];
    int asked[XUSER_MAX_COUNT];
    int motor[XUSER_MAX_COUNT];
} fakePads;

static DWORD WINAPI FakeGetState(DWORD user, XINPUT_STATE* state) {
    if (user >= XUSER_MAX_COUNT) return ERROR_BAD_ARGUMENTS;
    fakePads.asked[user]++;
    if (!fakePads.connected[user]) return ERROR_DEVICE_NOT_CONNECTED;
    state->dwPacketNumber = 1;
    state->Gamepad = fakePads.gamepad[user];
    return ERROR_SUCCESS;
}

static DWORD WINAPI FakeSetState(DWORD user, XINPUT_VIBRATION* vibration) {
    if (user >= XUSER_MAX_COUNT || !fakePads.connected[user]) return ERROR_DEVICE_NOT_CONNECTED;
    CHECK(vibration->wLeftMotorSpeed == vibration->wRightMotorSpeed);
    fakePads.motor[user] = vibration->wLeftMotorSpeed;
    return ERROR_SUCCESS;
}

static void CheckPadMapping() {
    // Every button on its own lands on SDL's number; the guide is never held.
    const struct {
        WORD bit;
        int sdl;
    } buttons[] = {
        {XINPUT_GAMEPAD_A, 0}, {XINPUT_GAMEPAD_B, 1}, {XINPUT_GAMEPAD_X, 2}, {XINPUT_GAMEPAD_Y, 3},
        {XINPUT_GAMEPAD_BACK, 4}, {XINPUT_GAMEPAD_START, 6}, {XINPUT_GAMEPAD_LEFT_THUMB, 7},
        {XINPUT_GAMEPAD_RIGHT_THUMB, 8}, {XINPUT_GAMEPAD_LEFT_SHOULDER, 9},
        {XINPUT_GAMEPAD_RIGHT_SHOULDER, 10}, {XINPUT_GAMEPAD_DPAD_UP, 11},
        {XINPUT_GAMEPAD_DPAD_DOWN, 12}, {XINPUT_GAMEPAD_DPAD_LEFT, 13},
        {XINPUT_GAMEPAD_DPAD_RIGHT, 14},
    };
    PadState state;
    for (const auto& button : buttons) {
        XINPUT_GAMEPAD gamepad = {};
        gamepad.wButtons = button.bit;
        PadStateFromXInput(gamepad, &state);
        CHECK(state.buttons == 1u << button.sdl);
    }
    XINPUT_GAMEPAD all = {};
    all.wButtons = 0xFFFF;  // the two bits XInput leaves unused too
    PadStateFromXInput(all, &state);
    CHECK(state.buttons == 0x7FDFu);

    // Up-positive sticks turned down-positive, the far ends within range;
    // triggers from let go to pressed all the way.
    XINPUT_GAMEPAD gamepad = {};
    gamepad.sThumbLX = -32768;
    gamepad.sThumbLY = -32768;
    gamepad.sThumbRX = 32767;
    gamepad.sThumbRY = 32767;
    gamepad.bLeftTrigger = 255;
    gamepad.bRightTrigger = 0;
    PadStateFromXInput(gamepad, &state);
    CHECK(state.axes[PAD_AXIS_LEFT_X] == -32768);
    CHECK(state.axes[PAD_AXIS_LEFT_Y] == 32767);
    CHECK(state.axes[PAD_AXIS_RIGHT_X] == 32767);
    CHECK(state.axes[PAD_AXIS_RIGHT_Y] == -32767);
    CHECK(state.axes[PAD_AXIS_LEFT_TRIGGER] == 32767);
    CHECK(state.axes[PAD_AXIS_RIGHT_TRIGGER] == 0);
    CHECK(state.buttons == 0);
    gamepad.sThumbRY = 0;
    gamepad.sThumbLY = 1000;
    gamepad.bRightTrigger = 64;  // a quarter of the way: the game's "held" begins about there
    PadStateFromXInput(gamepad, &state);
    CHECK(state.axes[PAD_AXIS_RIGHT_Y] == 0 && state.axes[PAD_AXIS_LEFT_Y] == -1000);
    CHECK(state.axes[PAD_AXIS_RIGHT_TRIGGER] == 64 * 32767 / 255);
}

static void CheckPad() {
    CheckPadMapping();
    // XInput's own, with no pad plugged in: nothing, all zero, and a rumble
    // that goes nowhere.
    PadState state;
    std::memset(&state, 0x5A, sizeof state);
    CHECK(!PlatformReadPad(&state));
    CHECK(state.buttons == 0 && state.axes[PAD_AXIS_LEFT_Y] == 0 && state.axes[PAD_AXIS_RIGHT_TRIGGER] == 0);
    PlatformRumblePad(70, 350);
    CHECK(!PlatformReadPad(&state));

    // A pad in the second slot: read on every call, the empty slots only at
    // the first look.
    std::memset(&fakePads, 0, sizeof fakePads);
    UseXInputFunctions(FakeGetState, FakeSetState);
    fakePads.connected[1] = true;
    fakePads.gamepad[1].sThumbRY = 20000;
    fakePads.gamepad[1].wButtons = XINPUT_GAMEPAD_START;
    CHECK(PlatformReadPad(&state));
    CHECK(state.axes[PAD_AXIS_RIGHT_Y] == -20000 && state.buttons == 1u << 6);
    CHECK(fakePads.asked[0] == 1 && fakePads.asked[2] == 1 && fakePads.asked[3] == 1);
    // A pad plugged into the first slot is found by the next look, a second
    // on; the one that came first stays the pad.
    fakePads.connected[0] = true;
    fakePads.gamepad[0].wButtons = XINPUT_GAMEPAD_A;
    CHECK(PlatformReadPad(&state) && state.buttons == 1u << 6);
    CHECK(fakePads.asked[0] == 1 && fakePads.asked[1] >= 3 && fakePads.asked[3] == 1);

    // The rumble: both motors at the strength (held to 100), stopped by a
    // read once its time has passed.
    PlatformRumblePad(70, 3000);
    CHECK(fakePads.motor[1] == 0xFFFF * 70 / 100);
    CHECK(PlatformReadPad(&state) && fakePads.motor[1] != 0);
    PlatformRumblePad(250, 60000);
    CHECK(fakePads.motor[1] == 0xFFFF);
    PlatformRumblePad(70, 50);
    Sleep(1100);
    int askedBefore = fakePads.asked[0];
    CHECK(PlatformReadPad(&state) && state.buttons == 1u << 6);
    CHECK(fakePads.motor[1] == 0);
    CHECK(fakePads.asked[0] == askedBefore + 1 && fakePads.asked[3] == 2);
    PlatformRumblePad(0, 350);
    CHECK(fakePads.motor[1] == 0);

    // Pulled out: the next read goes to the pad that came next, then to none.
    fakePads.connected[1] = false;
    CHECK(PlatformReadPad(&state) && state.buttons == 1u << 0);
    fakePads.connected[0] = false;
    std::memset(&state, 0x5A, sizeof state);
    CHECK(!PlatformReadPad(&state));
    CHECK(state.buttons == 0 && state.axes[PAD_AXIS_RIGHT_Y] == 0);
    PlatformRumblePad(70, 350);  // no pad: nothing to rumble
    CHECK(fakePads.motor[0] == 0 && fakePads.motor[1] == 0);
    UseXInputFunctions(nullptr, nullptr);
    CHECK(!PlatformReadPad(&state));
}

struct InkCount {
    long inked;
    int glyphs;
    bool insideBox;
    int minX, maxX;
};

static void CountInk(void* context, const GlyphCoverage& glyph) {
    InkCount* count = static_cast<InkCount*>(context);
    count->glyphs++;
    for (int row = 0; row < glyph.height; ++row)
        for (int column = 0; column < glyph.width; ++column)
            if (glyph.coverage[row * glyph.pitch + column] > 128) {
                count->inked++;
                int x = glyph.x + column;
                if (x < count->minX) count->minX = x;
                if (x > count->maxX) count->maxX = x;
            }
    count->insideBox = glyph.pitch >= glyph.width && glyph.width > 0 && glyph.height > 0;
}

static void CheckGlyphs() {
    GlyphFont impact = PlatformOpenGlyphFont("IMPACT", 48, 96);
    CHECK(impact != nullptr);
    if (impact == nullptr) return;
    CHECK(PlatformGlyphCellHeight(impact) == 96);
    CHECK(PlatformGlyphAscent(impact) > 48 && PlatformGlyphAscent(impact) < 96);
    std::printf("IMPACT comes from %s\n", PlatformGlyphFontFamily(impact));
    CHECK(PlatformOpenGlyphFont("IMPACT", 48, 96) == impact); // cached

    int one = PlatformMeasureGlyphText(impact, "0", 1);
    int four = PlatformMeasureGlyphText(impact, "0000", 4);
    CHECK(one > 0);
    CHECK(four == 4 * one); // whole-pixel advances, no kerning
    CHECK(PlatformMeasureGlyphText(impact, "", 0) == 0);
    CHECK(PlatformMeasureGlyphText(impact, "0000", 2) == 2 * one); // only length bytes

    InkCount count = {0, 0, false, 1 << 30, -(1 << 30)};
    PlatformRasteriseGlyphText(impact, "START!!", 7, CountInk, &count);
    CHECK(count.glyphs >= 1);
    CHECK(count.insideBox);
    CHECK(count.inked > 500);
    // The ink lies where the measured line is.
    int width = PlatformMeasureGlyphText(impact, "START!!", 7);
    CHECK(count.minX >= -4 && count.maxX <= width + 4);

    InkCount blank = {0, 0, false, 0, 0};
    PlatformRasteriseGlyphText(impact, "   ", 3, CountInk, &blank);
    CHECK(blank.inked == 0);

    // Japanese in the default face, and bytes that are not UTF-8 at all.
    GlyphFont mincho = PlatformOpenGlyphFont("ＭＳ 明朝", 16, 32);
    CHECK(mincho != nullptr);
    if (mincho != nullptr) {
        std::printf("ＭＳ 明朝 comes from %s\n", PlatformGlyphFontFamily(mincho));
        const char* japanese = "本当に終了しますか？";
        InkCount ink = {0, 0, false, 1 << 30, -(1 << 30)};
        PlatformRasteriseGlyphText(mincho, japanese, static_cast<int>(std::strlen(japanese)), CountInk, &ink);
        CHECK(ink.inked > 200);
        CHECK(PlatformMeasureGlyphText(mincho, japanese, static_cast<int>(std::strlen(japanese))) > 10 * 10);
        const char broken[] = {'A', '\xE3', '\x81', 'B', '\xFF', '\0'};
        CHECK(PlatformMeasureGlyphText(mincho, broken, 5) > 0);
        InkCount any = {0, 0, false, 1 << 30, -(1 << 30)};
        PlatformRasteriseGlyphText(mincho, broken, 5, CountInk, &any);
        CHECK(any.inked > 0);
    }

    // Absurd sizes are held to something drawable.
    GlyphFont huge = PlatformOpenGlyphFont("IMPACT", 100000, 100000);
    CHECK(huge != nullptr);
    if (huge != nullptr) {
        CHECK(PlatformGlyphCellHeight(huge) <= 4096);
        InkCount big = {0, 0, false, 0, 0};
        PlatformRasteriseGlyphText(huge, "W", 1, CountInk, &big);
    }
    CHECK(PlatformGlyphCellHeight(nullptr) == 0);
    CHECK(PlatformMeasureGlyphText(nullptr, "x", 1) == 0);
}

static bool WriteFile(const char* path, const char* text) {
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    std::fputs(text, file);
    return std::fclose(file) == 0;
}

static std::string ReadFile(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return "";
    char buffer[64] = {};
    size_t n = std::fread(buffer, 1, sizeof buffer - 1, file);
    std::fclose(file);
    return std::string(buffer, n);
}

static void CheckReplaceFile() {
    // The score file is replaced in one step: the new text must take the old
    // file's place, which the C runtime's own rename will not do.
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string target = std::string(folder) + "prismveldt-selftest-score.txt";
    CHECK(WriteFile(target.c_str(), "old"));
    CHECK(PlatformReplaceFile(target.c_str(), "new", 3, nullptr, 0));
    CHECK(ReadFile(target.c_str()) == "new");
    CHECK(GetFileAttributesA((target + ".new").c_str()) == INVALID_FILE_ATTRIBUTES);
    char reason[128] = {};
    std::string missing = std::string(folder) + "no-such-folder\\score.txt";
    CHECK(!PlatformReplaceFile(missing.c_str(), "x", 1, reason, sizeof reason));
    CHECK(reason[0] != 0);
    DeleteFileA(target.c_str());
}

static void CheckSettingsFolder() {
    // Prismveldt in the roaming application data, a folder that is there.
    char folder[MAX_PATH] = {};
    CHECK(PlatformSettingsFolder(folder, sizeof folder));
    std::string path = folder;
    size_t slash = path.rfind('\\');
    CHECK(slash != std::string::npos && path.substr(slash) == "\\Prismveldt");
    if (slash != std::string::npos) {
        DWORD attributes = GetFileAttributesA(path.substr(0, slash).c_str());
        CHECK(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    }
    char small[4];
    CHECK(!PlatformSettingsFolder(small, sizeof small));
}

// One request, polled as the game polls it; the status, or 0 when it failed.
static int Fetch(const char* method, const std::string& url, const char* headers, const std::string& body,
                 std::string* answer) {
    int handle = PlatformHttpStart(method, url.c_str(), headers, body.data(), body.size());
    if (handle == 0) return 0;
    int status = 0;
    for (int tries = 0; tries < 1000; tries++) {
        const char* bytes = nullptr;
        size_t size = 0;
        int state = PlatformHttpPoll(handle, &status, &bytes, &size);
        if (state == PLATFORM_HTTP_WAITING) {
            Sleep(10);
            continue;
        }
        if (state == PLATFORM_HTTP_ANSWERED) answer->assign(bytes, size);
        else status = 0;
        break;
    }
    PlatformHttpEnd(handle);
    return status;
}

static void CheckHttp() {
    CHECK(PlatformHttpStart("GET", "ftp://127.0.0.1/", "", nullptr, 0) == 0);
    const char* base = std::getenv("PRISMVELDT_BOARD_URL");
    if (base == nullptr || *base == 0) {
        std::printf("http: no board to ask\n");
        return;
    }
    std::string answer;
    CHECK(Fetch("GET", std::string(base) + "/healthz", "", "", &answer) == 200);
    CHECK(!answer.empty());
    // The headers and the body reach the board: a bad key is refused as one.
    answer.clear();
    int status = Fetch("POST", std::string(base) + "/api/v1/runs",
                       "X-Player-Name: Wine\nX-Player-Key: short\nContent-Type: application/octet-stream\n",
                       "prismveldt-replay 1\n", &answer);
    CHECK(status == 400);
    if (status != 400) std::printf("http: POST answered %d: %s\n", status, answer.c_str());
    CHECK(answer.find("X-Player-Key") != std::string::npos);
    std::printf("http: %s answered\n", base);
}

int main(int argc, char** argv) {
    PlatformInit(argc, argv);
    CheckTextConversion();
    CheckWindowAndEvents();
    CheckPresent();
    CheckScaledFullScreen();
    CheckTime();
    CheckInputAndAudio();
    CheckWheel();
    CheckPad();
    CheckGlyphs();
    CheckReplaceFile();
    CheckSettingsFolder();
    CheckHttp();
    std::printf("%d checks, %d failed\n", checks, failures);
    std::fflush(stdout);
    PlatformDestroyWindow();
    PlatformExit(failures == 0 ? 0 : 1);
}
