// The whole platform layer: what the game needs of the machine it runs on.
// One implementation per backend, chosen when linking: platform/sdl (the
// desktop), platform/headless (the test harness), platform/windows and
// platform/web (the browser), with what they share in platform/posix,
// platform/freetype, platform/scaling and platform/boxes. Game code includes
// this header and never a backend's own headers.
//
// Order: PlatformCommandOptions, PlatformCommandUsage, PlatformProgramName
// and PlatformLetterBoxes may be called before PlatformInit; everything else
// only after it. The desktop's game window exists from the first
// PlatformSetWindowed or PlatformSetFullscreen (the Windows one from
// PlatformInit) until PlatformDestroyWindow. To leave the machine as it was
// found, the game ends with PlatformCloseMusic, PlatformRestoreDisplay,
// PlatformShowCursor(true) and PlatformDestroyWindow before PlatformExit.
//
// Threads: everything here is for the game's one thread, never another.
// Ownership: texts, paths and pixels handed in are read during the call (or
// copied); strings handed out belong to the platform and last the process
// unless a function says otherwise; a PlatformFile is the caller's until
// PlatformCloseFile; a GlyphFont is the glyph source's, never freed by the
// caller.
#pragma once
#include <cstddef>
#include <cstdint>

// ---- process ----
// Prepares the backend: call once, with main's arguments, before any other
// function here but the four named above. The desktop sets SDL up and opens
// the audio device (silence when there is none); with no display it ends the
// process with status 1 and one line on standard error. The headless backend
// reads its own options from the command line, its script, trace and frame
// hashes, and moves into the folder --dir names; a bad command line, or a
// script it cannot read or parse, ends it with status 64. Windows moves into
// the program's folder when the game's data is there and not in the current
// one, makes the game window and sets the clock to 1-ms steps; the browser
// moves into the page's game folder and reads what the page was opened with.
void PlatformInit(int argc, char** argv);
// The options the backend reads itself, each taking one value, as a
// nullptr-terminated list (empty for the player's backends), and a usage line
// for them ("" when none). Both static; they may be called before
// PlatformInit, so that the game's option reader can pass those options over.
const char* const* PlatformCommandOptions();
const char* PlatformCommandUsage();
// The program's name for its usage and messages ("prismveldt",
// "prismveldt-headless"). Static; may be called before PlatformInit.
const char* PlatformProgramName();
// Ends the process at once with status: standard output and standard error
// are flushed, but no exit handlers or static destructors run and nothing is
// restored (the display, the window: see the end above). The headless backend
// first writes an exit line to its trace and closes the trace and the frame
// hashes; should either fail, it ends with its output-failed status instead.
// The browser tells the page the game has ended. Never returns.
[[noreturn]] void PlatformExit(int status);
// Writes text (UTF-8) to standard output and flushes it. What the game prints
// once running goes through here, so that the harness records it: there it
// becomes a trace line as well, and reaches standard output only when the
// trace is not written there.
void PlatformWriteStdout(const char* text);

// ---- window and display ----
// The display modes, and the pixel scale each gives the picture: the
// doubled window shows every logical pixel as 2 x 2 physical ones, the
// others 1 x 1. displayMode is the game's (set by the shell's SetDisplayMode
// and defined with the logical screen, gfx/screen.cpp); it is declared here
// because a backend needs the scale too, to place a scripted pointer given
// in logical pixels.
enum {
    DISPLAY_WINDOWED = 0,
    DISPLAY_WINDOWED_DOUBLE = 1,
    DISPLAY_FULLSCREEN = 2
};
extern int displayMode;  // DISPLAY_*
// The pixel scale of the current display mode: 2 when doubled, else 1.
inline int PixelScale() { return (displayMode % 2) + 1; }

