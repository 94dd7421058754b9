// The data-folder choice made once at start-up; see datadir.h.
#include "game/datadir.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "game/best_game.h"
#include "game/replay_files.h"
#include "game/score.h"
#include "gfx/whole_file.h"
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

namespace {

bool MakePrivateFolderPath(const fs::path& folder)
{
    std::error_code error;
    if (fs::is_directory(folder, error)) return true;
    if (folder.has_parent_path() && folder.parent_path() != folder &&
        !MakePrivateFolderPath(folder.parent_path()))
        return false;
    if (!fs::create_directory(folder, error) && !fs::is_directory(folder, error)) return false;
    fs::permissions(folder, fs::perms::owner_all, error);
    return true;
}

}  // namespace

bool MakePrivateFolders(const std::string& folder)
{
    return !folder.empty() && MakePrivateFolderPath(fs::path(folder));
}

bool PrepareUserScoreFile(const std::string& userPath, const std::string& shippedPath)
{
    std::error_code error;
    std::string temporary = userPath + ".first";
    if (fs::exists(userPath, error)) {
        fs::remove(temporary, error);  // left by a first copy that was cut short
        return true;
    }
    if (!MakePrivateFolders(fs::path(userPath).parent_path().string())) return false;
    // Written beside the target and renamed into place only if the player
    // still has none, so a half-copied table is never seen and a table that
    // another copy of the game saved meanwhile is never replaced. The copy
    // is the player's own file, not the installed one.
    fs::remove(temporary, error);
    // Only the shipped table read whole: one cut short by a failed read
    // would become the player's table.
    std::string text;
    if (ReadWholeFile(shippedPath.c_str(), SCORE_FILE_MAX_BYTES, &text) == WHOLE_FILE_OK &&
        PlatformReplaceFile(temporary.c_str(), text.data(), text.size(), nullptr, 0) &&
        !fs::exists(userPath, error))
        fs::rename(temporary, userPath, error);
    fs::remove(temporary, error);
    // Without a shipped table the results screen makes the file itself.
    return fs::is_directory(fs::path(userPath).parent_path(), error);
}

namespace {

// The player's copy of the best times for the installed game.
void UseUserScoreFile()
{
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

// An installed game plays from its own data, whatever folder it was started
// in; a game that is not installed (a build, an unpacked folder) plays from
// the folder it was started in.
void UseDataFolder()
{
    char programFolder[4096];
    if (!PlatformProgramFolder(programFolder, sizeof programFolder)) return;
    std::string installed = InstalledDataFolder(programFolder);
    if (installed.empty()) return;
    std::error_code error;
    fs::current_path(installed, error);
    if (error) return;
    UseUserScoreFile();
}

}  // namespace

void TidyScoreFolder(const char* scorePath)
{
    if (scorePath == nullptr) return;
    int lock = PlatformLockFile(scorePath);
    if (lock == PLATFORM_LOCK_BUSY) {
        std::fprintf(stderr, "Prismveldt: the best times in %s are held by another program; "
                             "their folder is left as it is\n",
                     scorePath);
    } else {
        RemoveKeptLeftovers(scorePath);
        TidyBestGame(scorePath);
        ScoreTable table;
        // A damaged table is kept as it is for the player to mend, and so are
        // its recordings.
        if (ReadScoreFile(scorePath, &table) != SCORE_FILE_DAMAGED)
            for (int stage = 1; stage <= STAGE_COUNT; stage++)
                TidyKeptRecordings(scorePath, table, stage);
    }
    PlatformUnlockFile();
}

bool ChooseDataFolder(const std::string& folder)
{
    if (folder.empty()) {
        UseDataFolder();
    } else {
        std::error_code error;
        fs::current_path(folder, error);
        if (error) {
            std::fprintf(stderr, "Prismveldt: cannot play in %s (%s)\n", folder.c_str(),
                         error.message().c_str());
            return false;
        }
    }
    TidyScoreFolder(scoreFilePath);
    return true;
}
