// Best times: ranking, the score file, and the time texts of the results screen.
#include "game/score.h"

#include "platform/platform.h"

#include <cstdio>
#include <cstring>

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

int32_t ScoreTokenValue(const char* token)
{
    const char* p = token;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        p++;
    }
    // Accumulate with a ceiling so a long run of digits cannot overflow.
    int64_t value = 0;
    const int64_t ceiling = int64_t(INT32_MAX) + 1;
    while (*p >= '0' && *p <= '9') {
        if (value <= ceiling)
            value = value * 10 + (*p - '0');
        p++;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

void BeginScoreParse(ScoreParser* parser, ScoreTable* table)
{
    parser->table = table;
    parser->count = 0;
    parser->tokenLength = 0;
    parser->token[0] = '\0';
    FillEmptyScoreTable(table);
}

static bool IsScoreSpace(char c)
{
    // The white space of the C library's " %s": space, \t \n \v \f \r.
    return c == ' ' || (c >= '\t' && c <= '\r');
}

static void FinishToken(ScoreParser* parser)
{
    if (parser->tokenLength == 0)
        return;
    if (parser->count < SCORE_ENTRY_COUNT) {
        int stored = parser->tokenLength < SCORE_TOKEN_MAX ? parser->tokenLength : SCORE_TOKEN_MAX;
        parser->token[stored] = '\0';
        int index = parser->count;
        parser->table->times[index / RANKS_PER_STAGE][index % RANKS_PER_STAGE] =
            ScoreTokenValue(parser->token);
        parser->count++;
    }
    parser->tokenLength = 0;
}

void FeedScoreParse(ScoreParser* parser, const char* bytes, size_t length)
{
    for (size_t i = 0; i < length && parser->count < SCORE_ENTRY_COUNT; i++) {
        char c = bytes[i];
        if (IsScoreSpace(c)) {
            FinishToken(parser);
            continue;
        }
        // Only the first SCORE_TOKEN_MAX characters are kept; the rest of an
        // overlong token is counted but belongs to the same entry.
        if (parser->tokenLength < SCORE_TOKEN_MAX)
            parser->token[parser->tokenLength] = c;
        if (parser->tokenLength < INT32_MAX)
            parser->tokenLength++;
    }
}

int EndScoreParse(ScoreParser* parser)
{
    FinishToken(parser);
    for (auto& row : parser->table->times)
        SortScoreRow(row);
    return parser->count;
}

int ParseScoreText(const char* text, size_t length, ScoreTable* table)
{
    ScoreParser parser;
    BeginScoreParse(&parser, table);
    FeedScoreParse(&parser, text, length);
    return EndScoreParse(&parser);
}

bool ReadScoreFile(const char* path, ScoreTable* table)
{
    ScoreParser parser;
    BeginScoreParse(&parser, table);
    FILE* file = std::fopen(path, "r");
    if (!file)
        return false;
    char chunk[4096];
    bool failed = false;
    while (parser.count < SCORE_ENTRY_COUNT) {
        size_t got = std::fread(chunk, 1, sizeof chunk, file);
        FeedScoreParse(&parser, chunk, got);
        if (got < sizeof chunk) {
            failed = std::ferror(file) != 0;  // a folder, an I/O error
            break;
        }
    }
    std::fclose(file);
    if (failed) {
        FillEmptyScoreTable(table);
        return false;
    }
    EndScoreParse(&parser);
    return true;
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
    return PlatformReplaceFile(path, text, static_cast<size_t>(length), errorText, errorSize);
}

RunEntry EnterRunTime(const char* path, uint32_t runTimeMs, int stage)
{
    RunEntry entry;
    entry.fileRead = ReadScoreFile(path, &entry.table);
    if (stage >= 1 && stage <= STAGE_COUNT)
        RankRunTime(entry.table.times[stage - 1], runTimeMs);
    char reason[160] = "";
    entry.fileWritten = WriteScoreFile(path, entry.table, reason, sizeof reason);
    if (!entry.fileWritten)
        std::fprintf(stderr, "Prismveldt: the best times could not be saved to %s (%s)\n",
                     path, reason);
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
