// The best whole game beside the score file: its strict reader, its safe
// save with the four recordings, and their pairing by what they hold.
#include "game/best_game.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "game/recording.h"
#include "game/replay_files.h"
#include "gfx/whole_file.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

const char* const MAGIC = "prismveldt-bestgame";
constexpr uint32_t BEST_GAME_FORMAT = 1;
const char* const STAGE_NAMES[STAGE_COUNT] = {"stage1", "stage2", "stage3", "stage4"};

// This session's best, when there is no file for it or only one that must
// not be touched; and whether the file was found damaged (it is then left
// out until the game ends, and said so only once).
BestGame sessionBest;
bool fileLeftOut = false;

// One line of the text from *at: "name value", then "\n" or "\r\n". The
// value's digits (at most ten, no sign) read into *value.
bool ReadLine(const char* text, size_t length, size_t* at, const char* name, uint64_t* value)
{
    const char* start = text + *at;
    const char* newline = static_cast<const char*>(memchr(start, '\n', length - *at));
    if (newline == nullptr) return false;
    size_t size = static_cast<size_t>(newline - start);
    *at += size + 1;
    if (size > 0 && start[size - 1] == '\r') size--;
    size_t nameSize = strlen(name);
    if (size < nameSize + 2 || memcmp(start, name, nameSize) != 0 || start[nameSize] != ' ') return false;
    size_t digits = size - nameSize - 1;
    if (digits > 10) return false;
    *value = 0;
    for (size_t i = nameSize + 1; i < size; i++) {
        if (start[i] < '0' || start[i] > '9') return false;
        *value = *value * 10 + static_cast<uint64_t>(start[i] - '0');
    }
    return true;
}

bool HoldsRun(const std::string& path, int stage, uint32_t timeMs, Recording* recording)
{
    return ReadRecordingFile(path.c_str(), recording, nullptr, RecordingBytesLimit(timeMs)) &&
           !recording->custom && recording->stage == stage && recording->timeMs == timeMs;
}

bool Exists(const std::string& path)
{
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found;
}

void Complain(const char* what, const std::string& path, const std::error_code& error)
{
    fprintf(stderr, "Prismveldt: the whole game's recording %s could not be %s (%s)\n", path.c_str(),
            what, error.message().c_str());
}

// Each stage's recordings matched to best as it now is on disk: one that
// holds the stage's time takes the kept name, and whatever else lies under
// either name goes.
void TidyGameRecordings(const char* scorePath, const BestGame& best)
{
    for (int stage = 1; stage <= STAGE_COUNT; stage++) {
        std::string kept = GameRecordingPath(scorePath, stage);
        std::string waiting = PendingGameRecordingPath(scorePath, stage);
        uint32_t timeMs = best.stageMs[stage - 1];
        Recording read;
        bool keptMatches = best.present && HoldsRun(kept, stage, timeMs, &read);
        bool waitingMatches = !keptMatches && best.present && HoldsRun(waiting, stage, timeMs, &read);
        std::error_code error;
        if (waitingMatches) {
            fs::rename(waiting, kept, error);
            if (error) Complain("moved to its kept name", waiting, error);
            continue;
        }
        if (Exists(waiting) && !fs::remove(waiting, error) && error) Complain("removed", waiting, error);
        if (!keptMatches && Exists(kept) && !fs::remove(kept, error) && error) Complain("removed", kept, error);
    }
}

