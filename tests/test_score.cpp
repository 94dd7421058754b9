// Best times: the ranking's order rules, the time texts, and the score file's
// reading and writing under everything a hand-edited or damaged file can be.
#include "game/score.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<int32_t> Row(const int32_t* row)
{
    return std::vector<int32_t>(row, row + RANKS_PER_STAGE);
}

std::vector<int32_t> Ranked(std::vector<int32_t> row, uint32_t runTime)
{
    RankRunTime(row.data(), runTime);
    return row;
}

// A fresh folder per test, removed afterwards.
class ScoreFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/prismveldt-score-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        chmod(folder.c_str(), 0755);  // the unprivileged checks must reach it
        path = folder + "/scoretime.txt";
    }
    void TearDown() override
    {
        chmod(folder.c_str(), 0755);
        fs::remove_all(folder);
    }
    void Put(const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string Get()
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    int FilesInFolder()
    {
        int n = 0;
        for (auto& e : fs::directory_iterator(folder)) {
            (void)e;
            n++;
        }
        return n;
    }
    std::string folder;
    std::string path;
};

// Runs check in a child process that has given up root's right to read and
// write everything (as the nobody user), so permission tests mean the same for
// root and for a player; returns its exit status. The child's standard error
// goes to *err when asked.
int RunWithoutPrivileges(const std::function<int()>& check, std::string* err = nullptr)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    fflush(stderr);
    pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        dup2(pipeEnds[1], 2);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        _exit(check());
    }
    close(pipeEnds[1]);
    std::string text;
    char buffer[256];
    ssize_t n;
    while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (err)
        *err = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char* FULL_FILE =
    " 10 20 20 30 40 1000 2000 3000 4000 5000 100 200 300 400 500 7 8 9 10 11";

}  // namespace

TEST(Ranking, EqualTimeRanksAboveTheOneAlreadyThere)
{
    EXPECT_EQ(Ranked({10, 20, 20, 30, 40}, 20), (std::vector<int32_t>{10, 20, 20, 20, 30}));
    // Equal to the fifth entry: it still replaces it (at most as slow, not slower).
    EXPECT_EQ(Ranked({10, 20, 30, 40, 50}, 50), (std::vector<int32_t>{10, 20, 30, 40, 50}));
    EXPECT_EQ(Ranked({10, 10, 10, 10, 10}, 10), (std::vector<int32_t>{10, 10, 10, 10, 10}));
}

TEST(Ranking, SlowerRunLeavesTheRowAlone)
{
    EXPECT_EQ(Ranked({10, 20, 30, 40, 50}, 51), (std::vector<int32_t>{10, 20, 30, 40, 50}));
}

TEST(Ranking, FasterRunTakesFirstPlaceAndTheFifthDropsOut)
{
    EXPECT_EQ(Ranked({10, 20, 30, 40, 50}, 5), (std::vector<int32_t>{5, 10, 20, 30, 40}));
    EXPECT_EQ(Ranked({10, 20, 30, 40, 50}, 35), (std::vector<int32_t>{10, 20, 30, 35, 40}));
}

TEST(Ranking, MinusOneIsTheSlowestTimeThereIs)
{
    // Compared unsigned, -1 is 4 294 967 295 ms: any run goes above it.
    EXPECT_EQ(Ranked({10, 20, -1, -1, -1}, 3000000), (std::vector<int32_t>{10, 20, 3000000, -1, -1}));
    EXPECT_EQ(Ranked({-1, -1, -1, -1, -1}, 0xFFFFFFFEu),
              (std::vector<int32_t>{-2, -1, -1, -1, -1}));
    // A negative entry other than -1 is also huge, not small.
    EXPECT_EQ(Ranked({10, 20, 30, 40, -500}, 45), (std::vector<int32_t>{10, 20, 30, 40, 45}));
    // Run times at and above 2^31 compare unsigned too.
    EXPECT_EQ(Ranked({10, 20, 30, 40, 50}, 0x80000000u), (std::vector<int32_t>{10, 20, 30, 40, 50}));
}

TEST(Ranking, EmptySlotTakesEveryRunUnderOneHundredMinutes)
{
    ScoreTable table;
    FillEmptyScoreTable(&table);
    RankRunTime(table.times[2], 5999998);
    EXPECT_EQ(table.times[2][0], 5999998);
    EXPECT_EQ(table.times[2][1], EMPTY_SLOT_MS);
    EXPECT_EQ(Row(table.times[1]), std::vector<int32_t>(5, EMPTY_SLOT_MS));
}

