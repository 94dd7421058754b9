// The headless machine's clock, frames, event queue, standard output and end.
#include <cstdio>
#include <unistd.h>

#include "platform/headless/headless.h"
#include "platform/platform.h"

HeadlessMachine headless;

// The frame hashes closed: false when their last lines could not be written.
static bool CloseFrameHashes()
{
    if (headless.frameHashes == nullptr) return true;
    bool ok = fclose(headless.frameHashes) == 0;
    headless.frameHashes = nullptr;
    return ok;
}

void HarnessOutputFailed(const char* what, const std::string& path)
{
    CloseTrace();
    CloseFrameHashes();
    fprintf(stderr, "prismveldt-headless: cannot write %s to %s\n", what, path.c_str());
    fflush(stdout);
    fflush(stderr);
    _exit(HARNESS_OUTPUT_FAILED);
}

void PlatformExit(int status)
{
    TraceLine("\"ev\":\"exit\",\"code\":" + std::to_string(status));
    if (!CloseTrace()) HarnessOutputFailed("the trace", TracePath());
    if (!CloseFrameHashes()) HarnessOutputFailed("the frame hashes", headless.frameHashesPath);
    fflush(stdout);
    fflush(stderr);
    _exit(status);
}

void PlatformWriteStdout(const char* text)
{
    std::string fields = "\"ev\":\"stdout\",\"text\":\"";
    AppendJsonEscaped(&fields, text);
    fields += '"';
    TraceLine(fields);
    if (!TraceIsStdout()) {
        fputs(text, stdout);
        fflush(stdout);
    }
}

// The clock moves only here: frames take exactly the pacing period when the
// game is "fast", which a machine without time always is.
uint32_t PlatformTimeMs() { return headless.clockMs; }
void PlatformSleep(uint32_t) {}

void PlatformWaitFrame(uint32_t previousFrameStart, uint32_t periodMs)
{
    if (static_cast<uint32_t>(headless.clockMs - previousFrameStart) < periodMs)
        headless.clockMs = previousFrameStart + periodMs;
    long long frame = headless.framesStarted++;
    if (headless.maxFrames >= 0 && frame >= headless.maxFrames) {
        TraceLine("\"ev\":\"limit\"");
        PlatformExit(2);
    }
    ApplyScriptFrame(frame);
}

void ApplyScriptFrame(long long frame)
{
    const auto& actions = headless.script.actions;
    while (headless.nextAction < actions.size() && actions[headless.nextAction].frame < frame)
        headless.nextAction++;  // lines for frames already past (none in a normal run)
    for (; headless.nextAction < actions.size() && actions[headless.nextAction].frame == frame;
         headless.nextAction++) {
        const ScriptAction& action = actions[headless.nextAction];
        switch (action.op) {
        case SCRIPT_MOUSE:
            // The picture is shown at its own size here: one picture pixel
            // per client pixel, doubled in the doubled window.
            headless.cursorX = action.x * PixelScale();
            headless.cursorY = action.y * PixelScale();
            break;
        case SCRIPT_DOWN:
            if (!headless.keys[action.key & 0xFF] && headless.keyPresses[action.key & 0xFF] < KEY_PRESSES_HELD)
                headless.keyPresses[action.key & 0xFF]++;
            headless.keys[action.key & 0xFF] = true;
            break;
        case SCRIPT_UP: headless.keys[action.key & 0xFF] = false; break;
        case SCRIPT_CLOSE: headless.events.push_back(PLATFORM_EVENT_CLOSE); break;
        case SCRIPT_WHEEL: headless.wheelSteps += action.x; break;
        case SCRIPT_FOCUS_OUT:
            headless.focused = false;
            headless.focusLost = true;
            break;
        case SCRIPT_FOCUS_IN: headless.focused = true; break;
        case SCRIPT_PAD_CONNECT:
        case SCRIPT_PAD_DISCONNECT:
            // A pad comes and goes at rest: nothing it held carries over.
            if (headless.padConnected != (action.op == SCRIPT_PAD_CONNECT))
                headless.events.push_back(PLATFORM_EVENT_DEVICE_CHANGE);
            headless.padConnected = action.op == SCRIPT_PAD_CONNECT;
            for (int16_t& axis : headless.padAxes) axis = 0;
            headless.padButtons = 0;
            break;
        case SCRIPT_PAD_AXIS:
            if (headless.padConnected) headless.padAxes[action.key] = static_cast<int16_t>(action.x);
            break;
        case SCRIPT_PAD_DOWN:
            if (headless.padConnected) headless.padButtons |= 1u << action.key;
            break;
        case SCRIPT_PAD_UP: headless.padButtons &= ~(1u << action.key); break;
        }
    }
}

bool PlatformPollEvent(PlatformEvent* event)
{
    if (headless.events.empty()) return false;
    event->type = headless.events.front();
    headless.events.pop_front();
    event->musicReason = 0;
    if (event->type == PLATFORM_EVENT_MUSIC_DONE && !headless.musicReasons.empty()) {
        event->musicReason = headless.musicReasons.front();
        headless.musicReasons.pop_front();
    }
    return true;
}

void PlatformTraceFrame(const char* fields)
{
    if (!TraceOpen()) return;
    std::string line = "\"ev\":\"frame\",\"n\":" + std::to_string(headless.framesStarted - 1) +
                       ",\"t\":" + std::to_string(headless.clockMs) + "," + fields;
    TraceLine(line);
}

bool PlatformTracing() { return TraceOpen(); }

// Frames follow one another in this loop; each waits in PlatformWaitFrame.
bool PlatformFrameDue(uint32_t, uint32_t) { return true; }

void PlatformRunFrames(bool (*tick)(void*), void (*done)(void*), void* context)
{
    while (tick(context)) {
    }
    done(context);
}
