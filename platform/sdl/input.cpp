// Pointer, keys and joysticks on SDL. Keys are Windows virtual-key codes on the
// game's side; letters and digits follow the keyboard layout, like theirs.
#include "platform/sdl/sdl_internal.h"

bool videoIsX11 = false;

// The scenes hide the pointer every frame; only a change reaches the window system.
void PlatformShowCursor(bool visible)
{
    int wanted = visible ? SDL_ENABLE : SDL_DISABLE;
    if (SDL_ShowCursor(SDL_QUERY) != wanted) SDL_ShowCursor(wanted);
}

// Over the game window the pointer is where the window's own mouse events
// last put it (SDL's X11 desktop-wide reading is cached and misses moves
// that come as warps). Elsewhere X11 answers for the whole desktop; Wayland
// shows a program the pointer only over its own window, so the position is
// the last one seen there.
void PlatformGetPointer(int* x, int* y)
{
    SDL_PumpEvents();
    if (gameWindow != nullptr && SDL_GetMouseFocus() == gameWindow) {
        SDL_GetMouseState(&pointerWindowX, &pointerWindowY);
    } else if (gameWindow != nullptr && videoIsX11) {
        int desktopX, desktopY, originX, originY;
        SDL_GetGlobalMouseState(&desktopX, &desktopY);
        SDL_GetWindowPosition(gameWindow, &originX, &originY);
        pointerWindowX = desktopX - originX;
        pointerWindowY = desktopY - originY;
    }
    PictureFromWindow(pointerWindowX, pointerWindowY, x, y);
}

void PlatformSetPointer(int x, int y)
{
    if (gameWindow == nullptr) return;
    WindowFromPicture(x, y, &pointerWindowX, &pointerWindowY);
    SDL_WarpMouseInWindow(gameWindow, pointerWindowX, pointerWindowY);
}

// The SDL scancodes of a virtual key (most have one; Shift, Ctrl and Alt have two).
static int ScancodesOf(int key, SDL_Scancode codes[2])
{
    if (key >= 'A' && key <= 'Z') {
        codes[0] = SDL_GetScancodeFromKey(SDLK_a + (key - 'A'));
        return 1;
    }
    if (key >= '0' && key <= '9') {
        codes[0] = SDL_GetScancodeFromKey(SDLK_0 + (key - '0'));
        return 1;
    }
    if (key >= 0x60 && key <= 0x69) {  // numeric keypad 0..9
        static const SDL_Scancode pad[] = {SDL_SCANCODE_KP_0, SDL_SCANCODE_KP_1, SDL_SCANCODE_KP_2,
                                           SDL_SCANCODE_KP_3, SDL_SCANCODE_KP_4, SDL_SCANCODE_KP_5,
                                           SDL_SCANCODE_KP_6, SDL_SCANCODE_KP_7, SDL_SCANCODE_KP_8,
                                           SDL_SCANCODE_KP_9};
        codes[0] = pad[key - 0x60];
        return 1;
    }
    if (key >= 0x70 && key <= 0x7B) {  // F1..F12
        codes[0] = static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + (key - 0x70));
        return 1;
    }
    static const struct { int key; SDL_Scancode first, second; } table[] = {
        {0x08, SDL_SCANCODE_BACKSPACE, SDL_SCANCODE_UNKNOWN},
        {0x09, SDL_SCANCODE_TAB, SDL_SCANCODE_UNKNOWN},
        {0x0D, SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER},
        {0x10, SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT},
        {0x11, SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL},
        {0x12, SDL_SCANCODE_LALT, SDL_SCANCODE_RALT},
        {0x13, SDL_SCANCODE_PAUSE, SDL_SCANCODE_UNKNOWN},
        {0x14, SDL_SCANCODE_CAPSLOCK, SDL_SCANCODE_UNKNOWN},
        {0x1B, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_UNKNOWN},
        {0x20, SDL_SCANCODE_SPACE, SDL_SCANCODE_UNKNOWN},
        {0x21, SDL_SCANCODE_PAGEUP, SDL_SCANCODE_UNKNOWN},
        {0x22, SDL_SCANCODE_PAGEDOWN, SDL_SCANCODE_UNKNOWN},
        {0x23, SDL_SCANCODE_END, SDL_SCANCODE_UNKNOWN},
        {0x24, SDL_SCANCODE_HOME, SDL_SCANCODE_UNKNOWN},
        {0x25, SDL_SCANCODE_LEFT, SDL_SCANCODE_UNKNOWN},
        {0x26, SDL_SCANCODE_UP, SDL_SCANCODE_UNKNOWN},
        {0x27, SDL_SCANCODE_RIGHT, SDL_SCANCODE_UNKNOWN},
        {0x28, SDL_SCANCODE_DOWN, SDL_SCANCODE_UNKNOWN},
        {0x2D, SDL_SCANCODE_INSERT, SDL_SCANCODE_UNKNOWN},
        {0x2E, SDL_SCANCODE_DELETE, SDL_SCANCODE_UNKNOWN},
        {0xA0, SDL_SCANCODE_LSHIFT, SDL_SCANCODE_UNKNOWN},
        {0xA1, SDL_SCANCODE_RSHIFT, SDL_SCANCODE_UNKNOWN},
        {0xA2, SDL_SCANCODE_LCTRL, SDL_SCANCODE_UNKNOWN},
        {0xA3, SDL_SCANCODE_RCTRL, SDL_SCANCODE_UNKNOWN},
        {0xA4, SDL_SCANCODE_LALT, SDL_SCANCODE_UNKNOWN},
        {0xA5, SDL_SCANCODE_RALT, SDL_SCANCODE_UNKNOWN},
        {0xBA, SDL_SCANCODE_SEMICOLON, SDL_SCANCODE_UNKNOWN},
        {0xBD, SDL_SCANCODE_MINUS, SDL_SCANCODE_UNKNOWN},
        {0xBE, SDL_SCANCODE_PERIOD, SDL_SCANCODE_UNKNOWN},
        {0xBF, SDL_SCANCODE_SLASH, SDL_SCANCODE_UNKNOWN},
    };
    for (const auto& entry : table) {
        if (entry.key != key) continue;
        codes[0] = entry.first;
        codes[1] = entry.second;
        return entry.second == SDL_SCANCODE_UNKNOWN ? 1 : 2;
    }
    return 0;
}

