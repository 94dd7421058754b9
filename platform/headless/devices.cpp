// The headless pointer, keys, wheel, pad, joysticks and audio: scripted state in, trace lines out.
#include "platform/headless/headless.h"
#include "platform/platform.h"

void PlatformShowCursor(bool visible) { headless.cursorVisible = visible; }

void PlatformGetPointer(int* x, int* y)
{
    *x = headless.cursorX;
    *y = headless.cursorY;
}

// The program's own moves hold until a later script line moves the pointer.
void PlatformSetPointer(int x, int y)
{
    headless.cursorX = x;
    headless.cursorY = y;
}

bool PlatformIsKeyHeld(int virtualKey)
{
    return virtualKey >= 0 && virtualKey < 256 && headless.keys[virtualKey];
}

// The script's mouse buttons are keys 1, 2 and 4 to it; they count no presses here.
int PlatformTakeKeyPresses(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255 || virtualKey == 0x01 || virtualKey == 0x02 || virtualKey == 0x04)
        return 0;
    int presses = headless.keyPresses[virtualKey];
    headless.keyPresses[virtualKey] = 0;
    return presses;
}

bool PlatformJoystickPos(int id, unsigned* x, unsigned* y, unsigned* buttons)
{
    if (id < 0 || id >= 16 || !headless.joystickPresent[id]) return false;
    *x = headless.joystickX[id];
    *y = headless.joystickY[id];
    *buttons = headless.joystickButtons[id];
    return true;
}

bool PlatformReadPad(PadState* state)
{
    *state = PadState{};
    if (!headless.padConnected) return false;
    for (int i = 0; i < PAD_AXIS_COUNT; i++) state->axes[i] = headless.padAxes[i];
    state->buttons = headless.padButtons;
    return true;
}

void PlatformRumblePad(int strengthPercent, uint32_t ms)
{
    if (!headless.padConnected) return;
    TraceLine("\"ev\":\"rumble\",\"strength\":" + std::to_string(strengthPercent) +
              ",\"ms\":" + std::to_string(ms));
}

int PlatformTakeWheelSteps()
{
    int steps = headless.wheelSteps;
    headless.wheelSteps = 0;
    return steps;
}

static void TraceAudio(const char* kind, const char* op, const char* path)
{
    std::string fields = std::string("\"ev\":\"") + kind + "\",\"op\":\"" + op + "\"";
    if (path != nullptr) {
        fields += ",\"path\":\"";
        AppendJsonEscaped(&fields, path);
        fields += '"';
    }
    TraceLine(fields);
}

// There is no audio device: every call is recorded and nothing plays.
bool PlatformPlaySound(const char* path)
{
    TraceAudio("sound", "play", path);
    return true;
}

void PlatformStopSound() { TraceAudio("sound", "stop", nullptr); }

// The feedback path is traced as a kind of its own, so the sound lines stay
// as they were.
bool PlatformPlayFeedback(const char* path)
{
    TraceAudio("feedback", "play", path);
    return true;
}

void PlatformStopFeedback() { TraceAudio("feedback", "stop", nullptr); }

// Traced only when it changes, so that a game left at full loudness traces
// as it always did.
void PlatformSetVolumes(int musicPercent, int effectsPercent)
{
    static int music = 100, effects = 100;
    auto held = [](int percent) { return percent < 0 ? 0 : percent > 100 ? 100 : percent; };
    if (held(musicPercent) == music && held(effectsPercent) == effects) return;
    music = held(musicPercent);
    effects = held(effectsPercent);
    TraceLine("\"ev\":\"volume\",\"music\":" + std::to_string(music) + ",\"effects\":" +
              std::to_string(effects));
}

bool PlatformOpenMusic(const char* path)
{
    TraceAudio("music", "play", path);
    if (headless.musicOpen) return false;  // the one stream is taken
    headless.musicOpen = true;
    return true;
}

void PlatformPlayMusic(bool notify)
{
    if (!headless.musicOpen) return;
    headless.musicNotifyPending = notify;
}

// The stream never ends by itself here; a stop turns the pending notification
// into an abort, which the window procedure leaves alone.
void PlatformStopMusic()
{
    TraceAudio("music", "stop", nullptr);
    if (headless.musicOpen && headless.musicNotifyPending) {
        headless.events.push_back(PLATFORM_EVENT_MUSIC_DONE);
        headless.musicReasons.push_back(MUSIC_DONE_ABORTED);
    }
    headless.musicNotifyPending = false;
}

void PlatformCloseMusic()
{
    headless.musicOpen = false;
    headless.musicNotifyPending = false;
}
