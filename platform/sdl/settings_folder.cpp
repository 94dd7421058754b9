// Where the desktop game's settings belong: the player's XDG configuration
// folder. Here rather than in platform/posix/, which the harness shares and
// whose runs must never find the player's settings.
#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>

bool PlatformSettingsFolder(char* buffer, size_t size)
{
    // An unset, empty or relative XDG_CONFIG_HOME means ~/.config.
    const char* xdg = getenv("XDG_CONFIG_HOME");
    const char* home = getenv("HOME");
    int length = -1;
    if (xdg != nullptr && xdg[0] == '/')
        length = snprintf(buffer, size, "%s/prismveldt", xdg);
    else if (home != nullptr && home[0] == '/')
        length = snprintf(buffer, size, "%s/.config/prismveldt", home);
    return length > 0 && (size_t)length < size;
}
