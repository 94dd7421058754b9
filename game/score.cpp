// Best times: ranking, the score file, and the time texts of the results screen.
#include "game/score.h"

#include "game/replay_files.h"
#include "gfx/whole_file.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

const char* const SCORE_FILE_PATH = "./txt/scoretime.txt";
const char* scoreFilePath = SCORE_FILE_PATH;

void FillEmptyScoreTable(ScoreTable* table)
{
    for (auto& row : table->times)
        for (int32_t& entry : row)
            entry = EMPTY_SLOT_MS;
}

void RankRunTime(int32_t row[RANKS_PER_STAGE], uint32_t runTimeMs)
{
    // The run enters at the bottom and bubbles up past every entry it is not
    // slower than, so it lands above an equal time.
    if (runTimeMs > static_cast<uint32_t>(row[RANKS_PER_STAGE - 1]))
        return;
    row[RANKS_PER_STAGE - 1] = static_cast<int32_t>(runTimeMs);
    for (int k = RANKS_PER_STAGE - 2; k >= 0; k--) {
        if (runTimeMs <= static_cast<uint32_t>(row[k])) {
            row[k + 1] = row[k];
            row[k] = static_cast<int32_t>(runTimeMs);
        }
    }
}

void SortScoreRow(int32_t row[RANKS_PER_STAGE])
{
    // Insertion sort, stable, in the ranking's own (unsigned) order.
    for (int i = 1; i < RANKS_PER_STAGE; i++) {
        int32_t entry = row[i];
        int k = i - 1;
        while (k >= 0 && static_cast<uint32_t>(row[k]) > static_cast<uint32_t>(entry)) {
            row[k + 1] = row[k];
            k--;
        }
        row[k + 1] = entry;
    }
}

void BeginScoreParse(ScoreParser* parser, ScoreTable* table)
{
    parser->table = table;
    parser->count = 0;
    parser->damaged = false;
    parser->offset = 0;
    parser->bomSoFar = 0;
    parser->inToken = false;
    parser->negative = false;
    parser->hasDigits = false;
    parser->magnitude = 0;
    FillEmptyScoreTable(table);
}

namespace {

bool IsScoreSpace(char c)
{
    // The white space of the C library's " %s": space, \t \n \v \f \r.
    return c == ' ' || (c >= '\t' && c <= '\r');
}

const unsigned char BYTE_ORDER_MARK[3] = {0xEF, 0xBB, 0xBF};

void FinishToken(ScoreParser* parser)
{
    if (!parser->inToken) return;
    parser->inToken = false;
    int64_t value = parser->negative ? -parser->magnitude : parser->magnitude;
    if (!parser->hasDigits || value < INT32_MIN || value > INT32_MAX ||
        parser->count >= SCORE_ENTRY_COUNT) {
        parser->damaged = true;
        return;
    }
    int index = parser->count++;
    parser->table->times[index / RANKS_PER_STAGE][index % RANKS_PER_STAGE] =
        static_cast<int32_t>(value);
}

}  // namespace

void FeedScoreParse(ScoreParser* parser, const char* bytes, size_t length)
{
    for (size_t i = 0; i < length && !parser->damaged; i++, parser->offset++) {
        char c = bytes[i];
        // A byte-order mark is skipped only whole and only at the start; a
        // piece of one is as wrong as any other stray byte.
        if (parser->offset < 3 && parser->bomSoFar == static_cast<int>(parser->offset) &&
            static_cast<unsigned char>(c) == BYTE_ORDER_MARK[parser->offset]) {
            parser->bomSoFar++;
            continue;
        }
        if (parser->bomSoFar > 0 && parser->bomSoFar < 3) {
            parser->damaged = true;
            break;
        }
        if (IsScoreSpace(c)) {
            FinishToken(parser);
            continue;
        }
        if (!parser->inToken) {
            parser->inToken = true;
            parser->negative = false;
            parser->hasDigits = false;
            parser->magnitude = 0;
            if (c == '+' || c == '-') {
                parser->negative = c == '-';
                continue;
            }
        }
        if (c < '0' || c > '9') {
            parser->damaged = true;
            break;
        }
        parser->hasDigits = true;
        if (parser->magnitude <= int64_t(INT32_MAX) + 1)
            parser->magnitude = parser->magnitude * 10 + (c - '0');
    }
}

