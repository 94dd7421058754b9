// The real desktop game (build/prismveldt, with the built data) on X screens
// of 1024 x 768 and 1920 x 1080 under xvfb-run (2560 x 1440, where the whole
// pixels are checked one by one, is in test_window_scaling), driven with
// xdotool as a player would: the full-screen question answered, then what the
// screen shows once the title is up. Full screen fills the monitor (black bars
// only where its shape differs from the picture's), the window fits the
// screen, nothing is cut off. The screens are kept in build/window-shots/
// (game-*.png) for looking at.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string GAME = std::string(BUILD_DIR) + "/prismveldt";
const std::string DATA = std::string(BUILD_DIR) + "/data";
const std::string SHOTS = std::string(BUILD_DIR) + "/window-shots";

bool Installed(const char* program)
{
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Starts the game, answers the question with key $ANSWER, waits for the game
// window to have the size $WANT and for its first frame (generously: the
// machine may be loaded, the sanitizer build is slow), then keeps the screen as raw RGB bytes to
// check, and once the game has ended as a PNG to look at.
const char* const PLAY = R"SH(
cd "$DATA"
LC_ALL= LC_MESSAGES= LANG=ja_JP.UTF-8 PRISMVELDT_TIMING=1 "$GAME" >"$WORK/game.out" 2>"$WORK/game.err" &
game=$!
find_window() {
  for c in $(xdotool search --name . 2>/dev/null); do
    [ "$(xdotool getwindowname "$c" 2>/dev/null)" = "$1" ] && { echo "$c"; return; }
  done
}
w=""; i=0
while [ -z "$w" ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i+1)); w=$(find_window 確認); done
[ -n "$w" ] || { echo "no question"; kill $game; exit 3; }
xdotool windowfocus --sync "$w" 2>/dev/null; xdotool key "$ANSWER" 2>/dev/null
size=""; i=0
while [ "$size" != "$WANT" ] && [ $i -lt 300 ]; do
  sleep 0.1; i=$((i+1))
  g=$(find_window Prismveldt)
  [ -n "$g" ] && size=$(xdotool getwindowgeometry "$g" 2>/dev/null | awk '/Geometry/ {print $2}')
done
echo "$size" >"$WORK/size"
# The title's first frame is reported; a second more shows it settled.
i=0
while ! grep -q "first frame presented" "$WORK/game.err" && [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); done
sleep 1
# With $SWITCHED: F11 to full screen, then Alt+Enter back, each size kept.
if [ -n "$SWITCHED" ]; then
  wait_size() {
    size=""; i=0
    while [ "$size" != "$1" ] && [ $i -lt 100 ]; do
      sleep 0.1; i=$((i+1))
      size=$(xdotool getwindowgeometry "$g" 2>/dev/null | awk '/Geometry/ {print $2}')
    done
    echo "$size"
  }
  # Held as a player holds a key: the game reads the keys once a frame.
  xdotool windowfocus --sync "$g" 2>/dev/null
  xdotool keydown F11 2>/dev/null; sleep 0.2; xdotool keyup F11 2>/dev/null
  wait_size "$SWITCHED" >"$WORK/switched"
  sleep 0.5
  xdotool windowfocus --sync "$g" 2>/dev/null
  xdotool keydown alt 2>/dev/null; xdotool keydown Return 2>/dev/null; sleep 0.2
  xdotool keyup Return 2>/dev/null; xdotool keyup alt 2>/dev/null
  wait_size "$WANT" >"$WORK/back"
  sleep 1
fi
kill -0 $game 2>/dev/null && echo running >"$WORK/state"
import -window root -depth 8 "rgb:$WORK/screen.rgb" 2>/dev/null
kill $game
wait $game
convert -size "$SCREEN" -depth 8 "rgb:$WORK/screen.rgb" "$SHOT" 2>/dev/null
exit 0
)SH";

struct Shown {
    int width, height;
    std::vector<unsigned char> rgb;
    bool Black(int x, int y) const
    {
        const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return p[0] == 0 && p[1] == 0 && p[2] == 0;
    }
    // How many pixels of the rectangle are not black.
    long Lit(int x0, int y0, int x1, int y1) const
    {
        long lit = 0;
        for (int y = y0; y < y1; y++)
            for (int x = x0; x < x1; x++) lit += !Black(x, y);
        return lit;
    }
};

