// The desktop's language: the locale the player's session runs in.
#include <cstdlib>

#include "platform/platform.h"
#include "platform/posix/locale.h"

int PlatformSystemLanguage()
{
    return LanguageOfLocale(getenv("LC_ALL"), getenv("LC_MESSAGES"), getenv("LANG"));
}