int EndScoreParse(ScoreParser* parser)
{
    if (parser->bomSoFar > 0 && parser->bomSoFar < 3) parser->damaged = true;
    if (!parser->damaged) FinishToken(parser);
    int state = SCORE_TEXT_DAMAGED;
    if (!parser->damaged && parser->count == SCORE_ENTRY_COUNT) state = SCORE_TEXT_GOOD;
    if (!parser->damaged && parser->count == 0) state = SCORE_TEXT_EMPTY;
    if (state == SCORE_TEXT_GOOD) {
        for (auto& row : parser->table->times)
            SortScoreRow(row);
    } else {
        FillEmptyScoreTable(parser->table);
    }
    return state;
}

int ParseScoreText(const char* text, size_t length, ScoreTable* table)
{
    ScoreParser parser;
    BeginScoreParse(&parser, table);
    FeedScoreParse(&parser, text, length);
    return EndScoreParse(&parser);
}

namespace {

int Damaged(char* why, size_t whySize, const char* reason)
{
    if (why && whySize > 0) std::snprintf(why, whySize, "%s", reason);
    return SCORE_FILE_DAMAGED;
}

}  // namespace

int ReadScoreFile(const char* path, ScoreTable* table, char* why, size_t whySize)
{
    FillEmptyScoreTable(table);
    // Too large by its size or by what it gave (some files say they are
    // empty): far larger than a score file either way.
    std::string bytes;
    switch (ReadWholeFile(path, SCORE_FILE_MAX_BYTES, &bytes)) {
    case WHOLE_FILE_OK: break;
    case WHOLE_FILE_MISSING: return SCORE_FILE_NEW;
    case WHOLE_FILE_NOT_REGULAR: return Damaged(why, whySize, "it is not a regular file");
    case WHOLE_FILE_UNREADABLE: return Damaged(why, whySize, "it may not be opened");
    case WHOLE_FILE_TOO_LARGE:
    case WHOLE_FILE_OVERRAN: return Damaged(why, whySize, "it is far larger than a score file");
    default: return Damaged(why, whySize, "it cannot be read");
    }
    int text = ParseScoreText(bytes.data(), bytes.size(), table);
    if (text == SCORE_TEXT_DAMAGED)
        return Damaged(why, whySize, "it does not hold twenty whole numbers");
    return text == SCORE_TEXT_GOOD ? SCORE_FILE_READ : SCORE_FILE_NEW;
}

int FormatScoreText(const ScoreTable& table, char* buffer, size_t size)
{
    if (size == 0)
        return 0;
    size_t used = 0;
    buffer[0] = '\0';
    for (const auto& row : table.times) {
        for (int32_t entry : row) {
            int n = std::snprintf(buffer + used, size - used, " %d", static_cast<int>(entry));
            if (n < 0 || static_cast<size_t>(n) >= size - used)
                return static_cast<int>(used + std::strlen(buffer + used));
            used += static_cast<size_t>(n);
        }
    }
    return static_cast<int>(used);
}

bool WriteScoreFile(const char* path, const ScoreTable& table, char* errorText, size_t errorSize)
{
    char text[SCORE_ENTRY_COUNT * 16];
    int length = FormatScoreText(table, text, sizeof text);
    return PlatformReplaceFile(path, text, static_cast<size_t>(length), errorText, errorSize,
                               REPLACE_THROUGH_LINK);
}

namespace {

// The best times of this session when there is no file to keep them in, or
// only one that must not be touched: one table for each score file (a stage
// pack's stages each have their own), and one for each session named with
// no file (a line end begins those names: no score file's path does).
std::map<std::string, ScoreTable> sessionTables;

ScoreTable* SessionTable(const char* path, const char* session = "")
{
    auto [table, made] = sessionTables.try_emplace(path ? std::string(path) : "\n" + std::string(session));
    if (made) FillEmptyScoreTable(&table->second);
    return &table->second;
}

void RankIntoTable(ScoreTable* table, uint32_t runTimeMs, int stage)
{
    if (stage >= 1 && stage <= STAGE_COUNT)
        RankRunTime(table->times[stage - 1], runTimeMs);
}

}  // namespace

int RankOfRun(const int32_t row[RANKS_PER_STAGE], uint32_t runTimeMs)
{
    // An equal time already there ranks below the new one: the first is the run's.
    for (int r = 0; r < RANKS_PER_STAGE; r++)
        if (static_cast<uint32_t>(row[r]) == runTimeMs) return r + 1;
    return 0;
}

