// The process on Windows: start-up (window, 1-ms timer), standard output, and
// the immediate end through TerminateProcess.
#include "platform/windows/win_internal.h"

#include <cstdio>
#include <mmsystem.h>

// The game's own files (the first stage and the tile sheet), not merely
// folders that happen to be called bmp, se or txt.
static bool HoldsGameData(const std::wstring& folder) {
    for (const wchar_t* name : {L"txt\\dw_stage1.txt", L"bmp\\stage\\haikei.bmp"}) {
        DWORD attributes = GetFileAttributesW((folder + name).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    }
    return true;
}

// Started from a shortcut or a prompt somewhere else, the game still finds the
// bmp/, se/ and txt/ that were unpacked beside prismveldt.exe.
static void MoveBesideGameData() {
    if (HoldsGameData(L".\\")) return;
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::wstring folder(path, length);
    size_t slash = folder.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return;
    folder.resize(slash + 1);
    if (HoldsGameData(folder)) SetCurrentDirectoryW(folder.c_str());
}

void PlatformInit(int, char**) {
    // Logical pixels are the screen's own: no scaling by the desktop's DPI.
    SetProcessDPIAware();
    MoveBesideGameData();
    CreateGameWindow();
    timeBeginPeriod(1);
}

// The Windows game reads no options of its own beyond the game's.
const char* const* PlatformCommandOptions() {
    static const char* const none[] = {nullptr};
    return none;
}
const char* PlatformCommandUsage() { return ""; }
const char* PlatformProgramName() { return "prismveldt"; }

[[noreturn]] void PlatformExit(int status) {
    timeEndPeriod(1);
    StopPadRumble();  // a pad would rumble on after the program
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
