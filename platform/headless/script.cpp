// The harness's input script: "dialog yes|no", "N mouse X Y", "N down K",
// "N up K", "N close", "N wheel STEPS", "N focus out|in" (the window loses
// or gets back the keyboard's focus), and the pad's "N pad connect",
// "N pad disconnect", "N pad axis AXIS VALUE", "N pad down|up BUTTON" with
// SDL's names; '#' starts a comment. The keys: lmb rmb mmb esc enter space
// tab left up right down shift ctrl alt pause f1..f12, letters, digits.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sstream>

#include "platform/headless/headless.h"

int ScriptKeyCode(const std::string& name)
{
    if (name == "lmb") return 0x01;
    if (name == "rmb") return 0x02;
    if (name == "esc") return 0x1B;
    if (name == "enter") return 0x0D;
    if (name == "space") return 0x20;
    if (name == "left") return 0x25;
    if (name == "up") return 0x26;
    if (name == "right") return 0x27;
    if (name == "down") return 0x28;
    if (name == "mmb") return 0x04;
    if (name == "tab") return 0x09;
    if (name == "shift") return 0x10;
    if (name == "ctrl") return 0x11;
    if (name == "alt") return 0x12;
    if (name == "pause") return 0x13;
    // The keys that type the board's address, as the US layout has them.
    if (name == "backspace") return 0x08;
    if (name == "semicolon") return 0xBA;
    if (name == "minus") return 0xBD;
    if (name == "period") return 0xBE;
    if (name == "slash") return 0xBF;
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'f') {
        int n = atoi(name.c_str() + 1);
        if (n >= 1 && n <= 12 && name == "f" + std::to_string(n)) return 0x70 + n - 1;
    }
    if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return name[0] - 'a' + 'A';
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return name[0];
    return -1;
}

int ScriptPadAxis(const std::string& name)
{
    static const char* const NAMES[] = {"leftx", "lefty", "rightx", "righty", "lefttrigger",
                                        "righttrigger"};
    for (int i = 0; i < 6; i++)
        if (name == NAMES[i]) return i;
    return -1;
}

int ScriptPadButton(const std::string& name)
{
    static const char* const NAMES[] = {"a", "b", "x", "y", "back", "guide", "start", "leftstick",
                                        "rightstick", "leftshoulder", "rightshoulder", "dpup",
                                        "dpdown", "dpleft", "dpright"};
    for (int i = 0; i < 15; i++)
        if (name == NAMES[i]) return i;
    return -1;
}

