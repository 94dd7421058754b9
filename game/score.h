// Best times: the ranking of a run into its stage's row, the score file that
// keeps the table between runs, and the "mm:ss" + ".dd" texts times are shown
// with. No drawing here, so all of it can be tested and fuzzed on its own.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int STAGE_COUNT = 4;
constexpr int RANKS_PER_STAGE = 5;
constexpr int SCORE_ENTRY_COUNT = STAGE_COUNT * RANKS_PER_STAGE;
// A number token in the score file has at most this many characters; longer
// tokens are still read as one entry, from their first characters.
constexpr int SCORE_TOKEN_MAX = 19;
// An empty slot: 99:59.999, the longest time the two-digit minute field of the
// ranking shows (it reads "99:59.99"); every run shorter than 100 minutes
// takes its place.
constexpr int32_t EMPTY_SLOT_MS = 5999999;

extern const char* const SCORE_FILE_PATH;  // "./txt/scoretime.txt"
// The score file the results scene uses: SCORE_FILE_PATH, unless the start-up
// (ChooseDataFolder) points it at the player's own copy of an installed game.
extern const char* scoreFilePath;

// The five best times of each stage in milliseconds, fastest first; row 0 is
// stage 1. Entries are signed, as the file writes them; the ranking compares
// them unsigned, so -1 counts as the slowest time there is.
struct ScoreTable {
    int32_t times[STAGE_COUNT][RANKS_PER_STAGE];
};

// Called by the results scene and the score reader; every slot empty.
void FillEmptyScoreTable(ScoreTable* table);

// Called by EnterRunTime; puts runTimeMs into a row if it is at most as slow as
// the fifth entry (unsigned comparisons). An equal time ranks above the one
// already there; the slowest of the five drops out.
void RankRunTime(int32_t row[RANKS_PER_STAGE], uint32_t runTimeMs);

// Called by the score reader; puts a hand-edited row back into ascending
// (unsigned) order so the ranking's insertion finds it as the game writes it.
void SortScoreRow(int32_t row[RANKS_PER_STAGE]);

// Reading the file's text, fed in pieces of any size (the file is read in
// chunks, so no size of file needs a buffer of its size). Tokens are separated
// by white space and converted like atoi (sign, digits, stop at the first other
// character, no digits: 0); a value beyond 32 bits is clamped to the nearest
// 32-bit value. After SCORE_ENTRY_COUNT tokens the rest is ignored.
struct ScoreParser {
    ScoreTable* table;
    int count;                       // entries completed so far
    int tokenLength;                 // characters of the current token seen
    char token[SCORE_TOKEN_MAX + 1]; // its first SCORE_TOKEN_MAX characters
};
// Called by ReadScoreFile (and the tests); clears the table to empty slots.
void BeginScoreParse(ScoreParser* parser, ScoreTable* table);
// Called by ReadScoreFile for each chunk of the file.
void FeedScoreParse(ScoreParser* parser, const char* bytes, size_t length);
// Finishes the last token and sorts each row; returns how many entries the
// text held (at most SCORE_ENTRY_COUNT). Entries past that stay empty slots.
int EndScoreParse(ScoreParser* parser);
// Called by the tests and the fuzzer: the whole parse over one piece of text.
int ParseScoreText(const char* text, size_t length, ScoreTable* table);
// Called by the parser for each token (NUL-terminated): the atoi-like conversion.
int32_t ScoreTokenValue(const char* token);

// Called by EnterRunTime. Fills table from the file at path; false when
// the file is missing or cannot be read, and then the table is all empty slots.
bool ReadScoreFile(const char* path, ScoreTable* table);
// Called by WriteScoreFile: the file's text, " %d" for each of the 20 entries
// in order and nothing else.
// Returns the length written (the buffer is always terminated; 256 is plenty).
int FormatScoreText(const ScoreTable& table, char* buffer, size_t size);
// Called by EnterRunTime. Replaces the file at path as a whole: the text
// goes to a temporary file in the same folder, is flushed to the disk, and is
// renamed over the old file, so a crash never leaves a half-written table.
// False (with nothing changed) when it cannot be written; errorText, if given,
// then holds a short reason.
bool WriteScoreFile(const char* path, const ScoreTable& table,
                    char* errorText = nullptr, size_t errorSize = 0);

// What the results scene does with a finished run before it shows anything.
struct RunEntry {
    ScoreTable table;  // the table after the run was ranked in
    bool fileRead;     // false: the file was missing or unreadable
    bool fileWritten;  // false: the new table could not be saved
};
// Called by RunResultsScene once per cleared stage: reads the file, ranks the
// run into the row of stage (1..4; any other stage ranks nothing), writes the
// file back (creating it if it was missing) and reports a failed write with one
// line on standard error.
RunEntry EnterRunTime(const char* path, uint32_t runTimeMs, int stage);

// A time as the game shows it: "%d%d:%d%d" (tens of minutes, minutes, tens of
// seconds, seconds) and ".%d%d" (tenths and hundredths of a second; the
// thousandths are kept in the score file but not shown). From 100 minutes on
// the first field has several digits.
struct TimeText {
    char clock[64];
    char fraction[32];
};
// Called by the results screen and the play scene's clock for the run's own
// time: unsigned arithmetic.
TimeText FormatRunTime(uint32_t timeMs);
// Called by the results screen for the table's entries: signed arithmetic, so
// -1 shows as "00:00" and ".00". Both agree for times below 2^31 ms.
TimeText FormatEntryTime(int32_t timeMs);
