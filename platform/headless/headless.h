// The headless backend's own state and seams: the harness options, the input
// script, the trace writer and the simulated machine. Only the headless
// backend, the tests and the browser's test build (which plays the same
// scripts and hashes its frames the same way) include this; the game sees
// platform/platform.h alone.
//
// Order: PlatformInit parses the command line, reads and parses the script,
// opens the trace and the frame hashes, fills in the machine and moves into
// --dir; from then on the machine changes only through the platform calls
// and, once a frame, ApplyScriptFrame. A test may set the machine's fields
// itself. All of it is for the game's one thread.
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
    int language = 0;             // --lang: PLATFORM_LANGUAGE_*, Japanese unless told
    std::string httpFakePath;     // --http-fake: canned HTTP answers; empty: the real network
    std::string httpLogPath;      // --http-log: every request made, a line each; empty: none
};
// Parses argv[1..] into *options, which it resets first: the harness's own
// options and the game's (--dir, --settings, --verify and --replay, each
// with a value; --help and --version without), each value neither missing
// nor empty. False with a message in *error for a bad command line (an
// unknown option, a missing value, a frame count or number that is not a
// whole number from 0 up, --shot without --shot-dir, a --lang other than en
// or ja).
bool ParseHeadlessArgs(int argc, char** argv, HeadlessOptions* options, std::string* error);

// ---- the input script ----
enum {
    SCRIPT_MOUSE, SCRIPT_DOWN, SCRIPT_UP, SCRIPT_CLOSE, SCRIPT_PAD_CONNECT, SCRIPT_PAD_DISCONNECT,
    SCRIPT_PAD_AXIS, SCRIPT_PAD_DOWN, SCRIPT_PAD_UP, SCRIPT_WHEEL, SCRIPT_FOCUS_OUT, SCRIPT_FOCUS_IN
};
struct ScriptAction {
    long long frame;
    int op;     // SCRIPT_*
    int x, y;   // SCRIPT_MOUSE: client point in logical pixels; SCRIPT_PAD_AXIS: x the
                // value; SCRIPT_WHEEL: x the notches
    int key;    // SCRIPT_DOWN / SCRIPT_UP: virtual-key code; SCRIPT_PAD_AXIS: the axis
                // (PAD_AXIS_*); SCRIPT_PAD_DOWN / SCRIPT_PAD_UP: the button (SDL's number)
    int line;   // where it came from
};
struct Script {
    std::vector<ScriptAction> actions;  // sorted by frame, file order within a frame
    std::deque<bool> answers;           // queued Yes/No answers, true = yes
};
// Parses a whole script into *script, which it resets first; the actions
// come out sorted by frame, file order kept within a frame. False with
// "line N: what is wrong" in *error at the first bad line.
bool ParseScript(const std::string& text, Script* script, std::string* error);
// The virtual-key code of a script key name (lmb, esc, a, 7, ...), or -1.
int ScriptKeyCode(const std::string& name);
// A pad axis (leftx lefty rightx righty lefttrigger righttrigger: PAD_AXIS_*)
// or button (a b x y back guide start leftstick rightstick leftshoulder
// rightshoulder dpup dpdown dpleft dpright: SDL's numbers) by SDL's name, or -1.
int ScriptPadAxis(const std::string& name);
int ScriptPadButton(const std::string& name);
// True with *value when the whole of token (a NUL inside it included) is a
// decimal number within [low, high], a sign or leading blanks allowed as
// strtoll takes them; false with *value untouched otherwise.
bool ParseWholeNumber(const std::string& token, long long low, long long high, long long* value);

// What a message may quote of input: text cut to 80 characters ("..." after
// when there was more), anything but printable ASCII shown as '?'.
std::string Shown(const std::string& text);
// A script no run needs is larger than this; a larger one is refused (reading
// stops there), so that a device put in its place cannot fill the memory.
constexpr size_t SCRIPT_MAX_BYTES = 64u << 20;

