// The headless harness's own parts: its command line, the input script, the
// trace's JSON strings, the virtual clock and the frame-by-frame script replay.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "gfx/screen.h"
#include "input/input.h"
#include "shell/shell.h"

namespace {

bool Parse(const std::vector<std::string>& words, HeadlessOptions* options, std::string* error)
{
    std::vector<char*> argv{const_cast<char*>("prismveldt-headless")};
    for (const auto& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    return ParseHeadlessArgs(static_cast<int>(argv.size()), argv.data(), options, error);
}

std::string Escaped(const char* text)
{
    std::string out;
    AppendJsonEscaped(&out, text);
    return out;
}

// Files of one test process: ctest runs the cases of a program side by side.
std::string LimitTracePath()
{
    return testing::TempDir() + "limit-trace-" + std::to_string(getpid()) + ".jsonl";
}

}  // namespace

TEST(HarnessCommandLine, TakesEveryOption)
{
    HeadlessOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--dir", "d", "--script", "s.txt", "--trace", "-", "--max-frames", "500",
                       "--shot-dir", "shots", "--shot", "3", "--shot", "40"},
                      &options, &error)) << error;
    EXPECT_EQ(options.dir, "d");
    EXPECT_EQ(options.scriptPath, "s.txt");
    EXPECT_EQ(options.tracePath, "-");
    EXPECT_EQ(options.maxFrames, 500);
    EXPECT_EQ(options.shotDir, "shots");
    EXPECT_EQ(options.shots, (std::set<long long>{3, 40}));
}

TEST(HarnessCommandLine, DefaultsAreNoInputNoTraceNoLimit)
{
    HeadlessOptions options;
    std::string error;
    ASSERT_TRUE(Parse({}, &options, &error));
    EXPECT_TRUE(options.dir.empty());
    EXPECT_TRUE(options.scriptPath.empty());
    EXPECT_TRUE(options.tracePath.empty());
    EXPECT_EQ(options.maxFrames, -1);
}

TEST(HarnessCommandLine, RefusesWhatItCannotUse)
{
    HeadlessOptions options;
    std::string error;
    EXPECT_FALSE(Parse({"--frames", "3"}, &options, &error));
    EXPECT_NE(error.find("--frames"), std::string::npos);
    EXPECT_FALSE(Parse({"--max-frames"}, &options, &error));
    EXPECT_FALSE(Parse({"--max-frames", "-1"}, &options, &error));
    EXPECT_FALSE(Parse({"--max-frames", "12x"}, &options, &error));
    EXPECT_FALSE(Parse({"--max-frames", "99999999999999999999999"}, &options, &error));
    EXPECT_FALSE(Parse({"--shot", "4"}, &options, &error));  // a shot needs somewhere to go
    EXPECT_FALSE(Parse({"--dir", ""}, &options, &error));
}

TEST(HarnessScript, ReadsEveryCommand)
{
    Script script;
    std::string error;
    ASSERT_TRUE(ParseScript("# a comment\n"
                            "dialog no\n"
                            "\n"
                            "5 mouse 640 -20   # pointer above the window\n"
                            "5 down lmb\n"
                            "9 up lmb\n"
                            "12 down esc\n"
                            "12 close\n"
                            "dialog yes\r\n"
                            "3 down e\n"
                            "4 down 7\n"
                            "20 focus out\n"
                            "21 focus in\n",
                            &script, &error)) << error;
    ASSERT_EQ(script.answers.size(), 2u);
    EXPECT_FALSE(script.answers[0]);
    EXPECT_TRUE(script.answers[1]);
    ASSERT_EQ(script.actions.size(), 9u);
    EXPECT_EQ(script.actions[7].op, SCRIPT_FOCUS_OUT);
    EXPECT_EQ(script.actions[8].op, SCRIPT_FOCUS_IN);
    // sorted by frame, file order kept within a frame
    EXPECT_EQ(script.actions[0].frame, 3);
    EXPECT_EQ(script.actions[0].key, 'E');
    EXPECT_EQ(script.actions[1].key, '7');
    EXPECT_EQ(script.actions[2].op, SCRIPT_MOUSE);
    EXPECT_EQ(script.actions[2].x, 640);
    EXPECT_EQ(script.actions[2].y, -20);
    EXPECT_EQ(script.actions[2].line, 4);
    EXPECT_EQ(script.actions[3].op, SCRIPT_DOWN);
    EXPECT_EQ(script.actions[3].key, 0x01);
    EXPECT_EQ(script.actions[4].op, SCRIPT_UP);
    EXPECT_EQ(script.actions[5].key, 0x1B);
    EXPECT_EQ(script.actions[6].op, SCRIPT_CLOSE);
}

