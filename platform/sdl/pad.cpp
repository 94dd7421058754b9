// The pad on the desktop: SDL's game-controller interface. Every joystick
// SDL has a mapping for (its own database, the SDL_GAMECONTROLLERCONFIG the
// player sets, and a gamecontrollerdb.txt in the settings folder) is a pad;
// the game reads the one plugged in first of those still plugged in.
#include <vector>

#include "platform/sdl/sdl_internal.h"

namespace {

// Opened pads in the order they came, each with the joystick instance id
// SDL's removal events name it by.
struct OpenPad {
    SDL_GameController* controller;
    SDL_JoystickID instance;
};
std::vector<OpenPad> pads;
int wheelSteps = 0;

}  // namespace

void StartPads()
{
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;  // no pads, then
    char folder[4096];
    if (PlatformSettingsFolder(folder, sizeof folder)) {
        std::string db = std::string(folder) + "/gamecontrollerdb.txt";
        // A file that is not there, or not a mapping file, adds nothing.
        SDL_GameControllerAddMappingsFromFile(db.c_str());
    }
}

void PadAdded(int deviceIndex)
{
    if (!SDL_IsGameController(deviceIndex)) return;
    SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (const OpenPad& pad : pads)
        if (pad.instance == instance) return;  // the start-up scan and its event both name it
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller != nullptr) pads.push_back({controller, instance});
}

void PadRemoved(int instance)
{
    for (size_t i = 0; i < pads.size(); i++)
        if (pads[i].instance == instance) {
            SDL_GameControllerClose(pads[i].controller);
            pads.erase(pads.begin() + static_cast<long>(i));
            return;
        }
}

void AddWheelSteps(int steps) { wheelSteps += steps; }

static SDL_GameController* CurrentPad()
{
    for (const OpenPad& pad : pads)
        if (SDL_GameControllerGetAttached(pad.controller)) return pad.controller;
    return nullptr;
}

bool PlatformReadPad(PadState* state)
{
    *state = PadState{};
    SDL_GameController* pad = CurrentPad();
    if (pad == nullptr) return false;
    for (int i = 0; i < PAD_AXIS_COUNT; i++)
        state->axes[i] = SDL_GameControllerGetAxis(pad, static_cast<SDL_GameControllerAxis>(i));
    for (int i = 0; i < PAD_SDL_BUTTONS; i++)
        if (SDL_GameControllerGetButton(pad, static_cast<SDL_GameControllerButton>(i)))
            state->buttons |= 1u << i;
    return true;
}

void PlatformRumblePad(int strengthPercent, uint32_t ms)
{
    SDL_GameController* pad = CurrentPad();
    if (pad == nullptr || strengthPercent <= 0) return;
    int percent = strengthPercent > 100 ? 100 : strengthPercent;
    Uint16 strength = static_cast<Uint16>(0xFFFF * percent / 100);
    SDL_GameControllerRumble(pad, strength, strength, ms > 5000 ? 5000 : ms);
}

int PlatformTakeWheelSteps()
{
    int steps = wheelSteps;
    wheelSteps = 0;
    return steps;
}
