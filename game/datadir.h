// Where the game finds its data: the folder --dir names, else for an
// installed game its installed copy next to the program
// (<prefix>/share/prismveldt), with the best times kept in the player's own
// data folder so they survive reinstalls, else the folder it was started in.
#pragma once
#include <string>

// Called by main after PlatformInit (which may already have moved into the
// folder a --dir option names). With folder (the --dir option's, absolute)
// the game plays there. Otherwise an installed game moves into its installed
// data folder, whatever folder it was started in, and the score file becomes
// the player's own copy (see UserScorePath), made from the shipped one on
// first use; with no folder for that copy the best times stay in memory
// (scoreFilePath = nullptr, one line on standard error), never in the
// installed tree. A game that is not installed plays in the folder it was
// started in. Then, under the score lock, removes what interrupted saves left
// beside the score file and the recordings that pair with no entry. False
// (with one line on standard error) when folder cannot be entered.
bool ChooseDataFolder(const std::string& folder = "");

// Called by ChooseDataFolder (and the tests): true when folder holds the
// game's own files (the first stage and the tile sheet), not merely folders
// named bmp/, se/ or txt/.
bool HoldsGameData(const std::string& folder);
// Called by ChooseDataFolder (and the tests): the installed data folder for a
// program in programFolder (<prefix>/bin -> <prefix>/share/prismveldt), or ""
// when that folder holds no game data.
std::string InstalledDataFolder(const std::string& programFolder);
// Called by ChooseDataFolder (and the tests): the player's score file,
// prismveldt/scoretime.txt in the player's data folder (PlatformUserDataFolder);
// "" when the player has none.
std::string UserScorePath();
// Called by ChooseDataFolder (and the tests): makes sure the player's score
// file can be used: creates its folders and copies shippedPath there when the
// file is missing, never overwriting one. False when its folder cannot be made.
bool PrepareUserScoreFile(const std::string& userPath, const std::string& shippedPath);
