// Keeping the best runs' recordings beside the score file, matched to the
// table's entries by what they hold.
#include "game/replay_files.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "game/segments.h"
#include "gfx/whole_file.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace fs = std::filesystem;

namespace {

std::string FolderOf(const char* scorePath)
{
    std::string folder = fs::path(scorePath).parent_path().string();
    return folder.empty() ? "." : folder;
}

std::string GhostSettingPath(const char* scorePath) { return KeptFilePath(scorePath, "ghost.txt"); }

// The file of candidate c (KeptCandidate's numbering) of stage.
std::string CandidatePath(const char* scorePath, int stage, int c)
{
    return c < RANKS_PER_STAGE ? RecordingPath(scorePath, stage, c + 1)
                               : PendingRecordingPath(scorePath, stage);
}

bool ValidStage(int stage) { return stage >= 1 && stage <= STAGE_COUNT; }

// The slowest entry of a row, as the ranking compares them.
uint32_t SlowestOf(const int32_t row[RANKS_PER_STAGE])
{
    uint32_t slowest = 0;
    for (int r = 0; r < RANKS_PER_STAGE; r++)
        if ((uint32_t)row[r] > slowest) slowest = (uint32_t)row[r];
    return slowest;
}

// Candidate c of stage read, if it holds a run of that stage no longer than
// the row's slowest time allows.
bool ReadCandidate(const char* scorePath, int stage, int c, uint32_t slowest, Recording* recording,
                   std::string* why)
{
    std::string path = CandidatePath(scorePath, stage, c);
    if (!ReadRecordingFile(path.c_str(), recording, why, RecordingBytesLimit(slowest))) return false;
    if (RecordingRow(*recording) != stage) {
        if (why) *why = "it is a run of stage " + std::to_string(recording->stage);
        return false;
    }
    // A custom stage's run is kept only in the folder named by its stage's
    // hash, never beside the shipped stages' times.
    bool folderIsItsStage = fs::path(FolderOf(scorePath)).filename() == StageHashText(recording->stageHash);
    if (recording->custom != folderIsItsStage) {
        if (why) *why = recording->custom ? "it is a run of another stage" : "it is a run of a shipped stage";
        return false;
    }
    return true;
}

void Complain(const char* what, const std::string& path, const std::error_code& error)
{
    fprintf(stderr, "Prismveldt: the recording %s could not be %s (%s)\n", path.c_str(), what,
            error.message().c_str());
}

}  // namespace

std::string KeptFilePath(const char* scorePath, const std::string& name)
{
    return FolderOf(scorePath) + "/" + name;
}

std::string RecordingPath(const char* scorePath, int stage, int rank)
{
    return FolderOf(scorePath) + "/stage" + std::to_string(stage) + "-rank" + std::to_string(rank) +
           ".replay";
}

std::string PendingRecordingPath(const char* scorePath, int stage)
{
    return FolderOf(scorePath) + "/stage" + std::to_string(stage) + "-new.replay";
}

uint64_t RecordingBytesLimit(uint32_t timeMs)
{
    uint64_t limit = 1024 + 64 * ((uint64_t)timeMs / FRAME_PERIOD_MS + 1);
    return limit < RECORDING_MAX_BYTES ? limit : RECORDING_MAX_BYTES;
}

void AssignKeptRecordings(const int32_t row[RANKS_PER_STAGE],
                          const KeptCandidate candidates[KEPT_CANDIDATES],
                          int assigned[RANKS_PER_STAGE])
{
    bool taken[KEPT_CANDIDATES] = {};
    auto holds = [&](int c, int r) {
        return candidates[c].present && !taken[c] && candidates[c].timeMs == (uint32_t)row[r];
    };
    auto give = [&](int r, int c) {
        assigned[r] = c;
        taken[c] = true;
    };
    for (int r = 0; r < RANKS_PER_STAGE; r++) assigned[r] = -1;
    const int waiting = RANKS_PER_STAGE;
    for (int r = 0; r < RANKS_PER_STAGE; r++)
        if (holds(waiting, r)) {
            give(r, waiting);
            break;
        }
    for (int r = 0; r < RANKS_PER_STAGE; r++)
        if (assigned[r] < 0 && holds(r, r)) give(r, r);
    for (int r = 0; r < RANKS_PER_STAGE; r++)
        for (int c = 0; c < KEPT_CANDIDATES && assigned[r] < 0; c++)
            if (holds(c, r)) give(r, c);
}

bool FindKeptRecording(const char* scorePath, const ScoreTable& table, int stage, int rank,
                       Recording* recording, std::string* why)
{
    if (why) why->clear();
    if (scorePath == nullptr || !ValidStage(stage) || rank < 1 || rank > RANKS_PER_STAGE) return false;
    const int32_t* row = table.times[stage - 1];
    uint32_t wanted = (uint32_t)row[rank - 1];
    // The file under the rank's own name first: after a save that ran to its
    // end, that is where it is.
    std::string ownWhy;
    bool read = ReadCandidate(scorePath, stage, rank - 1, wanted, recording, &ownWhy);
    if (read && recording->timeMs == wanted) return true;
    std::error_code error;
    if (!read && why &&
        fs::symlink_status(RecordingPath(scorePath, stage, rank), error).type() != fs::file_type::not_found)
        *why = ownWhy;
    // Else wherever a save cut short left it, as the tidying would assign it.
    KeptCandidate candidates[KEPT_CANDIDATES];
    for (int c = 0; c < KEPT_CANDIDATES; c++) {
        Recording read;
        candidates[c].present = ReadCandidate(scorePath, stage, c, SlowestOf(row), &read, nullptr);
        candidates[c].timeMs = read.timeMs;
    }
    int assigned[RANKS_PER_STAGE];
    AssignKeptRecordings(row, candidates, assigned);
    int c = assigned[rank - 1];
    return c >= 0 && ReadCandidate(scorePath, stage, c, wanted, recording, nullptr) &&
           recording->timeMs == wanted;
}

