// SetDisplayMode: the window (plain or doubled) or the full screen, at a size;
// and the switch between the window and the full screen while the game runs.
#include <cstring>

#include "platform/platform.h"
#include "gfx/screen.h"
#include "shell/shell.h"
#include "gfx/text.h"

// Copies a title into windowTitle, cutting an over-long one at a character
// boundary so the caption never ends in half a UTF-8 sequence.
static void StoreTitle(const char* title)
{
    char copy[WINDOW_TITLE_CAPACITY];
    size_t length = strnlen(title, WINDOW_TITLE_CAPACITY);
    if (length >= WINDOW_TITLE_CAPACITY) {
        length = WINDOW_TITLE_CAPACITY - 1;
        while (length > 0 && (static_cast<unsigned char>(title[length]) & 0xC0) == 0x80) length--;
    }
    memcpy(copy, title, length);  // title may be windowTitle itself
    copy[length] = '\0';
    memcpy(windowTitle, copy, length + 1);
}

static void ShowWindowed(int x, int y, int width, int height, int scale)
{
    PlatformRestoreDisplay();
    PlatformSetWindowed(x, y, width * scale, height * scale, captionless != 0);
    PlatformShowCursor(true);
}

// The window shaped for the display mode, at the logical screen's size.
static void ShowDisplayMode(int x, int y, int width, int height, int mode)
{
    displayMode = mode;
    if (mode == DISPLAY_FULLSCREEN) {
        if (PlatformTestFullscreen(width, height)) {
            PlatformSetFullscreen(width, height);
            PlatformShowCursor(false);
        } else {
            // The display refused the size: carry on unscaled in a plain window
            // of the asked size rather than the 1 x 1 one left from the question.
            displayMode = DISPLAY_WINDOWED;
            ShowWindowed(x, y, width, height, 1);
        }
    } else if (mode == DISPLAY_WINDOWED || mode == DISPLAY_WINDOWED_DOUBLE) {
        ShowWindowed(x, y, width, height, PixelScale());
    }
}

void SetDisplayMode(int x, int y, int width, int height, int mode, const char* title)
{
    if (title == nullptr) title = "";
    windowX = x;
    windowY = y;
    screenWidth = width;
    screenHeight = height;
    displayMode = mode;  // the font below is made at the mode's scale
    StoreTitle(title);
    PlatformSetWindowTitle(windowTitle);
    captionless = title[0] == '\0' ? 1 : 0;
    SetFont(8, 16, "ＭＳ 明朝");
    ShowDisplayMode(x, y, width, height, mode);
    PumpMessages();
}

bool DisplaySwitchable()
{
    return screenWidth >= 64 && screenHeight >= 64;
}

void SwitchDisplayMode(int mode)
{
    if (!DisplaySwitchable() || (mode != DISPLAY_WINDOWED && mode != DISPLAY_FULLSCREEN)) return;
    // A switch can take the window system a good part of a second: the
    // game's clock, and so a run's time, leaves it out.
    uint32_t held = GameTimeMs();
    ShowDisplayMode(windowX, windowY, screenWidth, screenHeight, mode);
    PumpMessages();
    HoldGameClock(held);
}
