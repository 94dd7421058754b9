// Which of the game's languages a POSIX locale asks for, read as the C
// library reads a locale for messages.
#pragma once

// PLATFORM_LANGUAGE_JAPANESE when the first of lcAll, lcMessages and lang
// that is set and not empty (nullptr counts as unset) names Japanese ("ja",
// "ja_JP.UTF-8", "ja_JP@..."), PLATFORM_LANGUAGE_ENGLISH otherwise: for any
// other language, "C", "POSIX", or none set at all.
int LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang);
