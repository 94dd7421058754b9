// The browser's language: the one the player's browser asks pages for.
#include <emscripten.h>

#include "platform/platform.h"

// 1 when navigator.language names Japanese ("ja", "ja-JP").
EM_JS(int, PageLanguageIsJapanese, (), {
    var language = (typeof navigator !== "undefined" && navigator.language) || "";
    return /^ja($|-)/i.test(language) ? 1 : 0;
});

int PlatformSystemLanguage()
{
    return PageLanguageIsJapanese() ? PLATFORM_LANGUAGE_JAPANESE : PLATFORM_LANGUAGE_ENGLISH;
}
