// What the browser backend's files share: the picture's size, the scripted
// input a test may drive the game with, the event queue, and the calls into
// the page (platform/web/page/prismveldt-page.js), which owns the canvas, the
// DOM events, Web Audio and the saved files.
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
// Called by PlatformInit with the script's text; false with a message when
// it does not parse.
bool StartScript(const char* text);
// Called at each frame wait when scripted: the script's lines for that frame.
void ApplyScriptInput(long long frame);
bool ScriptKeyHeld(int virtualKey);
void ScriptPointer(int* x, int* y);
void MoveScriptPointer(int x, int y);
// Called by a Yes/No box: the script's next answer, as in the harness; false
// when the script has none left (the player answers in the page).
bool ScriptAnswer(bool* answer);
// Called by the audio: queues an event for the game's pump.
void QueueEvent(int type, int musicReason = 0);
// Called by each frame wait: queues the music passes that ended since the last look.
void CheckMusic();
// Called by the frame presenter: true when the page asked for each frame's hash.
bool WebHashingFrames();
// The hash of a shown frame on the console, as the harness writes it (the
// test build's; a player's build prints nothing).
void PrintFrameHash(long long frame, const uint32_t* pixels, int width, int height, int pitch);
// Writes the saved folder through to the browser's storage (the browser
// finishes it while the game goes on).
void SyncSavedFiles();
// The folder the game runs in and the saved folder inside it.
constexpr const char* GAME_FOLDER = "/game";
constexpr const char* SAVED_FOLDER = "/game/txt";
// Where the page puts the data's own txt/ before the saved folder is mounted.
constexpr const char* SHIPPED_TXT_FOLDER = "/game/shipped-txt";
