// The player's settings and their file; see settings.h.
#include "game/settings.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "game/datadir.h"
#include "gfx/whole_file.h"
#include "input/input.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

Settings settings;

int LanguageOf(const Settings& s)
{
    switch (s.language) {
    case LANGUAGE_ENGLISH: return PLATFORM_LANGUAGE_ENGLISH;
    case LANGUAGE_JAPANESE: return PLATFORM_LANGUAGE_JAPANESE;
    default: return PlatformSystemLanguage();
    }
}
std::string settingsFileOption;

bool GoodOnlineName(std::string_view name)
{
    if (name.empty() || name.size() > ONLINE_NAME_MAX || name.front() == ' ' || name.back() == ' ') return false;
    for (unsigned char c : name)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

bool GoodServerAddress(std::string_view address)
{
    if (address.size() > ONLINE_SERVER_MAX) return false;
    size_t scheme = address.rfind("https://", 0) == 0 ? 8 : address.rfind("http://", 0) == 0 ? 7 : 0;
    if (scheme == 0 || address.size() == scheme || address[scheme] == '/') return false;
    for (unsigned char c : address)
        if (c <= 0x20 || c > 0x7E) return false;
    return true;
}

bool OnlineReady(const Settings& s)
{
    return s.online && GoodOnlineName(s.onlineName) && GoodServerAddress(s.onlineServer);
}

std::array<Binding, ACTION_COUNT> DefaultBindings()
{
    auto key = [](int code) { return Input{INPUT_KEY, code}; };
    auto pad = [](int code) { return Input{INPUT_PAD, code}; };
    std::array<Binding, ACTION_COUNT> bindings{};
    bindings[ACTION_FIRE].inputs = {Input{INPUT_MOUSE, VK_LBUTTON}, pad(PAD_RIGHT_TRIGGER)};
    bindings[ACTION_PAUSE].inputs = {key('P'), key(VK_PAUSE), pad(PAD_START)};
    bindings[ACTION_RETRY].inputs = {key('R'), pad(PAD_Y)};
    bindings[ACTION_MENU_UP].inputs = {key(VK_UP), pad(PAD_DPAD_UP)};
    bindings[ACTION_MENU_DOWN].inputs = {key(VK_DOWN), pad(PAD_DPAD_DOWN)};
    bindings[ACTION_MENU_LEFT].inputs = {key(VK_LEFT), pad(PAD_DPAD_LEFT)};
    bindings[ACTION_MENU_RIGHT].inputs = {key(VK_RIGHT), pad(PAD_DPAD_RIGHT)};
    bindings[ACTION_MENU_ACCEPT].inputs = {key(VK_RETURN), pad(PAD_A)};
    bindings[ACTION_MENU_BACK].inputs = {key(VK_ESCAPE), pad(PAD_B)};
    return bindings;
}

namespace {

// ---- the names of inputs ----

struct Name {
    const char* name;
    int code;
};

// Keys the file names besides letters, digits and F1..F12, as the harness's
// scripts name them where they overlap.
const Name KEY_NAMES[] = {
    {"esc", VK_ESCAPE}, {"enter", VK_RETURN}, {"space", VK_SPACE}, {"left", VK_LEFT},
    {"up", VK_UP},      {"right", VK_RIGHT},  {"down", VK_DOWN},   {"tab", VK_TAB},
    {"pause", VK_PAUSE}, {"shift", VK_SHIFT}, {"ctrl", VK_CONTROL}, {"alt", VK_MENU},
};
const Name MOUSE_NAMES[] = {{"left", VK_LBUTTON}, {"right", VK_RBUTTON}, {"middle", VK_MBUTTON}};
// SDL's own names for a game controller's buttons.
const Name PAD_NAMES[] = {
    {"a", PAD_A}, {"b", PAD_B}, {"x", PAD_X}, {"y", PAD_Y}, {"back", PAD_BACK},
    {"guide", PAD_GUIDE}, {"start", PAD_START}, {"leftstick", PAD_LEFT_STICK},
    {"rightstick", PAD_RIGHT_STICK}, {"leftshoulder", PAD_LEFT_SHOULDER},
    {"rightshoulder", PAD_RIGHT_SHOULDER}, {"dpup", PAD_DPAD_UP}, {"dpdown", PAD_DPAD_DOWN},
    {"dpleft", PAD_DPAD_LEFT}, {"dpright", PAD_DPAD_RIGHT}, {"lefttrigger", PAD_LEFT_TRIGGER},
    {"righttrigger", PAD_RIGHT_TRIGGER},
};
const char* const DEVICE_NAMES[] = {"", "key", "mouse", "pad"};

template <size_t N>
bool CodeOfName(const Name (&names)[N], std::string_view name, int* code)
{
    for (const Name& n : names)
        if (name == n.name) {
            *code = n.code;
            return true;
        }
    return false;
}

template <size_t N>
std::string NameOfCode(const Name (&names)[N], int code)
{
    for (const Name& n : names)
        if (n.code == code) return n.name;
    return "";
}

bool KeyCodeOfName(std::string_view name, int* code)
{
    if (name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= '0' && name[0] <= '9'))) {
        *code = name[0] >= 'a' ? name[0] - 'a' + 'A' : name[0];
        return true;
    }
    if ((name.size() == 2 || name.size() == 3) && name[0] == 'f') {
        int number = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9') return false;
            number = number * 10 + (c - '0');
        }
        if (number < 1 || number > 12 || name[1] == '0') return false;
        *code = VK_F1 + number - 1;
        return true;
    }
    return CodeOfName(KEY_NAMES, name, code);
}

