// The data-folder choice made once at start-up; see datadir.h.
#include "game/datadir.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "game/score.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

static bool IsRegularFile(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool HoldsGameData(const std::string& folder)
{
    // The game's own files, not just folders of the same names: any project
    // folder may have a txt/.
    return IsRegularFile(folder + "/txt/dw_stage1.txt") &&
           IsRegularFile(folder + "/bmp/stage/haikei.bmp");
}

std::string InstalledDataFolder(const std::string& programFolder)
{
    if (programFolder.empty()) return "";
    std::string folder = programFolder + "/../share/prismveldt";
    return HoldsGameData(folder) ? folder : "";
}

std::string UserScorePath()
{
    char folder[4096];
    if (!PlatformUserDataFolder(folder, sizeof folder)) return "";
    return std::string(folder) + "/prismveldt/scoretime.txt";
}

bool PrepareUserScoreFile(const std::string& userPath, const std::string& shippedPath)
{
    std::error_code error;
    std::string temporary = userPath + ".first";
    if (fs::exists(userPath, error)) {
        fs::remove(temporary, error);  // left by a first copy that was cut short
        return true;
    }
    fs::create_directories(fs::path(userPath).parent_path(), error);
    if (error) return false;
    // Written beside the target and renamed into place only if the player
    // still has none, so a half-copied table is never seen and a table that
    // another copy of the game saved meanwhile is never replaced.
    if (fs::copy_file(shippedPath, temporary, fs::copy_options::overwrite_existing, error) &&
        !fs::exists(userPath, error))
        fs::rename(temporary, userPath, error);
    fs::remove(temporary, error);
    // Without a shipped table the results screen makes the file itself.
    return fs::is_directory(fs::path(userPath).parent_path(), error);
}

static void UseDataFolder()
{
    if (HoldsGameData(".")) return;
    // Where this program lies; from there, the installed data.
    char programFolder[4096];
    if (!PlatformProgramFolder(programFolder, sizeof programFolder)) return;
    std::string installed = InstalledDataFolder(programFolder);
    if (installed.empty()) return;
    std::error_code error;
    fs::current_path(installed, error);
    if (error) return;

    // The installed folder belongs to the system; the best times belong to
    // the player.
    static std::string userScores;
    userScores = UserScorePath();
    if (!userScores.empty() && PrepareUserScoreFile(userScores, SCORE_FILE_PATH)) {
        scoreFilePath = userScores.c_str();
        return;
    }
    // Never into the installed tree: without a folder of the player's own the
    // best times last as long as the game runs.
    scoreFilePath = nullptr;
    if (userScores.empty())
        std::fprintf(stderr, "Prismveldt: neither XDG_DATA_HOME nor HOME names a folder for the "
                             "best times; they are kept only until the game ends\n");
    else
        std::fprintf(stderr, "Prismveldt: the folder for the best times (%s) cannot be made; "
                             "they are kept only until the game ends\n",
                     fs::path(userScores).parent_path().string().c_str());
}

void ChooseDataFolder()
{
    UseDataFolder();
    // What a save that was cut short left beside the score file goes now.
    if (scoreFilePath != nullptr) PlatformRemoveReplaceLeftovers(scoreFilePath);
}
