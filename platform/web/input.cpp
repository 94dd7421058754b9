// The pointer, the keys and the wheel as the page's DOM events left them, and
// the pad as the Gamepad API reads it (or all of them as the input script
// sets them): the pointer in picture pixels whatever size the canvas is shown
// at, keys as Windows virtual-key codes, the pad as SDL names its parts. No
// joysticks.
#include <emscripten.h>

#include "platform/web/web_internal.h"

EM_JS(int, PagePointerX, (), { return Module.web.pointerX; });
EM_JS(int, PagePointerY, (), { return Module.web.pointerY; });
EM_JS(void, PageMovePointer, (int x, int y), { Module.web.movePointer(x, y); });
EM_JS(int, PageKeyHeld, (int key), { return Module.web.keys[key] ? 1 : 0; });
EM_JS(int, PageTakeKeyPresses, (int key), { return Module.web.takeKeyPresses(key); });

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

int PlatformTakeKeyPresses(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255) return 0;
    if (scripted) return ScriptTakeKeyPresses(virtualKey);
    return PageTakeKeyPresses(virtualKey);
}

bool PlatformJoystickPos(int, unsigned*, unsigned*, unsigned*) { return false; }

// The page reads the pad (platform/web/page/prismveldt-page.js, readPad)
// and writes it here only when there is one.
EM_JS(int, PageReadPad, (int16_t* axes, uint32_t* buttons), {
    var pad = Module.web.readPad();
    if (!pad) return 0;
    for (var i = 0; i < 6; i++) HEAP16[(axes >> 1) + i] = pad.axes[i];
    HEAPU32[buttons >> 2] = pad.buttons;
    return 1;
});
EM_JS(void, PageRumblePad, (int percent, int ms), { Module.web.rumblePad(percent, ms); });
EM_JS(int, PageTakeWheelSteps, (), { return Module.web.takeWheelSteps(); });

bool PlatformReadPad(PadState* state)
{
    *state = PadState{};
    if (scripted) return ScriptReadPad(state);
    return PageReadPad(state->axes, &state->buttons) != 0;
}

// A scripted run's pad is the script's: no pad in the hands rumbles.
void PlatformRumblePad(int strengthPercent, uint32_t ms)
{
    if (scripted || strengthPercent <= 0 || ms == 0) return;
    PageRumblePad(strengthPercent > 100 ? 100 : strengthPercent, static_cast<int>(ms > 5000 ? 5000 : ms));
}

int PlatformTakeWheelSteps() { return scripted ? ScriptTakeWheelSteps() : PageTakeWheelSteps(); }