std::string KeyNameOfCode(int code)
{
    if (code >= 'A' && code <= 'Z') return std::string(1, static_cast<char>(code - 'A' + 'a'));
    if (code >= '0' && code <= '9') return std::string(1, static_cast<char>(code));
    if (code >= VK_F1 && code <= VK_F12) {
        // Appended, not "f" + ...: GCC 12 warns falsely (-Wrestrict) of that form.
        std::string name = "f";
        name += std::to_string(code - VK_F1 + 1);
        return name;
    }
    return NameOfCode(KEY_NAMES, code);
}

}  // namespace

std::string InputName(const Input& input)
{
    std::string name = input.device == INPUT_KEY     ? KeyNameOfCode(input.code)
                       : input.device == INPUT_MOUSE ? NameOfCode(MOUSE_NAMES, input.code)
                       : input.device == INPUT_PAD   ? NameOfCode(PAD_NAMES, input.code)
                                                     : "";
    return name.empty() ? "" : std::string(DEVICE_NAMES[input.device]) + " " + name;
}

std::vector<Input> NameableInputs()
{
    std::vector<Input> inputs;
    for (int c = 'A'; c <= 'Z'; c++) inputs.push_back({INPUT_KEY, c});
    for (int c = '0'; c <= '9'; c++) inputs.push_back({INPUT_KEY, c});
    for (int c = VK_F1; c <= VK_F12; c++) inputs.push_back({INPUT_KEY, c});
    for (const Name& n : KEY_NAMES) inputs.push_back({INPUT_KEY, n.code});
    for (const Name& n : MOUSE_NAMES) inputs.push_back({INPUT_MOUSE, n.code});
    for (const Name& n : PAD_NAMES) inputs.push_back({INPUT_PAD, n.code});
    return inputs;
}

namespace {

// ---- text ----

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// What a complaint quotes of the file: printable ASCII, and not much of it.
std::string Shown(std::string_view text)
{
    constexpr size_t MOST = 40;
    if (text.empty()) return "(nothing)";
    std::string shown;
    for (size_t i = 0; i < text.size() && i < MOST; i++) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        shown += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    if (text.size() > MOST) shown += "...";
    return shown;
}

// Text a person could have typed: UTF-8, with no control bytes but tab, CR
// and LF (a NUL, a stray escape or a binary file's bytes are none).
bool IsPlainText(std::string_view text)
{
    const char* cursor = text.data();
    const char* end = text.data() + text.size();
    while (cursor < end) {
        unsigned char c = static_cast<unsigned char>(*cursor);
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F) return false;
        const char* before = cursor;
        // Malformed UTF-8 gives U+FFFD for a single byte; a real U+FFFD is three.
        if (NextCodepoint(&cursor, end) == 0xFFFD && cursor - before == 1) return false;
    }
    return true;
}

