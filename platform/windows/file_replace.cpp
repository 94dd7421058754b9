// Replacing a file in one step on Windows: the new text goes to a temporary
// file beside the old one, is flushed to the disk, and then takes the old
// one's place with MoveFileExA, so a crash mid-write never leaves a torn file.
// (The C runtime's rename refuses to replace an existing file.)
#include "platform/platform.h"
#include "platform/windows/win_internal.h"

#include <cstdio>
#include <string>

static bool Fail(char* errorText, size_t errorSize, const char* what)
{
    if (errorText && errorSize > 0)
        std::snprintf(errorText, errorSize, "%s (error %lu)", what,
                      static_cast<unsigned long>(GetLastError()));
    return false;
}

bool PlatformReplaceFile(const char* path, const void* data, size_t size, char* errorText,
                         size_t errorSize, int)
{
    // A new temporary file each time: whatever lay under its name (a link
    // among them) goes first, so nothing is ever written through it. The
    // move then replaces a link at path by the file, as it does any file.
    std::string temporary = std::string(path) + ".new";
    DeleteFileA(temporary.c_str());
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Fail(errorText, errorSize, "cannot create a temporary file");
    const char* p = static_cast<const char*>(data);
    size_t left = size;
    bool ok = true;
    while (ok && left > 0) {
        DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        ok = WriteFile(file, p, chunk, &written, nullptr) && written > 0;
        p += written;
        left -= written;
    }
    if (!ok || !FlushFileBuffers(file)) {
        Fail(errorText, errorSize, "cannot write");
        CloseHandle(file);
        DeleteFileA(temporary.c_str());
        return false;
    }
    CloseHandle(file);
    if (!MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Fail(errorText, errorSize, "cannot replace");
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}