// The total file read: SCORE_FILE_READ with *best present, SCORE_FILE_NEW
// when there is none (or an empty one), SCORE_FILE_DAMAGED with why.
int ReadBestGameFile(const char* scorePath, BestGame* best, std::string* why)
{
    *best = BestGame();
    std::string bytes;
    switch (ReadWholeFile(BestGamePath(scorePath).c_str(), BEST_GAME_FILE_MAX_BYTES, &bytes)) {
    case WHOLE_FILE_OK: break;
    case WHOLE_FILE_MISSING: return SCORE_FILE_NEW;
    case WHOLE_FILE_NOT_REGULAR: *why = "it is not a regular file"; return SCORE_FILE_DAMAGED;
    case WHOLE_FILE_UNREADABLE: *why = "it may not be opened"; return SCORE_FILE_DAMAGED;
    case WHOLE_FILE_TOO_LARGE:
    case WHOLE_FILE_OVERRAN: *why = "it is far larger than a total file"; return SCORE_FILE_DAMAGED;
    default: *why = "it cannot be read"; return SCORE_FILE_DAMAGED;
    }
    int text = ParseBestGameText(bytes.data(), bytes.size(), best);
    if (text == BEST_GAME_TEXT_DAMAGED) {
        *why = "it does not hold four stage times and their total";
        return SCORE_FILE_DAMAGED;
    }
    return text == BEST_GAME_TEXT_GOOD ? SCORE_FILE_READ : SCORE_FILE_NEW;
}

// A damaged total file: left out from now until the game ends, said once.
void LeaveOut(const char* scorePath, const std::string& why)
{
    if (!fileLeftOut)
        fprintf(stderr,
                "Prismveldt: the best whole game in %s cannot be used (%s); the file is kept as it "
                "is, and this session's best total only until the game ends\n",
                BestGamePath(scorePath).c_str(), why.c_str());
    fileLeftOut = true;
}

bool Faster(const BestGame& game, const BestGame& best) { return !best.present || game.totalMs < best.totalMs; }

}  // namespace

bool TotalOfStages(const uint32_t stageMs[STAGE_COUNT], uint32_t* totalMs)
{
    uint64_t total = 0;
    for (int s = 0; s < STAGE_COUNT; s++) {
        if (stageMs[s] == 0) return false;
        total += stageMs[s];
    }
    if (total > RECORDED_CLOCK_MAX) return false;
    *totalMs = static_cast<uint32_t>(total);
    return true;
}

int ParseBestGameText(const char* text, size_t length, BestGame* best)
{
    *best = BestGame();
    if (length == 0) return BEST_GAME_TEXT_EMPTY;
    size_t at = 0;
    if (length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0) at = 3;
    uint64_t value = 0;
    if (!ReadLine(text, length, &at, MAGIC, &value) || value != BEST_GAME_FORMAT) return BEST_GAME_TEXT_DAMAGED;
    BestGame read;
    for (int s = 0; s < STAGE_COUNT; s++) {
        if (!ReadLine(text, length, &at, STAGE_NAMES[s], &value) || value < 1 || value > RECORDED_CLOCK_MAX)
            return BEST_GAME_TEXT_DAMAGED;
        read.stageMs[s] = static_cast<uint32_t>(value);
    }
    uint32_t sum = 0;
    if (!ReadLine(text, length, &at, "total", &value) || at != length || !TotalOfStages(read.stageMs, &sum) ||
        value != sum)
        return BEST_GAME_TEXT_DAMAGED;
    read.totalMs = sum;
    read.present = true;
    *best = read;
    return BEST_GAME_TEXT_GOOD;
}

std::string FormatBestGameText(const BestGame& best)
{
    char text[256];
    snprintf(text, sizeof text, "%s %u\n%s %u\n%s %u\n%s %u\n%s %u\ntotal %u\n", MAGIC, BEST_GAME_FORMAT,
             STAGE_NAMES[0], best.stageMs[0], STAGE_NAMES[1], best.stageMs[1], STAGE_NAMES[2],
             best.stageMs[2], STAGE_NAMES[3], best.stageMs[3], best.totalMs);
    return text;
}

std::string BestGamePath(const char* scorePath) { return KeptFilePath(scorePath, "bestgame.txt"); }

std::string GameRecordingPath(const char* scorePath, int stage)
{
    return KeptFilePath(scorePath, "game-stage" + std::to_string(stage) + ".replay");
}

std::string PendingGameRecordingPath(const char* scorePath, int stage)
{
    return KeptFilePath(scorePath, "game-stage" + std::to_string(stage) + "-new.replay");
}