// Sets the window's caption text (UTF-8, copied). The desktop keeps it for a
// window not made yet; the browser makes it the tab's title ("" there gives
// the game's name).
void PlatformSetWindowTitle(const char* title);
// True when the display can show a full screen of width x height. The
// desktop, Windows and browser backends scale the picture to any monitor, so
// they can for any positive size; no backend can for a size not positive (and
// the harness can be told to refuse, for the tests).
bool PlatformTestFullscreen(int width, int height);
// Shows the width x height picture full screen: a borderless topmost window
// covering the monitor, the picture as large as fits with black bars. The
// desktop never changes the monitor's mode; Windows switches the display to
// width x height where it offers that mode; the browser asks the page to fill
// the screen, which a browser allows only just after a click or a key. Call
// it only with a size PlatformTestFullscreen accepts. The frames presented
// from then on are width x height.
void PlatformSetFullscreen(int width, int height);
// Takes the window out of full screen and gives the desktop its own display
// mode back (PlatformSetWindowed then shapes the window). Harmless when not
// full screen.
void PlatformRestoreDisplay();
// Shapes the game window for a picture of clientWidth x clientHeight (the
// desktop makes its window at the first shaping, and ends the process with
// status 1 if it cannot): a topmost window whose outer top-left corner is at
// desktop (x, y), moved in where part of it would fall off the usable
// desktop; no caption when captionless, else a captioned window the player
// may resize. The client area may come out larger (the desktop multiplies it
// by an X11 desktop's high-DPI scale factor) or smaller (a screen too small
// for it, the picture's shape kept); the picture is scaled to fit whatever it
// is. The browser only sizes the canvas, and keeps its last size when asked
// for less than 64 x 64. The frames presented from then on are
// clientWidth x clientHeight.
void PlatformSetWindowed(int x, int y, int clientWidth, int clientHeight, bool captionless);
// Shows a finished frame of 0x00RRGGBB pixels, scaled to the window as the
// shapes above say. pixels holds height rows, pitch pixels apart (pitch at
// least width), and is read during the call only. A frame is expected at the
// size last asked for (the browser drops any other). The desktop and Windows
// show nothing without a window, nor Windows while it is minimised. The
// harness writes the frame's hash and its shot here, when asked for them.
void PlatformPresent(const uint32_t* pixels, int width, int height, int pitch);
// True while the picture fills the screen as PlatformSetFullscreen made it:
// false before, and after PlatformRestoreDisplay. The
// browser also answers false once the page's full screen has ended without
// the game (the player pressed Escape) or the browser refused it.
bool PlatformIsFullscreen();
// True when the game window has had the keyboard's focus all along since the
// last call: false while it is without it (the player switched to another
// window, or minimised this one; in the browser, the tab is hidden or the
// page lost the focus), and false once for a loss that was over before this
// call (a hidden tab stops the browser's frames, so the game may not look
// until the tab is back). The harness's window loses it at the script's
// "N focus out" and has it again at "N focus in". True before the window is
// first shaped.
bool PlatformWindowFocused();
// Whether the frames wait for the display's refresh: with on, a frame
// presented from then on is shown at the display's next refresh, the
// present (or the frame after it) waiting for it where the backend can: the
// desktop's renderer by SDL_RenderSetVSync (the game's own scaler cannot
// wait, and shows frames as they come), Windows by waiting for the
// desktop's composition after presenting (DwmFlush). The browser always
// shows frames at the display's refresh, on or off. Off at start; the
// harness traces a change.
void PlatformSetVsync(bool on);
// Destroys the game window (and the desktop's renderer with it); frames
// presented afterwards show nothing. Nothing to destroy in the harness or the
// browser.
void PlatformDestroyWindow();

// ---- message boxes ----
enum {
    PLATFORM_BOX_OK_ERROR = 0,    // one OK button, error icon
    PLATFORM_BOX_YESNO = 1,       // Yes and No, no icon
    PLATFORM_BOX_YESNO_QUESTION = 2 // Yes and No, question icon
};
// A box with UTF-8 texts. Returns true for Yes (and for OK), false for No.
// Modal on the desktop, Windows and headless backends: it returns with the
// answer, and whatever arrives for the game while the box is open waits in
// the event queue for PlatformPollEvent after it. The desktop and the browser
// also write an OK box's caption and text to standard error; the desktop
// answers as OK for an OK box and No for a question when it cannot make the
// box. The harness shows nothing: it answers a question from its script (No
// once the script's answers run out) and writes each box to its trace. The
// browser never waits: an OK box is shown and stays up while the game ends
// behind it; a question is answered from the test build's script, else No
// without being shown, so a question for the player goes through
// PlatformAskBox.
bool PlatformMessageBox(const char* text, const char* caption, int style);
// A Yes/No question asked without waiting where the backend can (the
// browser): PLATFORM_BOX_WAITING while the box is up, then 1 for Yes or 0
// for No. After WAITING the caller asks again, once a frame, until it
// answers; the box already up is the one answered, whatever texts the later
// calls carry, and the event queue answers nothing meanwhile. The modal
// backends answer at the first call, as PlatformMessageBox does; so does the
// browser's test build while its script has answers.
enum { PLATFORM_BOX_WAITING = -1 };
int PlatformAskBox(const char* text, const char* caption, int style);

