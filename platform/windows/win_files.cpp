// Reading the game's files on Windows: only plain files on a disk are game
// files (a named pipe or a device in their place is refused), and the score
// file's lock is a file of its own beside it that vanishes when closed; and
// the folders the game finds its own files in.
#include "platform/platform.h"
#include "platform/windows/win_internal.h"

#include <shlobj.h>

#include <cstring>
#include <string>

struct PlatformFile {
    HANDLE handle;
};

int PlatformOpenFile(const char* path, PlatformFile** file, uint64_t* size) {
    *file = nullptr;
    *size = 0;
    if (path == nullptr || path[0] == '\0') return PLATFORM_FILE_MISSING;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? PLATFORM_FILE_MISSING
                   : PLATFORM_FILE_UNREADABLE;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PLATFORM_FILE_NOT_REGULAR;
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return PLATFORM_FILE_UNREADABLE;
    LARGE_INTEGER length;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &length)) {
        CloseHandle(handle);
        return PLATFORM_FILE_NOT_REGULAR;
    }
    *file = new PlatformFile{handle};
    *size = static_cast<uint64_t>(length.QuadPart);
    return PLATFORM_FILE_OK;
}

long long PlatformReadFile(PlatformFile* file, void* buffer, size_t size) {
    if (file == nullptr) return -1;
    DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(file->handle, buffer, chunk, &got, nullptr)) return -1;
    return got;
}

void PlatformCloseFile(PlatformFile* file) {
    if (file == nullptr) return;
    CloseHandle(file->handle);
    delete file;
}

static HANDLE lockFile = INVALID_HANDLE_VALUE;

int PlatformLockFile(const char* path) {
    PlatformUnlockFile();
    if (path == nullptr) return PLATFORM_LOCK_NONE;
    std::string name = std::string(path) + ".lock";
    // Opened by one copy at a time; the others wait their turn (a save takes
    // milliseconds), and give up after three seconds rather than hang.
    for (int attempt = 0; attempt < 300; attempt++) {
        lockFile = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (lockFile != INVALID_HANDLE_VALUE) return PLATFORM_LOCK_HELD;
        if (GetLastError() != ERROR_SHARING_VIOLATION && GetLastError() != ERROR_ACCESS_DENIED)
            return PLATFORM_LOCK_NONE;
        Sleep(10);
    }
    return PLATFORM_LOCK_BUSY;
}

void PlatformUnlockFile() {
    if (lockFile == INVALID_HANDLE_VALUE) return;
    CloseHandle(lockFile);
    lockFile = INVALID_HANDLE_VALUE;
}

void PlatformRemoveReplaceLeftovers(const char* path, int) {
    if (path == nullptr) return;
    DeleteFileA((std::string(path) + ".new").c_str());
}

bool PlatformProgramFolder(char* buffer, size_t size) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    if (slash == std::string::npos || slash + 1 > size) return false;
    folder.resize(slash);
    memcpy(buffer, folder.c_str(), folder.size() + 1);
    return true;
}

// The Windows game keeps its best times in its own txt folder, beside the
// program, as the zip unpacks it.
bool PlatformUserDataFolder(char*, size_t) {
    return false;
}

namespace {

// A path for the game's file calls, which take the ANSI code page: false
// when it has a character that code page lacks.
bool WideToAnsi(const std::wstring& wide, std::string* ansi) {
    BOOL lossy = FALSE;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0,
                                     nullptr, &lossy);
    if (length <= 0 || lossy) return false;
    std::string converted(static_cast<size_t>(length), '\0');
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, converted.data(), length,
                            nullptr, &lossy) != length || lossy)
        return false;
    converted.resize(static_cast<size_t>(length - 1));
    *ansi = converted;
    return true;
}

}  // namespace

// The player's roaming application data (Prismveldt under %APPDATA%): the
// settings follow the player from one machine of a domain to the next, and
// stay out of the unpacked game folder, which a new version replaces.
bool PlatformSettingsFolder(char* buffer, size_t size) {
    std::wstring folder;
    PWSTR known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known)) && known)
        folder = known;
    CoTaskMemFree(known);
    if (folder.empty()) {
        wchar_t variable[MAX_PATH];
        DWORD length = GetEnvironmentVariableW(L"APPDATA", variable, MAX_PATH);
        if (length > 0 && length < MAX_PATH) folder = variable;
    }
    if (folder.empty()) return false;
    std::string ansi;
    if (!WideToAnsi(folder, &ansi)) {
        // A user name outside the code page: the folder's short name is ASCII.
        wchar_t shortName[MAX_PATH];
        DWORD length = GetShortPathNameW(folder.c_str(), shortName, MAX_PATH);
        if (length == 0 || length >= MAX_PATH || !WideToAnsi(shortName, &ansi)) return false;
    }
    ansi += "\\Prismveldt";
    if (ansi.size() + 1 > size) return false;
    memcpy(buffer, ansi.c_str(), ansi.size() + 1);
    return true;
}
