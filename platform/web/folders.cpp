// The browser has one folder for the game: the page's data with the saved
// files over it, which the game runs in; there is no installed copy to find.
#include "platform/web/web_internal.h"

bool PlatformProgramFolder(char*, size_t) { return false; }
bool PlatformUserDataFolder(char*, size_t) { return false; }
