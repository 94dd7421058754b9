// The process on Windows: start-up (window, 1-ms timer), standard output, and
// the immediate end through TerminateProcess.
#include "platform/windows/win_internal.h"

#include <cstdio>
#include <mmsystem.h>

void PlatformInit(int, char**) {
    // Logical pixels are the screen's own: no scaling by the desktop's DPI.
    SetProcessDPIAware();
    CreateGameWindow();
    timeBeginPeriod(1);
}

[[noreturn]] void PlatformExit(int status) {
    timeEndPeriod(1);
    // Whatever was written to standard output goes out; nothing else runs.
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    ExitProcess(static_cast<UINT>(status)); // not reached
}

void PlatformWriteStdout(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
}

// Replays are the headless harness's business; the desktop game keeps none.
void PlatformTraceFrame(const char*) {}

bool PlatformTracing() {
    return false;
}
