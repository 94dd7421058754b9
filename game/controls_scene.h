// The Controls page, over the settings page: every action with the keys and
// buttons bound to it, and the pad's own settings (the stick's deadzone,
// aiming with the left stick too, rumble). Choosing an action waits up to
// five seconds for the next key, mouse button or pad button pressed: one not
// yet bound to the action is added (first, pushing out the oldest of three),
// one already bound is taken away, unless it is the action's last. What
// changed is kept in the settings file when the page is left.
#pragma once
#include <string>
#include <vector>

#include "game/menu.h"
#include "game/scene_frame.h"
#include "game/settings.h"
#include "gfx/surface.h"

struct SceneChange;

// What the page goes back with: apart from every other scene's result.
constexpr int CONTROLS_DONE = 22;
// How long a choice waits for its input, in frames.
constexpr int CONTROLS_WAIT_FRAMES = 300;

enum {
    CONTROLS_ROW_FIRST_ACTION = 0,  // one row per Action, in its order
    CONTROLS_ROW_DEADZONE = ACTION_COUNT,
    CONTROLS_ROW_LEFT_STICK,
    CONTROLS_ROW_RUMBLE,
    CONTROLS_ROW_DEFAULTS,
    CONTROLS_ROW_BACK,
    CONTROLS_ROWS
};

struct ControlsScene {
    Menu menu;
    Settings edited;      // the page's values; the game's settings once it is left
    int waitingAction = -1;  // the action waiting for an input, -1 for none
    int waitFrames = 0;      // left of the wait
    std::vector<bool> held;  // by NameableInputs: held last frame
    // The night sky behind play, darkened once when the page is entered and
    // freed when it is left.
    Surface imgSky = nullptr;
    bool leaving = false;    // this frame's
};

// The page's rows on the 1280 x 720 screen.
MenuLayout ControlsMenuLayout();
// The binding with input pressed: added first when not in it (the last of
// a full binding is pushed out), taken out when in it, unless it is the
// only one left. True when the binding changed.
bool PressIntoBinding(Binding* binding, const Input& input);
// A binding as the page shows it: "MOUSE LEFT, PAD RIGHTTRIGGER", "NONE".
std::string BindingText(const Binding& binding);
// The pad rows' values after one step (as the settings page steps its own);
// other rows change nothing.
void StepControlsValue(Settings* settings, int row, int step, bool wrap);

SceneChange EnterControls(ControlsScene& page, FrameClock& clock);
void StepControls(ControlsScene& page, const FrameClock& clock, FrameEnd* end);
SceneChange AfterControlsFrame(ControlsScene& page, FrameClock& clock);