bool WritePendingRecording(const char* scorePath, const Recording& recording)
{
    std::string path = PendingRecordingPath(scorePath, RecordingRow(recording));
    std::string text = FormatRecording(recording);
    char reason[160] = "";
    if (PlatformReplaceFile(path.c_str(), text.data(), text.size(), reason, sizeof reason))
        return true;
    fprintf(stderr, "Prismveldt: the run's recording could not be kept in %s (%s)\n", path.c_str(),
            reason);
    return false;
}

void TidyKeptRecordings(const char* scorePath, const ScoreTable& table, int stage)
{
    if (scorePath == nullptr || !ValidStage(stage)) return;
    const int32_t* row = table.times[stage - 1];
    KeptCandidate candidates[KEPT_CANDIDATES];
    bool onDisk[KEPT_CANDIDATES];
    std::string why[KEPT_CANDIDATES];
    std::error_code error;
    for (int c = 0; c < KEPT_CANDIDATES; c++) {
        Recording read;
        candidates[c].present = ReadCandidate(scorePath, stage, c, SlowestOf(row), &read, &why[c]);
        candidates[c].timeMs = read.timeMs;
        // Anything at all under the name, a link or a folder's leftover among them.
        onDisk[c] = fs::symlink_status(CandidatePath(scorePath, stage, c), error).type() !=
                    fs::file_type::not_found;
    }
    int assigned[RANKS_PER_STAGE];
    AssignKeptRecordings(row, candidates, assigned);
    bool kept[KEPT_CANDIDATES] = {};
    for (int r = 0; r < RANKS_PER_STAGE; r++)
        if (assigned[r] >= 0) kept[assigned[r]] = true;
    // What matches no entry goes first, so that its name is free.
    for (int c = 0; c < KEPT_CANDIDATES; c++) {
        if (!onDisk[c] || kept[c]) continue;
        std::string path = CandidatePath(scorePath, stage, c);
        if (!fs::remove(path, error) && error)
            Complain("removed", path, error);
        else if (!candidates[c].present)  // a run that dropped out goes quietly; a damaged file not
            fprintf(stderr, "Prismveldt: the recording %s was removed: %s\n", path.c_str(),
                    why[c].c_str());
        onDisk[c] = false;
    }
    // Then each into its rank's name once that is free: a save cut short
    // leaves the files shifted along a chain, which this undoes from its
    // free end. (Files swapped by hand stay where they are; they are still
    // found by what they hold.)
    for (bool moved = true; moved;) {
        moved = false;
        for (int r = 0; r < RANKS_PER_STAGE; r++) {
            int c = assigned[r];
            if (c < 0 || c == r || onDisk[r]) continue;
            std::string from = CandidatePath(scorePath, stage, c), to = CandidatePath(scorePath, stage, r);
            fs::rename(from, to, error);
            if (error) {
                Complain("moved to its rank", from, error);
                continue;
            }
            onDisk[r] = true;
            onDisk[c] = false;
            assigned[r] = r;
            moved = true;
        }
    }
}

void RemoveKeptLeftovers(const char* scorePath)
{
    if (scorePath == nullptr) return;
    PlatformRemoveReplaceLeftovers(scorePath, REPLACE_THROUGH_LINK);
    PlatformRemoveReplaceLeftovers(GhostSettingPath(scorePath).c_str());
    PlatformRemoveReplaceLeftovers(SegmentsPath(scorePath).c_str());
    for (int stage = 1; stage <= STAGE_COUNT; stage++) {
        PlatformRemoveReplaceLeftovers(PendingRecordingPath(scorePath, stage).c_str());
        for (int rank = 1; rank <= RANKS_PER_STAGE; rank++)
            PlatformRemoveReplaceLeftovers(RecordingPath(scorePath, stage, rank).c_str());
    }
}

bool GhostWanted(const char* scorePath)
{
    if (scorePath == nullptr) return false;
    std::string path = GhostSettingPath(scorePath);
    // Only the first two bytes say anything, whatever follows them.
    std::string start;
    auto keep = [](void* context, const char* bytes, size_t length) {
        static_cast<std::string*>(context)->append(bytes, length);
        return true;
    };
    if (ReadFileStart(path.c_str(), 2, keep, &start) != WHOLE_FILE_OK) return false;
    return start == "on";
}

void KeepGhostWanted(const char* scorePath, bool on)
{
    if (scorePath == nullptr) return;
    std::string path = GhostSettingPath(scorePath);
    const char* text = on ? "on\n" : "off\n";
    char reason[160] = "";
    if (!PlatformReplaceFile(path.c_str(), text, on ? 3 : 4, reason, sizeof reason))
        fprintf(stderr, "Prismveldt: the ghost's setting could not be kept in %s (%s)\n", path.c_str(),
                reason);
}
