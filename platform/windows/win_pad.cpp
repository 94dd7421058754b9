// The pad on Windows: XInput, loaded when first wanted so that the game still
// starts where no XInput library is installed. The pad is the one plugged in
// first of those still plugged in; its parts are read as SDL names them.
#include "platform/windows/win_internal.h"

#include <xinput.h>

namespace {

XInputGetStateFunction* getState = nullptr;
XInputSetStateFunction* setState = nullptr;
bool loaded = false;  // the library looked for (found or not)

// XInput's four users' slots: which hold a pad, and when each was first seen
// (a count: pads found by one look count in slot order).
struct Slot {
    bool connected;
    unsigned long long arrival;
};
Slot slots[XUSER_MAX_COUNT] = {};
unsigned long long arrivals = 0;
// Asking an empty slot can take milliseconds on some systems: they are looked
// at this often at most, the pad in use on every read.
constexpr uint32_t PROBE_EVERY_MS = 1000;
bool probed = false;
uint32_t lastProbeMs = 0;

// The rumble under way, stopped by a read once its time has passed.
bool rumbling = false;
DWORD rumbleSlot = 0;
uint32_t rumbleStartMs = 0, rumbleMs = 0;

void LoadXInput() {
    if (loaded) return;
    loaded = true;
    // Windows 8 and later have 1.4; 1.3 comes with the DirectX runtime, and
    // 9.1.0 with every Windows since Vista.
    for (const wchar_t* name : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
        HMODULE library = LoadLibraryW(name);
        if (library == nullptr) continue;
        auto get = reinterpret_cast<XInputGetStateFunction*>(
            reinterpret_cast<void*>(GetProcAddress(library, "XInputGetState")));
        auto set = reinterpret_cast<XInputSetStateFunction*>(
            reinterpret_cast<void*>(GetProcAddress(library, "XInputSetState")));
        if (get != nullptr && set != nullptr) {
            getState = get;
            setState = set;
            return;
        }
        FreeLibrary(library);
    }
}

void Vibrate(DWORD slot, WORD strength) {
    XINPUT_VIBRATION vibration = {strength, strength};
    setState(slot, &vibration);
}

// The slots not holding a pad, asked again when a look is due.
void ProbeEmptySlots(uint32_t now) {
    if (probed && now - lastProbeMs < PROBE_EVERY_MS) return;
    probed = true;
    lastProbeMs = now;
    for (DWORD i = 0; i < XUSER_MAX_COUNT; ++i) {
        if (slots[i].connected) continue;
        XINPUT_STATE state = {};
        if (getState(i, &state) == ERROR_SUCCESS) slots[i] = Slot{true, ++arrivals};
    }
}

// The slot of the pad in use, with its state read now; -1 when none is
// plugged in. A pad found gone is let go, and the one that came next stands in.
int CurrentPad(XINPUT_STATE* state) {
    ProbeEmptySlots(PlatformTimeMs());
    for (;;) {
        int first = -1;
        for (int i = 0; i < XUSER_MAX_COUNT; ++i)
            if (slots[i].connected && (first < 0 || slots[i].arrival < slots[first].arrival)) first = i;
        if (first < 0) return -1;
        *state = XINPUT_STATE{};
        if (getState(static_cast<DWORD>(first), state) == ERROR_SUCCESS) return first;
        slots[first].connected = false;
        if (rumbling && rumbleSlot == static_cast<DWORD>(first)) rumbling = false;
    }
}

}  // namespace

void UseXInputFunctions(XInputGetStateFunction* get, XInputSetStateFunction* set) {
    loaded = get != nullptr && set != nullptr;
    getState = loaded ? get : nullptr;
    setState = loaded ? set : nullptr;
    for (Slot& slot : slots) slot = Slot{};
    probed = false;
    rumbling = false;
}

void PadStateFromXInput(const XINPUT_GAMEPAD& gamepad, PadState* state) {
    *state = PadState{};
    // XInput's sticks are up-positive; the game's are down-positive, and
    // -32768 turned over would not fit.
    auto down = [](SHORT up) { return static_cast<int16_t>(up == -32768 ? 32767 : -up); };
    auto trigger = [](BYTE value) { return static_cast<int16_t>(value * 32767 / 255); };
    state->axes[PAD_AXIS_LEFT_X] = gamepad.sThumbLX;
    state->axes[PAD_AXIS_LEFT_Y] = down(gamepad.sThumbLY);
    state->axes[PAD_AXIS_RIGHT_X] = gamepad.sThumbRX;
    state->axes[PAD_AXIS_RIGHT_Y] = down(gamepad.sThumbRY);
    state->axes[PAD_AXIS_LEFT_TRIGGER] = trigger(gamepad.bLeftTrigger);
    state->axes[PAD_AXIS_RIGHT_TRIGGER] = trigger(gamepad.bRightTrigger);
    // SDL's number for each of XInput's buttons; XInput has no guide button.
    static const struct {
        WORD bit;
        int sdl;
    } BUTTONS[] = {
        {XINPUT_GAMEPAD_A, 0}, {XINPUT_GAMEPAD_B, 1}, {XINPUT_GAMEPAD_X, 2},
        {XINPUT_GAMEPAD_Y, 3}, {XINPUT_GAMEPAD_BACK, 4}, {XINPUT_GAMEPAD_START, 6},
        {XINPUT_GAMEPAD_LEFT_THUMB, 7}, {XINPUT_GAMEPAD_RIGHT_THUMB, 8},
        {XINPUT_GAMEPAD_LEFT_SHOULDER, 9}, {XINPUT_GAMEPAD_RIGHT_SHOULDER, 10},
        {XINPUT_GAMEPAD_DPAD_UP, 11}, {XINPUT_GAMEPAD_DPAD_DOWN, 12},
        {XINPUT_GAMEPAD_DPAD_LEFT, 13}, {XINPUT_GAMEPAD_DPAD_RIGHT, 14},
    };
    for (const auto& button : BUTTONS)
        if (gamepad.wButtons & button.bit) state->buttons |= 1u << button.sdl;
}

bool PlatformReadPad(PadState* state) {
    *state = PadState{};
    LoadXInput();
    if (getState == nullptr) return false;
    if (rumbling && PlatformTimeMs() - rumbleStartMs >= rumbleMs) StopPadRumble();
    XINPUT_STATE read;
    if (CurrentPad(&read) < 0) return false;
    PadStateFromXInput(read.Gamepad, state);
    return true;
}

void PlatformRumblePad(int strengthPercent, uint32_t ms) {
    LoadXInput();
    if (setState == nullptr) return;
    StopPadRumble();  // a pad swapped meanwhile is not left rumbling
    XINPUT_STATE read;
    int slot = CurrentPad(&read);
    if (slot < 0 || strengthPercent <= 0 || ms == 0) return;
    int percent = strengthPercent > 100 ? 100 : strengthPercent;
    Vibrate(static_cast<DWORD>(slot), static_cast<WORD>(0xFFFF * percent / 100));
    rumbling = true;
    rumbleSlot = static_cast<DWORD>(slot);
    rumbleStartMs = PlatformTimeMs();
    rumbleMs = ms > 5000 ? 5000 : ms;
}

void StopPadRumble() {
    if (!rumbling) return;
    rumbling = false;
    Vibrate(rumbleSlot, 0);
}