TEST(HarnessScript, KnowsTheKeyNames)
{
    EXPECT_EQ(ScriptKeyCode("lmb"), 1);
    EXPECT_EQ(ScriptKeyCode("rmb"), 2);
    EXPECT_EQ(ScriptKeyCode("enter"), 0x0D);
    EXPECT_EQ(ScriptKeyCode("space"), 0x20);
    EXPECT_EQ(ScriptKeyCode("left"), 0x25);
    EXPECT_EQ(ScriptKeyCode("up"), 0x26);
    EXPECT_EQ(ScriptKeyCode("right"), 0x27);
    EXPECT_EQ(ScriptKeyCode("down"), 0x28);
    EXPECT_EQ(ScriptKeyCode("a"), 'A');
    EXPECT_EQ(ScriptKeyCode("z"), 'Z');
    EXPECT_EQ(ScriptKeyCode("0"), '0');
    EXPECT_EQ(ScriptKeyCode("E"), -1);
    // The keys the settings can bind, the middle button among them.
    EXPECT_EQ(ScriptKeyCode("mmb"), 0x04);
    EXPECT_EQ(ScriptKeyCode("tab"), 0x09);
    EXPECT_EQ(ScriptKeyCode("shift"), 0x10);
    EXPECT_EQ(ScriptKeyCode("ctrl"), 0x11);
    EXPECT_EQ(ScriptKeyCode("alt"), 0x12);
    EXPECT_EQ(ScriptKeyCode("pause"), 0x13);
    EXPECT_EQ(ScriptKeyCode("p"), 'P');
    EXPECT_EQ(ScriptKeyCode("r"), 'R');
    EXPECT_EQ(ScriptKeyCode("f1"), 0x70);
    EXPECT_EQ(ScriptKeyCode("f9"), 0x78);
    EXPECT_EQ(ScriptKeyCode("f12"), 0x7B);
    for (const char* unknown : {"f0", "f13", "f01", "f1x", "F1", "hyper", "shift2", ""})
        EXPECT_EQ(ScriptKeyCode(unknown), -1) << unknown;
}

TEST(HarnessScript, NamesTheBadLine)
{
    const char* bad[] = {
        "dialog maybe",        "dialog",          "dialog yes no",   "x mouse 1 2",
        "-1 down a",           "5 mouse 1",       "5 mouse 1 2 3",   "5 mouse a b",
        "5 down",              "5 down hyper",    "5 up a b",        "5 close now",
        "5 jump",              "5",               "99999999999999999999 close",
        "5 mouse 1 99999999999", "5 focus",         "5 focus away",    "5 focus out now",
    };
    for (const char* line : bad) {
        Script script;
        std::string error;
        std::string text = std::string("dialog no\n# fine so far\n") + line + "\n1 close\n";
        EXPECT_FALSE(ParseScript(text, &script, &error)) << line;
        EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << line << " -> " << error;
    }
}

TEST(HarnessScript, NumbersAreWholeTokensAndMessagesQuoteLittle)
{
    Script script;
    std::string error;
    // A NUL inside a token is part of it, so "1\0" is no frame number.
    EXPECT_FALSE(ParseScript(std::string("1\0 close\n", 9), &script, &error));
    EXPECT_FALSE(ParseScript(std::string("1 mouse 2\0 3\n", 14), &script, &error));
    long long value;
    EXPECT_FALSE(ParseWholeNumber(std::string("1\0", 2), 0, 10, &value));
    EXPECT_TRUE(ParseWholeNumber("7", 0, 10, &value));
    // A huge or binary token is quoted as 80 printable characters at most.
    std::string junk(100000, 'k');
    junk[3] = '\x1b';
    junk[4] = '\xff';
    for (const std::string& line : {junk + " close", "5 " + junk, "5 down " + junk}) {
        EXPECT_FALSE(ParseScript(line + "\n", &script, &error));
        EXPECT_LT(error.size(), 160u) << error.substr(0, 200);
        for (char c : error) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << int(c);
        EXPECT_NE(error.find("kkk?"), std::string::npos) << error;
    }
}

