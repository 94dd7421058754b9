// The shell's globals: where the window stands and what it is called. Kept
// apart so that anything reading them links without the rest of the shell.
#include "shell/shell.h"

int windowX = 0, windowY = 0;
char windowTitle[WINDOW_TITLE_CAPACITY] = "タイトルです";
int captionless = 0;
