// Whole-program runs of the real game through prismveldt-headless on the
// built data folder: the start-up question, close requests answered No and
// Yes, a missing picture, and the harness's own exit statuses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string HARNESS = std::string(BUILD_DIR) + "/prismveldt-headless";
const std::string DATA = std::string(BUILD_DIR) + "/data";

// Files of one test process: ctest runs the cases side by side, and other
// build folders may run the same tests at the same time.
std::string Temp(const std::string& name)
{
    return testing::TempDir() + "harness-runs-" + std::to_string(getpid()) + "-" + name;
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

// Runs a shell command; its exit status, or -1 when it did not exit.
int RunCommand(const std::string& command)
{
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool IsFrame(const std::string& line) { return line.rfind("{\"ev\":\"frame\"", 0) == 0; }

class HarnessRuns : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::ifstream(DATA + "/bmp/curtain/37.bmp").good())
            GTEST_SKIP() << "no game data in " << DATA << " (built by the gamedata target)";
    }
};

}  // namespace

TEST_F(HarnessRuns, CloseAnsweredNoThenYes)
{
    std::string script = Temp("close.txt"), trace = Temp("close.jsonl");
    WriteFile(script,
              "dialog no   # the start-up question: a window\n"
              "dialog no   # the first close: keep playing\n"
              "dialog yes  # the second close: quit\n"
              "20 close\n"
              "40 close\n");
    ASSERT_EQ(RunCommand(HARNESS + " --dir " + DATA + " --script " + script + " --trace " + trace +
                  " --max-frames 1000"),
              1);
    auto lines = ReadLines(trace);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines.front(),
              "{\"ev\":\"dialog\",\"text\":\"フルスクリーンにしますか？\",\"caption\":\"確認\",\"answer\":\"no\"}");
    EXPECT_EQ(lines.back(), "{\"ev\":\"exit\",\"code\":1}");

    const std::string closeNo =
        "{\"ev\":\"dialog\",\"text\":\"本当に終了しますか？\",\"caption\":\"終了確認です\",\"answer\":\"no\"}";
    const std::string closeYes =
        "{\"ev\":\"dialog\",\"text\":\"本当に終了しますか？\",\"caption\":\"終了確認です\",\"answer\":\"yes\"}";
    size_t noAt = 0, yesAt = 0, framesBefore = 0, framesBetween = 0;
    for (size_t i = 0; i < lines.size(); i++) {
        if (lines[i] == closeNo) noAt = i;
        else if (lines[i] == closeYes) yesAt = i;
        else if (IsFrame(lines[i])) (noAt == 0 ? framesBefore : framesBetween)++;
    }
    ASSERT_GT(noAt, 0u);
    ASSERT_GT(yesAt, noAt);
    // The close of frame 20 is handled by the pump after the first text that
    // frame letters (the title's SETTINGS), before its record; No lets frame
    // 20 end and frames 21..39 run; the Yes ends the process inside frame 40.
    EXPECT_EQ(framesBefore, 20u);
    EXPECT_EQ(framesBetween, 20u);
    EXPECT_NE(lines[noAt - 1].find("\"n\":19,"), std::string::npos) << lines[noAt - 1];
    EXPECT_NE(lines[noAt + 1].find("\"n\":20,"), std::string::npos) << lines[noAt + 1];
    EXPECT_NE(lines[yesAt - 1].find("\"n\":39,"), std::string::npos) << lines[yesAt - 1];
    EXPECT_EQ(yesAt + 2, lines.size());  // nothing between the Yes and the exit
}

