// Best times: the ranking's order rules, the time texts, and the score file's
// reading and writing under everything a hand-edited or damaged file can be.
#include "game/best_game.h"
#include "game/score.h"
#include "platform/platform.h"

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

#include <chrono>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
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
    // An empty slot holds 99:59.999, 5 999 999 ms.
    ScoreTable table;
    FillEmptyScoreTable(&table);
    for (auto& row : table.times) EXPECT_EQ(Row(row), std::vector<int32_t>(5, 5999999));
    RankRunTime(table.times[2], 5999998);
    EXPECT_EQ(table.times[2][0], 5999998);
    EXPECT_EQ(table.times[2][1], 5999999);
    EXPECT_EQ(Row(table.times[1]), std::vector<int32_t>(5, 5999999));
    // One millisecond either side of the last empty slot: 99:59.999 itself
    // still takes it (rank 5), 100 minutes does not.
    std::vector<int32_t> row = {1, 2, 3, 4, 5999999};
    EXPECT_EQ(Ranked(row, 5999998), (std::vector<int32_t>{1, 2, 3, 4, 5999998}));
    EXPECT_EQ(RankOfRun(Ranked(row, 5999999).data(), 5999999), 5);
    EXPECT_EQ(Ranked(row, 6000000), row);
    EXPECT_EQ(RankOfRun(Ranked(row, 6000000).data(), 6000000), 0);
}