TEST(TimeText, ShowsTenthsAndHundredths)
{
    TimeText t = FormatRunTime(83456);
    EXPECT_STREQ(t.clock, "01:23");
    EXPECT_STREQ(t.fraction, ".45");
    t = FormatRunTime(14992);  // not ".92", which would rank it among 14.92 s
    EXPECT_STREQ(t.clock, "00:14");
    EXPECT_STREQ(t.fraction, ".99");
    t = FormatRunTime(3723009);
    EXPECT_STREQ(t.clock, "62:03");
    EXPECT_STREQ(t.fraction, ".00");
    t = FormatRunTime(0);
    EXPECT_STREQ(t.clock, "00:00");
    EXPECT_STREQ(t.fraction, ".00");
}

TEST(TimeText, ShownTimesSortLikeTheTimes)
{
    // A ranking in order reads in order: for every time of the first two
    // minutes the text never goes down as the time goes up.
    std::string last;
    for (uint32_t ms = 0; ms < 120000; ms++) {
        TimeText t = FormatRunTime(ms);
        std::string shown = std::string(t.clock) + t.fraction;
        ASSERT_GE(shown, last) << ms << " ms";
        last = shown;
    }
}

TEST(TimeText, FromOneHundredMinutesTheFirstFieldGrows)
{
    TimeText t = FormatRunTime(6000000);  // 100:00.000
    EXPECT_STREQ(t.clock, "100:00");
    t = FormatRunTime(123456789);  // 2057 min 36.789 s
    EXPECT_STREQ(t.clock, "2057:36");
    EXPECT_STREQ(t.fraction, ".78");
    t = FormatRunTime(0xFFFFFFFFu);
    EXPECT_STREQ(t.clock, "71582:47");
    EXPECT_STREQ(t.fraction, ".29");
}

TEST(TimeText, TableEntriesUseSignedArithmetic)
{
    TimeText t = FormatEntryTime(-1);
    EXPECT_STREQ(t.clock, "00:00");
    EXPECT_STREQ(t.fraction, ".00");
    t = FormatEntryTime(EMPTY_SLOT_MS);
    EXPECT_STREQ(t.clock, "99:59");
    EXPECT_STREQ(t.fraction, ".99");
    // Both forms agree below 2^31.
    for (int32_t v : {0, 83456, 3723009, 6000000, 2147483647}) {
        TimeText a = FormatEntryTime(v), b = FormatRunTime(static_cast<uint32_t>(v));
        EXPECT_STREQ(a.clock, b.clock);
        EXPECT_STREQ(a.fraction, b.fraction);
    }
    t = FormatEntryTime(INT32_MIN);  // no overflow, just odd digits
    EXPECT_STREQ(t.clock, "-3579-1:-2-3");
}

TEST(ScoreText, TokensConvertLikeAtoi)
{
    EXPECT_EQ(ScoreTokenValue("123"), 123);
    EXPECT_EQ(ScoreTokenValue("-1"), -1);
    EXPECT_EQ(ScoreTokenValue("+42"), 42);
    EXPECT_EQ(ScoreTokenValue("12abc"), 12);
    EXPECT_EQ(ScoreTokenValue("abc"), 0);
    EXPECT_EQ(ScoreTokenValue("-"), 0);
    EXPECT_EQ(ScoreTokenValue("--5"), 0);
    EXPECT_EQ(ScoreTokenValue("007"), 7);
    // Beyond 32 bits: clamped instead of wrapping round.
    EXPECT_EQ(ScoreTokenValue("2147483648"), INT32_MAX);
    EXPECT_EQ(ScoreTokenValue("-2147483648"), INT32_MIN);
    EXPECT_EQ(ScoreTokenValue("-99999999999999999999999999"), INT32_MIN);
    EXPECT_EQ(ScoreTokenValue("9999999999999999999"), INT32_MAX);
}

TEST(ScoreText, ReadsTwentyEntriesInFileOrderWhateverTheWhiteSpace)
{
    ScoreTable table;
    std::string text = "\n10\t20  20\r\n30 40\n1000 2000 3000 4000 5000\f100 200 300 400 500\v7 8 9 10 11\n";
    EXPECT_EQ(ParseScoreText(text.data(), text.size(), &table), 20);
    EXPECT_EQ(Row(table.times[0]), (std::vector<int32_t>{10, 20, 20, 30, 40}));
    EXPECT_EQ(Row(table.times[1]), (std::vector<int32_t>{1000, 2000, 3000, 4000, 5000}));
    EXPECT_EQ(Row(table.times[3]), (std::vector<int32_t>{7, 8, 9, 10, 11}));
    // More than twenty: the rest is ignored.
    text = std::string(FULL_FILE) + " 1 2 3";
    EXPECT_EQ(ParseScoreText(text.data(), text.size(), &table), 20);
    EXPECT_EQ(table.times[3][4], 11);
}