TEST_F(HarnessRuns, MissingPictureEndsTheProgramAtThatPicture)
{
    // A copy of the data folder made of links, without one curtain picture.
    std::string dir = Temp("missing");
    ASSERT_EQ(RunCommand("rm -rf " + dir + " && cp -rs " + DATA + " " + dir + " && rm " + dir +
                  "/bmp/curtain/37.bmp"),
              0);
    std::string script = Temp("missing.txt"), trace = Temp("missing.jsonl"), opens = Temp("opens.txt");
    WriteFile(script, "dialog no\n");
    std::string command = HARNESS + " --dir " + dir + " --script " + script + " --trace " + trace;
    bool traced = RunCommand("strace -V >/dev/null 2>&1") == 0;
    if (traced) command = "strace -f -qq -e trace=openat -o " + opens + " " + command;
    ASSERT_EQ(RunCommand(command), 1);
    auto lines = ReadLines(trace);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1],
              "{\"ev\":\"dialog\",\"text\":\"Bitmapロードエラー:./bmp/curtain/37.bmp\",\"caption\":\"エラー\","
              "\"answer\":\"ok\"}");
    EXPECT_EQ(lines[2], "{\"ev\":\"exit\",\"code\":1}");
    if (!traced) GTEST_SKIP() << "strace missing: cannot check that no picture opened after it";
    bool afterMissing = false;
    for (const auto& line : ReadLines(opens)) {
        if (line.find(".bmp") == std::string::npos) continue;
        EXPECT_FALSE(afterMissing) << "opened after the missing picture: " << line;
        if (line.find("./bmp/curtain/37.bmp") != std::string::npos) afterMissing = true;
    }
    EXPECT_TRUE(afterMissing);
    RunCommand("rm -rf " + dir);
}

TEST_F(HarnessRuns, FrameLimitAndShots)
{
    std::string trace = Temp("limit.jsonl"), shots = Temp("shots");
    RunCommand("rm -rf " + shots);
    ASSERT_EQ(RunCommand(HARNESS + " --dir " + DATA + " --trace " + trace + " --max-frames 5 --shot-dir " +
                  shots + " --shot 2"),
              2);
    auto lines = ReadLines(trace);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 2], "{\"ev\":\"limit\"}");
    EXPECT_EQ(lines.back(), "{\"ev\":\"exit\",\"code\":2}");
    int frames = 0;
    for (const auto& line : lines) frames += IsFrame(line);
    EXPECT_EQ(frames, 5);
    EXPECT_TRUE(std::ifstream(shots + "/frame-000002.png").good());
    EXPECT_FALSE(std::ifstream(shots + "/frame-000001.png").good());
    RunCommand("rm -rf " + shots);
}

TEST(HarnessCommandLineRuns, BadScriptOrOptionIsStatus64)
{
    std::string script = Temp("bad.txt");
    WriteFile(script, "dialog no\n\n3 down hyper\n");
    std::string errors = Temp("bad-errors.txt");
    EXPECT_EQ(RunCommand(HARNESS + " --script " + script + " 2>" + errors), 64);
    std::ifstream file(errors);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("line 3"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("hyper"), std::string::npos) << text.str();
    EXPECT_EQ(RunCommand(HARNESS + " --bogus 2>/dev/null"), 64);
    EXPECT_EQ(RunCommand(HARNESS + " --script /nonexistent/script.txt 2>/dev/null"), 64);
    EXPECT_EQ(RunCommand(HARNESS + " --dir /nonexistent/folder 2>/dev/null"), 64);
    // A folder is no script; a device that never ends is cut off, not read
    // into memory for ever; a pipe (a shell's <(...)) is read like a file.
    EXPECT_EQ(RunCommand(HARNESS + " --script /tmp 2>" + errors), 64);
    std::string limit = "prlimit --as=1000000000 ";
#if defined(__SANITIZE_ADDRESS__)
    limit = "";  // the sanitizer's own reservations do not fit under a limit
#endif
    EXPECT_EQ(RunCommand(limit + HARNESS + " --script /dev/zero 2>" + errors), 64);
    std::ifstream again(errors);
    std::stringstream said;
    said << again.rdbuf();
    EXPECT_NE(said.str().find("larger than"), std::string::npos) << said.str();
    EXPECT_EQ(RunCommand("bash -c '" + HARNESS + " --dir " + DATA + " --script <(echo 0 close) --max-frames 0' >/dev/null 2>&1"), 2);
}

