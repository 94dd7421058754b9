// Where the game finds its data, decided once at start-up: the folder --dir
// names, else for an installed game its installed copy
// (<prefix>/bin -> <prefix>/share/prismveldt), with the best times kept in the
// player's own data folder so that they survive reinstalls and never go into
// the installed tree, else the folder it was started in.
//
// Every game file (./txt, ./bmp, ./se) is then read relative to the current
// folder, so this choice comes before anything loads a stage, a picture, a
// sound or the best times. The score file's path (scoreFilePath) is settled here
// and stays valid for the program's life.
#pragma once
#include <string>

// Chooses the data folder and moves into it; to run once, after PlatformInit
// (which may already have moved into the folder a --dir option names). With
// folder (the --dir option's, made absolute by the option parser) the game
// plays there. Otherwise an installed game moves into its installed data
// folder, whatever folder it was started in, and the score file becomes the
// player's own copy (see UserScorePath), made from the shipped one on first
// use; with no folder for that copy the best times stay in memory
// (scoreFilePath = nullptr, one line on standard error), never in the
// installed tree. A game that is not installed (or whose installed folder
// cannot be entered) plays in the folder it was started in. Then, under the
// score lock, removes what interrupted saves left beside the score file and
// the recordings that pair with no entry; a damaged table keeps all its
// recordings, and a lock another program holds leaves the folder as it is
// (one line on standard error). False (with one line on standard error) when
// folder cannot be entered; nothing else fails.
bool ChooseDataFolder(const std::string& folder = "");
// What saves cut short left beside the score file at scorePath, and the
// recordings that no longer pair with an entry of its table or with the best
// whole game, removed under the score lock, as ChooseDataFolder does for the
// game's own. Nothing for nullptr.
void TidyScoreFolder(const char* scorePath);

// True when folder holds the game's own files (txt/dw_stage1.txt and the tile
// sheet bmp/stage/haikei.bmp, as regular files), not merely folders named
// bmp/, se/ or txt/.
bool HoldsGameData(const std::string& folder);
// The installed data folder for a program in programFolder
// (<prefix>/bin -> <prefix>/share/prismveldt, as programFolder/../share/...),
// or "" when programFolder is "" or that folder holds no game data.
std::string InstalledDataFolder(const std::string& programFolder);
// The player's score file, prismveldt/scoretime.txt in the player's data
// folder (PlatformUserDataFolder); "" when the player has none. Only names the
// file: nothing is made.
std::string UserScorePath();
// Makes sure the player's score file at userPath can be used: creates its
// folders (new ones private to the player) and, when the file is missing,
// copies shippedPath there whole, never overwriting a file that appeared
// meanwhile; what a first copy cut short left beside it is removed. An
// existing file is left as it is. A shipped table that cannot be read whole
// is not copied (the first save then makes the file). False only when the
// file's folder cannot be made.
bool PrepareUserScoreFile(const std::string& userPath, const std::string& shippedPath);
// Makes folder and the folders above it that are missing, each new one
// private to the player (0700), as the desktop's data and settings folders
// are meant to be. True when folder is then a folder.
bool MakePrivateFolders(const std::string& folder);
