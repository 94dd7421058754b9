// The whole platform layer: what the game needs of the machine it runs on.
// One implementation per backend (platform/sdl, platform/headless,
// platform/windows), chosen when linking. Game code includes this header and never a backend's own headers.
#pragma once
#include <cstddef>
#include <cstdint>

// ---- process ----
// Called by main before anything else; the headless backend reads its command
// line and changes to the game's folder here.
void PlatformInit(int argc, char** argv);
// Called by the game's own option reader, before PlatformInit: the options the
// backend reads itself, each taking one value (nullptr-terminated; none for
// the player's backends), and a usage line for them ("" when none).
const char* const* PlatformCommandOptions();
const char* PlatformCommandUsage();
// Called by the option reader: the program's name as its usage gives it.
const char* PlatformProgramName();
// Called by ShutdownAndExit and the stage loader; ends the process at once.
[[noreturn]] void PlatformExit(int status);
// Called by game code for everything it prints on standard output.
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

// Called by SetDisplayMode; sets the window's caption text (UTF-8).
void PlatformSetWindowTitle(const char* title);
// Called by SetDisplayMode; true when the display can show a full screen of
// width x height (the desktop backends scale the picture to any monitor, so they
// always can).
bool PlatformTestFullscreen(int width, int height);
// Called by SetDisplayMode; a borderless topmost window covering the monitor,
// showing the width x height picture as large as fits with black bars (on
// Windows the display switches to width x height where it offers that mode).
void PlatformSetFullscreen(int width, int height);
// Called by SetDisplayMode and ShutdownAndExit; gives the desktop its own mode back.
void PlatformRestoreDisplay();
// Called by SetDisplayMode; a topmost window whose outer top-left corner is at
// desktop (x, y) for a picture of clientWidth x clientHeight; no caption when
// captionless, else a captioned window. The desktop may make the client area
// larger (a high-DPI desktop's scale factor) or smaller (a screen too small
// for it), and the player may resize it; the picture is scaled to fit.
void PlatformSetWindowed(int x, int y, int clientWidth, int clientHeight, bool captionless);
// Called by PresentSurface; shows a finished frame of 0x00RRGGBB pixels (pitch
// in pixels), scaled to the window as the shapes above say.
void PlatformPresent(const uint32_t* pixels, int width, int height, int pitch);
// Called by ShutdownAndExit.
void PlatformDestroyWindow();

// ---- message boxes ----
enum {
    PLATFORM_BOX_OK_ERROR = 0,    // one OK button, error icon
    PLATFORM_BOX_YESNO = 1,       // Yes and No, no icon
    PLATFORM_BOX_YESNO_QUESTION = 2 // Yes and No, question icon
};
// A box with UTF-8 texts. Returns true for Yes (and for OK), false for No.
// Modal on the desktop, Windows and headless backends: window messages that
// arrive while the box is open are delivered by the box's own loop. The
// browser never waits: an OK box is shown and stays up while the game ends
// behind it; a question there goes through PlatformAskBox.
bool PlatformMessageBox(const char* text, const char* caption, int style);
// A Yes/No question asked without waiting where the backend can (the
// browser): PLATFORM_BOX_WAITING while the box is up, then 1 for Yes or 0
// for No; called again (once a frame) until it answers. The modal backends
// answer at the first call.
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
// nullptr keeps its default. Until it is called (and in a backend whose boxes
// are the system's own, which ignores it) text measures 0 x 0, counts one
// line and draws nothing: the box still shows, laid out for no text.
void PlatformLetterBoxes(const BoxLettering& lettering);

