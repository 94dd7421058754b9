// A run played in the real desktop window (under Xvfb, driven by xdotool)
// is recorded and verifies in the headless harness: the desktop build and
// the harness play the same rules alike.
#include "tests/test_bad_input_support.h"

using namespace badinput;

namespace {

bool Installed(const char* program)
{
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

// A corridor on the start's floor, the goal 18 tiles to the right: held down
// with the pointer well to the left, the recoil carries the character there
// whatever the frames' timing.
std::string Corridor()
{
    return StageText([](int row, int col) -> long long {
        bool inside = (row == 31 || row == 32) && col >= 1 && col <= 39;
        if (inside && col >= 28 && col <= 29) return 11;
        return inside ? 0 : 1;
    });
}

// After START_DESKTOP_GAME_SH: clicks START, moves the pointer left during the
// countdown with the button held, and waits for the run's recording.
const char* const PLAY_CORRIDOR = R"SH(
i=0
while ! xdotool search --name '^Prismveldt$' >/dev/null 2>&1 && [ $i -lt 300 ]; do sleep 0.1; i=$((i+1)); done
# Then the title itself, START's teal where the click goes: a slow build (the
# sanitizers') takes seconds to load its pictures after the window opens.
i=0
while [ $i -lt 600 ]; do
  px=$(import -window root -crop 1x1+300+580 +repage -depth 8 -format '%[hex:u.p{0,0}]' info: 2>/dev/null)
  case "$px" in [0-6][0-9A-F][9A-F][0-9A-F][89A-F][0-9A-F]) break ;; esac
  sleep 0.1; i=$((i+1))
done
sleep 0.5
xdotool mousemove 300 580; sleep 0.5; xdotool mousedown 1
# The curtain and the countdown take 4.4 s from the click: the pointer moves
# half-way through, well after START took it and well before play.
sleep 2.5
xdotool mousemove 100 360
i=0
while [ ! -s txt/stage1-rank1.replay ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i+1)); done
xdotool mouseup 1
[ -s txt/stage1-rank1.replay ] || import -window root /tmp/prismveldt-corridor-failure.png
kill $game; wait $game
[ -s txt/stage1-rank1.replay ] || { echo "no recording (screen: /tmp/prismveldt-corridor-failure.png)"; exit 4; }
exit 0
)SH";

TEST(DesktopReplay, ARunRecordedInTheWindowVerifiesInTheHarness)
{
    if (access(GAME.c_str(), X_OK) != 0 || !HarnessBuilt()) GTEST_SKIP() << "needs " << GAME;
    if (!Installed("xvfb-run") || !Installed("xdotool") || !Installed("import"))
        GTEST_SKIP() << "needs xvfb-run, xdotool and ImageMagick's import";
    GameFolder folder;
    folder.Write("txt/dw_stage1.txt", Corridor());
    std::string fresh;
    for (int k = 0; k < 20; k++) fresh += " 5999999";
    folder.Write("txt/scoretime.txt", fresh);
    std::ofstream(folder.path + "/play.sh") << START_DESKTOP_GAME_SH << PLAY_CORRIDOR;
    int raw = std::system(("cd '" + folder.path + "' && GAME='" + GAME +
                           "' SDL_AUDIODRIVER=dummy timeout 120 xvfb-run -a -s '-screen 0 1920x1080x24' "
                           "sh play.sh >run.txt 2>&1").c_str());
    ASSERT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 0) << ReadText(folder.path + "/run.txt");
    std::string file = folder.path + "/txt/stage1-rank1.replay";
    raw = std::system(("'" + HARNESS + "' --dir '" + folder.path + "' --verify '" + file + "' >'" +
                       folder.path + "/verify.txt' 2>&1").c_str());
    std::string said = ReadText(folder.path + "/verify.txt");
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 0) << said << ReadText(file).substr(0, 400);
    EXPECT_NE(said.find("verified: stage 1"), std::string::npos) << said;
}

}  // namespace
