// The browser has one folder for the game: the page's data with the saved
// files over it, which the game runs in; there is no installed copy to find.
// The settings live inside the saved folder, which the page keeps in the
// browser's storage, so they last from one visit to the next as the best
// times do.
#include "platform/web/web_internal.h"

#include <cstring>
#include <string>

bool PlatformProgramFolder(char*, size_t) { return false; }
bool PlatformUserDataFolder(char*, size_t) { return false; }

bool PlatformSettingsFolder(char* buffer, size_t size)
{
    std::string folder = std::string(SAVED_FOLDER) + "/settings";
    if (folder.size() + 1 > size) return false;
    memcpy(buffer, folder.c_str(), folder.size() + 1);
    return true;
}
