// The logical screen's size and display mode, as the program starts: the
// doubled 320 x 200 window that stands until the game shapes its own.
#include "gfx/screen.h"

int displayMode = DISPLAY_WINDOWED_DOUBLE;
int screenWidth = 320;
int screenHeight = 200;