// ---- the trace ----
// Appends text (NUL-terminated, not nullptr) to out as the body of a JSON
// string (quotes not included); invalid UTF-8 becomes U+FFFD so every line
// stays valid JSON.
void AppendJsonEscaped(std::string* out, const char* text);
// Opens the trace ("-" for standard output), once; false when the file
// cannot be made. Whether one is open, and whether it is standard output.
bool OpenTrace(const std::string& path);
bool TraceOpen();
bool TraceIsStdout();
// Writes one JSON object (given without braces) as a line, and flushes it;
// nothing without a trace. A line that cannot be written ends the harness
// (HarnessOutputFailed).
void TraceLine(const std::string& fields);
// Flushes and closes the trace (standard output is only flushed); false when
// what was written last could not reach the file. True when none is open.
bool CloseTrace();
// Where the trace goes, for messages ("(standard output)" for "-").
const std::string& TracePath();
// For when the trace or the frame hashes cannot be written: closes both as
// far as it can, writes one line on standard error naming what and where,
// and ends the harness at once with status HARNESS_OUTPUT_FAILED, so that a
// cut-off file never passes for a whole one. Never returns.
constexpr int HARNESS_OUTPUT_FAILED = 74;
[[noreturn]] void HarnessOutputFailed(const char* what, const std::string& path);

// ---- HTTP ----
// The canned answers of --http-fake, a line each ('#' comments and blank
// lines aside):
//     METHOD PATH STATUS [+FRAMES] [BODY]
// PATH is the url's path and query (a '*' at its end matches any rest);
// STATUS a number, "fail" (no answer: refused, timed out) or "never" (the
// request waits for ever); +FRAMES answers that many frames after the start;
// BODY is @FILE (beside the answers' file) or the rest of the line as text.
// A request takes the first unused line that matches; once a path's lines
// are used up, its last one answers again. No line: 404. Every request is
// written to --http-log as "METHOD PATH bytes=N name=NAME key=ok|bad|none".
struct HttpFakeAnswer {
    std::string method, path;
    bool prefix = false;
    int status = 0;   // 0: fail; -1: never
    long long frames = 0;
    std::string body;
    bool used = false;
};
// Reads the file into the headless machine; false with why.
bool ReadHttpFake(const std::string& path, std::string* why);

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
    int keyPresses[256] = {};         // a script's "down" of a key that was up, not yet taken
    int cursorX = 0, cursorY = 0;     // over the picture, in its pixels
    bool cursorVisible = true;
    // the window as the shell last shaped it
    bool fullscreen = false;
    bool refuseFullscreen = false;
    int windowX = 0, windowY = 0, clientWidth = 0, clientHeight = 0;
    bool windowCaptionless = false;
    std::string windowTitle;
    bool focused = true;              // until the script's "N focus out"
    bool focusLost = false;           // a "focus out" not yet asked about
    bool vsync = false;
    int language = 0;                 // the system's language the game is told (--lang)
    // audio
    bool musicOpen = false;
    bool musicNotifyPending = false;
    // the pad: at rest whenever it is plugged in
    bool padConnected = false;
    int16_t padAxes[6] = {};
    uint32_t padButtons = 0;
    int wheelSteps = 0;               // notches not yet taken
    bool httpFake = false;            // --http-fake given: no real network
    std::vector<HttpFakeAnswer> httpAnswers;
    std::string httpLogPath;
    // joysticks answering on system ids 0..15
    bool joystickPresent[16] = {};
    unsigned joystickX[16] = {}, joystickY[16] = {}, joystickButtons[16] = {};
};
extern HeadlessMachine headless;

// Applies the script's lines for that frame (pointer, keys, close requests)
// to the machine, at the start of the frame. Calls come in frame order; lines
// for frames already past are passed over. Pointer
// lines are in logical pixels and land at PixelScale() times them, so
// displayMode must be current.
void ApplyScriptFrame(long long frame);
// A 64-bit hash of a frame of 0x00RRGGBB pixels (height rows of width
// pixels, pitch pixels apart), the same on every machine; the width and
// height count too. What --frame-hashes writes, and what the browser's test
// build prints.
uint64_t HashFrame(const uint32_t* pixels, int width, int height, int pitch);
// The shots are written with WritePng, platform/headless/png.h.