// The boxes a backend draws itself (the desktop's and the page's, in
// platform/boxes) are lettered with the game's own text, which lies above
// the platform: the program hands it over at start-up. Pictures are
// 0x00RRGGBB pixels, pictureWidth to a row with no gaps; colours 0x00BBGGRR;
// faces and sizes (physical pixels) as PlatformOpenGlyphFont takes them;
// texts UTF-8, nullptr for none.
struct BoxLettering {
    // The size of one line of text: its advance and its cell's height.
    void (*measure)(const char* face, int width, int height, const char* text, int* textWidth,
                    int* textHeight);
    // One line of text with its cell's top-left at (x, y), clipped to the picture.
    void (*drawLine)(uint32_t* pixels, int pictureWidth, int pictureHeight, int x, int y,
                     uint32_t colour, const char* face, int width, int height, const char* text);
    // Text broken into lines no wider than boxWidth (at spaces, between
    // Japanese characters, at line ends), one cell under another from
    // (x, y), clipped to the picture. Returns the number of lines; with
    // pixels nullptr it only counts them.
    int (*drawParagraphs)(uint32_t* pixels, int pictureWidth, int pictureHeight, int x, int y,
                          int boxWidth, uint32_t colour, const char* face, int width, int height,
                          const char* text);
};
// Copies the lettering for every box drawn from then on; a member left
// nullptr gets the default below, whatever an earlier call gave. Until it is
// called (and in a backend whose boxes are the system's own or the harness,
// which ignore it) text measures 0 x 0, counts one line and draws nothing:
// the box still shows, laid out for no text. May be called before
// PlatformInit.
void PlatformLetterBoxes(const BoxLettering& lettering);

// ---- the player's language ----
enum { PLATFORM_LANGUAGE_JAPANESE = 0, PLATFORM_LANGUAGE_ENGLISH = 1 };
// The language the system's user interface is in, as far as the game
// speaks it: Japanese for a Japanese locale, English for any other. The
// desktop reads LC_ALL, then LC_MESSAGES, then LANG (the first one set and
// not empty); Windows the user's UI language; the browser
// navigator.language. The harness answers Japanese unless its --lang says
// otherwise. May be called before PlatformInit on every backend but the
// harness, whose command line decides.
int PlatformSystemLanguage();
// The language of the buttons of the boxes a backend draws itself (Yes, No,
// OK), from then on; Japanese until it is called. The system's own boxes
// (Windows) are lettered by the system, and the harness shows no buttons.
void PlatformSetBoxLanguage(int language);

// ---- pointer and keys ----
// Shows or hides the pointer over the game window. Cheap enough for every
// frame: the desktop and the browser pass only a change on to the system.
void PlatformShowCursor(bool visible);
// The pointer over the picture, in the picture's pixels (the clientWidth x
// clientHeight last asked for) from its top-left corner, whatever size the
// window really is; negative or past the picture's size when the pointer is
// outside it. Where the system shows a program the pointer only over its own
// window (Wayland, the browser) it is, outside, where it was last seen there.
// The harness gives the script's pointer.
void PlatformGetPointer(int* x, int* y);
// Puts the pointer over the centre of picture pixel (x, y); nothing on the
// desktop before its window exists. A page cannot move the system's pointer,
// so the browser (like the harness) only reads (x, y) back until the player
// (or the script) moves it again.
void PlatformSetPointer(int x, int y);
// True while the key is held. Keys are Windows virtual-key codes (1 and 2 are
// the left and right mouse buttons, 0x1B Escape, 0x41..0x5A letters, ...); a
// code the backend has no key for, or one outside 0..255, is never held.
bool PlatformIsKeyHeld(int virtualKey);
// How many times the keyboard's key went down since the last call for that
// key (since start-up for the first), held or let go since: a tap shorter
// than a frame, which PlatformIsKeyHeld never sees, still counts once. The
// system's repeats of a key held down do not count, nor do the mouse's
// buttons; a code the backend has no key for, or one outside 0..255, counts
// none. The count is held to KEY_PRESSES_HELD.
constexpr int KEY_PRESSES_HELD = 1000;
int PlatformTakeKeyPresses(int virtualKey);
// The position of the system's joystick id (0..15): its axes 0..65535 with
// the centre at 32768, and a mask of the buttons held (bit i: button i).
// False, with nothing written, when that joystick does not answer (none
// there, an id out of range, always in the browser).
bool PlatformJoystickPos(int id, unsigned* x, unsigned* y, unsigned* buttons);