// A whole number of at most four digits, no sign.
bool ReadNumber(std::string_view text, int* value)
{
    if (text.empty() || text.size() > 4) return false;
    int number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    *value = number;
    return true;
}

// One to BINDING_INPUTS inputs with commas between ("key p, pad start"), or
// "none" for no input at all.
bool ReadBinding(std::string_view text, Binding* binding)
{
    Binding read;
    std::string lower = Lower(text);
    if (lower == "none") {
        *binding = read;
        return true;
    }
    std::string_view rest = lower;
    for (int count = 0;; count++) {
        size_t comma = rest.find(',');
        std::string_view part = Trimmed(rest.substr(0, comma));
        if (count == BINDING_INPUTS || part.empty()) return false;
        size_t gap = part.find_first_of(" \t");
        if (gap == std::string_view::npos) return false;
        std::string_view device = part.substr(0, gap), name = Trimmed(part.substr(gap));
        Input& input = read.inputs[count];
        bool known = device == "key"     ? KeyCodeOfName(name, &input.code)
                     : device == "mouse" ? CodeOfName(MOUSE_NAMES, name, &input.code)
                     : device == "pad"   ? CodeOfName(PAD_NAMES, name, &input.code)
                                         : false;
        if (!known) return false;
        input.device = device == "key" ? INPUT_KEY : device == "mouse" ? INPUT_MOUSE : INPUT_PAD;
        if (comma == std::string_view::npos) break;
        rest = rest.substr(comma + 1);
    }
    *binding = read;
    return true;
}

std::string BindingText(const Binding& binding)
{
    std::string text;
    for (const Input& input : binding.inputs) {
        std::string name = InputName(input);
        if (name.empty()) continue;
        text += (text.empty() ? "" : ", ") + name;
    }
    return text.empty() ? "none" : text;
}

const char* const START_DISPLAY_NAMES[] = {"ask", "window", "fullscreen", nullptr};
const char* const LANGUAGE_NAMES[] = {"system", "english", "japanese", nullptr};

// ---- the known settings, in the file's order ----

enum FieldKind { FIELD_NUMBER, FIELD_SWITCH, FIELD_CHOICE, FIELD_BINDING, FIELD_TEXT };

struct Field {
    const char* name;
    FieldKind kind;
    int Settings::*number;  // FIELD_NUMBER, FIELD_CHOICE
    bool Settings::*flag;   // FIELD_SWITCH
    int low, high, step;    // FIELD_NUMBER
    int action;             // FIELD_BINDING
    const char* const* choices = nullptr;  // FIELD_CHOICE: the values' names, by value, then nullptr
    std::string Settings::*text = nullptr;  // FIELD_TEXT: "" or what good accepts, case kept
    bool (*good)(std::string_view) = nullptr;
    const char* takes = nullptr;            // FIELD_TEXT: what good accepts, for a complaint
};

Field Number(const char* name, int Settings::*number, int low, int high, int step)
{
    return Field{name, FIELD_NUMBER, number, nullptr, low, high, step, 0};
}
Field Switch(const char* name, bool Settings::*flag)
{
    return Field{name, FIELD_SWITCH, nullptr, flag, 0, 0, 0, 0};
}
// A value from 0 up named by choices; the first is the default.
Field Choice(const char* name, int Settings::*number, const char* const* choices)
{
    return Field{name, FIELD_CHOICE, number, nullptr, 0, 0, 0, 0, choices};
}
Field Text(const char* name, std::string Settings::*text, bool (*good)(std::string_view), const char* takes)
{
    return Field{name, FIELD_TEXT, nullptr, nullptr, 0, 0, 0, 0, nullptr, text, good, takes};
}
Field Bind(const char* name, int action)
{
    return Field{name, FIELD_BINDING, nullptr, nullptr, 0, 0, 0, action};
}