TEST(ScoreText, MissingEntriesAreEmptySlots)
{
    ScoreTable table;
    std::string text = " 10 20 30 40 50 60 70";
    EXPECT_EQ(ParseScoreText(text.data(), text.size(), &table), 7);
    EXPECT_EQ(Row(table.times[0]), (std::vector<int32_t>{10, 20, 30, 40, 50}));
    EXPECT_EQ(Row(table.times[1]),
              (std::vector<int32_t>{60, 70, EMPTY_SLOT_MS, EMPTY_SLOT_MS, EMPTY_SLOT_MS}));
    EXPECT_EQ(Row(table.times[3]), std::vector<int32_t>(5, EMPTY_SLOT_MS));
    EXPECT_EQ(ParseScoreText("", 0, &table), 0);
    EXPECT_EQ(Row(table.times[0]), std::vector<int32_t>(5, EMPTY_SLOT_MS));
}

TEST(ScoreText, NonNumbersCountAsZero)
{
    ScoreTable table;
    std::string text = " abc 20 x9 30 40";
    ParseScoreText(text.data(), text.size(), &table);
    EXPECT_EQ(Row(table.times[0]), (std::vector<int32_t>{0, 0, 20, 30, 40}));
}

TEST(ScoreText, OverlongTokenIsOneEntryReadFromItsFirstCharacters)
{
    ScoreTable table;
    // 19 characters are kept: "1234567" then twelve zeros reads as a huge
    // number, clamped; the tail of the token does not spill into the next entry.
    std::string longToken = "1234567" + std::string(5000, '0') + "999";
    std::string text = " 5 " + longToken + " 6 7 8";
    EXPECT_EQ(ParseScoreText(text.data(), text.size(), &table), 5);
    EXPECT_EQ(Row(table.times[0]), (std::vector<int32_t>{5, 6, 7, 8, INT32_MAX}));
    // Exactly 19 characters, and 21 characters whose first 19 are zeros.
    text = " " + std::string(17, '0') + "42 " + std::string(19, '0') + "43 44";
    EXPECT_EQ(ParseScoreText(text.data(), text.size(), &table), 3);
    EXPECT_EQ(Row(table.times[0]),
              (std::vector<int32_t>{0, 42, 44, EMPTY_SLOT_MS, EMPTY_SLOT_MS}));
}

TEST(ScoreText, OutOfOrderRowsAreSortedTheRankingsWay)
{
    ScoreTable table;
    std::string text = " 50 10 -1 20 30  9 8 7 6 5";
    ParseScoreText(text.data(), text.size(), &table);
    EXPECT_EQ(Row(table.times[0]), (std::vector<int32_t>{10, 20, 30, 50, -1}));
    EXPECT_EQ(Row(table.times[1]), (std::vector<int32_t>{5, 6, 7, 8, 9}));
    // So a fast run can no longer push out a better time than the one it beats.
    RankRunTime(table.times[0], 25);
    EXPECT_EQ(Row(table.times[0]), (std::vector<int32_t>{10, 20, 25, 30, 50}));
}

TEST(ScoreText, FedInPiecesReadsTheSameAsAWhole)
{
    std::string text = "  123456 -1 abc 0000000000000000000000077 9";
    for (size_t piece = 1; piece <= text.size(); piece++) {
        ScoreTable whole, pieces;
        int n = ParseScoreText(text.data(), text.size(), &whole);
        ScoreParser parser;
        BeginScoreParse(&parser, &pieces);
        for (size_t at = 0; at < text.size(); at += piece)
            FeedScoreParse(&parser, text.data() + at, std::min(piece, text.size() - at));
        EXPECT_EQ(EndScoreParse(&parser), n);
        EXPECT_EQ(0, memcmp(&whole, &pieces, sizeof whole)) << "pieces of " << piece;
    }
}