TEST(Ranking, ARunTakesOneOfFiveRanksOrNone)
{
    const std::vector<int32_t> row = {10, 20, 30, 40, 50};
    struct { uint32_t run; int rank; } cases[] = {
        {0, 1}, {9, 1}, {10, 1}, {11, 2}, {20, 2}, {25, 3}, {30, 3},
        {35, 4}, {40, 4}, {45, 5}, {50, 5}, {51, 0}, {0xFFFFFFFFu, 0},
    };
    for (auto c : cases) {
        std::vector<int32_t> after = Ranked(row, c.run);
        EXPECT_EQ(RankOfRun(after.data(), c.run), c.rank) << c.run;
        // Whatever the rank, the row keeps its five places in order.
        ASSERT_EQ(after.size(), 5u);
        EXPECT_TRUE(std::is_sorted(after.begin(), after.end())) << c.run;
    }
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
    t = FormatEntryTime(5999999);  // an empty slot
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

// A text of the twenty entries of FULL_FILE with token k replaced.
std::string WithToken(int k, const std::string& token)
{
    std::istringstream in(FULL_FILE);
    std::string text, word;
    for (int i = 0; in >> word; i++) text += " " + (i == k ? token : word);
    return text;
}

TEST(ScoreText, ReadsTwentyEntriesInFileOrderWhateverTheWhiteSpace)
{
    ScoreTable table;
    std::string text = "\n10\t20  20\r\n30 40\n1000 2000 3000 4000 5000\f100 200 300 400 500\v7 8 9 10 11\n";
    EXPECT_EQ(ParseScoreText(text.data(), text.size(), &table), SCORE_TEXT_GOOD);
    EXPECT_EQ(Row(table.times[0]), (std::vector<int32_t>{10, 20, 20, 30, 40}));
    EXPECT_EQ(Row(table.times[1]), (std::vector<int32_t>{1000, 2000, 3000, 4000, 5000}));
    EXPECT_EQ(Row(table.times[3]), (std::vector<int32_t>{7, 8, 9, 10, 11}));
    // Signs, leading zeros and the extremes of 32 bits are whole numbers too.
    text = WithToken(1, "-1");
    EXPECT_EQ(ParseScoreText(text.data(), text.size(), &table), SCORE_TEXT_GOOD);
    EXPECT_EQ(Row(table.times[0]), (std::vector<int32_t>{10, 20, 30, 40, -1}));
    for (std::string token : std::vector<std::string>{"+7", std::string(40, '0') + "77", "2147483647", "-2147483648"}) {
        text = WithToken(19, token);
        EXPECT_EQ(ParseScoreText(text.data(), text.size(), &table), SCORE_TEXT_GOOD) << token;
    }
}

TEST(ScoreText, AnythingButTwentyWholeNumbersIsDamaged)
{
    // Each of these once became a 0 ms record or shifted times between
    // stages; now the table is not guessed at all.
    ScoreTable table;
    std::vector<std::string> damaged = {
        WithToken(3, "abc"), WithToken(3, "12abc"), WithToken(3, "-"), WithToken(3, "--5"),
        WithToken(3, "1-2"), WithToken(3, "2147483648"), WithToken(3, "-2147483649"),
        WithToken(3, std::string(5000, '9')), WithToken(3, std::string("1\0", 2)),
        WithToken(3, "１２"), std::string("\0", 1) + FULL_FILE, std::string(FULL_FILE) + '\0',
        " 10 20 30 40 50 60 70",               // fewer than twenty
        std::string(FULL_FILE) + " 1 2 3",     // more
        "\xFF\xFE 1\0 2\0",                     // UTF-16
        "\xEF\xBB" + std::string(FULL_FILE),   // a piece of a byte-order mark
        std::string(FULL_FILE) + "\xEF\xBB\xBF",
    };
    for (const std::string& text : damaged) {
        table.times[1][1] = 123;
        EXPECT_EQ(ParseScoreText(text.data(), text.size(), &table), SCORE_TEXT_DAMAGED) << text;
        EXPECT_EQ(Row(table.times[1]), std::vector<int32_t>(5, 5999999));
    }
    // Nothing at all is not damage: there is simply no table yet.
    for (std::string text : {"", " \n\t ", "\xEF\xBB\xBF", "\xEF\xBB\xBF  \n"})
        EXPECT_EQ(ParseScoreText(text.data(), text.size(), &table), SCORE_TEXT_EMPTY) << text;
}

TEST(ScoreText, ByteOrderMarkAtTheStartIsSkipped)
{
    ScoreTable table;
    std::string text = "\xEF\xBB\xBF" + std::string(FULL_FILE);
    EXPECT_EQ(ParseScoreText(text.data(), text.size(), &table), SCORE_TEXT_GOOD);
    EXPECT_EQ(Row(table.times[0]), (std::vector<int32_t>{10, 20, 20, 30, 40}));
    text = "\xEF\xBB\xBF" "10" + std::string(FULL_FILE).substr(3);
    EXPECT_EQ(ParseScoreText(text.data(), text.size(), &table), SCORE_TEXT_GOOD);
}

TEST(ScoreText, OutOfOrderRowsAreSortedTheRankingsWay)
{
    ScoreTable table;
    std::string text = " 50 10 -1 20 30  9 8 7 6 5" + std::string(" 1 2 3 4 5 1 2 3 4 5");
    EXPECT_EQ(ParseScoreText(text.data(), text.size(), &table), SCORE_TEXT_GOOD);
    EXPECT_EQ(Row(table.times[0]), (std::vector<int32_t>{10, 20, 30, 50, -1}));
    EXPECT_EQ(Row(table.times[1]), (std::vector<int32_t>{5, 6, 7, 8, 9}));
    // So a fast run can no longer push out a better time than the one it beats.
    RankRunTime(table.times[0], 25);
    EXPECT_EQ(Row(table.times[0]), (std::vector<int32_t>{10, 20, 25, 30, 50}));
}

TEST(ScoreText, FedInPiecesReadsTheSameAsAWhole)
{
    for (std::string text : {"\xEF\xBB\xBF" + std::string(FULL_FILE), WithToken(7, "12x"),
                             "\xEF\xBB" + std::string(FULL_FILE)}) {
        for (size_t piece = 1; piece <= text.size(); piece++) {
            ScoreTable whole, pieces;
            int state = ParseScoreText(text.data(), text.size(), &whole);
            ScoreParser parser;
            BeginScoreParse(&parser, &pieces);
            for (size_t at = 0; at < text.size(); at += piece)
                FeedScoreParse(&parser, text.data() + at, std::min(piece, text.size() - at));
            EXPECT_EQ(EndScoreParse(&parser), state);
            EXPECT_EQ(0, memcmp(&whole, &pieces, sizeof whole)) << "pieces of " << piece;
        }
    }
}

TEST(ScoreText, RandomDamageNeverBreaksTheReader)
{
    // Random bytes, weighted towards digits, signs and white space, read whole
    // and in random pieces: the same outcome, and a good table only when the
    // text really is twenty numbers, every row in ranking order.
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    const char alphabet[] = "0123456789-+  \n\t\rx\0\xff";
    int good = 0;
    for (int round = 0; round < 3000; round++) {
        std::string text(next() % 300, ' ');
        for (char& c : text)
            c = next() % 4 ? alphabet[next() % (sizeof alphabet - 1)] : static_cast<char>(next());
        if (round % 3 == 0) text = WithToken(next() % 20, text.substr(0, next() % 4));
        ScoreTable whole, pieces;
        int state = ParseScoreText(text.data(), text.size(), &whole);
        ScoreParser parser;
        BeginScoreParse(&parser, &pieces);
        for (size_t at = 0; at < text.size();) {
            size_t piece = std::min<size_t>(1 + next() % 40, text.size() - at);
            FeedScoreParse(&parser, text.data() + at, piece);
            at += piece;
        }
        ASSERT_EQ(EndScoreParse(&parser), state);
        ASSERT_EQ(0, memcmp(&whole, &pieces, sizeof whole));
        if (state != SCORE_TEXT_GOOD) continue;
        good++;
        std::istringstream words(text);
        int count = 0;
        for (std::string word; words >> word; count++)
            ASSERT_EQ(word.find_first_not_of("+-0123456789"), std::string::npos) << word;
        ASSERT_EQ(count, SCORE_ENTRY_COUNT);
        for (auto& row : whole.times)
            for (int r = 1; r < RANKS_PER_STAGE; r++)
                ASSERT_LE(static_cast<uint32_t>(row[r - 1]), static_cast<uint32_t>(row[r]));
    }
    EXPECT_GT(good, 10);
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
    EXPECT_EQ(entry.fileState, SCORE_FILE_READ);
    EXPECT_TRUE(entry.fileWritten);
    EXPECT_EQ(Get(), " 10 15 20 20 30 1000 2000 3000 4000 5000 100 200 300 400 500 7 8 9 10 11");
    // A run that does not enter still normalises the file, a byte-order mark
    // and all.
    Put("\xEF\xBB\xBF" "10\n20\n20\n30\n40 1000 2000 3000 4000 5000 100 200 300 400 500 7 8 9 10 11\n");
    entry = EnterRunTime(path.c_str(), 999999, 2);
    EXPECT_EQ(Get(), FULL_FILE);
    // Stage 4 is the last row.
    entry = EnterRunTime(path.c_str(), 1, 4);
    EXPECT_EQ(Get(), " 10 20 20 30 40 1000 2000 3000 4000 5000 100 200 300 400 500 1 7 8 9 10");
    EXPECT_EQ(FilesInFolder(), 1);  // no temporary file left behind
}

TEST_F(ScoreFileTest, MissingOrEmptyFileIsAnEmptyTableAndIsWritten)
{
    for (bool empty : {false, true}) {
        fs::remove(path);
        if (empty) Put("\xEF\xBB\xBF\n");
        RunEntry entry = EnterRunTime(path.c_str(), 83456, 3);
        EXPECT_EQ(entry.fileState, SCORE_FILE_NEW);
        EXPECT_TRUE(entry.fileWritten);
        EXPECT_EQ(entry.table.times[2][0], 83456);
        EXPECT_EQ(entry.table.times[2][1], 5999999);
        EXPECT_EQ(Get(), " 5999999 5999999 5999999 5999999 5999999"
                         " 5999999 5999999 5999999 5999999 5999999"
                         " 83456 5999999 5999999 5999999 5999999"
                         " 5999999 5999999 5999999 5999999 5999999");
        struct stat info;
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0644u);
    }
}

