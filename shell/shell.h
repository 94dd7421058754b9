// The program's spine: the entry, the window and its display mode, the
// message pump and window procedure, frame pacing and the orderly end. The
// scenes are the game's (game/scenes.h); the logical screen is the graphics
// library's (gfx/screen.h).
#pragma once
#include <cstdint>

constexpr uint32_t FRAME_PERIOD_MS = 16;
constexpr int WINDOW_TITLE_CAPACITY = 256;

extern int windowX, windowY;  // where the last SetDisplayMode put the window
extern char windowTitle[WINDOW_TITLE_CAPACITY];
extern int captionless;

struct GameOptions;
// Called by main: the whole program, the game or (with --replay) the replay
// viewer; never returns.
int RunProgram(const GameOptions& options);
// Called by RunProgram after start-up: the question, display set-up, assets,
// the game's scenes, and the start-up pictures' release.
void GameMain();
void SetDisplayMode(int x, int y, int width, int height, int mode, const char* title);
// Called at the end of every frame, after every text call, inside SetDisplayMode.
void PumpMessages();
// Restores the machine and ends the process with exit status 1. Never returns.
[[noreturn]] void ShutdownAndExit();

// Called by RunProgram before anything is made: puts memory aside for the
// out-of-memory box and sends every failed allocation there.
void PrepareForLowMemory();
// Sets the hooks through which the layers below call up into the shell: the
// graphics library's (gfx/hooks.h: PumpMessages after each string of text,
// ShutdownAndExit after a picture's load error, ExitOutOfMemory and
// SetMemoryTask) and the lettering of the boxes the backends draw
// (PlatformLetterBoxes, with the game's text). To be called once, first
// thing; a program that runs the game's scenes without main() calls it too.
void InstallShellHooks();
// Called by whatever makes something large (a picture from a file, ...):
// names it for the out-of-memory box; returns the previous name to put back.
const char* SetMemoryTask(const char* what);
// Called when something could not be made for want of memory (and by the
// failed-allocation handler): the box "メモリが足りません:<what>", then the
// orderly end with exit status 1. Never returns.
[[noreturn]] void ExitOutOfMemory(const char* what);

// Waits until FRAME_PERIOD_MS have passed since previousStart and returns the
// new frame's start time.
uint32_t WaitNextFrame(uint32_t previousStart);

struct FrameEnd;
// The frame's line in the replay trace: its scene's name, selector and
// stage, then the scene's own fields.
void TraceFrame(const FrameEnd& end);

struct Scene;
// The game's one frame loop (shell/frame_loop.cpp): enters first, then steps
// the scene on top once per frame period, ends each frame and changes
// scenes, until the scenes are over; then atEnd (the game's ends the
// program). On a backend that runs the frames itself (the browser) it
// returns at once and the frames follow from the page.
void RunFrameLoop(Scene first, void (*atEnd)());
struct PlatformEvent;
// Called by PumpMessages for each event taken from the platform's queue: the
// close request asks first, a finished music play starts again unless it was
// stopped, a device change rescans the joysticks.
void WindowProc(const PlatformEvent* event);