const Field FIELDS[] = {
    Number("music_volume", &Settings::musicVolume, 0, 100, 10),
    Number("effects_volume", &Settings::effectsVolume, 0, 100, 10),
    Choice("start_display", &Settings::startDisplay, START_DISPLAY_NAMES),
    Switch("pause_on_focus_loss", &Settings::pauseOnFocusLoss),
    Switch("vsync", &Settings::vsync),
    Number("game_speed", &Settings::gameSpeed, GAME_SPEED_MIN, 100, 10),
    Number("pad_deadzone", &Settings::padDeadzone, 0, 30, 1),
    Switch("pad_left_stick_aims", &Settings::padLeftStickAims),
    Switch("pad_rumble", &Settings::padRumble),
    Switch("reduced_flashing", &Settings::reducedFlashing),
    Switch("feedback_sounds", &Settings::feedbackSounds),
    Choice("language", &Settings::language, LANGUAGE_NAMES),
    Bind("bind_fire", ACTION_FIRE),
    Bind("bind_pause", ACTION_PAUSE),
    Bind("bind_retry", ACTION_RETRY),
    Bind("bind_menu_up", ACTION_MENU_UP),
    Bind("bind_menu_down", ACTION_MENU_DOWN),
    Bind("bind_menu_left", ACTION_MENU_LEFT),
    Bind("bind_menu_right", ACTION_MENU_RIGHT),
    Bind("bind_menu_accept", ACTION_MENU_ACCEPT),
    Bind("bind_menu_back", ACTION_MENU_BACK),
    Switch("online", &Settings::online),
    Text("online_name", &Settings::onlineName, GoodOnlineName, "1 to 16 printable ASCII characters, or nothing"),
    Text("online_server", &Settings::onlineServer, GoodServerAddress,
         "an address such as http://host:port or https://host, or nothing"),
};

std::string ValueText(const Field& field, const Settings& s)
{
    switch (field.kind) {
    case FIELD_NUMBER: return std::to_string(s.*field.number);
    case FIELD_SWITCH: return s.*field.flag ? "on" : "off";
    case FIELD_CHOICE: {
        int value = s.*field.number;
        for (int i = 0; field.choices[i]; i++)
            if (i == value) return field.choices[i];
        return field.choices[0];
    }
    case FIELD_BINDING: return BindingText(s.bindings[field.action]);
    case FIELD_TEXT: return s.*field.text;
    }
    return "";
}

// Sets the field from value (lower-cased); false, leaving s as it was, when
// the value is not one the field takes.
bool ReadValue(const Field& field, const std::string& value, Settings* s)
{
    switch (field.kind) {
    case FIELD_NUMBER: {
        int number;
        if (!ReadNumber(value, &number) || number < field.low || number > field.high ||
            (number - field.low) % field.step != 0)
            return false;
        s->*field.number = number;
        return true;
    }
    case FIELD_SWITCH:
        if (value != "on" && value != "off") return false;
        s->*field.flag = value == "on";
        return true;
    case FIELD_CHOICE:
        for (int i = 0; field.choices[i]; i++)
            if (value == field.choices[i]) {
                s->*field.number = i;
                return true;
            }
        return false;
    case FIELD_BINDING: return ReadBinding(value, &s->bindings[field.action]);
    case FIELD_TEXT:
        if (!value.empty() && !field.good(value)) return false;
        s->*field.text = value;
        return true;
    }
    return false;
}

// What the field takes, for a complaint: "is not " + this.
std::string Takes(const Field& field)
{
    switch (field.kind) {
    case FIELD_NUMBER:
        return std::to_string(field.low) + ".." + std::to_string(field.high) +
               (field.step > 1 ? " in steps of " + std::to_string(field.step) : "");
    case FIELD_SWITCH: return "on or off";
    case FIELD_CHOICE: {
        std::string names = field.choices[0];
        for (int i = 1; field.choices[i]; i++)
            names += (field.choices[i + 1] ? ", " : " or ") + std::string(field.choices[i]);
        return names;
    }
    case FIELD_BINDING:
        return "one to " + std::to_string(BINDING_INPUTS) +
               " inputs such as key p, mouse left or pad a, with commas between, or none";
    case FIELD_TEXT: return field.takes;
    }
    return "";
}