TEST(HarnessTrace, EscapesStringsAsJson)
{
    EXPECT_EQ(Escaped("plain ./bmp/a.bmp"), "plain ./bmp/a.bmp");
    EXPECT_EQ(Escaped("say \"hi\" \\ there"), "say \\\"hi\\\" \\\\ there");
    EXPECT_EQ(Escaped("a\nb\tc\r\x01"), "a\\nb\\tc\\r\\u0001");
    EXPECT_EQ(Escaped("本当に終了しますか？"), "本当に終了しますか？");
    // broken UTF-8 never reaches the trace as it is
    EXPECT_EQ(Escaped("a\xff" "b"), "a\\ufffdb");
    EXPECT_EQ(Escaped("\xe6\x9c"), "\\ufffd\\ufffd");        // cut short
    EXPECT_EQ(Escaped("\xc0\xaf"), "\\ufffd\\ufffd");        // over-long '/'
    EXPECT_EQ(Escaped("\xed\xa0\x80"), "\\ufffd\\ufffd\\ufffd");  // a surrogate
    EXPECT_EQ(Escaped("\xf0\x9f\x98\x80"), "\xf0\x9f\x98\x80");
}

// The virtual clock and the script, frame by frame.
class HarnessMachine : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless = HeadlessMachine{};
        displayMode = DISPLAY_WINDOWED;
    }
    void TearDown() override { headless = HeadlessMachine{}; }
    void Load(const char* text)
    {
        std::string error;
        ASSERT_TRUE(ParseScript(text, &headless.script, &error)) << error;
    }
};

TEST_F(HarnessMachine, ClockMovesOnlyInTheFrameWait)
{
    EXPECT_EQ(PlatformTimeMs(), 0u);
    PlatformSleep(500);
    EXPECT_EQ(PlatformTimeMs(), 0u);
    PlatformWaitFrame(0, 16);
    EXPECT_EQ(PlatformTimeMs(), 16u);
    PlatformWaitFrame(16, 16);
    EXPECT_EQ(PlatformTimeMs(), 32u);
    // a frame start from long ago: the clock is already past it
    PlatformWaitFrame(3, 16);
    EXPECT_EQ(PlatformTimeMs(), 32u);
    EXPECT_EQ(headless.framesStarted, 3);
}

TEST_F(HarnessMachine, ClockWrapsLikeAMillisecondCounter)
{
    headless.clockMs = 0xFFFFFFF8u;
    PlatformWaitFrame(0xFFFFFFF8u, 16);
    EXPECT_EQ(PlatformTimeMs(), 8u);
}

TEST_F(HarnessMachine, AKeysPressesCountUntilTakenATapWithinAFrameIncluded)
{
    Load("1 down space\n1 up space\n2 down a\n3 down a\n4 up a\n4 down a\n4 down lmb\n4 down mmb\n");
    PlatformWaitFrame(0, 16);   // frame 0
    PlatformWaitFrame(16, 16);  // frame 1: a tap the held state never shows
    EXPECT_FALSE(PlatformIsKeyHeld(VK_SPACE));
    EXPECT_EQ(PlatformTakeKeyPresses(VK_SPACE), 1);
    EXPECT_EQ(PlatformTakeKeyPresses(VK_SPACE), 0);  // taken
    PlatformWaitFrame(32, 16);  // frame 2
    PlatformWaitFrame(48, 16);  // frame 3: a down of a key already held is no press
    PlatformWaitFrame(64, 16);  // frame 4: let go and pressed again
    EXPECT_EQ(PlatformTakeKeyPresses('A'), 2);
    EXPECT_EQ(PlatformTakeKeyPresses(VK_LBUTTON), 0);  // the mouse counts none
    EXPECT_EQ(PlatformTakeKeyPresses(VK_MBUTTON), 0);
    EXPECT_EQ(PlatformTakeKeyPresses(-1), 0);
    EXPECT_EQ(PlatformTakeKeyPresses(256), 0);
}

TEST_F(HarnessMachine, ScriptLinesTakeEffectAtTheStartOfTheirFrame)
{
    Load("2 down lmb\n2 mouse 100 50\n3 close\n4 up lmb\n4 mouse -5 900\n");
    headless.windowX = 10;
    headless.windowY = 20;
    PlatformWaitFrame(0, 16);  // frame 0
    PlatformWaitFrame(16, 16); // frame 1
    EXPECT_FALSE(PlatformIsKeyHeld(1));
    PlatformWaitFrame(32, 16); // frame 2
    EXPECT_TRUE(PlatformIsKeyHeld(1));
    int x, y;
    PlatformGetPointer(&x, &y);
    EXPECT_EQ(x, 100);  // the client point itself, wherever the window stands
    EXPECT_EQ(y, 50);
    PlatformEvent event;
    EXPECT_FALSE(PlatformPollEvent(&event));
    PlatformWaitFrame(48, 16); // frame 3
    ASSERT_TRUE(PlatformPollEvent(&event));
    EXPECT_EQ(event.type, PLATFORM_EVENT_CLOSE);
    EXPECT_FALSE(PlatformPollEvent(&event));
    PlatformWaitFrame(64, 16); // frame 4
    EXPECT_FALSE(PlatformIsKeyHeld(1));
    PlatformGetPointer(&x, &y);
    EXPECT_EQ(x, -5);
    EXPECT_EQ(y, 900);
}

