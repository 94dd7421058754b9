// The pointer and the keys as the page's DOM events left them (or as the
// input script sets them): the pointer in picture pixels whatever size the
// canvas is shown at, keys as Windows virtual-key codes. No joysticks.
#include <emscripten.h>

#include "platform/web/web_internal.h"

EM_JS(int, PagePointerX, (), { return Module.web.pointerX; });
EM_JS(int, PagePointerY, (), { return Module.web.pointerY; });
EM_JS(void, PageMovePointer, (int x, int y), { Module.web.movePointer(x, y); });
EM_JS(int, PageKeyHeld, (int key), { return Module.web.keys[key] ? 1 : 0; });

void PlatformGetPointer(int* x, int* y)
{
    if (scripted) {
        ScriptPointer(x, y);
        return;
    }
    *x = PagePointerX();
    *y = PagePointerY();
}

// A page cannot move the system's pointer: the game sees the new place until
// the player moves the mouse again.
void PlatformSetPointer(int x, int y)
{
    if (scripted) MoveScriptPointer(x, y);
    else PageMovePointer(x, y);
}

bool PlatformIsKeyHeld(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255) return false;
    if (scripted) return ScriptKeyHeld(virtualKey);
    return PageKeyHeld(virtualKey) != 0;
}

bool PlatformJoystickPos(int, unsigned*, unsigned*, unsigned*) { return false; }

// The page's pad comes later; until then there is none.
bool PlatformReadPad(PadState* state)
{
    *state = PadState{};
    return false;
}
void PlatformRumblePad(int, uint32_t) {}
int PlatformTakeWheelSteps() { return 0; }