// EnterRunTime on a file that must be kept: the run is shown from the
// session's own table, the file stays byte for byte, and one line says why.
void ExpectKeptAsItIs(const std::string& path, const std::string& before, int stage,
                      uint32_t run, const std::function<std::string()>& get)
{
    testing::internal::CaptureStderr();
    RunEntry entry = EnterRunTime(path.c_str(), run, stage);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(entry.fileState, SCORE_FILE_DAMAGED);
    EXPECT_FALSE(entry.fileWritten);
    const int32_t* row = entry.table.times[stage - 1];
    EXPECT_NE(std::find(row, row + RANKS_PER_STAGE, static_cast<int32_t>(run)), row + RANKS_PER_STAGE);
    EXPECT_EQ(get(), before);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find(path), std::string::npos) << err;
}

TEST_F(ScoreFileTest, DamagedFileIsKeptAndTheSessionRemembersItsTimes)
{
    std::vector<std::string> damaged = {
        WithToken(0, "abc"), " 10 20 30", std::string(FULL_FILE) + " 7", std::string(40, '\0'),
        "\xFF\xFE" + std::string(FULL_FILE), std::string(SCORE_FILE_MAX_BYTES, ' ') + FULL_FILE,
    };
    uint32_t run = 1000;
    for (const std::string& text : damaged) {
        Put(text);
        ExpectKeptAsItIs(path, text, 2, --run, [&] { return Get(); });
    }
    // The times of the session stay together: the last run leads the session's
    // row, the earlier ones follow.
    testing::internal::CaptureStderr();
    RunEntry entry = EnterRunTime(path.c_str(), 5000, 2);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Row(entry.table.times[1]), (std::vector<int32_t>{994, 995, 996, 997, 998}));
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(ScoreFileTest, AFileOfUpTo64KiBIsReadAndALargerOneKept)
{
    // A good table padded with white space to exactly 64 KiB is read; one
    // byte more and the file is not a score file.
    std::string padding(65536 - strlen(FULL_FILE), ' ');
    Put(padding + FULL_FILE);
    ScoreTable table;
    EXPECT_EQ(ReadScoreFile(path.c_str(), &table), SCORE_FILE_READ);
    EXPECT_EQ(Row(table.times[3]), (std::vector<int32_t>{7, 8, 9, 10, 11}));
    Put(padding + " " + FULL_FILE);
    EXPECT_EQ(ReadScoreFile(path.c_str(), &table), SCORE_FILE_DAMAGED);
    EXPECT_EQ(Row(table.times[3]), std::vector<int32_t>(5, 5999999));
}

