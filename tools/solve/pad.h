// The pad as the solver plays it: a fixed set of right-stick directions, and
// the pointer and buttons the play scene makes of a stick and a trigger,
// worked out by the game's own aiming code so that a run found here is read
// by the game exactly as it was searched.
#pragma once
#include <cmath>
#include "game/controls.h"
#include "game/settings.h"
#include "input/input.h"

namespace solve {

// The stick is pushed to one of PAD_DIRECTIONS directions, every 5 degrees,
// PAD_STICK_PUSH from its centre: well out of the widest deadzone (30% of
// 32767) and short of the rim, as a thumb holds it. At PAD_AIM_DISTANCE the
// 72 points lie about 21 pixels apart, so each is its own aim.
constexpr int PAD_DIRECTIONS = 72;
constexpr int PAD_STICK_PUSH = 30000;
constexpr int PAD_TRIGGER_PRESSED = 32767;  // the trigger pulled all the way
// Where the mouse rests through a pad run. The run's first frame pushes the
// stick (see ChoiceInput), and from then on a resting mouse never takes the
// aim back, so this place is never read as the aim.
constexpr int PAD_RESTING_MOUSE_X = 0, PAD_RESTING_MOUSE_Y = 0;

struct StickAxes {
    short x, y;
};

// The axes of direction k (0..PAD_DIRECTIONS-1, counted from straight right
// toward down, as the stick's axes grow).
inline StickAxes PadDirection(int k)
{
    double a = 2 * 3.14159265358979 * k / PAD_DIRECTIONS;
    return {(short)std::lround(PAD_STICK_PUSH * std::cos(a)), (short)std::lround(PAD_STICK_PUSH * std::sin(a))};
}

// One frame of the pad as the play scene reads it: the right stick at
// (stickX, stickY) and the right trigger pulled or not, the other sticks and
// buttons at rest, the game's default settings. Steps *aim like the scene
// does and writes the pointer and the buttons the rules then read.
inline void PadToRules(PadAim* aim, short stickX, short stickY, bool trigger, int* x, int* y, int* buttons)
{
    static const Settings defaults;
    // Fire's binding as far as the pad holds it: the mouse's part of it
    // stays up in a pad run.
    static const Binding padFire = [] {
        Binding b;
        int n = 0;
        for (const ::Input& in : defaults.bindings[ACTION_FIRE].inputs)
            if (in.device == INPUT_PAD) b.inputs[n++] = in;
        return b;
    }();
    PadState pad{};
    pad.axes[PAD_AXIS_RIGHT_X] = stickX;
    pad.axes[PAD_AXIS_RIGHT_Y] = stickY;
    pad.axes[PAD_AXIS_RIGHT_TRIGGER] = (short)(trigger ? PAD_TRIGGER_PRESSED : 0);
    StepPadAim(aim, PAD_RESTING_MOUSE_X, PAD_RESTING_MOUSE_Y, pad, true, defaults.padDeadzone,
               defaults.padLeftStickAims, x, y);
    *buttons = BindingHeld(padFire, pad, true) ? MOUSE_LEFT : 0;
}

}  // namespace solve
