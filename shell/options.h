// The program's own command line: nothing for a game as it always was,
// --dir DIR to play in a game folder of the player's choice, --settings FILE
// to keep the settings in a file of the player's choice, --verify FILE to
// check a recorded time, --replay FILE to watch a recorded run, --edit FILE
// to make or change a stage in the editor, --stages DIR to play the stage
// files of DIR (a pack; with --verify or --replay, where a custom run's stage
// is found),
// --stage FILE to verify a custom run on that stage file, --help and
// --version. The backend's own options (the harness's --script and the
// others) are passed over with their values; anything else is refused.
#pragma once
#include <string>

struct GameOptions {
    std::string verifyPath;  // empty: no verification
    std::string replayPath;  // empty: no replay
    std::string editPath;    // empty: no editor
    std::string stagesDir;   // empty: the shipped stages; else a pack's folder
    std::string stagePath;   // empty: none; else the stage file --verify checks a custom run on
    std::string dataDir;     // empty: the folder the data choice finds
    std::string settingsPath;  // empty: the platform's settings file, if any
    bool help = false;
    bool version = false;
};

// Reads argv[1] .. argv[argc - 1] into *options, which is reset first: the
// paths of --dir, --settings, --verify, --replay, --edit, --stages and --stage are made absolute against the
// current folder as it is now, since the harness may change folders before
// they are used; the last of a repeated option wins; a backend option is
// passed over with its value. False with a message in *error (the offending
// word shown printable, at most 60 characters) for an option the program
// does not know, a word that is no option, an option without its value
// (none, or an empty one), more than one of --verify, --replay and --edit,
// --stages with --edit, or --stage without --verify.
bool ParseGameOptions(int argc, char** argv, GameOptions* options, std::string* error);
// The usage line, newline included, with the backend's own options in it.
std::string GameUsage();