TEST(ScoreText, RandomDamageNeverBreaksTheReader)
{
    // Random bytes, weighted towards digits, signs and white space, read whole
    // and in random pieces: the same table, at most twenty entries, and every
    // row in ranking order.
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    const char alphabet[] = "0123456789-+  \n\t\rx\0\xff";
    for (int round = 0; round < 3000; round++) {
        std::string text(next() % 300, ' ');
        for (char& c : text)
            c = next() % 4 ? alphabet[next() % (sizeof alphabet - 1)] : static_cast<char>(next());
        ScoreTable whole, pieces;
        int n = ParseScoreText(text.data(), text.size(), &whole);
        ASSERT_GE(n, 0);
        ASSERT_LE(n, SCORE_ENTRY_COUNT);
        ScoreParser parser;
        BeginScoreParse(&parser, &pieces);
        for (size_t at = 0; at < text.size();) {
            size_t piece = std::min<size_t>(1 + next() % 40, text.size() - at);
            FeedScoreParse(&parser, text.data() + at, piece);
            at += piece;
        }
        ASSERT_EQ(EndScoreParse(&parser), n);
        ASSERT_EQ(0, memcmp(&whole, &pieces, sizeof whole));
        for (auto& row : whole.times)
            for (int r = 1; r < RANKS_PER_STAGE; r++)
                ASSERT_LE(static_cast<uint32_t>(row[r - 1]), static_cast<uint32_t>(row[r]));
    }
}

TEST(ScoreText, WritesSpaceNumberTwentyTimesAndNothingElse)
{
    ScoreTable table;
    ParseScoreText(FULL_FILE, strlen(FULL_FILE), &table);
    char text[512];
    int n = FormatScoreText(table, text, sizeof text);
    EXPECT_STREQ(text, FULL_FILE);
    EXPECT_EQ(n, static_cast<int>(strlen(FULL_FILE)));
    table.times[0][4] = -1;
    table.times[3][4] = INT32_MIN;
    FormatScoreText(table, text, sizeof text);
    EXPECT_STREQ(text, " 10 20 20 30 -1 1000 2000 3000 4000 5000 100 200 300 400 500 7 8 9 10 -2147483648");
    // A short buffer is cut, never overrun.
    char small[8];
    memset(small, 'x', sizeof small);
    FormatScoreText(table, small, 6);
    EXPECT_STREQ(small, " 10 2");
    EXPECT_EQ(small[6], 'x');
}

TEST_F(ScoreFileTest, ReadsAndRewritesTheFile)
{
    Put(std::string(FULL_FILE) + "\n");
    RunEntry entry = EnterRunTime(path.c_str(), 15, 1);
    EXPECT_TRUE(entry.fileRead);
    EXPECT_TRUE(entry.fileWritten);
    EXPECT_EQ(Get(), " 10 15 20 20 30 1000 2000 3000 4000 5000 100 200 300 400 500 7 8 9 10 11");
    // A run that does not enter still normalises the file.
    Put("10\n20\n20\n30\n40 1000 2000 3000 4000 5000 100 200 300 400 500 7 8 9 10 11\n");
    entry = EnterRunTime(path.c_str(), 999999, 2);
    EXPECT_EQ(Get(), FULL_FILE);
    // Stage 4 is the last row.
    entry = EnterRunTime(path.c_str(), 1, 4);
    EXPECT_EQ(Get(), " 10 20 20 30 40 1000 2000 3000 4000 5000 100 200 300 400 500 1 7 8 9 10");
    EXPECT_EQ(FilesInFolder(), 1);  // no temporary file left behind
}