TEST_F(ScoreFileTest, FileThatCannotBeReadIsKept)
{
    // Without the right to read it (as a player, not root) ...
    Put(FULL_FILE);
    chmod(path.c_str(), 0);
    EXPECT_EQ(RunWithoutPrivileges([&] {
                  ScoreTable table;
                  return ReadScoreFile(path.c_str(), &table) == SCORE_FILE_DAMAGED &&
                                 Row(table.times[0]) == std::vector<int32_t>(5, 5999999)
                             ? 0
                             : 1;
              }),
              0);
    EXPECT_EQ(RunWithoutPrivileges([&] {
                  testing::internal::CaptureStderr();
                  RunEntry entry = EnterRunTime(path.c_str(), 1, 1);
                  std::string err = testing::internal::GetCapturedStderr();
                  return entry.fileState == SCORE_FILE_DAMAGED && !entry.fileWritten &&
                                 std::count(err.begin(), err.end(), '\n') == 1
                             ? 0
                             : 1;
              }),
              0);
    chmod(path.c_str(), 0644);
    EXPECT_EQ(Get(), FULL_FILE);
    EXPECT_EQ(FilesInFolder(), 1);
    // ... and with an error in the middle of reading: /proc/self/mem answers
    // every read at its start with EIO.
    fs::remove(path);
    fs::create_symlink("/proc/self/mem", path);
    ExpectKeptAsItIs(path, "", 1, 7, [&] { return std::string(fs::is_symlink(path) ? "" : "gone"); });
}

