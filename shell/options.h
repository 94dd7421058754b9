// The program's own command line: nothing for the game itself (the same game
// as always), --verify FILE to check a recorded time, --replay FILE to watch
// a recorded run. Anything else is left alone, as the program always has.
#pragma once
#include <string>

struct GameOptions {
    std::string verifyPath;  // empty: no verification
    std::string replayPath;  // empty: no replay
};

// Called by main before anything else: the options, their paths made
// absolute (the harness may change folders before they are used). False with
// a message in *error when an option lacks its file.
bool ParseGameOptions(int argc, char** argv, GameOptions* options, std::string* error);
