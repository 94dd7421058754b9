// What players download has no test machinery: no input script and no
// frame hashes. The page asks for them only of prismveldt-test.js, which is
// built with platform/web/machinery_test.cpp instead of this file.
#include <cstdio>

#include "platform/web/web_internal.h"

bool StartScript(const char*)
{
    fprintf(stderr, "prismveldt: this build plays no input script (prismveldt-test.js does)\n");
    return false;
}
void ApplyScriptInput(long long) {}
bool ScriptKeyHeld(int) { return false; }
int ScriptTakeKeyPresses(int) { return 0; }
bool ScriptFocused() { return true; }
void ScriptPointer(int* x, int* y) { *x = *y = 0; }
void MoveScriptPointer(int, int) {}
bool ScriptReadPad(PadState* state)
{
    *state = PadState{};
    return false;
}
int ScriptTakeWheelSteps() { return 0; }
bool ScriptAnswer(bool*) { return false; }
void PrintFrameHash(long long, const uint32_t*, int, int, int) {}