// ---- pointer and keys ----
// Called by SetMouseCursor, SetDisplayMode and ShutdownAndExit.
void PlatformShowCursor(bool visible);
// Called by GetMousePos: the pointer over the picture, in the picture's pixels
// (the clientWidth x clientHeight the shell asked for) from its top-left
// corner, whatever size the window really is; negative or past the picture's
// size when the pointer is outside it.
void PlatformGetPointer(int* x, int* y);
// Called by SetMousePos: puts the pointer over picture pixel (x, y).
void PlatformSetPointer(int x, int y);
// Called by the input layer; Windows virtual-key codes (1 and 2 are the left
// and right mouse buttons, 0x1B Escape, 0x41..0x5A letters, ...). True while held.
bool PlatformIsKeyHeld(int virtualKey);
// Called by the joystick queries; false when system joystick id does not answer.
bool PlatformJoystickPos(int id, unsigned* x, unsigned* y, unsigned* buttons);

// ---- time ----
// Called by every frame loop; milliseconds since some fixed point, wrapping.
uint32_t PlatformTimeMs();
// Called by WaitKeyPaced.
void PlatformSleep(uint32_t ms);
// Returns once the clock has moved at least periodMs past
// previousFrameStart (the headless clock jumps straight there); on the
// browser, which never waits, it must only be called once PlatformFrameDue.
void PlatformWaitFrame(uint32_t previousFrameStart, uint32_t periodMs);
// Whether the next frame may start now: always on the backends that wait in
// PlatformWaitFrame; on the browser, once the clock has moved periodMs past
// previousFrameStart.
bool PlatformFrameDue(uint32_t previousFrameStart, uint32_t periodMs);
// Runs the game's frames: tick(context) for each chance of a frame until it
// returns false, then done(context). The desktop, Windows and headless
// backends loop here and return after done; the browser calls tick from the
// page once per display refresh and returns at once.
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
// Called by PumpMessages; false when the queue is empty.
bool PlatformPollEvent(PlatformEvent* event);

// ---- audio ----
// Called by PlaySoundEffect; starts a one-shot .wav, cutting off the one playing.
bool PlatformPlaySound(const char* path);
// Called by StopSoundEffect.
void PlatformStopSound();
// Called by PlayMusic; opens the one music stream. False when it cannot.
bool PlatformOpenMusic(const char* path);
// Called by PlayMusic and WindowProc; plays the open stream once from its
// start; with notify, a PLATFORM_EVENT_MUSIC_DONE follows when it ends or stops.
// A backend may go straight on into the next pass when a notified play ends
// (the desktop does, so the loop has no gap): the play that answers that
// notification then carries on the pass under way instead of starting over.
void PlatformPlayMusic(bool notify);
// Called by StopMusic; a notified play reports MUSIC_DONE_ABORTED.
void PlatformStopMusic();
// Called by StopMusic and ShutdownAndExit.
void PlatformCloseMusic();

// ---- files ----
enum {
    PLATFORM_FILE_OK = 0,
    PLATFORM_FILE_MISSING = 1,      // nothing at that path
    PLATFORM_FILE_NOT_REGULAR = 2,  // a folder, a pipe, a device: never a game file
    PLATFORM_FILE_UNREADABLE = 3    // there, but it may not be opened (permissions)
};
struct PlatformFile;
// Called by the picture, stage and score readers: opens the regular file at
// path for reading without ever waiting (a pipe or a device in its place is
// refused at once) and gives its length in *size. PLATFORM_FILE_OK or why not.
int PlatformOpenFile(const char* path, PlatformFile** file, uint64_t* size);
// Called by the same readers: up to size bytes; 0 at the end, -1 on an error.
long long PlatformReadFile(PlatformFile* file, void* buffer, size_t size);
void PlatformCloseFile(PlatformFile* file);

// Called by every writer of the game's files: replaces the file at path with
// size bytes of data in one step, so that a crash or power loss mid-write
// leaves the old file or the new one, never a torn one. A link at path is
// replaced by the new file, never written through, unless flags hold
// REPLACE_THROUGH_LINK (the score file: a player may keep it elsewhere). A
// read-only file is left alone. A new file gets the permissions the process's
// umask allows a data file; a replaced one keeps its own. False, with a reason
// in errorText (when given), if it cannot; the old file is then untouched.
enum { REPLACE_THROUGH_LINK = 1 };
bool PlatformReplaceFile(const char* path, const void* data, size_t size, char* errorText,
                         size_t errorSize, int flags = 0);
