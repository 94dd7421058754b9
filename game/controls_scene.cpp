// The Controls page: the bindings shown and changed, and the pad's settings.
#include "game/controls_scene.h"

#include <cstdio>

#include "audio/audio.h"
#include "game/controls.h"
#include "game/menu_draw.h"
#include "game/scenes.h"
#include "gfx/blit.h"
#include "game/assets.h"
#include "input/input.h"

namespace {

const char* const CLICK_SOUND = "./se/se_tavelkorinsu_system24.wav";
const char* const ACTION_LABELS[ACTION_COUNT] = {
    "FIRE", "PAUSE", "RETRY", "MENU UP", "MENU DOWN", "MENU LEFT", "MENU RIGHT", "ACCEPT", "GO BACK"};
const char* const OTHER_LABELS[] = {"STICK DEADZONE", "AIM WITH LEFT STICK", "RUMBLE", "DEFAULTS",
                                    "BACK"};
const char* const PAD_LABELS[PAD_BUTTON_COUNT] = {
    "A", "B", "X", "Y", "BACK", "GUIDE", "START", "LS", "RS", "LB", "RB", "UP", "DOWN", "LEFT",
    "RIGHT", "LT", "RT"};
constexpr int VALUE_X = 560;

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// A feel of the rumble, at the strength a death has, when it is turned on.
void RumbleOnce() { PlatformRumblePad(70, 200); }

}  // namespace

MenuLayout ControlsMenuLayout()
{
    return MenuLayout{150, 150, 980, 40, CONTROLS_ROWS, 36};  // x, y, width, row height, rows, letters
}

bool PressIntoBinding(Binding* binding, const Input& input)
{
    auto& inputs = binding->inputs;
    int used = 0, found = -1;
    for (int i = 0; i < BINDING_INPUTS; i++) {
        if (inputs[i].device == INPUT_NONE) continue;
        if (inputs[i] == input) found = used;
        inputs[used++] = inputs[i];
    }
    for (int i = used; i < BINDING_INPUTS; i++) inputs[i] = Input{};
    if (found >= 0) {
        if (used == 1) return false;  // an action is never left with nothing to do it
        for (int i = found; i + 1 < BINDING_INPUTS; i++) inputs[i] = inputs[i + 1];
        inputs[BINDING_INPUTS - 1] = Input{};
        return true;
    }
    for (int i = BINDING_INPUTS - 1; i > 0; i--) inputs[i] = inputs[i - 1];
    inputs[0] = input;
    return true;
}

std::string BindingText(const Binding& binding)
{
    std::string text;
    for (const Input& input : binding.inputs) {
        std::string name = InputName(input);
        if (name.empty()) continue;
        // Keys by their own names; the mouse's and the pad's with the device,
        // the pad's buttons as they are printed on one.
        if (input.device == INPUT_KEY) name = name.substr(4);
        if (input.device == INPUT_PAD && input.code >= 0 && input.code < PAD_BUTTON_COUNT)
            name = std::string("pad ") + PAD_LABELS[input.code];
        if (!text.empty()) text += ", ";
        text += Upper(name);
    }
    return text.empty() ? "NONE" : text;
}

void StepControlsValue(Settings* s, int row, int step, bool wrap)
{
    switch (row) {
    case CONTROLS_ROW_DEADZONE:
        s->padDeadzone += step * 5;
        if (s->padDeadzone > 30) s->padDeadzone = wrap ? 0 : 30;
        if (s->padDeadzone < 0) s->padDeadzone = wrap ? 30 : 0;
        break;
    case CONTROLS_ROW_LEFT_STICK: s->padLeftStickAims = !s->padLeftStickAims; break;
    case CONTROLS_ROW_RUMBLE: s->padRumble = !s->padRumble; break;
    default: break;
    }
}

SceneChange EnterControls(ControlsScene& page, FrameClock&)
{
    page.menu = StartMenu(ControlsMenuLayout());
    page.edited = settings;
    page.imgSky = DarkenedNightSky();
    return Stay();
}

