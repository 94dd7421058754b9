// Best times: the ranking of a run into its stage's row, the score file that
// keeps the table between runs, and the "mm:ss" + ".dd" texts times are shown
// with. No drawing here, so all of it can be tested and fuzzed on its own.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int STAGE_COUNT = 4;
constexpr int RANKS_PER_STAGE = 5;
constexpr int SCORE_ENTRY_COUNT = STAGE_COUNT * RANKS_PER_STAGE;
// An empty slot: 99:59.999, the longest time the two-digit minute field of the
// ranking shows (it reads "99:59.99"); every run shorter than 100 minutes
// takes its place.
constexpr int32_t EMPTY_SLOT_MS = 5999999;
// A score file is twenty short numbers; anything this large is not one, and
// is never read further.
constexpr size_t SCORE_FILE_MAX_BYTES = 64 * 1024;

extern const char* const SCORE_FILE_PATH;  // "./txt/scoretime.txt"
// The session's score file, beside which the recordings and the ghost's
// setting are kept too: SCORE_FILE_PATH (relative to the data folder), unless
// the start-up (ChooseDataFolder) points it at the player's own copy of an
// installed game, or sets it to nullptr when the player has no folder for it:
// the best times are then kept in memory for the session. The string it
// points at lives as long as the program.
extern const char* scoreFilePath;

// The five best times of each stage in milliseconds, fastest first; row 0 is
// stage 1. Entries are signed, as the file writes them; the ranking compares
// them unsigned, so -1 counts as the slowest time there is.
struct ScoreTable {
    int32_t times[STAGE_COUNT][RANKS_PER_STAGE];
};

// Sets every slot of table to EMPTY_SLOT_MS.
void FillEmptyScoreTable(ScoreTable* table);

// Puts runTimeMs into row if it is at most as slow as the fifth entry
// (unsigned comparisons); otherwise row is left as it is. An equal time ranks
// above the one already there; the slowest of the five drops out. row must be
// in ascending (unsigned) order, as every table read or made here is.
void RankRunTime(int32_t row[RANKS_PER_STAGE], uint32_t runTimeMs);

// Puts a hand-edited row back into ascending (unsigned) order, keeping equal
// entries in their order, so that the ranking's insertion finds it as the
// game writes it. A good parse (EndScoreParse) sorts every row this way.
void SortScoreRow(int32_t row[RANKS_PER_STAGE]);

// What a score file's text turned out to be.
enum {
    SCORE_TEXT_GOOD = 0,    // exactly twenty whole numbers
    SCORE_TEXT_EMPTY = 1,   // nothing but white space: no table yet
    SCORE_TEXT_DAMAGED = 2  // anything else; the table is not to be guessed from it
};

// Reading the file's text, fed in pieces of any size. Tokens are separated by
// white space; each must be a whole number (an optional sign, then digits)
// that fits 32 bits. A UTF-8 byte-order mark at the very start is skipped.
struct ScoreParser {
    ScoreTable* table;
    int count;          // numbers completed so far
    bool damaged;       // a token that is not a whole number, or a 21st one
    size_t offset;      // bytes seen, to find the byte-order mark
    int bomSoFar;       // bytes of it seen at the start
    bool inToken;
    bool negative;
    bool hasDigits;
    int64_t magnitude;  // capped just above 2^31
};
// Starts a parse into table: clears it to empty slots.
void BeginScoreParse(ScoreParser* parser, ScoreTable* table);
// The next piece of the text, wherever the pieces break.
void FeedScoreParse(ScoreParser* parser, const char* bytes, size_t length);
// Finishes the last token; SCORE_TEXT_*. A good table has each row sorted;
// any other leaves every slot empty.
int EndScoreParse(ScoreParser* parser);
// The whole parse over one piece of text: what ReadScoreFile reads the file with.
int ParseScoreText(const char* text, size_t length, ScoreTable* table);

