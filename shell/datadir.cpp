// The data-folder choice made once at start-up; see datadir.h.
#include "shell/datadir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "game/score.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

static void UseDataFolder();

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

std::string InstalledDataFolder(const std::string& exePath)
{
    size_t slash = exePath.rfind('/');
    if (slash == std::string::npos) return "";
    std::string folder = exePath.substr(0, slash) + "/../share/prismveldt";
    return HoldsGameData(folder) ? folder : "";
}

std::string UserScorePath(const char* xdgDataHome, const char* home)
{
    std::string base;
    if (xdgDataHome && xdgDataHome[0] == '/') base = xdgDataHome;
    else if (home && home[0] == '/') base = std::string(home) + "/.local/share";
    else return "";
    return base + "/prismveldt/scoretime.txt";
}

bool PrepareUserScoreFile(const std::string& userPath, const std::string& shippedPath)
{
    std::error_code error;
    if (fs::exists(userPath, error)) return true;
    fs::create_directories(fs::path(userPath).parent_path(), error);
    if (error) return false;
    // Written beside the target and renamed into place only if the player
    // still has none, so a half-copied table is never seen and a table that
    // another copy of the game saved meanwhile is never replaced.
    std::string temporary = userPath + ".first";
    if (fs::copy_file(shippedPath, temporary, fs::copy_options::overwrite_existing, error) &&
        !fs::exists(userPath, error))
        fs::rename(temporary, userPath, error);
    fs::remove(temporary, error);
    // Without a shipped table the results screen makes the file itself.
    return fs::is_directory(fs::path(userPath).parent_path(), error);
}

void ChooseDataFolder()
{
    UseDataFolder();
    // What a save that was cut short left beside the score file goes now.
    if (scoreFilePath != nullptr) PlatformRemoveReplaceLeftovers(scoreFilePath);
}

static void UseDataFolder()
{
    if (HoldsGameData(".")) return;
    std::error_code error;
    // Where this program lies (Linux); elsewhere the game stays where it is.
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return;
    std::string installed = InstalledDataFolder(exe.string());
    if (installed.empty()) return;
    fs::current_path(installed, error);
    if (error) return;

    // The installed folder belongs to the system; the best times belong to
    // the player.
    static std::string userScores;
    userScores = UserScorePath(getenv("XDG_DATA_HOME"), getenv("HOME"));
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