class GameScreens : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (access(GAME.c_str(), X_OK) != 0 || access((DATA + "/bmp").c_str(), F_OK) != 0)
            GTEST_SKIP() << "needs " << GAME << " and its data";
        for (const char* tool : {"xvfb-run", "xdotool", "import", "convert"})
            if (!Installed(tool)) GTEST_SKIP() << "needs " << tool;
        char pattern[] = "/tmp/prismveldt-screens-XXXXXX";
        if (mkdtemp(pattern) == nullptr) GTEST_SKIP() << "no temporary folder";
        work = pattern;
        mkdir(SHOTS.c_str(), 0755);
    }
    void TearDown() override
    {
        if (!work.empty()) std::system(("rm -rf '" + work + "'").c_str());
    }

    // Runs the game on a screen of width x height, answering answer ("y" or
    // "n"), and returns what the screen showed.
    Shown Play(int width, int height, const char* answer, const std::string& want, const std::string& name,
               const std::string& switched = "")
    {
        std::ofstream(work + "/play.sh") << PLAY;
        std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        std::string command = "cd '" + work + "' && GAME='" + GAME + "' DATA='" + DATA + "' WORK='" + work +
                              "' ANSWER=" + answer + " WANT=" + want + " SWITCHED='" + switched +
                              "' SCREEN=" + std::to_string(width) + "x" +
                              std::to_string(height) + " SHOT='" + SHOTS + "/game-" + name +
                              ".png' SDL_AUDIODRIVER=dummy timeout 120 xvfb-run -a -s '-screen 0 " + screen +
                              "' sh play.sh >run.txt 2>&1";
        int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(work + "/run.txt");
        EXPECT_EQ(ReadText(work + "/state"), "running\n") << ReadText(work + "/game.err");
        EXPECT_EQ(ReadText(work + "/size"), want + "\n") << "the game window's size";
        std::string bytes = ReadText(work + "/screen.rgb");
        Shown shown{width, height, std::vector<unsigned char>(bytes.begin(), bytes.end())};
        EXPECT_EQ(shown.rgb.size(), static_cast<size_t>(width) * height * 3) << "no picture of the screen";
        if (shown.rgb.size() != static_cast<size_t>(width) * height * 3) shown.rgb.assign(static_cast<size_t>(width) * height * 3, 0);
        return shown;
    }

    // The title picture covers the rectangle (x0, y0)-(x1, y1) to its edges:
    // nearly every pixel lit, and every edge line lit along most of its length.
    void ExpectFilled(const Shown& shown, int x0, int y0, int x1, int y1)
    {
        long area = static_cast<long>(x1 - x0) * (y1 - y0);
        EXPECT_GT(shown.Lit(x0, y0, x1, y1), area * 99 / 100);
        EXPECT_GT(shown.Lit(x0, y0, x1, y0 + 1), (x1 - x0) * 9 / 10) << "top edge";
        EXPECT_GT(shown.Lit(x0, y1 - 1, x1, y1), (x1 - x0) * 9 / 10) << "bottom edge";
        EXPECT_GT(shown.Lit(x0, y0, x0 + 1, y1), (y1 - y0) * 9 / 10) << "left edge";
        EXPECT_GT(shown.Lit(x1 - 1, y0, x1, y1), (y1 - y0) * 9 / 10) << "right edge";
    }

    std::string work;
};

TEST_F(GameScreens, FullScreenFillsTheMonitor)
{
    {
        SCOPED_TRACE("1920 x 1080");
        Shown shown = Play(1920, 1080, "y", "1920x1080", "fullscreen-1920x1080");
        ExpectFilled(shown, 0, 0, 1920, 1080);
    }
    {
        SCOPED_TRACE("1024 x 768: black bars above and below");
        Shown shown = Play(1024, 768, "y", "1024x768", "fullscreen-1024x768");
        ExpectFilled(shown, 0, 96, 1024, 672);
        EXPECT_EQ(shown.Lit(0, 0, 1024, 96), 0);
        EXPECT_EQ(shown.Lit(0, 672, 1024, 768), 0);
    }
}

TEST_F(GameScreens, F11FillsTheScreenAndAltEnterGivesTheWindowBack)
{
    Shown shown = Play(1920, 1080, "n", "1280x720", "switched-1920x1080", "1920x1080");
    EXPECT_EQ(ReadText(work + "/switched"), "1920x1080\n") << "F11: full screen";
    EXPECT_EQ(ReadText(work + "/back"), "1280x720\n") << "Alt+Enter: the window again";
    // The title goes on in the window: the game has not stopped or restarted.
    EXPECT_GT(shown.Lit(0, 0, 1920, 1080), 1280L * 720 * 9 / 10);
}

TEST_F(GameScreens, WindowFitsASmallScreen)
{
    Shown shown = Play(1024, 768, "n", "1024x576", "window-1024x768");
    ExpectFilled(shown, 0, 0, 1024, 576);
}

}  // namespace
