// Where things are on Linux: the program's own folder from /proc, the
// player's data folder from the XDG variables.
#include "platform/platform.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

static bool Store(char* buffer, size_t size, const char* text, size_t length)
{
    if (length + 1 > size) return false;
    memcpy(buffer, text, length);
    buffer[length] = '\0';
    return true;
}

bool PlatformProgramFolder(char* buffer, size_t size)
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return false;
    path[length] = '\0';
    const char* slash = strrchr(path, '/');
    if (slash == nullptr) return false;
    return Store(buffer, size, path, slash == path ? 1 : (size_t)(slash - path));
}

bool PlatformUserDataFolder(char* buffer, size_t size)
{
    // An unset, empty or relative XDG_DATA_HOME means ~/.local/share.
    const char* xdg = getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') return Store(buffer, size, xdg, strlen(xdg));
    const char* home = getenv("HOME");
    if (home == nullptr || home[0] != '/') return false;
    int length = snprintf(buffer, size, "%s/.local/share", home);
    return length > 0 && (size_t)length < size;
}
