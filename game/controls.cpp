// The bindings read, and the sticks turned into the point the rules aim at.
#include "game/controls.h"

#include <cmath>

#include "game/motion.h"
#include "input/input.h"

bool PadButtonHeld(const PadState& pad, bool attached, int button)
{
    if (!attached) return false;
    if (button == PAD_LEFT_TRIGGER) return pad.axes[PAD_AXIS_LEFT_TRIGGER] >= PAD_TRIGGER_HELD;
    if (button == PAD_RIGHT_TRIGGER) return pad.axes[PAD_AXIS_RIGHT_TRIGGER] >= PAD_TRIGGER_HELD;
    return button >= 0 && button < PAD_SDL_BUTTONS && (pad.buttons >> button & 1u) != 0;
}

bool InputHeld(const Input& input, const PadState& pad, bool attached)
{
    switch (input.device) {
    case INPUT_KEY:
    case INPUT_MOUSE: return IsKeyDown(input.code) != 0;
    case INPUT_PAD: return PadButtonHeld(pad, attached, input.code);
    default: return false;
    }
}

bool BindingHeld(const Binding& binding, const PadState& pad, bool attached)
{
    for (const Input& input : binding.inputs)
        if (InputHeld(input, pad, attached)) return true;
    return false;
}

bool ActionHeld(int action)
{
    if (action < 0 || action >= ACTION_COUNT) return false;
    PadState pad;
    bool attached = PlatformReadPad(&pad);
    return BindingHeld(settings.bindings[action], pad, attached);
}

bool StickAimPoint(int x, int y, int deadzonePercent, int* pointX, int* pointY)
{
    // Radial: the same push counts in every direction, diagonals too.
    double length = std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y);
    int percent = deadzonePercent < 0 ? 0 : deadzonePercent > 30 ? 30 : deadzonePercent;
    // Even a deadzone of 0 leaves a stick at its very centre at rest: it
    // has no direction.
    if (length == 0.0 || length <= 32767.0 * percent / 100.0) return false;
    *pointX = PLAYER_SCREEN_X + static_cast<int>(std::lround(PAD_AIM_DISTANCE * x / length));
    *pointY = PLAYER_SCREEN_Y + static_cast<int>(std::lround(PAD_AIM_DISTANCE * y / length));
    return true;
}

void StepPadAim(PadAim* aim, int mouseX, int mouseY, const PadState& pad, bool attached,
                int deadzonePercent, bool leftStickAims, int* x, int* y)
{
    bool mouseMoved = aim->mouseRead && (mouseX != aim->mouseX || mouseY != aim->mouseY);
    aim->mouseX = mouseX;
    aim->mouseY = mouseY;
    aim->mouseRead = true;
    int px, py;
    bool right = attached && StickAimPoint(pad.axes[PAD_AXIS_RIGHT_X], pad.axes[PAD_AXIS_RIGHT_Y],
                                           deadzonePercent, &px, &py);
    // The right stick wins when both are pushed.
    bool left = !right && attached && leftStickAims &&
                StickAimPoint(pad.axes[PAD_AXIS_LEFT_X], pad.axes[PAD_AXIS_LEFT_Y], deadzonePercent,
                              &px, &py);
    if (right || left) {
        aim->stickAims = true;
        aim->x = px;
        aim->y = py;
    } else if (mouseMoved) {
        aim->stickAims = false;
    }
    *x = aim->stickAims ? aim->x : mouseX;
    *y = aim->stickAims ? aim->y : mouseY;
}
