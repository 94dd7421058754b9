// The bounded reads of a game file: whole, with a limit that holds before a
// byte is read and again while the bytes come, and a head that may say how
// large its file can be; or only the start of one, piece by piece. Files in
// /proc stand in for those that lie about their size (they say 0) and those
// that fail as they are read (/proc/self/mem answers a read at its start
// with EIO).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/datadir.h"
#include "gfx/whole_file.h"

namespace {

namespace fs = std::filesystem;

class WholeFile : public ::testing::Test {
protected:
    std::string folder;
    void SetUp() override
    {
        char pattern[] = "/tmp/prismveldt-whole-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string Put(const std::string& name, const std::string& bytes)
    {
        std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

TEST_F(WholeFile, ReadsARegularFileWholeAndNothingElse)
{
    std::string text(100000, 'x');
    for (size_t i = 0; i < text.size(); i++) text[i] = char(i * 131 % 251);
    std::string bytes = "left over";
    EXPECT_EQ(ReadWholeFile(Put("file", text).c_str(), text.size(), &bytes), WHOLE_FILE_OK);
    EXPECT_EQ(bytes, text);
    EXPECT_EQ(ReadWholeFile(Put("empty", "").c_str(), 10, &bytes), WHOLE_FILE_OK);
    EXPECT_EQ(bytes, "");

    // Whatever is refused leaves nothing behind.
    bytes = "left over";
    EXPECT_EQ(ReadWholeFile((folder + "/none").c_str(), 10, &bytes), WHOLE_FILE_MISSING);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(ReadWholeFile((folder + "/none/deeper").c_str(), 10, &bytes), WHOLE_FILE_MISSING);
    EXPECT_EQ(ReadWholeFile("", 10, &bytes), WHOLE_FILE_MISSING);
    EXPECT_EQ(ReadWholeFile(folder.c_str(), 10, &bytes), WHOLE_FILE_NOT_REGULAR);
    ASSERT_EQ(mkfifo((folder + "/pipe").c_str(), 0644), 0);  // nobody writes: an open would wait
    EXPECT_EQ(ReadWholeFile((folder + "/pipe").c_str(), 10, &bytes), WHOLE_FILE_NOT_REGULAR);
    fs::create_symlink("/dev/zero", folder + "/zero");  // it would read for ever
    EXPECT_EQ(ReadWholeFile((folder + "/zero").c_str(), 10, &bytes), WHOLE_FILE_NOT_REGULAR);
    EXPECT_EQ(ReadWholeFile("/proc/self/mem", 1 << 20, &bytes), WHOLE_FILE_READ_ERROR);
    EXPECT_EQ(bytes, "");
    if (geteuid() != 0) {  // root reads anything
        std::string locked = Put("locked", "secret");
        chmod(locked.c_str(), 0);
        EXPECT_EQ(ReadWholeFile(locked.c_str(), 10, &bytes), WHOLE_FILE_UNREADABLE);
    }
}

TEST_F(WholeFile, TheLimitHoldsBeforeAByteIsReadAndWhileTheBytesCome)
{
    std::string bytes;
    std::string ten = Put("ten", "0123456789");
    EXPECT_EQ(ReadWholeFile(ten.c_str(), 10, &bytes), WHOLE_FILE_OK);
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_EQ(ReadWholeFile(ten.c_str(), 9, &bytes), WHOLE_FILE_TOO_LARGE);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(ReadWholeFile(ten.c_str(), 0, &bytes), WHOLE_FILE_TOO_LARGE);
    // A file that says it is empty and is not: read to its end within the
    // limit, refused past it.
    EXPECT_EQ(ReadWholeFile("/proc/self/status", 1 << 20, &bytes), WHOLE_FILE_OK);
    EXPECT_NE(bytes.find("Name:"), std::string::npos);
    size_t length = bytes.size();
    EXPECT_EQ(ReadWholeFile("/proc/self/status", 16, &bytes), WHOLE_FILE_OVERRAN);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(ReadWholeFile("/proc/self/status", length + 4096, &bytes), WHOLE_FILE_OK);
}

// A head of "N:": the file may hold N bytes. The heads it was given are kept.
std::vector<std::string> headsSeen;

int64_t LimitInHead(const uint8_t* head, size_t length)
{
    std::string text(reinterpret_cast<const char*>(head), length);
    headsSeen.push_back(text);
    size_t colon = text.find(':');
    return colon == std::string::npos ? -1 : std::stoll(text.substr(0, colon));
}

TEST_F(WholeFile, AHeadMaySayHowLargeItsFileCanBe)
{
    headsSeen.clear();
    std::string bytes;
    std::string small = Put("small", "12:456789ab");
    EXPECT_EQ(ReadWholeFile(small.c_str(), WHOLE_FILE_ANY_SIZE, &bytes, LimitInHead), WHOLE_FILE_OK);
    EXPECT_EQ(bytes, "12:456789ab");
    EXPECT_EQ(ReadWholeFile(small.c_str(), 5, &bytes, LimitInHead), WHOLE_FILE_TOO_LARGE);  // both limits hold
    EXPECT_EQ(ReadWholeFile(Put("lying", "4:345").c_str(), 100, &bytes, LimitInHead), WHOLE_FILE_TOO_LARGE);
    EXPECT_EQ(ReadWholeFile(Put("foreign", "no head").c_str(), 100, &bytes, LimitInHead),
              WHOLE_FILE_TOO_LARGE);
    EXPECT_EQ(bytes, "");
    // The head is the file's first bytes, at most WHOLE_FILE_HEAD_BYTES of them,
    // and the file comes whole after it.
    std::string large = "900:" + std::string(800, 'y');
    headsSeen.clear();
    EXPECT_EQ(ReadWholeFile(Put("large", large).c_str(), WHOLE_FILE_ANY_SIZE, &bytes, LimitInHead), WHOLE_FILE_OK);
    EXPECT_EQ(bytes, large);
    ASSERT_EQ(headsSeen.size(), 1u);
    EXPECT_EQ(headsSeen[0], large.substr(0, WHOLE_FILE_HEAD_BYTES));
    // A read that fails on the head itself.
    EXPECT_EQ(ReadWholeFile("/proc/self/mem", WHOLE_FILE_ANY_SIZE, &bytes, LimitInHead), WHOLE_FILE_READ_ERROR);
}

// The pieces ReadFileStart hands over, kept.
struct Pieces {
    std::vector<std::string> got;
    size_t stopAfter = 1000;
};

bool KeepPiece(void* context, const char* bytes, size_t length)
{
    Pieces* pieces = static_cast<Pieces*>(context);
    pieces->got.emplace_back(bytes, length);
    return pieces->got.size() < pieces->stopAfter;
}

std::string Joined(const Pieces& pieces)
{
    std::string all;
    for (const std::string& piece : pieces.got) all += piece;
    return all;
}

TEST_F(WholeFile, TheStartOfAFileComesPieceByPieceAndNoFurther)
{
    std::string text(5 * WHOLE_FILE_PIECE_BYTES + 7, 'z');
    for (size_t i = 0; i < text.size(); i++) text[i] = char('a' + i % 23);
    std::string path = Put("long", text);
    Pieces all;
    EXPECT_EQ(ReadFileStart(path.c_str(), UINT64_MAX, KeepPiece, &all), WHOLE_FILE_OK);
    EXPECT_EQ(Joined(all), text);
    for (const std::string& piece : all.got) EXPECT_LE(piece.size(), WHOLE_FILE_PIECE_BYTES);
    // Cut at `most`, inside a piece.
    Pieces start;
    EXPECT_EQ(ReadFileStart(path.c_str(), WHOLE_FILE_PIECE_BYTES + 3, KeepPiece, &start), WHOLE_FILE_OK);
    EXPECT_EQ(Joined(start), text.substr(0, WHOLE_FILE_PIECE_BYTES + 3));
    // The taker stops it.
    Pieces two;
    two.stopAfter = 2;
    EXPECT_EQ(ReadFileStart(path.c_str(), UINT64_MAX, KeepPiece, &two), WHOLE_FILE_OK);
    EXPECT_EQ(two.got.size(), 2u);
    // What is no game file gives no piece.
    Pieces none;
    EXPECT_EQ(ReadFileStart((folder + "/none").c_str(), 10, KeepPiece, &none), WHOLE_FILE_MISSING);
    EXPECT_EQ(ReadFileStart(folder.c_str(), 10, KeepPiece, &none), WHOLE_FILE_NOT_REGULAR);
    EXPECT_EQ(ReadFileStart("/proc/self/mem", 10, KeepPiece, &none), WHOLE_FILE_READ_ERROR);
    EXPECT_TRUE(none.got.empty());
}

// The first copy of the player's best times takes the shipped table only when
// it reads whole: a read that fails never becomes the player's table.
TEST_F(WholeFile, TheFirstCopyOfTheTimesIsMadeOnlyFromATableReadWhole)
{
    std::string mine = folder + "/player/scoretime.txt";
    EXPECT_TRUE(PrepareUserScoreFile(mine, "/proc/self/mem"));
    EXPECT_TRUE(fs::is_directory(folder + "/player"));
    EXPECT_FALSE(fs::exists(mine));
    EXPECT_FALSE(fs::exists(mine + ".first"));
    std::string shipped = Put("shipped.txt", " 1 2 3");
    EXPECT_TRUE(PrepareUserScoreFile(mine, shipped));
    std::ifstream copy(mine);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copy), {}), " 1 2 3");
}

}  // namespace
