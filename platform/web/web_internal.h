// What the browser backend's files share: the picture's size, the frame
// count, the scripted input a test may drive the game with, the event queue,
// the frame hashes and the saved folder. The page
// (platform/web/page/prismveldt-page.js) owns the canvas, the DOM events, Web
// Audio and the saved files' storage; each file declares its own calls into
// it. Everything runs on the browser's one thread, in calls from the page, so
// nothing here may wait.
//
// Order: the page fills the game folder, decodes the sounds and reads the
// saved folder in before it starts main; PlatformInit then moves into
// GAME_FOLDER, lays the shipped files over the saved folder and starts the
// script, if any. The picture is 1280 x 720 until the shell asks for one of
// at least 64 x 64. The script and the frame hashes (StartScript to
// ScriptAnswer, PrintFrameHash) are the test build's alone
// (machinery_test.cpp); what players download links machinery_none.cpp,
// where each does nothing (StartScript fails with one line on standard
// error, the rest answer false, zero or nothing).
#pragma once
#include <cstdint>

#include "platform/platform.h"

extern int pictureWidth, pictureHeight;  // the size the shell asked for: the frames' size
extern bool messageBoxOpen;              // the game's pump waits while a box is up
// Frames started so far: frame n begins with the n-th frame wait, as in the harness.
extern long long framesStarted;
// True when the page was opened with an input script: the pointer and keys
// come from it, and the clock moves only at frame waits, exactly one period a
// frame, so the game shows the harness's frames for the same script.
extern bool scripted;
// Parses the input script's whole text (the harness's format) and takes it
// as the run's input, once, at start-up; true when it does, and scripted
// follows the answer. False, with a message on standard error, when it does
// not parse.
bool StartScript(const char* text);
// Applies the script's lines for that frame (pointer, keys, close requests,
// the pad and the wheel), at the start of the frame. Calls come in frame order; lines for frames
// already past are passed over. Pointer lines are in logical pixels, scaled by
// PixelScale() as the harness does, so displayMode must be current.
void ApplyScriptInput(long long frame);
// The keys and the pointer as the script left them, and the program's own
// move of the pointer, which holds until a later script line moves it.
// Keys are virtual-key codes 0..255.
bool ScriptKeyHeld(int virtualKey);
int ScriptTakeKeyPresses(int virtualKey);
// The window's focus as the script's "focus" lines left it, as the harness
// answers PlatformWindowFocused: false too, once, after a "focus out".
bool ScriptFocused();
void ScriptPointer(int* x, int* y);
void MoveScriptPointer(int x, int y);
// The pad and the wheel as the script left them: false with *state all zero
// while its pad is not plugged in; the notches turned since the last call.
bool ScriptReadPad(PadState* state);
int ScriptTakeWheelSteps();
// The script's next Yes/No answer, taken from its queue, as in the harness;
// false, with *answer untouched, when the run is not scripted or the script
// has none left (the player answers in the page).
bool ScriptAnswer(bool* answer);
// Appends an event to the game's queue, for PlatformPollEvent (which holds
// them while a box is up).
void QueueEvent(int type, int musicReason = 0);
// Looks at the music once a frame: when a pass of a notified play has ended
// since the last look, queues one PLATFORM_EVENT_MUSIC_DONE (successful) and
// takes the notification; passes nobody waited for are not reported, and
// several ended at once are one report.
void CheckMusic();
// True when the page asked for each frame's hash.
bool WebHashingFrames();
// Prints the hash of a shown frame on the console, as the harness computes
// it: "hash frame width height hash" (the test build's; a player's build
// prints nothing). pixels as for PlatformPresent.
void PrintFrameHash(long long frame, const uint32_t* pixels, int width, int height, int pitch);
// Starts writing the saved folder through to the browser's storage and
// returns at once (the browser finishes it while the game goes on; a write
// asked for meanwhile follows it).
void SyncSavedFiles();
// The folder the game runs in and the saved folder inside it.
constexpr const char* GAME_FOLDER = "/game";
constexpr const char* SAVED_FOLDER = "/game/txt";
// Where the page puts the data's own txt/ before the saved folder is mounted.
constexpr const char* SHIPPED_TXT_FOLDER = "/game/shipped-txt";