// What ReadScoreFile found.
enum {
    SCORE_FILE_READ = 0,    // twenty entries, now in the table
    SCORE_FILE_NEW = 1,     // no file yet (or an empty one): an empty table to save
    SCORE_FILE_DAMAGED = 2  // there but unusable; it must be kept as it is
};
// Fills table from the score file at path (not nullptr): SCORE_FILE_READ with
// its twenty entries, each row sorted; otherwise every slot empty. A missing,
// empty or blank file is SCORE_FILE_NEW. A file that is not a regular one,
// may not be opened, is past SCORE_FILE_MAX_BYTES, fails to read or holds
// anything but twenty whole numbers is SCORE_FILE_DAMAGED, and why (when
// given, whySize bytes) then says what is wrong with it. Takes no lock: a
// caller that writes the file after reading it holds the score lock around
// both.
int ReadScoreFile(const char* path, ScoreTable* table, char* why = nullptr, size_t whySize = 0);
// The score file's text into buffer: " %d" for each of the 20 entries in
// order and nothing else (no line end). Returns the length written; the
// buffer is always terminated when size is not 0, the text cut short where
// it does not fit (256 is plenty). With size 0 it returns 0.
int FormatScoreText(const ScoreTable& table, char* buffer, size_t size);
// Replaces the score file at path as a whole with table's text
// (PlatformReplaceFile): the text goes to a temporary file beside the file it
// replaces, reaches the disk, and is renamed over the old file, so a crash
// never leaves a half-written table. A link at path is written through, to
// the file it leads to (a player may keep the table elsewhere). False (with
// nothing changed) when it cannot be written, a read-only file among those
// cases; errorText, if given, then holds a short reason. Takes no lock: the
// caller holds the score lock.
bool WriteScoreFile(const char* path, const ScoreTable& table,
                    char* errorText = nullptr, size_t errorSize = 0);

// What the results scene does with a finished run before it shows anything.
struct RunEntry {
    ScoreTable table;  // the table after the run was ranked in
    int fileState;     // SCORE_FILE_* as read; SCORE_FILE_NEW with no file at all
    bool fileWritten;  // false: the new table was not saved to a file
    int rank;          // the run's rank in table (1..5), 0 when it did not enter
};
// Enters a cleared run into the best times, once per clear (a second call
// would rank it again): reads the score file at path, ranks the run into the
// row of stage (1..4; any other stage ranks nothing) and writes the file back
// (creating it if it was missing), all under the score lock, which it takes
// and lets go of itself. A damaged file is never written: the run is ranked
// into this session's own table for that path instead (each path has its
// own, and nullptr one more). A lock another program would not
// let go of leaves the file as it is: the run is ranked into the table as
// read, for showing only. A failed write keeps the old file (fileWritten
// false). Each of these says so in one line on standard error. With path
// nullptr the session's table is all there is (fileState SCORE_FILE_NEW):
// the one named session ("" the game's own; a pack's stage with no folder
// for its records has one of its own).
// When the run enters a table that is being saved, its recording (if given,
// and of this stage and time) is written beside the file first, and the
// stage's kept recordings are then matched to the table now on disk
// (replay_files.h). recording is only read; the caller keeps it. The result
// holds its own copy of the table.
struct Recording;
RunEntry EnterRunTime(const char* path, uint32_t runTimeMs, int stage,
                      const Recording* recording = nullptr, const char* session = "");
// The best times as they stand, for a run that is not to be ranked (an
// assisted one): the table EnterRunTime would rank into (the score file's,
// read without the lock, as a look; this session's own with path nullptr or
// a damaged file; session names it for path nullptr, as for EnterRunTime),
// with rank 0 and fileWritten false. Writes nothing.
RunEntry StandingBestTimes(const char* path, const char* session = "");
// The rank (1..5) a run took in row, which RankRunTime has just ranked it
// into: the first entry of its time (an equal time already there ranks
// below it), or 0 when it did not enter.
int RankOfRun(const int32_t row[RANKS_PER_STAGE], uint32_t runTimeMs);

// A time as the game shows it: "%d%d:%d%d" (tens of minutes, minutes, tens of
// seconds, seconds) and ".%d%d" (tenths and hundredths of a second; the
// thousandths are kept in the score file but not shown). From 100 minutes on
// the first field has several digits.
struct TimeText {
    char clock[64];
    char fraction[32];
};
// A run's own time (the play clock, the results' run time): unsigned
// arithmetic.
TimeText FormatRunTime(uint32_t timeMs);
// A table's entry as it was read: signed arithmetic, so -1 shows as "00:00"
// and ".00". Both agree for times below 2^31 ms.
TimeText FormatEntryTime(int32_t timeMs);