// ---- game controller ----
// The pad: the game controller attached first of those still attached, read
// as SDL's game-controller interface names a pad's parts (the mapping
// database, and any SDL_GAMECONTROLLERCONFIG the player sets, make any
// joystick SDL knows such a pad; XInput on Windows; the Gamepad API's
// standard mapping in the browser). Axes run -32768..32767, the sticks'
// right and down positive, the triggers 0 (let go) to 32767.
enum {
    PAD_AXIS_LEFT_X = 0, PAD_AXIS_LEFT_Y, PAD_AXIS_RIGHT_X, PAD_AXIS_RIGHT_Y,
    PAD_AXIS_LEFT_TRIGGER, PAD_AXIS_RIGHT_TRIGGER, PAD_AXIS_COUNT
};
// A button's number is SDL's (A 0, B 1, X 2, Y 3, Back 4, Guide 5, Start 6,
// the sticks 7 and 8, the shoulders 9 and 10, the d-pad up, down, left and
// right 11..14); bit n of buttons is button n held.
constexpr int PAD_SDL_BUTTONS = 15;
struct PadState {
    int16_t axes[PAD_AXIS_COUNT];
    uint32_t buttons;
};
// The pad's state now into *state; false, with *state all zero, when no pad
// is attached. Pads come and go while the game runs: the next call after a
// pad is plugged in (or pulled out) sees it.
bool PlatformReadPad(PadState* state);
// Rumbles the pad at strength percent (1..100) for ms milliseconds (up to
// 5000); harmless with no pad or one that cannot rumble. The harness traces it.
void PlatformRumblePad(int strengthPercent, uint32_t ms);
// The notches the mouse wheel turned since the last call: positive away from
// the player (up), negative toward; 0 on a backend without a wheel.
int PlatformTakeWheelSteps();

// ---- time ----
// Milliseconds since some fixed point, wrapping at 2^32: times are compared
// by their unsigned difference. The harness's clock moves only in
// PlatformWaitFrame, as does a scripted browser run's (one period a frame).
uint32_t PlatformTimeMs();
// Waits ms milliseconds; returns at once in the harness (whose clock stays
// put) and in the browser, which may not wait.
void PlatformSleep(uint32_t ms);
// Returns once the clock has moved at least periodMs past
// previousFrameStart (the headless clock jumps straight there); on the
// browser, which never waits, it must only be called once PlatformFrameDue.
// Each call begins a frame: the harness and the browser number frames by
// these calls (the script's frame numbers, the trace, the shots and hashes),
// and the harness ends the run with status 2 at the call that would begin
// frame --max-frames.
void PlatformWaitFrame(uint32_t previousFrameStart, uint32_t periodMs);
// Whether the next frame may start now: always on the backends that wait in
// PlatformWaitFrame; on the browser, once the clock has moved periodMs past
// previousFrameStart, or is within a few milliseconds of it (a display's
// refresh just before the time may begin the frame, and PlatformWaitFrame
// then sets the clock to the frame's own time); a scripted browser run, once
// periodMs of real time have passed since its last frame began.
bool PlatformFrameDue(uint32_t previousFrameStart, uint32_t periodMs);
// Runs the game's frames: tick(context) for each chance of a frame until it
// returns false, then done(context). The desktop, Windows and headless
// backends loop here and return after done. The browser's never returns: it
// lets go of the caller's stack, and the page calls tick once per display
// refresh and done after the last tick; so context must outlive the caller
// (never on its stack).
void PlatformRunFrames(bool (*tick)(void*), void (*done)(void*), void* context);

// ---- events ----
enum {
    PLATFORM_EVENT_CLOSE = 1,         // the window's close button, Alt+F4
    PLATFORM_EVENT_MUSIC_DONE = 2,    // the music stream ended; see reason
    PLATFORM_EVENT_DEVICE_CHANGE = 3  // a joystick came or went
};
enum {
    MUSIC_DONE_SUCCESSFUL = 1,
    MUSIC_DONE_SUPERSEDED = 2,
    MUSIC_DONE_ABORTED = 4,
    MUSIC_DONE_FAILURE = 8
};
struct PlatformEvent {
    int type;
    int musicReason; // with PLATFORM_EVENT_MUSIC_DONE
};
// Takes the next event of the game's queue into *event, first gathering
// what the system has sent; false when there is none, and always while a
// message box is up (what arrives meanwhile waits for it).
bool PlatformPollEvent(PlatformEvent* event);

