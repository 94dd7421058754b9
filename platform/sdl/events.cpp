// The game's event queue: close requests, music notifications and joystick
// changes, taken from SDL's queue when the game pumps its messages; the
// pads, the wheel, the keys' presses and the window's focus are kept for
// their own calls.
#include <deque>

#include "platform/sdl/sdl_internal.h"

int pointerWindowX = 0, pointerWindowY = 0;
bool messageBoxOpen = false;
uint32_t messageBoxMs = 0;
static std::deque<PlatformEvent> pending;
// Until the window manager says otherwise: without one, no focus event ever
// comes, and the game's window is the only one there is.
static bool windowFocused = true;
static bool focusLost = false;  // since the game last asked

void QueueEvent(int type, int musicReason)
{
    pending.push_back(PlatformEvent{type, musicReason});
}

void TranslateEvent(const SDL_Event& event)
{
    Uint32 gameId = gameWindow != nullptr ? SDL_GetWindowID(gameWindow) : 0;
    int reason;
    switch (event.type) {
    case SDL_WINDOWEVENT:
        if (event.window.windowID != gameId) break;
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) QueueEvent(PLATFORM_EVENT_CLOSE);
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            windowFocused = false;
            focusLost = true;
        }
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) windowFocused = true;
        break;
    case SDL_MOUSEMOTION:
        if (event.motion.windowID == gameId) {
            pointerWindowX = event.motion.x;
            pointerWindowY = event.motion.y;
        }
        break;
    case SDL_KEYDOWN:
        if (event.key.windowID == gameId && !event.key.repeat) AddKeyPress(event.key.keysym.scancode);
        break;
    case SDL_MOUSEWHEEL:
        if (event.wheel.windowID == gameId)
            AddWheelSteps(event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y
                                                                          : event.wheel.y);
        break;
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
        CloseJoysticks();  // device indexes move when a joystick comes or goes
        QueueEvent(PLATFORM_EVENT_DEVICE_CHANGE);
        break;
    case SDL_CONTROLLERDEVICEADDED: PadAdded(event.cdevice.which); break;
    case SDL_CONTROLLERDEVICEREMOVED: PadRemoved(event.cdevice.which); break;
    default:
        if (TakeMusicDone(event, &reason)) QueueEvent(PLATFORM_EVENT_MUSIC_DONE, reason);
        break;
    }
}

bool PlatformWindowFocused()
{
    bool focused = windowFocused && !focusLost;
    focusLost = false;
    return focused;
}

bool PlatformPollEvent(PlatformEvent* event)
{
    // While a box is open its own loop reads SDL's queue; whatever it meant
    // for the game waits here until the box is gone.
    if (messageBoxOpen) return false;
    SDL_Event sdlEvent;
    while (SDL_PollEvent(&sdlEvent)) TranslateEvent(sdlEvent);
    if (pending.empty()) return false;
    *event = pending.front();
    pending.pop_front();
    return true;
}
