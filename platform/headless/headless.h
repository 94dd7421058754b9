// The headless backend's own state and seams: the harness options, the input
// script, the trace writer and the simulated machine. Only the headless backend
// and the tests include this; the game sees platform/platform.h alone.
#pragma once
#include <cstdint>
#include <cstdio>
#include <deque>
#include <set>
#include <string>
#include <vector>

// ---- the command line ----
struct HeadlessOptions {
    std::string dir;          // empty: stay in the current folder
    std::string scriptPath;   // empty: no input at all
    std::string tracePath;    // empty: no trace; "-": standard output
    long long maxFrames = -1; // -1: no limit
    std::string shotDir;
    std::set<long long> shots;
    std::string frameHashesPath;  // empty: no hashes
};
// Parses argv[1..]; false with a message in *error for a bad command line.
bool ParseHeadlessArgs(int argc, char** argv, HeadlessOptions* options, std::string* error);

// ---- the input script ----
enum { SCRIPT_MOUSE, SCRIPT_DOWN, SCRIPT_UP, SCRIPT_CLOSE };
struct ScriptAction {
    long long frame;
    int op;     // SCRIPT_*
    int x, y;   // SCRIPT_MOUSE: client point in logical pixels
    int key;    // SCRIPT_DOWN / SCRIPT_UP: virtual-key code
    int line;   // where it came from
};
struct Script {
    std::vector<ScriptAction> actions;  // sorted by frame, file order within a frame
    std::deque<bool> answers;           // queued Yes/No answers, true = yes
};
// Parses a whole script; false with "line N: what is wrong" in *error.
bool ParseScript(const std::string& text, Script* script, std::string* error);
// The virtual-key code of a script key name (lmb, esc, a, 7, ...), or -1.
int ScriptKeyCode(const std::string& name);
// Called by the script and command-line parsers: true with *value when token is
// a whole decimal number within [low, high].
bool ParseWholeNumber(const std::string& token, long long low, long long high, long long* value);

// Called by the messages about bad input: text cut to 80 printable characters.
std::string Shown(const std::string& text);
// A script no run needs is larger than this; reading stops there.
constexpr size_t SCRIPT_MAX_BYTES = 64u << 20;

// ---- the trace ----
// Appends text to out as the body of a JSON string (quotes not included);
// invalid UTF-8 becomes U+FFFD so every line stays valid JSON.
void AppendJsonEscaped(std::string* out, const char* text);
// Opens the trace ("-" for standard output); false when it cannot.
bool OpenTrace(const std::string& path);
bool TraceOpen();
bool TraceIsStdout();
// Writes one JSON object (given without braces) as a line, and flushes it;
// a line that cannot be written ends the harness (HarnessOutputFailed).
void TraceLine(const std::string& fields);
// False when what was written last could not reach the file.
bool CloseTrace();
const std::string& TracePath();
// Called when the trace or the frame hashes cannot be written: one line on
// standard error naming what and where, and the harness ends with status
// HARNESS_OUTPUT_FAILED, so that a cut-off file never passes for a whole one.
constexpr int HARNESS_OUTPUT_FAILED = 74;
[[noreturn]] void HarnessOutputFailed(const char* what, const std::string& path);

// ---- the simulated machine ----
struct HeadlessMachine {
    uint32_t clockMs = 0;
    long long framesStarted = 0;      // pacing waits so far; frame n = wait n
    long long maxFrames = -1;
    std::string shotDir;
    std::set<long long> shots;
    FILE* frameHashes = nullptr;      // "frame width height hash" per presented frame
    std::string frameHashesPath;
    Script script;
    size_t nextAction = 0;
    std::deque<int> events;           // PLATFORM_EVENT_* waiting for the pump
    std::deque<int> musicReasons;     // reason of each PLATFORM_EVENT_MUSIC_DONE, in order
    bool keys[256] = {};
    int cursorX = 0, cursorY = 0;     // over the picture, in its pixels
    bool cursorVisible = true;
    // the window as the shell last shaped it
    bool fullscreen = false;
    bool refuseFullscreen = false;
    int windowX = 0, windowY = 0, clientWidth = 0, clientHeight = 0;
    bool windowCaptionless = false;
    std::string windowTitle;
    // audio
    bool musicOpen = false;
    bool musicNotifyPending = false;
    // joysticks answering on system ids 0..15
    bool joystickPresent[16] = {};
    unsigned joystickX[16] = {}, joystickY[16] = {}, joystickButtons[16] = {};
};
extern HeadlessMachine headless;

// Called by PlatformWaitFrame at the start of each frame: applies the script's
// lines for that frame (pointer, keys, close requests).
void ApplyScriptFrame(long long frame);
// Called by PlatformPresent for --frame-hashes: a 64-bit hash of the
// presented pixels (pitch in pixels), the same on every machine.
uint64_t HashFrame(const uint32_t* pixels, int width, int height, int pitch);
// Writes a 0x00RRGGBB picture as an 8-bit RGB PNG; false when it cannot.