static Uint32 MouseButtonMask(int key)
{
    switch (key) {
    case 0x01: return SDL_BUTTON_LMASK;
    case 0x02: return SDL_BUTTON_RMASK;
    case 0x04: return SDL_BUTTON_MMASK;
    case 0x05: return SDL_BUTTON_X1MASK;
    case 0x06: return SDL_BUTTON_X2MASK;
    default: return 0;
    }
}

bool PlatformIsKeyHeld(int virtualKey)
{
    SDL_PumpEvents();
    if (Uint32 mask = MouseButtonMask(virtualKey)) {
        int x, y;
        Uint32 held = videoIsX11 ? SDL_GetGlobalMouseState(&x, &y) : SDL_GetMouseState(&x, &y);
        return (held & mask) != 0;
    }
    SDL_Scancode codes[2];
    int count = ScancodesOf(virtualKey, codes);
    const Uint8* state = SDL_GetKeyboardState(nullptr);
    for (int i = 0; i < count; i++)
        if (codes[i] != SDL_SCANCODE_UNKNOWN && state[codes[i]]) return true;
    return false;
}

// Presses by scancode, as the window's key events brought them: a virtual key
// of two scancodes (Shift, Ctrl, Alt, Enter) counts the presses of both.
static int pressesOf[SDL_NUM_SCANCODES];

void AddKeyPress(SDL_Scancode code)
{
    if (code > SDL_SCANCODE_UNKNOWN && code < SDL_NUM_SCANCODES && pressesOf[code] < KEY_PRESSES_HELD)
        pressesOf[code]++;
}

int PlatformTakeKeyPresses(int virtualKey)
{
    if (MouseButtonMask(virtualKey) != 0) return 0;
    // The events that came since the last frame's pump are counted first.
    SDL_PumpEvents();
    SDL_Event event;
    while (!messageBoxOpen && SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_KEYDOWN, SDL_KEYDOWN) > 0)
        TranslateEvent(event);
    SDL_Scancode codes[2];
    int count = ScancodesOf(virtualKey, codes), presses = 0;
    for (int i = 0; i < count; i++) {
        if (codes[i] <= SDL_SCANCODE_UNKNOWN || codes[i] >= SDL_NUM_SCANCODES) continue;
        presses += pressesOf[codes[i]];
        pressesOf[codes[i]] = 0;
    }
    return presses < KEY_PRESSES_HELD ? presses : KEY_PRESSES_HELD;
}

// SDL joystick device indexes stand for the system ids 0..15.
static SDL_Joystick* joysticks[16];

void CloseJoysticks()
{
    for (auto& joystick : joysticks) {
        if (joystick != nullptr) SDL_JoystickClose(joystick);
        joystick = nullptr;
    }
}

bool PlatformJoystickPos(int id, unsigned* x, unsigned* y, unsigned* buttons)
{
    if (id < 0 || id >= 16 || id >= SDL_NumJoysticks()) return false;
    if (joysticks[id] == nullptr) joysticks[id] = SDL_JoystickOpen(id);
    SDL_Joystick* joystick = joysticks[id];
    if (joystick == nullptr || !SDL_JoystickGetAttached(joystick)) return false;
    SDL_JoystickUpdate();
    // SDL's axes run -32768..32767; the game's run 0..65535 with the centre at 32768.
    *x = static_cast<unsigned>(SDL_JoystickGetAxis(joystick, 0) + 32768);
    *y = static_cast<unsigned>(SDL_JoystickGetAxis(joystick, 1) + 32768);
    *buttons = 0;
    int count = SDL_JoystickNumButtons(joystick);
    for (int i = 0; i < count && i < 32; i++)
        if (SDL_JoystickGetButton(joystick, i)) *buttons |= 1u << i;
    return true;
}
