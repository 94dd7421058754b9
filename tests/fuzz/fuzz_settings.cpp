// Fuzz target: any bytes as a settings file. The reader says at most a few
// lines whatever it is fed, takes only values within their ranges, and what
// the game writes back for it reads the same and is written again unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "game/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    SettingsText parsed = ParseSettings(text, "settings.ini");
    if (parsed.complaints.size() > 9) abort();
    if (!parsed.isText && !(parsed.kept.empty() && parsed.settings == Settings{})) abort();
    const Settings& s = parsed.settings;
    if (s.musicVolume < 0 || s.musicVolume > 100 || s.musicVolume % 10 != 0) abort();
    if (s.gameSpeed < 50 || s.gameSpeed > 100 || s.gameSpeed % 10 != 0) abort();
    if (s.padDeadzone < 0 || s.padDeadzone > 30) abort();
    if (s.startDisplay < START_DISPLAY_ASK || s.startDisplay > START_DISPLAY_FULLSCREEN) abort();

    std::string saved = FormatSettings(s, parsed.kept);
    SettingsText again = ParseSettings(saved, "settings.ini");
    if (!again.isText || !(again.settings == s)) abort();
    if (FormatSettings(again.settings, again.kept) != saved) abort();
    return 0;
}