// The loudness of the music and of the effects, each a percentage (0 silent,
// 100 as the files are; other values are held to 0..100), at once for what
// is playing and for everything played after. Both start at 100. A backend
// without sound (or without a device) keeps the setting and plays nothing.
void PlatformSetVolumes(int musicPercent, int effectsPercent);

// ---- audio ----
// Starts the one-shot .wav at path, cutting off the effect playing (there is
// one effect at a time). False when it cannot play: no audio device, no such
// sound. The harness plays nothing, writes it to its trace and answers true.
bool PlatformPlaySound(const char* path);
// Stops the effect playing, if any.
void PlatformStopSound();
// The feedback sounds (a checkpoint taken, a death, the goal) have a path of
// their own, mixed beside the effect and the music: the shot's starts and
// stops never touch them, nor they the shot. Starts the one-shot .wav at
// path, cutting off the feedback sound playing (one at a time), at the
// effects' loudness. False when it cannot play: no audio device, no such
// sound (silence, never a default sound). The harness plays nothing, writes
// it to its trace ("ev":"feedback") and answers true.
bool PlatformPlayFeedback(const char* path);
// Stops the feedback sound playing, if any.
void PlatformStopFeedback();
// Opens path as the one music stream. False when it cannot: no audio device,
// no such song, or a stream already open (close that first). The harness
// writes it to its trace.
bool PlatformOpenMusic(const char* path);
// Plays the open stream once from its start (nothing when none is open);
// with notify, a PLATFORM_EVENT_MUSIC_DONE follows when it ends or stops.
// A backend may go straight on into the next pass when a notified play ends
// (the desktop and the browser do, so the loop has no gap): the play that
// answers that notification then carries on the pass under way instead of
// starting over. The harness's stream never ends by itself.
void PlatformPlayMusic(bool notify);
// Stops the stream, which stays open; a notified play reports
// MUSIC_DONE_ABORTED.
void PlatformStopMusic();
// Stops and closes the stream; harmless when none is open. A notified play
// closed without PlatformStopMusic first reports nothing (the desktop, the
// harness and the browser).
void PlatformCloseMusic();

// ---- files ----
enum {
    PLATFORM_FILE_OK = 0,
    PLATFORM_FILE_MISSING = 1,      // nothing at that path
    PLATFORM_FILE_NOT_REGULAR = 2,  // a folder, a pipe, a device: never a game file
    PLATFORM_FILE_UNREADABLE = 3    // there, but it may not be opened (permissions)
};
struct PlatformFile;
// Opens the regular file at path for reading without ever waiting (a pipe or
// a device in its place is refused at once) and gives its length in *size.
// PLATFORM_FILE_OK with *file the caller's, to be given to PlatformCloseFile;
// otherwise why not (PLATFORM_FILE_MISSING for nullptr or ""), with *file
// nullptr and *size 0.
int PlatformOpenFile(const char* path, PlatformFile** file, uint64_t* size);
// Reads up to size bytes into buffer: how many it read, which may be fewer
// than asked before the end; 0 at the end, -1 on an error (or a nullptr file).
long long PlatformReadFile(PlatformFile* file, void* buffer, size_t size);
// Closes the file and frees it; nullptr is let be.
void PlatformCloseFile(PlatformFile* file);

// Replaces the file at path with size bytes of data in one step (a temporary
// file beside it, made to reach the disk, then put in its place), so that a
// crash or power loss mid-write leaves the old file or the new one, never a
// torn one. A link at path is replaced by the new file, never written
// through, unless flags hold REPLACE_THROUGH_LINK (the score file and the
// settings: a player may keep them elsewhere); Windows ignores the flags and always replaces the
// link. A read-only file is left alone and the call fails. A new file gets
// the permissions the process's umask allows a data file; a replaced one
// keeps its own. False, with a reason in errorText (when given, errorSize
// bytes at most), if it cannot; the old file is then untouched. In the
// browser a file written is sent on to the browser's storage.
enum { REPLACE_THROUGH_LINK = 1 };
bool PlatformReplaceFile(const char* path, const void* data, size_t size, char* errorText,
                         size_t errorSize, int flags = 0);
