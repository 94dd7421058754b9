// The graphics library's hooks into the program around it (gfx/hooks.h), and
// their defaults for a program that sets none.
#include "gfx/hooks.h"

#include <cstdio>

#include "platform/platform.h"

namespace {

const char* keptTask = nullptr;

void PumpNothing() {}

void EndAtOnce() { PlatformExit(1); }

void ReportAndEnd(const char* what) {
    std::fprintf(stderr, "Prismveldt: out of memory%s%s\n", what ? " making " : "", what ? what : "");
    PlatformExit(1);
}

const char* KeepTask(const char* what) {
    const char* previous = keptTask;
    keptTask = what;
    return previous;
}

}  // namespace

void (*gfxPumpMessages)() = PumpNothing;
void (*gfxPictureNotLoaded)(const char* path) = nullptr;
void (*gfxEndProgram)() = EndAtOnce;
void (*gfxExitOutOfMemory)(const char* what) = ReportAndEnd;
const char* (*gfxSetMemoryTask)(const char* what) = KeepTask;

void GfxPumpMessages() {
    (gfxPumpMessages ? gfxPumpMessages : PumpNothing)();
}

void GfxEndProgram() {
    (gfxEndProgram ? gfxEndProgram : EndAtOnce)();
    PlatformExit(1);
}

void GfxExitOutOfMemory(const char* what) {
    (gfxExitOutOfMemory ? gfxExitOutOfMemory : ReportAndEnd)(what);
    PlatformExit(1);
}

const char* GfxSetMemoryTask(const char* what) {
    return (gfxSetMemoryTask ? gfxSetMemoryTask : KeepTask)(what);
}