// What was pressed this frame of every input the file can name (held now,
// not last frame), the first of them into *pressed.
static bool TakePressedInput(ControlsScene& page, Input* pressed)
{
    static const std::vector<Input> inputs = NameableInputs();
    PadState pad;
    bool attached = PlatformReadPad(&pad);
    bool found = false;
    bool first = page.held.empty();  // what is held as the wait begins counts as held before
    page.held.resize(inputs.size(), true);
    for (size_t i = 0; i < inputs.size(); i++) {
        bool now = InputHeld(inputs[i], pad, attached);
        if (now && !page.held[i] && !first && !found) {
            *pressed = inputs[i];
            found = true;
        }
        page.held[i] = now;
    }
    return found;
}

void StepControls(ControlsScene& page, const FrameClock&, FrameEnd* end)
{
    SetMouseCursor(1);
    CopySurface(backBuffer, 0, 0, 1280, 720, page.imgSky);
    page.leaving = false;
    Settings before = page.edited;
    if (page.waitingAction >= 0) {
        Input pressed;
        if (TakePressedInput(page, &pressed)) {
            PressIntoBinding(&page.edited.bindings[page.waitingAction], pressed);
            page.waitingAction = -1;
        } else if (--page.waitFrames <= 0) {
            page.waitingAction = -1;
        }
        // The menu reads nothing while waiting, and what ended the wait is
        // not a press for it.
        if (page.waitingAction < 0) HoldMenuInput(&page.menu);
    } else {
        MenuInput in = ReadMenuInput(page.menu);
        int action = StepMenu(&page.menu, in);
        int row = page.menu.selected;
        page.leaving = action == MENU_BACK || (action == MENU_CHOSEN && row == CONTROLS_ROW_BACK);
        int step = action == MENU_LESS ? -1 : action == MENU_MORE || action == MENU_CHOSEN ? 1 : 0;
        if (!page.leaving && action == MENU_CHOSEN && row < ACTION_COUNT) {
            page.waitingAction = row;
            page.waitFrames = CONTROLS_WAIT_FRAMES;
            page.held.clear();
            TakePressedInput(page, nullptr);
        } else if (!page.leaving && action == MENU_CHOSEN && row == CONTROLS_ROW_DEFAULTS) {
            Settings defaults;
            page.edited.bindings = defaults.bindings;
            page.edited.padDeadzone = defaults.padDeadzone;
            page.edited.padLeftStickAims = defaults.padLeftStickAims;
            page.edited.padRumble = defaults.padRumble;
        } else if (!page.leaving && step != 0) {
            StepControlsValue(&page.edited, row, step, action == MENU_CHOSEN);
        }
    }
    if (!(page.edited == before)) {
        PlaySoundEffect(CLICK_SOUND);
        if (page.edited.padRumble && !before.padRumble) RumbleOnce();
    }

    DrawMenuHeading(420, 0, "CONTROLS");
    char text[64];
    for (int r = 0; r < CONTROLS_ROWS; r++) {
        const char* label = r < ACTION_COUNT ? ACTION_LABELS[r] : OTHER_LABELS[r - ACTION_COUNT];
        DrawMenuRow(page.menu, r, label);
        std::string value;
        if (r < ACTION_COUNT) {
            if (r == page.waitingAction) {
                snprintf(text, sizeof text, "PRESS A KEY OR BUTTON (%d)",
                         (page.waitFrames + 59) / 60);
                value = text;
            } else {
                value = BindingText(page.edited.bindings[r]);
            }
        } else if (r == CONTROLS_ROW_DEADZONE) {
            snprintf(text, sizeof text, "< %d %% >", page.edited.padDeadzone);
            value = text;
        } else if (r == CONTROLS_ROW_LEFT_STICK) {
            value = page.edited.padLeftStickAims ? "< ON >" : "< OFF >";
        } else if (r == CONTROLS_ROW_RUMBLE) {
            value = page.edited.padRumble ? "< ON >" : "< OFF >";
        }
        if (!value.empty()) DrawMenuValue(page.menu, r, VALUE_X, value.c_str());
    }
    *end = FrameEnd{page.leaving ? FRAME_TRACED : FRAME_SHOWN, "controls", SCENE_PLAYING, 0, ""};
}

SceneChange AfterControlsFrame(ControlsScene& page, FrameClock&)
{
    if (!page.leaving) return Stay();
    if (!(page.edited == settings)) {
        settings = page.edited;
        SaveSettings(SettingsFilePath(), settings);
    }
    DeleteSurface(page.imgSky);
    page.imgSky = nullptr;
    return Pop(CONTROLS_DONE);
}
