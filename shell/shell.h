// The program's spine: the window, the display mode, the message pump, frame
// pacing, the scene loop and the orderly end. Owns the globals every part reads.
#pragma once
#include <cstdint>

enum {
    DISPLAY_WINDOWED = 0,
    DISPLAY_WINDOWED_DOUBLE = 1,
    DISPLAY_FULLSCREEN = 2
};

enum {
    SCENE_PLAYING = 0,
    SCENE_DIED = 1,
    SCENE_NEXT_STAGE = 2,
    SCENE_GOAL = 3,
    SCENE_TO_TITLE = -999,
    SCENE_QUIT = 999
};

constexpr uint32_t FRAME_PERIOD_MS = 16;
constexpr int WINDOW_TITLE_CAPACITY = 256;

extern int displayMode;   // DISPLAY_*; the pixel scale is (displayMode % 2) + 1
extern int screenWidth;   // logical screen size
extern int screenHeight;
extern int windowX, windowY;
extern char windowTitle[WINDOW_TITLE_CAPACITY];
extern int captionless;
extern int sceneId;       // SCENE_*
extern int stageNo;       // 1..4 while playing

// Pixel scale of the current display mode: 2 when doubled, else 1.
inline int PixelScale() { return (displayMode % 2) + 1; }

// Called by WinMain-equivalent main(): the whole program; never returns.
int RunProgram(int argc, char** argv);
// Called by RunProgram after start-up: the question, display set-up, assets, scene loop.
void GameMain();
void SetDisplayMode(int x, int y, int width, int height, int mode, const char* title);
// Called at the end of every frame, after every text call, inside SetDisplayMode.
void PumpMessages();
// Restores the machine and ends the process with exit status 1. Never returns.
[[noreturn]] void ShutdownAndExit();

// Called by RunProgram before anything is made: puts memory aside for the
// out-of-memory box and sends every failed allocation there.
void PrepareForLowMemory();
// Called by whatever makes something large (a picture from a file, ...):
// names it for the out-of-memory box; returns the previous name to put back.
const char* SetMemoryTask(const char* what);
// Called when something could not be made for want of memory (and by the
// failed-allocation handler): the box "メモリが足りません:<what>", then the
// orderly end with exit status 1. Never returns.
[[noreturn]] void ExitOutOfMemory(const char* what);

// Called by every scene loop at the top of a frame: waits until FRAME_PERIOD_MS
// have passed since previousStart and returns the new frame's start time.
uint32_t WaitNextFrame(uint32_t previousStart);
// Called by every scene loop once per frame, after its present (or as it leaves
// its loop without one): records the frame for replays. extraFields are the
// scene's own JSON fields (without a leading comma), or nullptr.
void TraceFrame(const char* sceneName, const char* extraFields = nullptr);

struct PlatformEvent;
// Called by PumpMessages for each event taken from the platform's queue: the
// close request asks first, a finished music play starts again unless it was
// stopped, a device change rescans the joysticks.
void WindowProc(const PlatformEvent* event);
