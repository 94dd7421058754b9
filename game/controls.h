// What the player's bindings and the pad read: whether an action is held,
// and where a stick aims.
//
// An action (settings.h's Action) is held while any input bound to it is: a
// key or mouse button held, a pad button held, a pad trigger pressed past a
// quarter of its travel. A stick aims once it leaves its radial deadzone (a
// share of its travel, in any direction alike); the point the rules then
// read is PAD_AIM_DISTANCE from the character in the stick's direction, so
// the rules and the recordings are the mouse's own. The pure functions take
// the pad's state as read, so that the rules are tested without one.
#pragma once
#include "game/settings.h"
#include "platform/platform.h"

// How far from the character a stick's aim is placed, in screen pixels: on
// the screen in every direction, and far enough that the gun's angle comes
// out to the degree.
constexpr int PAD_AIM_DISTANCE = 240;
// How far a trigger is pressed before it counts as held (of 0..32767).
constexpr int PAD_TRIGGER_HELD = 8192;

// True while the pad's button (a PadButton, triggers included) is held; a
// pad not attached holds nothing.
bool PadButtonHeld(const PadState& pad, bool attached, int button);
// True while the input is held, reading the keys and mouse now and the pad
// from pad.
bool InputHeld(const Input& input, const PadState& pad, bool attached);
// True while any input of the binding is held.
bool BindingHeld(const Binding& binding, const PadState& pad, bool attached);
// The same for the running game's settings, reading the pad now.
bool ActionHeld(int action);

// Where the stick (x, y as the pad reads them) aims: true with the point on
// screen when it lies outside a deadzone of deadzonePercent (0..30) of its
// travel, false (nothing written) while it rests inside.
bool StickAimPoint(int x, int y, int deadzonePercent, int* pointX, int* pointY);

// The aim the rules read in play, frame by frame. The mouse aims until a
// stick leaves its deadzone; the stick then aims, holding its last angle
// while it rests, until the mouse moves again.
struct PadAim {
    bool stickAims = false;
    int x = 0, y = 0;                // the stick's last point
    int mouseX = 0, mouseY = 0;      // the mouse's last reading
    bool mouseRead = false;
};
// One frame: the mouse read now, the pad as read (attached or not), the
// settings' deadzone and sticks; *x, *y become the point the rules read.
void StepPadAim(PadAim* aim, int mouseX, int mouseY, const PadState& pad, bool attached,
                int deadzonePercent, bool leftStickAims, int* x, int* y);