// The lock that keeps two copies of the game from changing the files beside
// path (the score file) at once; every such change (a save, the tidying at
// start-up) is made holding it. Waits, three seconds at most, until no other
// copy holds it. One lock at a time: one this copy holds is let go first.
// POSIX systems lock the folder path lies in (at a link's end, when path is
// a link); Windows holds path.lock open, a file that vanishes when closed.
enum {
    PLATFORM_LOCK_HELD = 0,  // this copy holds it until PlatformUnlockFile
    PLATFORM_LOCK_NONE = 1,  // the system offers no lock there: go on without one
    PLATFORM_LOCK_BUSY = 2   // another holds it and did not let go in time: change nothing
};
int PlatformLockFile(const char* path);
// Lets go of the lock, when held, so that the next copy may have it. Call it
// after every PlatformLockFile, whatever that answered; harmless when nothing
// is held. In the browser it also sends the changes made meanwhile on to the
// browser's storage.
void PlatformUnlockFile();
// Removes the temporary files a PlatformReplaceFile of path with these flags
// that was killed mid-write left beside it (and, with REPLACE_THROUGH_LINK,
// beside the link's end). Call it holding the lock, or it may remove the
// file another copy is writing.
void PlatformRemoveReplaceLeftovers(const char* path, int flags = 0);

// ---- folders ----
// The folder holding the program's own file, with no trailing separator (but
// for the root), into buffer (size bytes, the terminating zero included);
// false when the system cannot tell (always in the browser) or it does not fit.
bool PlatformProgramFolder(char* buffer, size_t size);
// The folder where the player's own data belongs, into buffer as above
// ($XDG_DATA_HOME when it is an absolute path, else ~/.local/share, on
// Linux); false when the player has none (always on Windows, which keeps the
// data beside the program, and in the browser) or it does not fit.
bool PlatformUserDataFolder(char* buffer, size_t size);
// The folder where the player's settings belong, into buffer as above: on
// the desktop $XDG_CONFIG_HOME/prismveldt when XDG_CONFIG_HOME is an
// absolute path, else ~/.config/prismveldt; on Windows %APPDATA%\Prismveldt;
// in the browser a folder of the saved files, kept across visits. False when
// there is none or it does not fit; always in the harness, so that a test
// never reads the player's own settings unless it names a file. Only names
// the folder: nothing is made.
bool PlatformSettingsFolder(char* buffer, size_t size);

// ---- glyphs ----
// The glyph source: finds a face by name, sizes it the way the Windows font
// mapper sizes a font (cell height and average character width), measures
// text and hands out its glyphs as 8-bit coverage. FreeType on Linux (with
// fontconfig naming the faces) and in the browser (with the fonts shipped in
// the page's data), GDI on Windows. Texts are UTF-8 and never need a locale.
struct GlyphFontData;                 // private to the glyph source
typedef GlyphFontData* GlyphFont;     // nullptr: no font

// One glyph's coverage, rows top-down, 0 (background) .. 255 (ink). (x, y) is
// the top-left of the coverage box relative to the top-left corner of the
// text's cell, so the caller only adds where the text starts.
struct GlyphCoverage {
    const uint8_t* coverage;
    int width;
    int height;
    int pitch;   // bytes from one row to the next
    int x;
    int y;
};

// Receives the coverage boxes of PlatformRasteriseGlyphText one by one; the coverage
// is only valid during the call.
typedef void (*GlyphSink)(void* context, const GlyphCoverage& glyph);

// The face named faceName (as a game names it: "IMPACT", "ＭＳ 明朝", or any
// family; a name nothing stands for gets a stand-in) scaled so that its cell
// (ascent + descent) is height pixels and its average character width is width
// pixels, each axis on its own; width 0 keeps the face's own proportions.
// Sizes past 2048 pixels are cut to 2048. Opening the same font again is a
// cache lookup. nullptr when no face at all can be found (or the glyph source
// cannot start). The font is the glyph source's, never freed by the caller;
// the handle stays valid until the next PlatformOpenGlyphFont, which may
// drop fonts to make room.
GlyphFont PlatformOpenGlyphFont(const char* faceName, int width, int height);

// The font's cell height and ascent (baseline distance from the cell's top)
// in pixels; 0 for a nullptr font.
int PlatformGlyphCellHeight(GlyphFont font);
int PlatformGlyphAscent(GlyphFont font);

