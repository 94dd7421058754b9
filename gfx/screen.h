// The logical screen every drawing works in: its size and the display mode
// whose pixel scale turns logical pixels into the surfaces' own. Set by the
// shell's SetDisplayMode; read by every drawing and by the mouse.
#pragma once

enum {
    DISPLAY_WINDOWED = 0,
    DISPLAY_WINDOWED_DOUBLE = 1,
    DISPLAY_FULLSCREEN = 2
};

extern int displayMode;   // DISPLAY_*; the pixel scale is (displayMode % 2) + 1
extern int screenWidth;   // logical screen size
extern int screenHeight;

// Pixel scale of the current display mode: 2 when doubled, else 1.
inline int PixelScale() { return (displayMode % 2) + 1; }
