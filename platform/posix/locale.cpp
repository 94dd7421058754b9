// The game's language from a POSIX locale's name; see locale.h.
#include "platform/posix/locale.h"

#include <initializer_list>

#include "platform/platform.h"

int LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang)
{
    const char* name = nullptr;
    for (const char* candidate : {lcAll, lcMessages, lang})
        if (candidate && *candidate) {
            name = candidate;
            break;
        }
    // language[_territory][.codeset][@modifier]
    bool japanese = name && name[0] == 'j' && name[1] == 'a' &&
                    (name[2] == '\0' || name[2] == '_' || name[2] == '.' || name[2] == '@');
    return japanese ? PLATFORM_LANGUAGE_JAPANESE : PLATFORM_LANGUAGE_ENGLISH;
}
