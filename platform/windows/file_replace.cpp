// rename on Windows, with the POSIX meaning the game's file writers rely on:
// the C runtime's rename refuses to replace an existing file, so the score
// file would never take a new time. The Windows build links every call of
// rename to this one (-Wl,--wrap=rename), which replaces the target in one
// step and writes it through to the disk.
#include "platform/windows/win_internal.h"

#include <cerrno>

extern "C" int __wrap_rename(const char* from, const char* to) {
    if (from == nullptr || to == nullptr) {
        errno = EINVAL;
        return -1;
    }
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: errno = ENOENT; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: errno = EACCES; break;
    default: errno = EIO; break;
    }
    return -1;
}
