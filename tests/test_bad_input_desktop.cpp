// The desktop game (build/prismveldt) where the machine lacks something: with
// no display it says so in one line and ends with a failure status; with no
// audio device (under Xvfb, when installed) it answers the start-up question
// and runs in silence.
#include "tests/test_bad_input_support.h"

using namespace badinput;

namespace {

bool Installed(const char* program)
{
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

int Shell(const std::string& command)
{
    int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

class Desktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (access(GAME.c_str(), X_OK) != 0 || !HarnessBuilt()) GTEST_SKIP() << "needs " << GAME;
    }
};

// After START_DESKTOP_GAME_SH, with SDL_AUDIODRIVER=driver:
// after a few seconds of
// play reports whether it was still running, with its window's title.
const char* const UNDER_XVFB = R"SH(
sleep 3
kill -0 $game 2>/dev/null && echo running >state
for c in $(xdotool search --name . 2>/dev/null); do xdotool getwindowname "$c" 2>/dev/null; done >windows
kill $game
wait $game
exit 0
)SH";

}  // namespace

TEST_F(Desktop, NoDisplayIsOneClearLineAndAFailureStatus)
{
    TinyPictureFolder folder;
    int status = Shell("cd '" + folder.path + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "
                       "timeout 20 '" + GAME + "' >out.txt 2>err.txt");
    EXPECT_NE(status, 0);
    EXPECT_NE(status, 124) << "it waited instead of ending";
    EXPECT_EQ(ReadText(folder.path + "/out.txt"), "");
    std::string said = ReadText(folder.path + "/err.txt");
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("display"), std::string::npos) << said;
    EXPECT_NE(said.find("xvfb-run"), std::string::npos) << said;
}

TEST_F(Desktop, NoAudioDeviceRunsInSilence)
{
    if (!Installed("xvfb-run") || !Installed("xdotool")) GTEST_SKIP() << "needs xvfb-run and xdotool";
    for (const char* driver : {"none", "dummy", "disk-that-is-not-there"}) {
        SCOPED_TRACE(driver);
        TinyPictureFolder folder;
        std::ofstream(folder.path + "/play.sh") << START_DESKTOP_GAME_SH << UNDER_XVFB;
        int status = Shell("cd '" + folder.path + "' && GAME='" + GAME + "' SDL_AUDIODRIVER=" + driver +
                           " timeout 60 xvfb-run -a -s '-screen 0 1920x1080x24' sh play.sh >run.txt 2>&1");
        ASSERT_EQ(status, 0) << ReadText(folder.path + "/run.txt");
        EXPECT_EQ(ReadText(folder.path + "/state"), "running\n");
        EXPECT_NE(ReadText(folder.path + "/windows").find("Prismveldt"), std::string::npos);
        EXPECT_EQ(ReadText(folder.path + "/game.err"), "");
    }
}