// The advance of length bytes of text in pixels, that is how far the next
// text would start (each glyph's advance is rounded to whole pixels, and
// there is no kerning, as with the system's TextOut); 0 for a nullptr font or
// no text. Malformed UTF-8 is walked as NextCodepoint walks it.
int PlatformMeasureGlyphText(GlyphFont font, const char* text, int length);

// Hands the coverage of the one-line text to sink, placed as by
// PlatformMeasureGlyphText from a pen starting at the cell's left: each
// visible glyph on its own with FreeType, the whole line as one box with GDI.
// Nothing for blank text, a nullptr font or a nullptr sink. sink is called
// during this call only, with coverage valid only during its own call.
void PlatformRasteriseGlyphText(GlyphFont font, const char* text, int length,
                        GlyphSink sink, void* context);

// The family and file the font's face came from (empty strings when unknown:
// GDI never names the file), for the tests and diagnostics. The strings last
// as long as the font's handle.
const char* PlatformGlyphFontFamily(GlyphFont font);
const char* PlatformGlyphFontFile(GlyphFont font);

// The code point at *cursor, moving *cursor past it; *cursor must be before
// end. Malformed or truncated UTF-8 yields U+FFFD for one byte, so any byte
// string can be walked safely.
inline uint32_t NextCodepoint(const char** cursor, const char* end) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(*cursor);
    const unsigned char* e = reinterpret_cast<const unsigned char*>(end);
    uint32_t c = *p;
    if (c < 0x80) {
        *cursor += 1;
        return c;
    }
    int extra = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2
              : c >= 0xF0 && c <= 0xF4 ? 3 : -1;
    if (extra < 0 || e - p <= extra) {
        *cursor += 1;
        return 0xFFFD;
    }
    uint32_t value = extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
    for (int i = 1; i <= extra; i++) {
        if ((p[i] & 0xC0) != 0x80) { *cursor += 1; return 0xFFFD; }
        value = (value << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static const uint32_t least[4] = {0, 0x80, 0x800, 0x10000};
    if (value < least[extra] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
        *cursor += 1;
        return 0xFFFD;
    }
    *cursor += extra + 1;
    return value;
}

// ---- HTTP ----
// Requests to the records board, made so that no frame ever waits on the
// network: a request is started, then asked about once a frame until it is
// answered or has failed. The desktop sends it with libcurl on a thread of
// its own, Windows with WinHTTP, the browser with fetch; the harness answers
// from a file of canned answers (--http-fake) when given one, else sends it
// as the desktop does. Timeouts: 5 s to connect, 30 s for the whole request.
enum {
    PLATFORM_HTTP_WAITING = 0,   // not answered yet: ask again next frame
    PLATFORM_HTTP_ANSWERED = 1,  // *status and the body hold the server's answer
    PLATFORM_HTTP_FAILED = 2     // no answer: refused, timed out, too large, no such request
};
// An answer longer than this fails: the board sends nothing near it.
constexpr size_t PLATFORM_HTTP_MAX_ANSWER = 4u << 20;
// Starts method ("GET", "POST", "DELETE") of url (http://host:port/path or
// https://...) with headers as "Name: value" lines, each ending "\n" (""
// for none), and size bytes of body (nullptr for none); all are copied. A
// handle above 0, or 0 when the request cannot even start (a backend
// without a network, a url that is no http or https one).
int PlatformHttpStart(const char* method, const char* url, const char* headers, const void* body,
                      size_t size);
// Never waits: PLATFORM_HTTP_*. Once ANSWERED, *status is the HTTP status
// and *body, *size the answer's bytes (not terminated), which stay the
// platform's until PlatformHttpEnd.
int PlatformHttpPoll(int handle, int* status, const char** body, size_t* size);
// Lets go of the request: one still waiting is cancelled, an answer is
// freed. Every handle PlatformHttpStart gave is ended once; 0 is let be.
void PlatformHttpEnd(int handle);

// ---- replay trace ----
// Records one frame: fields are the frame's JSON fields, at least one,
// without braces (e.g. "\"scene\":\"title\",\"sceneId\":0"), given once a
// frame. The harness writes them to its trace as a frame line with the
// frame's number and time; the browser prints that line on the console when
// the page asked for a trace; the desktop and Windows ignore them.
void PlatformTraceFrame(const char* fields);
// True when a trace is being written (lets callers skip formatting).
bool PlatformTracing();