TEST_F(ScoreFileTest, NothingButARegularFileIsRead)
{
    // A folder, a pipe with nobody writing (which would block the open for
    // ever), and devices that read for ever or read nothing: each is kept
    // and answered at once.
    fs::create_directory(path);
    fs::create_directory(path + "/keep");
    ExpectKeptAsItIs(path, "dir", 1, 6, [&] { return std::string(fs::is_directory(path + "/keep") ? "dir" : ""); });
    fs::remove_all(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
    ExpectKeptAsItIs(path, "fifo", 1, 5, [&] { return std::string(fs::is_fifo(path) ? "fifo" : ""); });
    uint32_t run = 5;
    for (const char* device : {"/dev/zero", "/dev/null"}) {
        fs::remove(path);
        fs::create_symlink(device, path);
        ExpectKeptAsItIs(path, device, 1, --run, [&] { return fs::read_symlink(path).string(); });
        struct stat info;
        ASSERT_EQ(stat(device, &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode)) << device << " was replaced";
    }
}

TEST_F(ScoreFileTest, LinkedFileIsWrittenThroughToItsTarget)
{
    std::string target = folder + "/real/scores.txt";
    fs::create_directory(folder + "/real");
    std::ofstream(target) << FULL_FILE;
    chmod(target.c_str(), 0640);
    fs::create_symlink("real/scores.txt", path);
    RunEntry entry = EnterRunTime(path.c_str(), 1, 1);
    EXPECT_EQ(entry.fileState, SCORE_FILE_READ);
    EXPECT_TRUE(entry.fileWritten);
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(Get().substr(0, 6), " 1 10 ");
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder + "/real"), fs::directory_iterator()), 1);
    // A link that leads nowhere is not turned into a file.
    fs::remove(path);
    fs::create_symlink("nowhere/scores.txt", path);
    testing::internal::CaptureStderr();
    entry = EnterRunTime(path.c_str(), 1, 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(entry.fileWritten);
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST_F(ScoreFileTest, ReadOnlyFileIsRespectedEvenByRoot)
{
    Put(FULL_FILE);
    chmod(path.c_str(), 0444);
    testing::internal::CaptureStderr();
    RunEntry entry = EnterRunTime(path.c_str(), 1, 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(entry.fileState, SCORE_FILE_READ);
    EXPECT_FALSE(entry.fileWritten);
    EXPECT_EQ(entry.table.times[0][0], 1);  // still shown
    EXPECT_EQ(Get(), FULL_FILE);
    EXPECT_NE(err.find("read-only"), std::string::npos) << err;
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
            return entry.fileState == SCORE_FILE_READ && !entry.fileWritten &&
                           entry.table.times[0][0] == 1
                       ? 0
                       : 1;
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
    EXPECT_EQ(entry.fileState, SCORE_FILE_NEW);
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

TEST_F(ScoreFileTest, FileSizeLimitFailsTheSaveInsteadOfEndingTheGame)
{
    // With a limit smaller than the table the write meets SIGXFSZ, which
    // would end the process: the save fails, the old file and nothing else stays.
    Put(FULL_FILE);
    chmod(folder.c_str(), 0777);
    chmod(path.c_str(), 0666);
    int status = RunWithoutPrivileges([&] {
        struct rlimit limit = {20, 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        RunEntry entry = EnterRunTime(path.c_str(), 1, 1);
        return entry.fileState == SCORE_FILE_READ && !entry.fileWritten ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Get(), FULL_FILE);
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(ScoreFileTest, LeftoversOfAnInterruptedSaveGoAtStartUp)
{
    Put(FULL_FILE);
    for (const char* name : {".saving-a1B2c3", ".saving-XXXXXX"}) std::ofstream(path + name) << "junk";
    // Not ours: kept.
    for (const char* name : {".backup", ".saving-", ".saving-toolong1", ".tmp"})
        std::ofstream(path + name) << "mine";
    std::ofstream(folder + "/other.txt.saving-a1B2c3") << "mine";
    PlatformRemoveReplaceLeftovers(path.c_str());
    EXPECT_FALSE(fs::exists(path + ".saving-a1B2c3"));
    EXPECT_FALSE(fs::exists(path + ".saving-XXXXXX"));
    EXPECT_EQ(FilesInFolder(), 6);
    EXPECT_EQ(Get(), FULL_FILE);
}

TEST_F(ScoreFileTest, SecondCopyWaitsForTheFirstAndKeepsBothTimes)
{
    // This process holds the lock as a copy of the game in the middle of its
    // save; another process finishing meanwhile must wait, then rank its run
    // into the table this one saved.
    Put(FULL_FILE);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    if (child == 0) {
        close(ready[1]);  // so that a parent that gave up leaves nothing to wait for
        char go;
        if (read(ready[0], &go, 1) != 1) _exit(2);
        RunEntry entry = EnterRunTime(path.c_str(), 2, 1);
        _exit(entry.fileWritten ? 0 : 1);
    }
    close(ready[0]);
    bool locked = PlatformLockFile(path.c_str()) == PLATFORM_LOCK_HELD;
    ASSERT_EQ(write(ready[1], "g", 1), 1);
    close(ready[1]);
    usleep(300 * 1000);
    EXPECT_EQ(Get(), FULL_FILE);  // still waiting
    ScoreTable table;
    ASSERT_EQ(ReadScoreFile(path.c_str(), &table), SCORE_FILE_READ);
    RankRunTime(table.times[0], 1);
    ASSERT_TRUE(WriteScoreFile(path.c_str(), table));
    PlatformUnlockFile();
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(locked);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Get().substr(0, 11), " 1 2 10 20 ");
}

TEST_F(ScoreFileTest, ALockNobodyLetsGoOfCostsTheSaveNotTheGame)
{
    // Someone else (another user's program, say) holds the folder's lock and
    // never lets go: the save gives up within seconds, changes nothing, and
    // says so; the run is still shown in its place.
    Put(FULL_FILE);
    int holder = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    testing::internal::CaptureStderr();
    auto start = std::chrono::steady_clock::now();
    RunEntry entry = EnterRunTime(path.c_str(), 1, 1);
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::string err = testing::internal::GetCapturedStderr();
    close(holder);
    EXPECT_GE(waited, 1.0);
    EXPECT_LT(waited, 6.0);
    EXPECT_FALSE(entry.fileWritten);
    EXPECT_EQ(entry.rank, 1);
    EXPECT_EQ(entry.table.times[0][0], 1);
    EXPECT_EQ(Get(), FULL_FILE);
    EXPECT_NE(err.find("not saved"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    // Once it is free again, saves go on as ever.
    EXPECT_TRUE(EnterRunTime(path.c_str(), 1, 1).fileWritten);
}

TEST_F(ScoreFileTest, NewFilesAreAsTheUmaskAllows)
{
    mode_t old = umask(077);
    RunEntry entry = EnterRunTime(path.c_str(), 5, 2);
    umask(old);
    ASSERT_TRUE(entry.fileWritten);
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // A file that is there keeps its own.
    chmod(path.c_str(), 0640);
    umask(0);
    EnterRunTime(path.c_str(), 4, 2);
    umask(old);
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    fs::remove(path);
    umask(002);
    EnterRunTime(path.c_str(), 3, 2);
    umask(old);
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0664u);
}

TEST_F(ScoreFileTest, TwoCopiesSavingAtOnceLoseNoTime)
{
    Put(" 10 20 20 30 40 1000 2000 3000 4000 5000 5999999 5999999 5999999 5999999 5999999"
        " 7 8 9 10 11");  // stage 3 empty
    std::vector<pid_t> children;
    for (int copy = 0; copy < 2; copy++) {
        pid_t child = fork();
        if (child == 0) {
            for (int k = 0; k < 30; k++) EnterRunTime(path.c_str(), 1000 + 2 * k + copy, 3);
            _exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) waitpid(child, nullptr, 0);
    // The two copies ran 1000 ... 1059 between them: the five fastest stay.
    ScoreTable table;
    ASSERT_EQ(ReadScoreFile(path.c_str(), &table), SCORE_FILE_READ);
    EXPECT_EQ(Row(table.times[2]), (std::vector<int32_t>{1000, 1001, 1002, 1003, 1004}));
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(ScoreFileTest, StageOutsideOneToFourRanksNothing)
{
    Put(FULL_FILE);
    EnterRunTime(path.c_str(), 1, 0);
    EnterRunTime(path.c_str(), 1, 5);
    EXPECT_EQ(Get(), FULL_FILE);
}

TEST(SessionScores, WithoutAFileTheSessionKeepsTheTable)
{
    RunEntry entry = EnterRunTime(nullptr, 300, 4);
    EXPECT_FALSE(entry.fileWritten);
    entry = EnterRunTime(nullptr, 200, 4);
    EXPECT_EQ(entry.table.times[3][0], 200);
    EXPECT_EQ(entry.table.times[3][1], 300);
}

// The best whole game's file is read strictly: the game's own text and a
// player's edit of it in a Windows editor are taken; a wrong sum, a number
// past a run's clock, a byte out of place or anything after the total is
// damage, never a guess.
TEST(BestGameText, TakesOnlyFourTimesAndTheirSum)
{
    BestGame best;
    best.stageMs[0] = 14992;
    best.stageMs[1] = 17680;
    best.stageMs[2] = 13584;
    best.stageMs[3] = 15456;
    ASSERT_TRUE(TotalOfStages(best.stageMs, &best.totalMs));
    best.present = true;
    std::string text = FormatBestGameText(best);
    EXPECT_EQ(text, "prismveldt-bestgame 1\nstage1 14992\nstage2 17680\nstage3 13584\nstage4 15456\ntotal 61712\n");
    BestGame read;
    EXPECT_EQ(ParseBestGameText(text.data(), text.size(), &read), BEST_GAME_TEXT_GOOD);
    EXPECT_TRUE(read.present);
    EXPECT_EQ(read.totalMs, 61712u);
    std::string edited = "\xEF\xBB\xBFprismveldt-bestgame 1\r\nstage1 14992\r\nstage2 17680\r\nstage3 13584\r\nstage4 15456\r\ntotal 61712\r\n";
    EXPECT_EQ(ParseBestGameText(edited.data(), edited.size(), &read), BEST_GAME_TEXT_GOOD);
    EXPECT_EQ(ParseBestGameText("", 0, &read), BEST_GAME_TEXT_EMPTY);
    EXPECT_FALSE(read.present);

    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    const std::string damaged[] = {
        replaced("total 61712", "total 61711"),           // not the sum
        replaced("stage2 17680", "stage2 0"),             // no run takes no time
        replaced("stage1 14992", "stage1 2147483648"),    // past a run's clock
        replaced("stage1 14992", "stage1 99999999999"),   // eleven digits
        replaced("stage3 13584", "stage3 -13584"),
        replaced("stage3 13584", "stage3  13584"),
        replaced("stage4", "stage5"),
        replaced("bestgame 1", "bestgame 2"),             // another format
        replaced("17680", std::string("176\0" "80", 6)),
        text + "\n",
        text.substr(0, text.size() - 1),                  // the last line unended
        "   ",
    };
    for (const std::string& t : damaged) {
        EXPECT_EQ(ParseBestGameText(t.data(), t.size(), &read), BEST_GAME_TEXT_DAMAGED) << t;
        EXPECT_FALSE(read.present);
    }
    // Four times whose sum a run's clock cannot hold make no total.
    uint32_t huge[4] = {0x7FFFFFFF, 1, 1, 1};
    uint32_t total = 0;
    EXPECT_FALSE(TotalOfStages(huge, &total));
}
