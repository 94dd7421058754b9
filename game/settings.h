// The player's settings: what they are, their defaults, and the file that
// keeps them between runs.
//
// The defaults are the game exactly as it plays without a settings file:
// full volume, the start-up question, full speed, the mouse and keys it has
// always read. Nothing here applies a setting; each part of the game reads
// the one it needs from `settings`.
//
// The file is plain text a player may edit: `name = value` lines, `#` at the
// start of a comment line, blank lines anywhere, blanks around the name and
// the value ignored, names and values in any case (written lower-case).
// For example:
//
//     music_volume = 70
//     start_display = window
//     pad_rumble = off
//     bind_fire = mouse left, pad righttrigger
//     bind_pause = key p, key pause, pad start
//     online = on
//     online_name = Kestrel
//     online_server = http://127.0.0.1:8787
//
// A line the game does not know (a name of its own, a later version's
// setting, a comment) is kept and written back as it was when the game saves.
// A value it cannot use counts as its default, with one line on standard
// error naming the file, the line and the setting; the other lines still
// count. A file that is not text (NUL bytes, other control bytes, invalid
// UTF-8) or is larger than SETTINGS_FILE_MAX_BYTES counts as all defaults,
// with one line. Reading never writes: a damaged file stays as it is until
// the player changes a setting and the game saves.
#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The most of a settings file that is read; a larger one is not a settings
// file the game wrote or a person typed.
constexpr size_t SETTINGS_FILE_MAX_BYTES = 64 * 1024;

enum StartDisplay {
    START_DISPLAY_ASK = 0,   // the start-up question, as always
    START_DISPLAY_WINDOW,
    START_DISPLAY_FULLSCREEN
};

// The language of the boxes and the window's title: the system's (see
// PlatformSystemLanguage), or one chosen.
enum LanguageChoice { LANGUAGE_SYSTEM = 0, LANGUAGE_ENGLISH, LANGUAGE_JAPANESE };

// What an input comes from. A key's code is its Windows virtual-key code (as
// input/input.h and the harness's scripts name keys); a mouse button's is
// its virtual-key code too (VK_LBUTTON 1, VK_RBUTTON 2, VK_MBUTTON 4); a pad
// button's is a PadButton.
enum InputDevice { INPUT_NONE = 0, INPUT_KEY, INPUT_MOUSE, INPUT_PAD };

// A game controller's buttons, numbered as SDL's game-controller buttons so
// that a backend maps them straight across; the triggers, which SDL reads as
// axes, come after them.
enum PadButton {
    PAD_A = 0, PAD_B, PAD_X, PAD_Y, PAD_BACK, PAD_GUIDE, PAD_START, PAD_LEFT_STICK,
    PAD_RIGHT_STICK, PAD_LEFT_SHOULDER, PAD_RIGHT_SHOULDER, PAD_DPAD_UP, PAD_DPAD_DOWN,
    PAD_DPAD_LEFT, PAD_DPAD_RIGHT, PAD_LEFT_TRIGGER, PAD_RIGHT_TRIGGER,
    PAD_BUTTON_COUNT
};

struct Input {
    int device = INPUT_NONE;  // InputDevice
    int code = 0;
    bool operator==(const Input&) const = default;
};

// The inputs that do one thing, any of them enough; the used ones first, the
// rest INPUT_NONE. Three, because pausing has always been P and the Pause
// key on the keyboard, and a pad needs its own.
constexpr int BINDING_INPUTS = 3;
struct Binding {
    std::array<Input, BINDING_INPUTS> inputs{};
    bool operator==(const Binding&) const = default;
};

// What the player can bind, in the order the file lists them.
enum Action {
    ACTION_FIRE = 0, ACTION_PAUSE, ACTION_RETRY, ACTION_MENU_UP, ACTION_MENU_DOWN,
    ACTION_MENU_LEFT, ACTION_MENU_RIGHT, ACTION_MENU_ACCEPT, ACTION_MENU_BACK,
    ACTION_COUNT
};
// The bindings the game has without a settings file.
std::array<Binding, ACTION_COUNT> DefaultBindings();
// An input as the file names it ("key p", "mouse left", "pad start"), or ""
// for one it has no name for.
std::string InputName(const Input& input);
// Every input the file has a name for: the keys, the mouse's buttons and
// the pad's buttons, triggers included.
std::vector<Input> NameableInputs();

// The slowest game speed, percent: the assist's other end is full speed, 100.
constexpr int GAME_SPEED_MIN = 50;