const char* const HEADER =
    "# Prismveldt's settings, read when the game starts. Each line is\n"
    "# name = value; a line starting with # is a comment, and lines the game\n"
    "# does not know are kept as they are.\n"
    "# Volumes: 0..100 in steps of 10. game_speed: 50..100 in steps of 10.\n"
    "# pad_deadzone: 0..30. start_display: ask, window or fullscreen.\n"
    "# language: system, english or japanese.\n"
    "# online: on to send best times to the records board at online_server\n"
    "# (http://host:port) under online_name (1 to 16 characters).\n"
    "# Switches: on or off. A binding: up to three inputs with commas between,\n"
    "# each key NAME, mouse left|right|middle or pad BUTTON (SDL's names), or none.\n"
    "# A value the game cannot use counts as its default.\n"
    "\n";

// Past this many complaints a damaged file says only how many more it has.
constexpr int MOST_COMPLAINTS = 8;

}  // namespace

SettingsText ParseSettings(std::string_view text, const std::string& fileName)
{
    SettingsText parsed;
    const std::string where = "Prismveldt: " + fileName;
    if (!IsPlainText(text)) {
        parsed.isText = false;
        parsed.complaints.push_back(where +
                                    " is not a settings file (it holds bytes that are not text); "
                                    "using the defaults");
        return parsed;
    }
    int unsaid = 0;  // complaints past MOST_COMPLAINTS
    auto complain = [&](int line, const std::string& what) {
        if ((int)parsed.complaints.size() < MOST_COMPLAINTS)
            parsed.complaints.push_back(where + " line " + std::to_string(line) + ": " + what);
        else
            unsaid++;
    };
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);  // no line after the last end
    int lineNumber = 0;
    for (size_t start = 0; start <= text.size() && !text.empty();) {
        lineNumber++;
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // Byte-order marks, as editors write them at a file's start, and as
        // they come along when one file is pasted into another.
        while (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);

        std::string_view body = Trimmed(line);
        size_t equals = body.find('=');
        if (body.empty() || body.front() == '#') {
            parsed.kept.emplace_back(line);
            continue;
        }
        std::string name = Lower(Trimmed(body.substr(0, equals == std::string_view::npos ? 0 : equals)));
        if (name.empty()) {
            std::string what = "\"";  // appended: see KeyNameOfCode
            what += Shown(body) + "\" is not name = value; kept as it is";
            complain(lineNumber, what);
            parsed.kept.emplace_back(line);
            continue;
        }
        const Field* field = nullptr;
        for (const Field& f : FIELDS)
            if (name == f.name) field = &f;
        if (field == nullptr) {  // another version's setting, or the player's own note
            parsed.kept.emplace_back(line);
            continue;
        }
        std::string_view value = Trimmed(body.substr(equals + 1));
        // A name and an address keep their case.
        if (!ReadValue(*field, field->kind == FIELD_TEXT ? std::string(value) : Lower(value), &parsed.settings))
            complain(lineNumber, std::string(field->name) + " = " + Shown(value) + " is not " +
                                     Takes(*field) + "; using " + ValueText(*field, Settings{}));
    }
    if (unsaid > 0)
        parsed.complaints.push_back(where + ": " + std::to_string(unsaid) +
                                    " more lines could not be used");
    return parsed;
}

std::string FormatSettings(const Settings& s, const std::vector<std::string>& kept)
{
    std::string text = kept.empty() ? HEADER : "";
    for (const std::string& line : kept) text += line + "\n";
    for (const Field& field : FIELDS) text += std::string(field.name) + " = " + ValueText(field, s) + "\n";
    return text;
}