namespace {

int RankOfStage(const ScoreTable& table, int stage, uint32_t runTimeMs)
{
    return stage >= 1 && stage <= STAGE_COUNT ? RankOfRun(table.times[stage - 1], runTimeMs) : 0;
}

}  // namespace

RunEntry EnterRunTime(const char* path, uint32_t runTimeMs, int stage, const Recording* recording,
                      const char* session)
{
    RunEntry entry;
    entry.fileState = SCORE_FILE_NEW;
    entry.fileWritten = false;
    entry.rank = 0;
    if (path == nullptr) {
        RankIntoTable(SessionTable(path, session), runTimeMs, stage);
        entry.table = *SessionTable(path, session);
        entry.rank = RankOfStage(entry.table, stage, runTimeMs);
        return entry;
    }
    int lock = PlatformLockFile(path);
    char reason[160] = "";
    entry.fileState = ReadScoreFile(path, &entry.table, reason, sizeof reason);
    if (entry.fileState == SCORE_FILE_DAMAGED) {
        RankIntoTable(SessionTable(path), runTimeMs, stage);
        entry.table = *SessionTable(path);
        entry.rank = RankOfStage(entry.table, stage, runTimeMs);
        std::fprintf(stderr,
                     "Prismveldt: the best times in %s cannot be used (%s); the file is kept "
                     "as it is, and this time only until the game ends\n",
                     path, reason);
    } else if (lock == PLATFORM_LOCK_BUSY) {
        // Someone else holds the folder: the table is shown with the run in
        // it, but nothing is changed under their feet.
        RankIntoTable(&entry.table, runTimeMs, stage);
        entry.rank = RankOfStage(entry.table, stage, runTimeMs);
        std::fprintf(stderr,
                     "Prismveldt: the best times in %s are held by another program; this time "
                     "was not saved\n",
                     path);
    } else {
        RankIntoTable(&entry.table, runTimeMs, stage);
        entry.rank = RankOfStage(entry.table, stage, runTimeMs);
        // The recording first, where it waits; the table then takes the time,
        // and the recording its rank. Cut short anywhere, the two still pair
        // up by what they hold (replay_files.h).
        bool pending = entry.rank > 0 && recording != nullptr && RecordingRow(*recording) == stage &&
                       recording->timeMs == runTimeMs && WritePendingRecording(path, *recording);
        entry.fileWritten = WriteScoreFile(path, entry.table, reason, sizeof reason);
        if (!entry.fileWritten)
            std::fprintf(stderr, "Prismveldt: the best times could not be saved to %s (%s)\n",
                         path, reason);
        if (pending || entry.fileWritten) {
            // After a failed save the table on disk is the old one: the
            // waiting recording then matches nothing and goes.
            ScoreTable saved = entry.table;
            if (!entry.fileWritten && ReadScoreFile(path, &saved) != SCORE_FILE_READ)
                FillEmptyScoreTable(&saved);
            TidyKeptRecordings(path, saved, stage);
        }
    }
    PlatformUnlockFile();
    return entry;
}

RunEntry StandingBestTimes(const char* path, const char* session)
{
    RunEntry entry;
    entry.fileState = SCORE_FILE_NEW;
    entry.fileWritten = false;
    entry.rank = 0;
    if (path != nullptr) entry.fileState = ReadScoreFile(path, &entry.table);
    if (path == nullptr || entry.fileState == SCORE_FILE_DAMAGED) entry.table = *SessionTable(path, session);
    return entry;
}

TimeText FormatRunTime(uint32_t t)
{
    TimeText text;
    std::snprintf(text.clock, sizeof text.clock, "%u%u:%u%u", t / 600000, (t / 60000) % 10,
                  ((t / 1000) % 60) / 10, ((t / 1000) % 60) % 10);
    std::snprintf(text.fraction, sizeof text.fraction, ".%u%u", (t % 1000) / 100, (t % 100) / 10);
    return text;
}

TimeText FormatEntryTime(int32_t t)
{
    TimeText text;
    std::snprintf(text.clock, sizeof text.clock, "%d%d:%d%d", t / 600000, (t / 60000) % 10,
                  ((t / 1000) % 60) / 10, ((t / 1000) % 60) % 10);
    std::snprintf(text.fraction, sizeof text.fraction, ".%d%d", (t % 1000) / 100, (t % 100) / 10);
    return text;
}