BestGameEntry KeepBestGame(const char* scorePath, const uint32_t stageMs[STAGE_COUNT],
                           const Recording* const recordings[STAGE_COUNT])
{
    BestGameEntry entry;
    entry.newBest = false;
    entry.fileWritten = false;
    BestGame game;
    for (int s = 0; s < STAGE_COUNT; s++) game.stageMs[s] = stageMs[s];
    game.present = TotalOfStages(game.stageMs, &game.totalMs);
    if (scorePath != nullptr && !fileLeftOut) {
        int lock = PlatformLockFile(scorePath);
        std::string why;
        BestGame onDisk;
        int state = ReadBestGameFile(scorePath, &onDisk, &why);
        if (state == SCORE_FILE_DAMAGED) {
            LeaveOut(scorePath, why);
        } else {
            entry.best = onDisk;
            entry.newBest = game.present && Faster(game, onDisk);
            if (entry.newBest) entry.best = game;
            if (entry.newBest && lock == PLATFORM_LOCK_BUSY) {
                fprintf(stderr,
                        "Prismveldt: the best times in %s are held by another program; this whole "
                        "game's total was not saved\n",
                        scorePath);
            } else if (entry.newBest) {
                // The recordings first, where they wait; the total then, and
                // the recordings their kept names. Cut short anywhere, each
                // still pairs with the total on disk by what it holds.
                for (int s = 0; s < STAGE_COUNT; s++) {
                    std::string waiting = PendingGameRecordingPath(scorePath, s + 1);
                    std::error_code error;
                    fs::remove(waiting, error);  // an older save's, cut short
                    const Recording* r = recordings[s];
                    if (r == nullptr || r->stage != s + 1 || r->timeMs != stageMs[s]) continue;
                    std::string text = FormatRecording(*r);
                    char reason[160] = "";
                    if (!PlatformReplaceFile(waiting.c_str(), text.data(), text.size(), reason, sizeof reason))
                        fprintf(stderr, "Prismveldt: the whole game's recording could not be kept in %s (%s)\n",
                                waiting.c_str(), reason);
                }
                std::string text = FormatBestGameText(game);
                char reason[160] = "";
                std::string path = BestGamePath(scorePath);
                entry.fileWritten = PlatformReplaceFile(path.c_str(), text.data(), text.size(), reason, sizeof reason);
                if (!entry.fileWritten)
                    fprintf(stderr, "Prismveldt: the best whole game could not be saved to %s (%s)\n",
                            path.c_str(), reason);
                TidyGameRecordings(scorePath, entry.fileWritten ? game : onDisk);
            }
        }
        PlatformUnlockFile();
        if (!fileLeftOut) return entry;
    }
    // No file to keep it in, or only one that must not be touched.
    entry.best = sessionBest;
    entry.newBest = game.present && Faster(game, sessionBest);
    if (entry.newBest) entry.best = sessionBest = game;
    return entry;
}

bool FindGameRecording(const char* scorePath, const BestGame& best, int stage, Recording* recording)
{
    if (scorePath == nullptr || !best.present || stage < 1 || stage > STAGE_COUNT) return false;
    uint32_t timeMs = best.stageMs[stage - 1];
    return HoldsRun(GameRecordingPath(scorePath, stage), stage, timeMs, recording) ||
           HoldsRun(PendingGameRecordingPath(scorePath, stage), stage, timeMs, recording);
}

void TidyBestGame(const char* scorePath)
{
    if (scorePath == nullptr) return;
    PlatformRemoveReplaceLeftovers(BestGamePath(scorePath).c_str());
    for (int stage = 1; stage <= STAGE_COUNT; stage++) {
        PlatformRemoveReplaceLeftovers(GameRecordingPath(scorePath, stage).c_str());
        PlatformRemoveReplaceLeftovers(PendingGameRecordingPath(scorePath, stage).c_str());
    }
    BestGame best;
    std::string why;
    if (ReadBestGameFile(scorePath, &best, &why) == SCORE_FILE_DAMAGED) {
        LeaveOut(scorePath, why);
        return;
    }
    TidyGameRecordings(scorePath, best);
}