namespace {

const char* WhyUnread(int read)
{
    switch (read) {
    case WHOLE_FILE_NOT_REGULAR: return "is not a file";
    case WHOLE_FILE_UNREADABLE: return "may not be read";
    case WHOLE_FILE_TOO_LARGE:
    case WHOLE_FILE_OVERRAN: return "is larger than a settings file can be (64 KiB)";
    default: return "could not be read";
    }
}

}  // namespace

bool LoadSettings(const std::string& path, Settings* out)
{
    *out = Settings{};
    if (path.empty()) return false;
    // What a save killed mid-write left, never another copy's save under way.
    if (PlatformLockFile(path.c_str()) != PLATFORM_LOCK_BUSY)
        PlatformRemoveReplaceLeftovers(path.c_str(), REPLACE_THROUGH_LINK);
    PlatformUnlockFile();
    std::string text;
    int read = ReadWholeFile(path.c_str(), SETTINGS_FILE_MAX_BYTES, &text);
    if (read == WHOLE_FILE_MISSING) return false;
    if (read != WHOLE_FILE_OK) {
        std::fprintf(stderr, "Prismveldt: the settings file %s %s; using the defaults\n", path.c_str(),
                     WhyUnread(read));
        return false;
    }
    SettingsText parsed = ParseSettings(text, path);
    for (const std::string& complaint : parsed.complaints) std::fprintf(stderr, "%s\n", complaint.c_str());
    *out = parsed.settings;
    return true;
}

namespace {

// The save itself, holding the lock; false with *why.
bool WriteSettingsFile(const std::string& path, const Settings& s, std::string* why)
{
    std::string old;
    int read = ReadWholeFile(path.c_str(), SETTINGS_FILE_MAX_BYTES, &old);
    std::vector<std::string> kept;
    bool putAside = read == WHOLE_FILE_TOO_LARGE || read == WHOLE_FILE_OVERRAN;
    if (read == WHOLE_FILE_OK) {
        SettingsText parsed = ParseSettings(old, path);
        kept = std::move(parsed.kept);
        putAside = !parsed.isText;
    } else if (read != WHOLE_FILE_MISSING && !putAside) {
        // Its lines that are not the game's own would be lost.
        *why = std::string("the file there ") + WhyUnread(read);
        return false;
    }
    if (putAside) {
        // Whatever it was, the player may want it back: it moves aside, a
        // link with its end intact.
        std::error_code error;
        std::string aside = path + ".damaged";
        fs::rename(path, aside, error);
        if (error) {
            *why = "the file there is no settings file and cannot be moved aside (" + error.message() + ")";
            return false;
        }
        std::fprintf(stderr, "Prismveldt: %s was no settings file; it is kept as %s\n", path.c_str(),
                     aside.c_str());
    }
    std::string text = FormatSettings(s, kept);
    char reason[160] = "";
    if (!PlatformReplaceFile(path.c_str(), text.data(), text.size(), reason, sizeof reason,
                             REPLACE_THROUGH_LINK)) {
        *why = reason;
        return false;
    }
    return true;
}

}  // namespace

bool SaveSettings(const std::string& path, const Settings& s)
{
    if (path.empty()) return false;
    std::string why;
    fs::path folder = fs::path(path).parent_path();
    bool saved = false;
    if (!folder.empty() && !MakePrivateFolders(folder.string())) {
        why = "its folder cannot be made";
    } else if (PlatformLockFile(path.c_str()) == PLATFORM_LOCK_BUSY) {
        why = "another program is writing it";
    } else {
        saved = WriteSettingsFile(path, s, &why);
    }
    PlatformUnlockFile();
    if (!saved)
        std::fprintf(stderr, "Prismveldt: the settings could not be kept in %s (%s)\n", path.c_str(),
                     why.c_str());
    return saved;
}

std::string SettingsFilePath()
{
    if (!settingsFileOption.empty()) return settingsFileOption;
    char folder[4096];
    if (!PlatformSettingsFolder(folder, sizeof folder)) return "";
    return std::string(folder) + "/settings.ini";
}
