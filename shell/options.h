// The program's own command line: nothing for a game as it always was,
// --dir DIR to play in a game folder of the player's choice, --verify FILE to
// check a recorded time, --replay FILE to watch a recorded run, --help and
// --version. The backend's own options (the harness's --script and the
// others) are passed over with their values; anything else is refused.
#pragma once
#include <string>

struct GameOptions {
    std::string verifyPath;  // empty: no verification
    std::string replayPath;  // empty: no replay
    std::string dataDir;     // empty: the folder the data choice finds
    bool help = false;
    bool version = false;
};

// Called by main before anything else: the options, their paths made
// absolute (the harness may change folders before they are used). False with
// a message in *error for an option the program does not know, one without
// its value, or both --verify and --replay.
bool ParseGameOptions(int argc, char** argv, GameOptions* options, std::string* error);
// Called by main for --help and after a refused command line: the usage line.
std::string GameUsage();
