// The logical screen every drawing works in: its size and the display mode
// whose pixel scale turns logical pixels into the surfaces' own. Set by the
// shell's SetDisplayMode; read by every drawing and by the mouse.
// The display modes, displayMode and PixelScale are declared with the
// platform (platform/platform.h), whose backends read the scale too.
#pragma once
#include "platform/platform.h"

extern int screenWidth;   // logical screen size
extern int screenHeight;
