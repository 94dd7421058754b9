// The shell's globals: display mode, window placement and the scene selector.
// Kept apart so that anything reading them links without the rest of the shell.
#include "shell/shell.h"

int displayMode = DISPLAY_WINDOWED_DOUBLE;
int screenWidth = 320;
int screenHeight = 200;
int windowX = 0, windowY = 0;
char windowTitle[WINDOW_TITLE_CAPACITY] = "タイトルです";
int captionless = 0;
int sceneId = SCENE_PLAYING;
int stageNo = 0;