struct Settings {
    int musicVolume = 100;       // percent, 0..100 in steps of 10
    int effectsVolume = 100;     // percent, 0..100 in steps of 10
    int startDisplay = START_DISPLAY_ASK;  // StartDisplay
    bool pauseOnFocusLoss = false;
    bool vsync = false;
    int gameSpeed = 100;         // percent, GAME_SPEED_MIN..100 in steps of 10
    int padDeadzone = 15;        // percent of the stick's travel, 0..30
    bool padLeftStickAims = false;
    bool padRumble = true;
    bool reducedFlashing = false;
    bool feedbackSounds = true;  // the sounds of a checkpoint taken, a death, the goal
    int language = LANGUAGE_SYSTEM;  // LanguageChoice
    // The online records board: nothing is ever sent while online is off,
    // or the name or the server's address is empty (none until the player
    // gives one). Their case is kept, unlike other values.
    bool online = false;
    std::string onlineName;    // "" or a GoodOnlineName
    std::string onlineServer;  // "" or a GoodServerAddress
    std::array<Binding, ACTION_COUNT> bindings = DefaultBindings();  // by Action
    bool operator==(const Settings&) const = default;
};

// The board's names: 1..16 printable ASCII characters (space included),
// not starting or ending with a space (the file trims them).
constexpr size_t ONLINE_NAME_MAX = 16;
bool GoodOnlineName(std::string_view name);
// http://HOST[:PORT][/PATH] or https://..., printable ASCII without spaces,
// at most ONLINE_SERVER_MAX characters.
constexpr size_t ONLINE_SERVER_MAX = 200;
bool GoodServerAddress(std::string_view address);
// Whether runs are sent: online on, with a name and a server.
bool OnlineReady(const Settings& settings);

// The running game's settings, loaded once at start-up. A global, as the
// display mode is, because every scene and the audio read it, from the
// first frame to the last, and passing one value through every step of
// every scene would change each of their signatures for nothing.
extern Settings settings;

// The language settings ask for: PLATFORM_LANGUAGE_ENGLISH or
// PLATFORM_LANGUAGE_JAPANESE, the system's when they leave it to the system.
int LanguageOf(const Settings& settings);

// What a settings file's text says.
struct SettingsText {
    Settings settings;                 // defaults where a line did not say
    std::vector<std::string> kept;     // the lines not ours, in order, as written
    std::vector<std::string> complaints;  // whole lines for standard error, no newline
    bool isText = true;  // false: not a settings file's text at all (defaults, nothing kept)
};
// Reads a settings file's text (pure: no files, no output). fileName names
// the file in the complaints. Lines end at LF (CRs before it and UTF-8
// byte-order marks at a line's start are dropped). A line of a known name with a
// value it cannot use gives one complaint and leaves the default; a line
// that is no `name = value` gives one complaint and is kept; unknown names,
// comments and blank lines are kept silently. Of a name given twice the last
// usable value counts. Text that is not UTF-8 or holds control bytes other
// than tab, CR and LF is no settings file: all defaults, nothing kept, one
// complaint. Past the eighth complaint the rest are counted in one more.
SettingsText ParseSettings(std::string_view text, const std::string& fileName);
// The file's text for settings: the kept lines first, as they were, then
// every known name in a fixed order. With no kept lines (a new file) a short
// comment header comes first, saying how to edit the file. For settings
// within their ranges, parsing the text gives settings and the same kept
// lines back; an input the file has no name for is left out of its binding.
std::string FormatSettings(const Settings& settings, const std::vector<std::string>& kept);

// Reads the settings file at path into *out (replaced whole), writing each
// complaint to standard error. With no file, an empty path, or a file that
// cannot be used (too large, not a file, unreadable: one line), *out is the
// defaults. True when a file was read as text (whatever it complained of).
// Writes nothing but removes what a save killed mid-write left beside the file
// (under PlatformLockFile, so call it holding no other lock).
bool LoadSettings(const std::string& path, Settings* out);
// Writes settings to path in one step (PlatformReplaceFile: the old file or
// the new one, never a torn one), keeping the lines of the file there that
// are not the game's own (see FormatSettings). A link at path is written
// through, as the score file is: the file is the player's own. The folder is
// made, private to the player (0700), when missing; a new file gets the
// umask's permissions. False with one line on standard error when it cannot
// be written, or when the file there cannot be read (its other lines would be
// lost); the old file is then untouched. False and silent for an empty path
// (no settings file). Takes PlatformLockFile, so call it holding no other lock.
bool SaveSettings(const std::string& path, const Settings& settings);

// The --settings option's file (absolute), "" when not given; set by the
// shell from the command line before SettingsFilePath is asked.
extern std::string settingsFileOption;
// The settings file for this run: the --settings file when given, else
// settings.ini in the platform's settings folder (PlatformSettingsFolder),
// else "" (no settings file: the defaults, and nothing is ever written).
// Only names the file: nothing is made.
std::string SettingsFilePath();