TEST(HarnessCommandLineRuns, BothProgramsRefuseWhatTheyDoNotTakeAndSayHowToUseThem)
{
    // A typo never starts a game as if nothing had been said; no display is
    // needed to be told so.
    const std::string GAME = std::string(BUILD_DIR) + "/prismveldt";
    std::string out = Temp("usage-out.txt"), err = Temp("usage-err.txt");
    auto run = [&](const std::string& program, const std::string& args) {
        return RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY '" + program + "' " + args + " >" + out +
                          " 2>" + err);
    };
    auto text = [](const std::string& path) {
        std::string all;
        for (const std::string& line : ReadLines(path)) all += line + "\n";
        return all;
    };
    for (const std::string& program : {GAME, HARNESS}) {
        std::string name = program.substr(program.rfind('/') + 1);
        SCOPED_TRACE(name);
        for (const char* bad : {"--bogus-option", "--replya x.replay", "stray", "--verify",
                                "--verify a --replay b", "--stage a.txt", "--stages a --edit b", "--dir"}) {
            EXPECT_EQ(run(program, bad), 64) << bad;
            EXPECT_NE(text(err).find("usage: " + name + " "), std::string::npos) << bad << ": " << text(err);
            EXPECT_EQ(text(out), "") << bad;
        }
        EXPECT_NE(text(err).find("--dir needs a folder"), std::string::npos) << text(err);
        EXPECT_EQ(run(program, "--help"), 0);
        EXPECT_EQ(text(out).rfind("usage: " + name + " [--dir DIR]", 0), 0u) << text(out);
        EXPECT_NE(text(out).find("[--verify FILE | --replay FILE]"), std::string::npos) << text(out);
        // The harness's own options are in its usage, and only there.
        EXPECT_EQ(text(out).find("--frame-hashes FILE") != std::string::npos, program == HARNESS);
        EXPECT_EQ(run(program, "--version"), 0);
        EXPECT_EQ(text(out), name + " 1.0.0\n");
    }
}

TEST_F(HarnessRuns, TraceOrHashesThatCannotBeWrittenFailTheRun)
{
    // A full disk (/dev/full) under the trace or the frame hashes: said, and
    // a failing status, never a cut-off file that looks whole.
    std::string script = Temp("full.txt"), err = Temp("full-err.txt");
    WriteFile(script, "dialog no\n");
    for (const char* option : {"--trace", "--frame-hashes"}) {
        SCOPED_TRACE(option);
        int status = RunCommand(HARNESS + " --dir " + DATA + " --script " + script + " --max-frames 300 " +
                                option + " /dev/full >/dev/null 2>" + err);
        EXPECT_EQ(status, 74);
        std::vector<std::string> lines = ReadLines(err);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find("/dev/full"), std::string::npos) << lines[0];
    }
    // The trace on standard output, standard output full.
    EXPECT_EQ(RunCommand(HARNESS + " --dir " + DATA + " --script " + script +
                         " --max-frames 30 --trace - >/dev/full 2>/dev/null"),
              74);
}

TEST_F(HarnessRuns, MissingStageFileEndsQuietlyWithStatusZero)
{
    std::string dir = Temp("nostage");
    ASSERT_EQ(RunCommand("rm -rf " + dir + " && cp -rs " + DATA + " " + dir + " && rm " + dir +
                         "/txt/dw_stage1.txt"),
              0);
    std::string script = Temp("nostage.txt"), trace = Temp("nostage.jsonl");
    // START on the title loads stage 1.
    WriteFile(script, "dialog no\n1 mouse 350 580\n5 down lmb\n8 up lmb\n");
    ASSERT_EQ(RunCommand(HARNESS + " --dir " + dir + " --script " + script + " --trace " + trace +
                         " --max-frames 600 >/dev/null"),
              0);
    auto lines = ReadLines(trace);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "{\"ev\":\"stdout\",\"text\":\"ファイルオープンエラー\\n\"}");
    EXPECT_EQ(lines.back(), "{\"ev\":\"exit\",\"code\":0}");
    for (const auto& line : lines) EXPECT_EQ(line.find("\"ev\":\"dialog\",\"text\":\"Bitmap"), std::string::npos);
    RunCommand("rm -rf " + dir);
}
