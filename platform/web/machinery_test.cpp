// The test machinery of the browser build (prismveldt-test.js only; what
// players download has platform/web/machinery_none.cpp instead): the
// harness's input script driving the game frame by frame, so that a test
// sees the frames the harness shows for the same script, and the frames'
// hashes, as the harness computes them.
#include <cstdio>
#include <string>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/web/web_internal.h"

static Script script;
static size_t nextAction = 0;
static bool keys[256] = {};
static int cursorX = 0, cursorY = 0;
static bool focused = true, focusLost = false;

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
        case SCRIPT_DOWN: keys[action.key & 0xFF] = true; break;
        case SCRIPT_UP: keys[action.key & 0xFF] = false; break;
        case SCRIPT_CLOSE: QueueEvent(PLATFORM_EVENT_CLOSE); break;
        case SCRIPT_FOCUS_OUT:
            focused = false;
            focusLost = true;
            break;
        case SCRIPT_FOCUS_IN: focused = true; break;
        default: break;  // no pad or wheel in the page
        }
    }
}

bool ScriptKeyHeld(int virtualKey) { return keys[virtualKey & 0xFF]; }

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
