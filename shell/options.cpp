// Reading the program's own options.
#include "shell/options.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"

namespace {

bool IsBackendOption(const std::string& option)
{
    for (const char* const* known = PlatformCommandOptions(); known && *known; known++)
        if (option == *known) return true;
    return false;
}

// Printable and short, whatever was typed.
std::string Shown(const std::string& text)
{
    std::string shown;
    for (char c : text.substr(0, 60)) shown += (c >= 0x20 && c < 0x7F) ? c : '?';
    return shown;
}

}  // namespace

bool ParseGameOptions(int argc, char** argv, GameOptions* options, std::string* error)
{
    *options = GameOptions{};
    for (int i = 1; i < argc; i++) {
        std::string option = argv[i];
        if (option == "--help") {
            options->help = true;
            continue;
        }
        if (option == "--version") {
            options->version = true;
            continue;
        }
        bool ours = option == "--verify" || option == "--replay" || option == "--dir" ||
                    option == "--settings" || option == "--edit" || option == "--stages" ||
                    option == "--stage";
        if (!ours && !IsBackendOption(option)) {
            *error = option.rfind("-", 0) == 0 ? "unknown option \"" + Shown(option) + "\""
                                               : "unexpected argument \"" + Shown(option) + "\"";
            return false;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            *error = option == "--dir"        ? "--dir needs a folder"
                     : option == "--settings" ? "--settings needs a file"
                     : option == "--edit"     ? "--edit needs a stage file"
                     : option == "--stage"    ? "--stage needs a stage file"
                     : option == "--stages"   ? "--stages needs a folder of stage files"
                     : ours                   ? option + " needs a recording's file"
                                              : option + " needs a value";
            return false;
        }
        i++;
        if (!ours) continue;  // the backend reads it
        std::error_code ignored;
        std::string path = std::filesystem::absolute(argv[i], ignored).string();
        if (option == "--verify") options->verifyPath = path;
        if (option == "--replay") options->replayPath = path;
        if (option == "--dir") options->dataDir = path;
        if (option == "--settings") options->settingsPath = path;
        if (option == "--edit") options->editPath = path;
        if (option == "--stages") options->stagesDir = path;
        if (option == "--stage") options->stagePath = path;
    }
    if (!options->verifyPath.empty() && !options->replayPath.empty()) {
        *error = "--verify and --replay cannot go together";
        return false;
    }
    if (!options->editPath.empty() && (!options->verifyPath.empty() || !options->replayPath.empty())) {
        *error = "--edit goes with neither --verify nor --replay";
        return false;
    }
    if (!options->stagesDir.empty() && !options->editPath.empty()) {
        *error = "--stages does not go with --edit";
        return false;
    }
    if (!options->stagePath.empty() && options->verifyPath.empty()) {
        *error = "--stage only tells --verify which stage a recording was played on";
        return false;
    }
    return true;
}

std::string GameUsage()
{
    return std::string("usage: ") + PlatformProgramName() + " [--dir DIR] [--settings FILE]" + PlatformCommandUsage() +
           " [--verify FILE | --replay FILE] [--stage FILE] [--edit FILE] [--stages DIR] [--help] [--version]\n";
}
