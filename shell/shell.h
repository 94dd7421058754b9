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
// The whole program once the process is set up (PrepareForLowMemory and
// InstallShellHooks done, the options read, PlatformInit run and the data
// folder chosen): the first tiny window, the trig tables and the display
// mode, then the game, or with options.replayPath the replay viewer in a
// plain 1280 x 720 window. Never returns: it ends through ShutdownAndExit.
int RunProgram(const GameOptions& options);
// The game itself, from the full-screen question (whose answer sets the
// display mode and loads the pictures) through the game's scenes
// (game/scenes.h); after the last scene the start-up pictures are freed and
// the program ends (ShutdownAndExit). Never returns. The window and the trig
// tables are to be set up first, as RunProgram does.
void GameMain();
// Makes the logical screen width x height in mode (DISPLAY_FULLSCREEN,
// DISPLAY_WINDOWED or DISPLAY_WINDOWED_DOUBLE) with the window's corner at
// (x, y) and the title (cut at a character boundary to fit
// WINDOW_TITLE_CAPACITY; an empty or null one makes the window captionless),
// sets the 8 x 16 "ＭＳ 明朝" font at the new scale, and pumps messages. A
// full screen the display refuses becomes a plain window of the asked size.
// Surfaces made before keep their old size: the back buffer is to be made
// again after a change of size.
void SetDisplayMode(int x, int y, int width, int height, int mode, const char* title);
// True once the display shows the game's own screen: false while the logical
// screen is the start-up question's 1 x 1 stand-in (under 64 x 64).
bool DisplaySwitchable();
// Switches between the window and the full screen at once (mode
// DISPLAY_WINDOWED or DISPLAY_FULLSCREEN; a full screen the display refuses
// stays a window), keeping the logical screen, the window's place and its
// title, and pumps messages; the game's clock leaves the switch's time out.
// Surfaces keep their size (the logical screen's does not change). Nothing
// for another mode, or while the display is not switchable.
void SwitchDisplayMode(int mode);
// Whether the game window kept the keyboard's focus since the frame before:
// PlatformWindowFocused, asked by the frame loop once at each frame's start,
// so that a loss seen in one scene is not taken again in the next.
bool FrameKeptFocus();
// Takes every event waiting in the platform's queue and hands each to
// WindowProc, until the queue is empty; a backend holds its events back
// while its own message box is open. It need not return: a close request
// answered Yes ends the program.
void PumpMessages();
// Whether work the player would lose by quitting is open (a stage's edits
// not saved): closing the window then asks about that work, not the plain
// quit question. Set by the scene that holds the work, each frame it runs.
void MarkUnsavedWork(bool unsaved);
// Restores the machine (drops the font, closes the music, gives the desktop
// its display mode and the pointer back, destroys the window) and ends the
// process at once with exit status 1: no exit handlers, no static
// destructors. Never returns.
[[noreturn]] void ShutdownAndExit();

// Puts 8 MiB aside (touched, so it is really there) for the out-of-memory box
// and sends every failed allocation there; a second call keeps the one
// reserve. To be called first thing, before anything large is allocated.
void PrepareForLowMemory();
// Sets the hooks through which the layers below call up into the shell: the
// graphics library's (gfx/hooks.h: PumpMessages after each string of text
// and each DrawBox, ShutdownAndExit after a picture's load error,
// ExitOutOfMemory and SetMemoryTask) and the lettering of the boxes the
// backends draw (PlatformLetterBoxes, with the game's text). To be called
// once, first thing, by any program that runs the game's scenes, with
// main() or without it; until then the layers below keep their defaults.
void InstallShellHooks();
// Names what is being made now (a picture's path, a surface's size), for the
// out-of-memory box; returns the previous name, for the maker to put back
// when it is done. The string is borrowed, not copied: it must outlive its
// time as the name. nullptr names nothing.
const char* SetMemoryTask(const char* what);
// For something that could not be made for want of memory (the
// failed-allocation handler comes here with the memory task's name): frees
// the reserve, writes a line on standard error, shows the box
// "メモリが足りません:<what>" ("メモリが足りません" for a null what), then
// the orderly end with exit status 1. Come to again while it ends (the box
// itself ran out of memory), it ends the process at once with status 1.
// Never returns.
[[noreturn]] void ExitOutOfMemory(const char* what);

// ---- the game's clock ----
// The clock the scenes read (frame starts, a run's time, the countdown) and
// frames are paced by: exactly the platform's PlatformTimeMs() until the
// game speed is first set below 100 or the display first switches. At speed
// percent it runs at that share of real time, so frames FRAME_PERIOD_MS
// apart on it come further apart in real time while everything the game
// measures by it stays as at full speed; while the display switches it
// stands still.

// How the game's clock follows the platform's: gameBase at realBase, then
// speed percent (GAME_SPEED_MIN..100) of the real milliseconds since. A
// plain value, so that its rounding is tested on its own.
struct GameClock {
    uint32_t realBase = 0, gameBase = 0;
    int speed = 100;
};
// The game's time at real time realMs (rounded down).
uint32_t GameClockAt(const GameClock& clock, uint32_t realMs);
// The first real millisecond at which the game's clock reads gameMs: for
// gameMs at or after gameBase, GameClockAt of the answer is gameMs exactly.
uint32_t RealTimeOf(const GameClock& clock, uint32_t gameMs);
// The clock at speed (held to GAME_SPEED_MIN..100) from realMs on, reading
// at realMs what it read there before.
void SetGameClockSpeed(GameClock* clock, int speed, uint32_t realMs);

// The game's clock now.
uint32_t GameTimeMs();
// The game's clock goes on from gameMs as of now: the real time since it read
// gameMs (a display switch) is left out of everything it measures.
void HoldGameClock(uint32_t gameMs);
// Whether the frame after the one that started at previousStart (on the
// game's clock) may start now (PlatformFrameDue for its real wait); the game
// speed setting is read here and in WaitNextFrame, once a frame.
bool FrameDue(uint32_t previousStart);
// Waits until the game's clock has run FRAME_PERIOD_MS since previousStart
// and returns the new frame's start on it (the harness's clock jumps there
// instead). On the browser, which never waits, only once FrameDue.
uint32_t WaitNextFrame(uint32_t previousStart);

struct FrameEnd;
// The frame's line in the replay trace: its scene's name, selector and
// stage, then the scene's own fields.
void TraceFrame(const FrameEnd& end);

struct Scene;
// The game's one frame loop (shell/frame_loop.cpp): enters first, then steps
// the scene on top once per frame period, ends each frame and changes
// scenes, until the scenes are over; then atEnd (the game's ends the
// program). On the browser, whose page runs the frames, the call never
// comes back: the backend lets the caller's stack go and the page's display
// refreshes carry the frames from there.
void RunFrameLoop(Scene first, void (*atEnd)());
struct PlatformEvent;
// What one event from the platform's queue does: the close request asks
// "本当に終了しますか？" and ends the program on Yes (No changes nothing,
// the scene goes on with its next frame); a finished music play starts again
// unless it was stopped on purpose (MUSIC_DONE_ABORTED); a device change
// rescans the joysticks. Any other event is let be.
void WindowProc(const PlatformEvent* event);