TEST_F(HarnessMachine, ProgramPointerMovesHoldUntilTheScriptMovesAgain)
{
    Load("0 mouse 1 1\n3 mouse 7 7\n");
    PlatformWaitFrame(0, 16);
    PlatformSetPointer(650, 500);
    PlatformWaitFrame(16, 16);
    PlatformWaitFrame(32, 16);
    int x, y;
    PlatformGetPointer(&x, &y);
    EXPECT_EQ(x, 650);
    EXPECT_EQ(y, 500);
    PlatformWaitFrame(48, 16);
    PlatformGetPointer(&x, &y);
    EXPECT_EQ(x, 7);
}

TEST_F(HarnessMachine, ScriptPointerIsInLogicalPixels)
{
    Load("0 mouse -3 5\n");
    displayMode = DISPLAY_WINDOWED_DOUBLE;
    headless.windowX = 100;
    PlatformWaitFrame(0, 16);
    int x, y;
    PlatformGetPointer(&x, &y);
    EXPECT_EQ(x, -6);
    EXPECT_EQ(y, 10);
}

TEST_F(HarnessMachine, YesNoBoxesTakeQueuedAnswersThenNo)
{
    Load("dialog yes\ndialog no\ndialog yes\n");
    EXPECT_TRUE(PlatformMessageBox("q", "c", PLATFORM_BOX_YESNO));
    EXPECT_TRUE(PlatformMessageBox("error", "c", PLATFORM_BOX_OK_ERROR));  // takes no answer
    EXPECT_FALSE(PlatformMessageBox("q", "c", PLATFORM_BOX_YESNO_QUESTION));
    EXPECT_TRUE(PlatformMessageBox("q", "c", PLATFORM_BOX_YESNO));
    EXPECT_FALSE(PlatformMessageBox("q", "c", PLATFORM_BOX_YESNO));  // queue empty
}

TEST_F(HarnessMachine, FrameLimitEndsWithStatusTwoAndTheLimitLine)
{
    const std::string path = LimitTracePath();  // named here: the death test runs in a child
    EXPECT_EXIT(
        {
            OpenTrace(path);
            headless.maxFrames = 3;
            uint32_t start = 0;
            for (int i = 0; i < 10; i++) {
                PlatformWaitFrame(start, 16);
                start = PlatformTimeMs();
                PlatformTraceFrame("\"scene\":\"title\"");
            }
        },
        testing::ExitedWithCode(2), "");
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(),
              "{\"ev\":\"frame\",\"n\":0,\"t\":16,\"scene\":\"title\"}\n"
              "{\"ev\":\"frame\",\"n\":1,\"t\":32,\"scene\":\"title\"}\n"
              "{\"ev\":\"frame\",\"n\":2,\"t\":48,\"scene\":\"title\"}\n"
              "{\"ev\":\"limit\"}\n"
              "{\"ev\":\"exit\",\"code\":2}\n");
}

TEST_F(HarnessMachine, ShotOfAFrameIsAPng)
{
    headless.shotDir = testing::TempDir() + "harness-shots-" + std::to_string(getpid()) + "/deeper";
    headless.shots = {1};
    uint32_t pixels[4 * 3];
    for (int i = 0; i < 12; i++) pixels[i] = 0x00FF8000u + i;
    PlatformWaitFrame(0, 16);
    PlatformPresent(pixels, 3, 3, 4);  // frame 0: not asked for
    PlatformWaitFrame(16, 16);
    PlatformPresent(pixels, 3, 3, 4);  // frame 1
    std::ifstream zero(headless.shotDir + "/frame-000000.png");
    EXPECT_FALSE(zero.good());
    std::ifstream one(headless.shotDir + "/frame-000001.png", std::ios::binary);
    ASSERT_TRUE(one.good());
    char signature[8];
    one.read(signature, 8);
    EXPECT_EQ(std::string(signature, 8), "\x89PNG\r\n\x1a\n");
}