bool ParseWholeNumber(const std::string& token, long long low, long long high, long long* value)
{
    if (token.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long long parsed = strtoll(token.c_str(), &end, 10);
    // The whole token, a NUL inside it included, must be the number.
    if (errno != 0 || end != token.c_str() + token.size() || parsed < low || parsed > high)
        return false;
    *value = parsed;
    return true;
}

std::string Shown(const std::string& text)
{
    // What a message quotes of its input: printable ASCII only, and not much
    // of it, whatever was fed in.
    constexpr size_t MOST = 80;
    std::string shown;
    for (size_t i = 0; i < text.size() && shown.size() < MOST; i++) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        shown += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    if (text.size() > MOST) shown += "...";
    return shown;
}

// Parses one line's tokens; false with the reason in *why.
static bool ParseCommand(const std::vector<std::string>& tokens, int line, Script* script,
                         std::string* why)
{
    if (tokens[0] == "dialog") {
        if (tokens.size() != 2 || (tokens[1] != "yes" && tokens[1] != "no")) {
            *why = "expected \"dialog yes\" or \"dialog no\"";
            return false;
        }
        script->answers.push_back(tokens[1] == "yes");
        return true;
    }
    ScriptAction action{};
    action.line = line;
    if (!ParseWholeNumber(tokens[0], 0, LLONG_MAX, &action.frame)) {
        *why = "expected a frame number or \"dialog\", found \"" + Shown(tokens[0]) + "\"";
        return false;
    }
    if (tokens.size() < 2) {
        *why = "missing command after the frame number";
        return false;
    }
    const std::string& command = tokens[1];
    if (command == "mouse") {
        long long x, y;
        if (tokens.size() != 4 || !ParseWholeNumber(tokens[2], INT_MIN / 4, INT_MAX / 4, &x) ||
            !ParseWholeNumber(tokens[3], INT_MIN / 4, INT_MAX / 4, &y)) {
            *why = "expected \"N mouse X Y\" with whole numbers";
            return false;
        }
        action.op = SCRIPT_MOUSE;
        action.x = static_cast<int>(x);
        action.y = static_cast<int>(y);
    } else if (command == "down" || command == "up") {
        if (tokens.size() != 3) {
            *why = "expected \"N " + Shown(command) + " KEY\"";
            return false;
        }
        action.key = ScriptKeyCode(tokens[2]);
        if (action.key < 0) {
            *why = "unknown key \"" + Shown(tokens[2]) + "\"";
            return false;
        }
        action.op = command == "down" ? SCRIPT_DOWN : SCRIPT_UP;
    } else if (command == "wheel") {
        long long steps;
        if (tokens.size() != 3 || !ParseWholeNumber(tokens[2], -10000, 10000, &steps)) {
            *why = "expected \"N wheel STEPS\" with a whole number from -10000 to 10000";
            return false;
        }
        action.op = SCRIPT_WHEEL;
        action.x = static_cast<int>(steps);
    } else if (command == "pad") {
        const std::string what = tokens.size() >= 3 ? tokens[2] : "";
        if ((what == "connect" || what == "disconnect") && tokens.size() == 3) {
            action.op = what == "connect" ? SCRIPT_PAD_CONNECT : SCRIPT_PAD_DISCONNECT;
        } else if (what == "axis") {
            long long value;
            if (tokens.size() != 5 || !ParseWholeNumber(tokens[4], -32768, 32767, &value)) {
                *why = "expected \"N pad axis AXIS VALUE\" with a value from -32768 to 32767";
                return false;
            }
            action.key = ScriptPadAxis(tokens[3]);
            if (action.key < 0) {
                *why = "unknown pad axis \"" + Shown(tokens[3]) + "\"";
                return false;
            }
            action.op = SCRIPT_PAD_AXIS;
            action.x = static_cast<int>(value);
        } else if ((what == "down" || what == "up") && tokens.size() == 4) {
            action.key = ScriptPadButton(tokens[3]);
            if (action.key < 0) {
                *why = "unknown pad button \"" + Shown(tokens[3]) + "\"";
                return false;
            }
            action.op = what == "down" ? SCRIPT_PAD_DOWN : SCRIPT_PAD_UP;
        } else {
            *why = "expected \"N pad connect\", \"N pad disconnect\", \"N pad axis AXIS VALUE\" "
                   "or \"N pad down|up BUTTON\"";
            return false;
        }
    } else if (command == "focus") {
        if (tokens.size() != 3 || (tokens[2] != "out" && tokens[2] != "in")) {
            *why = "expected \"N focus out\" or \"N focus in\"";
            return false;
        }
        action.op = tokens[2] == "out" ? SCRIPT_FOCUS_OUT : SCRIPT_FOCUS_IN;
    } else if (command == "close") {
        if (tokens.size() != 2) {
            *why = "expected \"N close\"";
            return false;
        }
        action.op = SCRIPT_CLOSE;
    } else {
        *why = "unknown command \"" + Shown(command) + "\"";
        return false;
    }
    script->actions.push_back(action);
    return true;
}

bool ParseScript(const std::string& text, Script* script, std::string* error)
{
    *script = Script{};
    std::istringstream input(text);
    std::string rawLine;
    int line = 0;
    while (std::getline(input, rawLine)) {
        line++;
        std::string content = rawLine.substr(0, rawLine.find('#'));
        std::istringstream words(content);
        std::vector<std::string> tokens;
        for (std::string token; words >> token;) tokens.push_back(token);
        if (tokens.empty()) continue;
        std::string why;
        if (!ParseCommand(tokens, line, script, &why)) {
            *error = "line " + std::to_string(line) + ": " + why;
            return false;
        }
    }
    std::stable_sort(script->actions.begin(), script->actions.end(),
                     [](const ScriptAction& a, const ScriptAction& b) { return a.frame < b.frame; });
    return true;
}
