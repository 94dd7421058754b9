// Keeping the best runs' recordings beside the score file.
#include "game/replay_files.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

std::string FolderOf(const char* scorePath)
{
    std::string folder = fs::path(scorePath).parent_path().string();
    return folder.empty() ? "." : folder;
}

}  // namespace

std::string RecordingPath(const char* scorePath, int stage, int rank)
{
    return FolderOf(scorePath) + "/stage" + std::to_string(stage) + "-rank" + std::to_string(rank) +
           ".replay";
}

void KeepRunRecording(const char* scorePath, int stage, int rank, const Recording* recording)
{
    if (scorePath == nullptr || stage < 1 || stage > 4 || rank < 1 || rank > 5) return;
    std::error_code error;
    // Bottom up: the fifth is replaced by the fourth, and so on down to rank.
    for (int k = 5; k > rank; k--) {
        std::string from = RecordingPath(scorePath, stage, k - 1), to = RecordingPath(scorePath, stage, k);
        if (fs::exists(from, error))
            fs::rename(from, to, error);
        else
            fs::remove(to, error);  // the time above had no recording: neither has this one now
        if (error)
            fprintf(stderr, "Prismveldt: the recording %s could not be moved along (%s)\n",
                    from.c_str(), error.message().c_str());
    }
    std::string path = RecordingPath(scorePath, stage, rank);
    if (recording == nullptr) {
        fs::remove(path, error);  // a time without a recording
        return;
    }
    std::string text = FormatRecording(*recording);
    char reason[160] = "";
    if (!PlatformReplaceFile(path.c_str(), text.data(), text.size(), reason, sizeof reason)) {
        fs::remove(path, error);  // never the recording of another time under this one's name
        fprintf(stderr, "Prismveldt: the run's recording could not be kept in %s (%s)\n", path.c_str(),
                reason);
    }
}

bool GhostWanted(const char* scorePath)
{
    if (scorePath == nullptr) return false;
    std::string path = FolderOf(scorePath) + "/ghost.txt";
    PlatformFile* file = nullptr;
    uint64_t size = 0;
    if (PlatformOpenFile(path.c_str(), &file, &size) != PLATFORM_FILE_OK) return false;
    char text[8] = "";
    long long got = PlatformReadFile(file, text, sizeof text - 1);
    PlatformCloseFile(file);
    return got >= 2 && text[0] == 'o' && text[1] == 'n';
}

void KeepGhostWanted(const char* scorePath, bool on)
{
    if (scorePath == nullptr) return;
    std::string path = FolderOf(scorePath) + "/ghost.txt";
    const char* text = on ? "on\n" : "off\n";
    char reason[160] = "";
    if (!PlatformReplaceFile(path.c_str(), text, on ? 3 : 4, reason, sizeof reason))
        fprintf(stderr, "Prismveldt: the ghost's setting could not be kept in %s (%s)\n", path.c_str(),
                reason);
}
