// Reading the program's own options.
#include "shell/options.h"

#include <filesystem>
#include <system_error>

bool ParseGameOptions(int argc, char** argv, GameOptions* options, std::string* error)
{
    *options = GameOptions{};
    for (int i = 1; i < argc; i++) {
        std::string option = argv[i];
        if (option != "--verify" && option != "--replay") continue;
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            *error = option + " needs a recording's file";
            return false;
        }
        std::error_code ignored;
        std::string path = std::filesystem::absolute(argv[++i], ignored).string();
        (option == "--verify" ? options->verifyPath : options->replayPath) = path;
    }
    return true;
}