TEST_F(ScoreFileTest, MissingFileIsAnEmptyTableAndIsCreated)
{
    RunEntry entry = EnterRunTime(path.c_str(), 83456, 3);
    EXPECT_FALSE(entry.fileRead);
    EXPECT_TRUE(entry.fileWritten);
    EXPECT_EQ(entry.table.times[2][0], 83456);
    EXPECT_EQ(entry.table.times[2][1], EMPTY_SLOT_MS);
    EXPECT_EQ(Get(), " 5999999 5999999 5999999 5999999 5999999"
                     " 5999999 5999999 5999999 5999999 5999999"
                     " 83456 5999999 5999999 5999999 5999999"
                     " 5999999 5999999 5999999 5999999 5999999");
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(ScoreFileTest, ShortFileGetsItsMissingEntriesAsEmptySlots)
{
    Put(" 10 20 30");
    EnterRunTime(path.c_str(), 25, 1);
    EXPECT_EQ(Get(), " 10 20 25 30 5999999"
                     " 5999999 5999999 5999999 5999999 5999999"
                     " 5999999 5999999 5999999 5999999 5999999"
                     " 5999999 5999999 5999999 5999999 5999999");
}

TEST_F(ScoreFileTest, UnreadableFileIsAnEmptyTable)
{
    Put(FULL_FILE);
    auto readsAsEmpty = [&] {
        ScoreTable table;
        bool read = ReadScoreFile(path.c_str(), &table);
        return !read && Row(table.times[0]) == std::vector<int32_t>(5, EMPTY_SLOT_MS) ? 0 : 1;
    };
    EXPECT_EQ(RunWithoutPrivileges(readsAsEmpty), 1);  // readable: the real table
    chmod(path.c_str(), 0);
    EXPECT_EQ(RunWithoutPrivileges(readsAsEmpty), 0);
}

TEST_F(ScoreFileTest, FolderInPlaceOfTheFileIsNeitherReadNorReplaced)
{
    fs::create_directory(path);
    fs::create_directory(path + "/keep");
    testing::internal::CaptureStderr();
    RunEntry entry = EnterRunTime(path.c_str(), 100, 1);
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(entry.fileRead);
    EXPECT_FALSE(entry.fileWritten);
    EXPECT_EQ(entry.table.times[0][0], 100);  // the results are still there to show
    EXPECT_TRUE(fs::is_directory(path + "/keep"));
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(ScoreFileTest, ReadOnlyFolderKeepsTheOldFileAndSaysSo)
{
    Put(FULL_FILE);
    chmod(folder.c_str(), 0555);
    std::string err;
    int status = RunWithoutPrivileges(
        [&] {
            RunEntry entry = EnterRunTime(path.c_str(), 1, 1);
            return entry.fileRead && !entry.fileWritten && entry.table.times[0][0] == 1 ? 0 : 1;
        },
        &err);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Get(), FULL_FILE);
    EXPECT_EQ(FilesInFolder(), 1);
    // Exactly one line on standard error, naming the file.
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find(path), std::string::npos) << err;
}

TEST_F(ScoreFileTest, MissingFolderIsReportedNotCreated)
{
    std::string nowhere = folder + "/no/such/scoretime.txt";
    testing::internal::CaptureStderr();
    RunEntry entry = EnterRunTime(nowhere.c_str(), 500, 2);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(entry.fileRead);
    EXPECT_FALSE(entry.fileWritten);
    EXPECT_EQ(entry.table.times[1][0], 500);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_FALSE(fs::exists(folder + "/no"));
}

TEST_F(ScoreFileTest, ReplaceIsAtomicAndKeepsPermissions)
{
    Put(FULL_FILE);
    chmod(path.c_str(), 0600);
    struct stat before;
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    // A reader holding the old file keeps reading the whole old table: the new
    // one arrives as another file renamed over it, never by rewriting in place.
    FILE* reader = fopen(path.c_str(), "r");
    ASSERT_NE(reader, nullptr);
    ScoreTable table;
    FillEmptyScoreTable(&table);
    ASSERT_TRUE(WriteScoreFile(path.c_str(), table));
    char old[256] = "";
    size_t n = fread(old, 1, sizeof old - 1, reader);
    fclose(reader);
    EXPECT_EQ(std::string(old, n), FULL_FILE);
    struct stat after;
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 0777, 0600u);
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(ScoreFileTest, StaleTemporaryFilesDoNotGetInTheWay)
{
    Put(FULL_FILE);
    std::ofstream(path + ".tmp") << "junk";
    std::ofstream(path + ".XXXXXX") << "junk";
    ScoreTable table;
    ASSERT_TRUE(ReadScoreFile(path.c_str(), &table));
    RankRunTime(table.times[0], 1);
    ASSERT_TRUE(WriteScoreFile(path.c_str(), table));
    EXPECT_EQ(Get().substr(0, 6), " 1 10 ");
}

TEST_F(ScoreFileTest, HugeFileIsReadOnlyAsFarAsItsTwentyEntries)
{
    // Megabytes of white space before the first number, then a long tail.
    std::string text(3 << 20, ' ');
    text += FULL_FILE;
    text += " " + std::string(1 << 20, '7');
    Put(text);
    ScoreTable table;
    ASSERT_TRUE(ReadScoreFile(path.c_str(), &table));
    EXPECT_EQ(Row(table.times[3]), (std::vector<int32_t>{7, 8, 9, 10, 11}));
}

TEST_F(ScoreFileTest, StageOutsideOneToFourRanksNothing)
{
    Put(FULL_FILE);
    EnterRunTime(path.c_str(), 1, 0);
    EnterRunTime(path.c_str(), 1, 5);
    EXPECT_EQ(Get(), FULL_FILE);
}