// Called around every change to the files beside the score file (a save, the
// tidying at start-up), so that two copies of the game never change them at
// once: waits, a few seconds at most, until no other copy holds the lock for
// path.
enum {
    PLATFORM_LOCK_HELD = 0,  // this copy holds it until PlatformUnlockFile
    PLATFORM_LOCK_NONE = 1,  // the system offers no lock there: go on without one
    PLATFORM_LOCK_BUSY = 2   // another holds it and did not let go in time: change nothing
};
int PlatformLockFile(const char* path);
// Called after every PlatformLockFile, whatever it answered: lets the next
// copy in (when the lock is held) and makes the changes made meanwhile last.
void PlatformUnlockFile();
// Called at start-up, under the lock, with the path of each file the game
// writes and the flags it is written with: removes what a PlatformReplaceFile
// that was killed mid-write left beside it.
void PlatformRemoveReplaceLeftovers(const char* path, int flags = 0);

// ---- folders ----
// Called by ChooseDataFolder: the folder holding the program's own file, into
// buffer; false when the system cannot tell.
bool PlatformProgramFolder(char* buffer, size_t size);
// Called by ChooseDataFolder: the folder where the player's own data belongs
// ($XDG_DATA_HOME when it is an absolute path, else ~/.local/share, on
// Linux); false when the player has none.
bool PlatformUserDataFolder(char* buffer, size_t size);

// ---- glyphs ----
// The glyph source: finds a face by name, sizes it the way the Windows font
// mapper sizes a font (cell height and average character width), measures
// text and hands out its glyphs as 8-bit coverage. FreeType with fontconfig
// naming the faces on Linux, GDI on Windows. Texts are UTF-8 and never need a
// locale.
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

// Receives the glyphs of PlatformRasteriseGlyphText one by one; the coverage is only
// valid during the call.
typedef void (*GlyphSink)(void* context, const GlyphCoverage& glyph);

// Called by SetFont and the text helpers; the face named faceName (as a game
// names it: "IMPACT", "ＭＳ 明朝", or any family) scaled so that its cell
// (ascent + descent) is height pixels and its average character width is width
// pixels, each axis on its own; width 0 keeps the face's own proportions.
// Opening the same font again is a cache lookup. nullptr when no face at all
// can be found. The handle stays valid until the next PlatformOpenGlyphFont.
GlyphFont PlatformOpenGlyphFont(const char* faceName, int width, int height);

// Called by the text layout; the font's cell height and ascent (baseline
// distance from the cell's top) in pixels.
int PlatformGlyphCellHeight(GlyphFont font);
int PlatformGlyphAscent(GlyphFont font);

// Called by the text layout; the advance of length bytes of text in pixels,
// that is how far the next text would start (each glyph's advance is rounded
// to whole pixels, and there is no kerning, as with the system's TextOut).
int PlatformMeasureGlyphText(GlyphFont font, const char* text, int length);

// Called by the text drawing; hands each visible glyph of the one-line text to
// sink, placed as by PlatformMeasureGlyphText from a pen starting at the cell's left.
void PlatformRasteriseGlyphText(GlyphFont font, const char* text, int length,
                        GlyphSink sink, void* context);

// Called by tests and diagnostics; the family and file the font's face came
// from (empty strings when unknown).
const char* PlatformGlyphFontFamily(GlyphFont font);
const char* PlatformGlyphFontFile(GlyphFont font);

// Called by the glyph sources and the text layout: the code point at *cursor
// (before end), moving *cursor past it. Malformed or truncated UTF-8 yields
// U+FFFD for one byte, so any byte string can be walked safely.
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

// ---- replay trace ----
// Called once per frame by the frame loops with the frame's JSON fields
// (without braces, e.g. "\"scene\":\"title\",\"sceneId\":0"); the headless
// backend writes them to its trace, the desktop ignores them.
void PlatformTraceFrame(const char* fields);
// True when a trace is being written (lets callers skip formatting).
bool PlatformTracing();
