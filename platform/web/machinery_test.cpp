// The test machinery of the browser build (prismveldt-test.js only; what
// players download has platform/web/machinery_none.cpp instead): the
// harness's input script driving the game frame by frame, so that a test
// sees the frames the harness shows for the same script, and the frames'
// hashes, as the harness computes them.
#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/web/web_internal.h"

static Script script;
static size_t nextAction = 0;
static bool keys[256] = {};
static int keyPresses[256] = {};  // as the harness counts them
static int cursorX = 0, cursorY = 0;
static bool focused = true, focusLost = false;
// The script's pad, at rest whenever it is plugged in, and the wheel's notches not yet taken.
static bool padConnected = false;
static int16_t padAxes[PAD_AXIS_COUNT] = {};
static uint32_t padButtons = 0;
static int wheelSteps = 0;

bool StartScript(const char* text)
{
    std::string error;
    if (!ParseScript(text, &script, &error)) {
        fprintf(stderr, "prismveldt: the input script: %s\n", error.c_str());
        return false;
    }
    return true;
}

void ApplyScriptInput(long long frame)
{
    const auto& actions = script.actions;
    while (nextAction < actions.size() && actions[nextAction].frame < frame) nextAction++;
    for (; nextAction < actions.size() && actions[nextAction].frame == frame; nextAction++) {
        const ScriptAction& action = actions[nextAction];
        switch (action.op) {
        case SCRIPT_MOUSE:
            // As in the harness: picture pixels, doubled in the doubled window.
            cursorX = action.x * PixelScale();
            cursorY = action.y * PixelScale();
            break;
        case SCRIPT_DOWN:
            if (!keys[action.key & 0xFF] && keyPresses[action.key & 0xFF] < KEY_PRESSES_HELD)
                keyPresses[action.key & 0xFF]++;
            keys[action.key & 0xFF] = true;
            break;
        case SCRIPT_UP: keys[action.key & 0xFF] = false; break;
        case SCRIPT_CLOSE: QueueEvent(PLATFORM_EVENT_CLOSE); break;
        case SCRIPT_FOCUS_OUT:
            focused = false;
            focusLost = true;
            break;
        case SCRIPT_FOCUS_IN: focused = true; break;
        // The pad and the wheel as the harness plays them, its device change too.
        case SCRIPT_WHEEL: {
            // Held to a bound no script reaches in earnest, so the count cannot overflow.
            long long steps = static_cast<long long>(wheelSteps) + action.x;
            wheelSteps = static_cast<int>(std::clamp(steps, -1000000LL, 1000000LL));
            break;
        }
        case SCRIPT_PAD_CONNECT:
        case SCRIPT_PAD_DISCONNECT:
            if (padConnected != (action.op == SCRIPT_PAD_CONNECT)) QueueEvent(PLATFORM_EVENT_DEVICE_CHANGE);
            padConnected = action.op == SCRIPT_PAD_CONNECT;
            for (int16_t& axis : padAxes) axis = 0;
            padButtons = 0;
            break;
        case SCRIPT_PAD_AXIS:
            if (padConnected) padAxes[action.key] = static_cast<int16_t>(action.x);
            break;
        case SCRIPT_PAD_DOWN:
            if (padConnected) padButtons |= 1u << action.key;
            break;
        case SCRIPT_PAD_UP: padButtons &= ~(1u << action.key); break;
        }
    }
}

bool ScriptKeyHeld(int virtualKey) { return keys[virtualKey & 0xFF]; }

int ScriptTakeKeyPresses(int virtualKey)
{
    if (virtualKey == 0x01 || virtualKey == 0x02 || virtualKey == 0x04) return 0;  // the mouse's buttons
    int presses = keyPresses[virtualKey & 0xFF];
    keyPresses[virtualKey & 0xFF] = 0;
    return presses;
}

bool ScriptFocused()
{
    bool kept = focused && !focusLost;
    focusLost = false;
    return kept;
}

void ScriptPointer(int* x, int* y)
{
    *x = cursorX;
    *y = cursorY;
}

void MoveScriptPointer(int x, int y)
{
    cursorX = x;
    cursorY = y;
}

bool ScriptReadPad(PadState* state)
{
    *state = PadState{};
    if (!padConnected) return false;
    for (int i = 0; i < PAD_AXIS_COUNT; i++) state->axes[i] = padAxes[i];
    state->buttons = padButtons;
    return true;
}

int ScriptTakeWheelSteps()
{
    int steps = wheelSteps;
    wheelSteps = 0;
    return steps;
}

bool ScriptAnswer(bool* answer)
{
    if (!scripted || script.answers.empty()) return false;
    *answer = script.answers.front();
    script.answers.pop_front();
    return true;
}

void PrintFrameHash(long long frame, const uint32_t* pixels, int width, int height, int pitch)
{
    printf("hash %lld %d %d %016llx\n", frame, width, height,
           (unsigned long long)HashFrame(pixels, width, height, pitch));
}
