// The desktop window on real X screens (a private Xvfb for each screen size,
// no window manager): full screen fills the monitor at its own resolution with
// the picture scaled and its shape kept, the desktop's mode never changes, the
// window fits the screen and follows the desktop's scale factor and the
// player's resizing, and the aim is exact: the pointer put at known screen
// pixels reads back as the logical position under it, and the game's own
// pointer moves land where they should. What the screen shows is read back
// from the X server; a picture of each case is kept in
// build/window-shots/ (PNG, via ImageMagick's import, when installed).
//
// Each case runs twice: with the game's own scaler (what a machine without a
// graphics card uses; SDL_RENDER_DRIVER=software) and with SDL's GL renderer
// (SDL_RENDER_DRIVER=opengl: Mesa's software GL here, standing in for a
// graphics card), when there is GL.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "input/input.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_internal.h"
#include "tests/desktop/private_xvfb.h"
#include "gfx/screen.h"
#include "shell/shell.h"

// In the sanitizer build: the X libraries, Mesa and D-Bus that SDL loads
// keep allocations of their own for the life of the process, and lose track
// of them when SDL_Quit unloads them between screens. What they allocate
// while a screen is open is not reported as a leak (the game's own code is
// checked for leaks by the tests that do not open a display).
extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

namespace {

constexpr int PICTURE_W = 1280, PICTURE_H = 720;

bool Installed(const char* program)
{
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

// The test picture: 8 x 8 blocks of distinct colours, never black, inside a
// one-pixel white frame, so bars, cut-off edges and misplaced pixels all show.
uint32_t PatternPixel(int x, int y)
{
    if (x == 0 || y == 0 || x == PICTURE_W - 1 || y == PICTURE_H - 1) return 0xFFFFFF;
    int bx = x / 8, by = y / 8;
    uint32_t r = 40 + (bx * 37) % 200, g = 40 + (by * 23) % 200, b = 40 + ((bx ^ by) * 13) % 200;
    return r << 16 | g << 8 | b;
}

std::vector<uint32_t> Pattern()
{
    std::vector<uint32_t> pixels(static_cast<size_t>(PICTURE_W) * PICTURE_H);
    for (int y = 0; y < PICTURE_H; y++)
        for (int x = 0; x < PICTURE_W; x++) pixels[static_cast<size_t>(y) * PICTURE_W + x] = PatternPixel(x, y);
    return pixels;
}

std::string ShotDir()
{
    std::string dir = std::string(BUILD_DIR) + "/window-shots";
    mkdir(dir.c_str(), 0755);
    return dir;
}

// A private X server of one screen size, the game's SDL backend started on it
// and a connection of the test's own, which plays the player: it moves the
// pointer and resizes windows as a window manager would, and reads back what
// the screen shows.
class Screen {
public:
    Screen(int width, int height, const char* xftDpi, bool useRenderer) : width(width), height(height)
    {
        if (__lsan_disable != nullptr) __lsan_disable();
        xvfb = StartPrivateXvfb(std::to_string(width) + "x" + std::to_string(height) + "x24");
        if (xvfb.display.empty()) return;
        display = xvfb.display;
        setenv("DISPLAY", display.c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("SDL_VIDEODRIVER");
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("SDL_RENDER_DRIVER", useRenderer ? "opengl" : "software", 1);
        x = XOpenDisplay(display.c_str());
        if (x == nullptr) return;
        if (xftDpi != nullptr) {
            // What xrdb does for a desktop set to a larger scale.
            std::string resources = std::string("Xft.dpi:\t") + xftDpi + "\n";
            XChangeProperty(x, DefaultRootWindow(x), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(resources.c_str()),
                            static_cast<int>(resources.size()));
            XSync(x, False);
        }
        PlatformInit(0, nullptr);
        ready = true;
    }

    ~Screen()
    {
        if (ready) {
            PlatformDestroyWindow();
            CloseAudio();
            SDL_Quit();
        }
        if (x != nullptr) XCloseDisplay(x);
        StopPrivateXvfb(&xvfb);
        if (__lsan_enable != nullptr) __lsan_enable();
    }

    // Lets the X server and SDL catch up with the window's new shape (the
    // events of a resize arrive a little later).
    void Settle()
    {
        for (int i = 0; i < 5; i++) {
            XSync(x, False);
            PumpMessages();
            SDL_Delay(20);
        }
    }

    // Pumps until the game window's client area has the size wanted, or a
    // generous time has passed; true when it has.
    bool WaitForWindowSize(int wantedWidth, int wantedHeight)
    {
        for (int i = 0; i < 500; i++) {
            Settle();
            int w = 0, h = 0;
            if (gameWindow != nullptr) SDL_GetWindowSize(gameWindow, &w, &h);
            if (w == wantedWidth && h == wantedHeight && ClientSize() == std::make_pair(w, h)) return true;
        }
        return false;
    }

    Window GameXWindow()
    {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (gameWindow == nullptr || !SDL_GetWindowWMInfo(gameWindow, &info)) return 0;
        return info.info.x11.window;
    }

    // The game window's client area as the X server has it.
    std::pair<int, int> ClientSize()
    {
        XWindowAttributes attributes;
        Window window = GameXWindow();
        if (window == 0 || !XGetWindowAttributes(x, window, &attributes)) return {0, 0};
        return {attributes.width, attributes.height};
    }

    std::pair<int, int> ClientOrigin()
    {
        Window child;
        int originX = 0, originY = 0;
        XTranslateCoordinates(x, GameXWindow(), DefaultRootWindow(x), 0, 0, &originX, &originY, &child);
        return {originX, originY};
    }

    // What the whole screen shows, as 0x00RRGGBB.
    std::vector<uint32_t> Capture()
    {
        XSync(x, False);
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0xDEADBEEF);
        XImage* image = XGetImage(x, DefaultRootWindow(x), 0, 0, width, height, AllPlanes, ZPixmap);
        if (image == nullptr) return pixels;
        for (int row = 0; row < height; row++)
            for (int col = 0; col < width; col++)
                pixels[static_cast<size_t>(row) * width + col] = XGetPixel(image, col, row) & 0xFFFFFF;
        XDestroyImage(image);
        return pixels;
    }

    void KeepShot(const std::string& name)
    {
        if (!Installed("import")) return;
        std::string command = "DISPLAY=" + display + " import -window root '" + ShotDir() + "/" + name +
                              ".png' 2>/dev/null";
        std::system(command.c_str());
    }

    // The player moves the pointer to screen pixel (px, py).
    void MovePointer(int px, int py)
    {
        XWarpPointer(x, None, DefaultRootWindow(x), 0, 0, 0, 0, px, py);
        XSync(x, False);
    }

    std::pair<int, int> PointerOnScreen()
    {
        Window root, child;
        int rootX = 0, rootY = 0, winX, winY;
        unsigned mask;
        XSync(x, False);
        XQueryPointer(x, DefaultRootWindow(x), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
        return {rootX, rootY};
    }

    // The player (or a window manager) resizes the game window.
    void ResizeWindow(int w, int h)
    {
        XResizeWindow(x, GameXWindow(), static_cast<unsigned>(w), static_cast<unsigned>(h));
        XSync(x, False);
    }

    int width, height;
    bool ready = false;
    std::string display;
    Display* x = nullptr;
    PrivateXvfb xvfb;
};

struct Placement {
    int x, y, w, h;
};

// Everything outside the picture is black; inside, the frame is bright at
// every edge (nothing cut off) and every block shows its own colour at its
// centre.
void ExpectPicture(const std::vector<uint32_t>& screen, int screenWidth, Placement at)
{
    int screenHeight = static_cast<int>(screen.size()) / screenWidth;
    int stray = 0;
    for (int y = 0; y < screenHeight; y++)
        for (int x = 0; x < screenWidth; x++) {
            bool inside = x >= at.x && x < at.x + at.w && y >= at.y && y < at.y + at.h;
            if (!inside && screen[static_cast<size_t>(y) * screenWidth + x] != 0) stray++;
        }
    EXPECT_EQ(stray, 0) << "pixels outside the picture that are not black";

    auto at_ = [&](int x, int y) { return screen[static_cast<size_t>(y) * screenWidth + x]; };
    auto bright = [](uint32_t p) { return (p >> 16 & 0xFF) > 200 && (p >> 8 & 0xFF) > 200 && (p & 0xFF) > 200; };
    int dark = 0;
    for (int x = at.x; x < at.x + at.w; x++) dark += !bright(at_(x, at.y)) + !bright(at_(x, at.y + at.h - 1));
    for (int y = at.y; y < at.y + at.h; y++) dark += !bright(at_(at.x, y)) + !bright(at_(at.x + at.w - 1, y));
    EXPECT_EQ(dark, 0) << "the picture's frame is not all there";

    int wrong = 0;
    for (int by = 1; by < PICTURE_H / 8 - 1; by += 3)
        for (int bx = 1; bx < PICTURE_W / 8 - 1; bx += 3) {
            int lx = bx * 8 + 4, ly = by * 8 + 4;
            int sx = at.x + static_cast<int>((lx + 0.5) * at.w / PICTURE_W);
            int sy = at.y + static_cast<int>((ly + 0.5) * at.h / PICTURE_H);
            if (at_(sx, sy) != PatternPixel(lx, ly)) wrong++;
        }
    EXPECT_EQ(wrong, 0) << "blocks that show the wrong colour at their centre";
}

// At a whole multiple every screen pixel is exactly its picture pixel.
void ExpectWholePixels(const std::vector<uint32_t>& screen, int screenWidth, Placement at, int multiple)
{
    int wrong = 0;
    for (int y = 0; y < at.h; y++)
        for (int x = 0; x < at.w; x++)
            if (screen[static_cast<size_t>(at.y + y) * screenWidth + at.x + x] != PatternPixel(x / multiple, y / multiple))
                wrong++;
    EXPECT_EQ(wrong, 0);
}

// The top-left width x height of a screen picture.
std::vector<uint32_t> Crop(const std::vector<uint32_t>& screen, int screenWidth, int width, int height)
{
    std::vector<uint32_t> part(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            part[static_cast<size_t>(y) * width + x] = screen[static_cast<size_t>(y) * screenWidth + x];
    return part;
}

// The aim: the pointer at screen pixel (px, py) reads back as logical (lx, ly).
void ExpectAim(Screen& screen, int px, int py, int lx, int ly)
{
    screen.MovePointer(px, py);
    int x = -12345, y = -12345;
    GetMousePos(&x, &y);
    EXPECT_EQ(x, lx) << "pointer at screen (" << px << ", " << py << ")";
    EXPECT_EQ(y, ly) << "pointer at screen (" << px << ", " << py << ")";
}

// The title scene's own pointer move lands on the screen pixel under logical
// (650, 500) and reads back as that point.
void ExpectPointerMove(Screen& screen, int px, int py)
{
    SetMousePos(650, 500);
    EXPECT_EQ(screen.PointerOnScreen(), std::make_pair(px, py));
    int x, y;
    GetMousePos(&x, &y);
    EXPECT_EQ(x, 650);
    EXPECT_EQ(y, 500);
}

class WindowScaling : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (!Installed("Xvfb")) GTEST_SKIP() << "needs Xvfb";
    }

    // The screen, or a skip when it cannot be had (or has no GL when the
    // renderer is wanted).
    bool Open(Screen& screen)
    {
        if (!screen.ready) {
            ADD_FAILURE() << "no X server of " << screen.width << " x " << screen.height;
            return false;
        }
        // The first shape makes the window and with it the presenter.
        SetDisplayMode(0, 0, 1, 1, DISPLAY_WINDOWED, "未定");
        if (GetParam() && !PresentingWithRenderer()) {
            skipReason = "no GL renderer on this machine";
            return false;
        }
        EXPECT_EQ(PresentingWithRenderer(), GetParam());
        return true;
    }

    std::string Name(const std::string& what) { return what + (GetParam() ? "-renderer" : "-software"); }

    // A few frames, as the game's frame loop shows them (GL may take a frame
    // to notice the window's new size).
    void Show(Screen& screen)
    {
        static const std::vector<uint32_t> pattern = Pattern();
        for (int frame = 0; frame < 3; frame++) {
            PlatformPresent(pattern.data(), PICTURE_W, PICTURE_H, PICTURE_W);
            screen.Settle();
        }
    }

    std::string skipReason;
};

TEST_P(WindowScaling, FullScreenFillsEachMonitorAtItsOwnSize)
{
    struct Case {
        int width, height;
        Placement picture;
        int multiple;  // 0: not a whole multiple
    };
    for (Case c : {Case{1920, 1080, {0, 0, 1920, 1080}, 0}, Case{2560, 1440, {0, 0, 2560, 1440}, 2},
                   Case{1024, 768, {0, 96, 1024, 576}, 0}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        Screen screen(c.width, c.height, nullptr, GetParam());
        if (!Open(screen)) {
            if (!skipReason.empty()) GTEST_SKIP() << skipReason;
            return;
        }
        SetDisplayMode(0, 0, PICTURE_W, PICTURE_H, DISPLAY_FULLSCREEN, "Prismveldt");
        EXPECT_EQ(displayMode, DISPLAY_FULLSCREEN);
        ASSERT_TRUE(screen.WaitForWindowSize(c.width, c.height));
        EXPECT_EQ(screen.ClientOrigin(), std::make_pair(0, 0));
        SDL_DisplayMode mode;
        ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &mode), 0);
        EXPECT_EQ(mode.w, c.width) << "the desktop's mode changed";
        EXPECT_EQ(mode.h, c.height);
        EXPECT_TRUE(SDL_GetWindowFlags(gameWindow) & SDL_WINDOW_ALWAYS_ON_TOP);

        Show(screen);
        std::vector<uint32_t> shown = screen.Capture();
        screen.KeepShot(Name("fullscreen-" + std::to_string(c.width) + "x" + std::to_string(c.height)));
        ExpectPicture(shown, c.width, c.picture);
        if (c.multiple) ExpectWholePixels(shown, c.width, c.picture, c.multiple);
        if (c.width == 1920) {
            // Sharp, not blurred: at 1.5 times the blocks' edges (between an
            // odd and an even picture pixel) stay crisp, so a row across the
            // picture shows nothing but block colours inside the frame.
            int blended = 0;
            int ly = 50 * 8 + 4, y = static_cast<int>((ly + 0.5) * 1.5);
            for (int x = 3; x < 1917; x++) {
                uint32_t p = shown[static_cast<size_t>(y) * c.width + x];
                int lx = static_cast<int>((x + 0.5) / 1.5);
                bool block = false;
                for (int near = lx - 1; near <= lx + 1; near++) block |= p == PatternPixel(near, ly);
                blended += !block;
            }
            EXPECT_EQ(blended, 0) << "blurred where the sharp filter keeps block edges";
        }

        // Leaving full screen gives the desktop back as it was.
        SetDisplayMode(0, 0, PICTURE_W, PICTURE_H, DISPLAY_WINDOWED, "Prismveldt");
        screen.Settle();
        ASSERT_EQ(SDL_GetCurrentDisplayMode(0, &mode), 0);
        EXPECT_EQ(mode.w, c.width);
        EXPECT_EQ(mode.h, c.height);
    }
}

TEST_P(WindowScaling, AimIsExactAtEveryScale)
{
    struct Point {
        int px, py, lx, ly;
    };
    struct Case {
        int width, height;
        std::vector<Point> points;
        int moveX, moveY;  // where SetMousePos(650, 500) puts the pointer
    };
    // Expected by hand: logical = floor((screen + 0.5 - offset) * 1280 / shown width).
    std::vector<Case> cases = {
        {1920, 1080, {{0, 0, 0, 0}, {1, 1, 1, 1}, {2, 2, 1, 1}, {3, 4, 2, 3}, {960, 540, 640, 360}, {1919, 1079, 1279, 719},
                      {1000, 3, 667, 2}}, 975, 750},
        {2560, 1440, {{0, 0, 0, 0}, {1, 1, 0, 0}, {2, 3, 1, 1}, {1280, 720, 640, 360}, {2559, 1439, 1279, 719}},
         1301, 1001},
        // Bars above and below: y 0..95 is above the picture, not clamped.
        {1024, 768, {{0, 96, 0, 0}, {0, 95, 0, -1}, {0, 0, 0, -120}, {512, 384, 640, 360}, {1023, 671, 1279, 719},
                     {1023, 767, 1279, 839}, {5, 100, 6, 5}}, 520, 496},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        Screen screen(c.width, c.height, nullptr, GetParam());
        if (!Open(screen)) {
            if (!skipReason.empty()) GTEST_SKIP() << skipReason;
            return;
        }
        SetDisplayMode(0, 0, PICTURE_W, PICTURE_H, DISPLAY_FULLSCREEN, "Prismveldt");
        ASSERT_TRUE(screen.WaitForWindowSize(c.width, c.height));
        Show(screen);
        for (const Point& p : c.points) ExpectAim(screen, p.px, p.py, p.lx, p.ly);
        ExpectPointerMove(screen, c.moveX, c.moveY);
    }
}

TEST_P(WindowScaling, WindowFitsTheScreenAndFollowsThePlayer)
{
    {
        SCOPED_TRACE("1920 x 1080: the picture's own size");
        Screen screen(1920, 1080, nullptr, GetParam());
        if (!Open(screen)) {
            if (!skipReason.empty()) GTEST_SKIP() << skipReason;
            return;
        }
        SetDisplayMode(0, 0, PICTURE_W, PICTURE_H, DISPLAY_WINDOWED, "Prismveldt");
        ASSERT_TRUE(screen.WaitForWindowSize(1280, 720));
        EXPECT_EQ(screen.ClientOrigin(), std::make_pair(0, 0));
        EXPECT_STREQ(SDL_GetWindowTitle(gameWindow), "Prismveldt");
        Uint32 flags = SDL_GetWindowFlags(gameWindow);
        EXPECT_TRUE(flags & SDL_WINDOW_ALWAYS_ON_TOP);
        EXPECT_TRUE(flags & SDL_WINDOW_RESIZABLE);
        EXPECT_FALSE(flags & SDL_WINDOW_BORDERLESS);
        Show(screen);
        std::vector<uint32_t> shown = screen.Capture();
        screen.KeepShot(Name("window-1920x1080"));
        ExpectPicture(Crop(shown, 1920, 1280, 720), 1280, {0, 0, 1280, 720});
        ExpectWholePixels(shown, 1920, {0, 0, 1280, 720}, 1);
        ExpectAim(screen, 0, 0, 0, 0);
        ExpectAim(screen, 1279, 719, 1279, 719);
        ExpectAim(screen, 1500, 800, 1500, 800);  // outside the window: not clamped
        ExpectPointerMove(screen, 650, 500);

        // The player makes the window taller and narrower: the picture follows,
        // with bars above and below, and so does the aim.
        screen.ResizeWindow(960, 700);
        ASSERT_TRUE(screen.WaitForWindowSize(960, 700));
        Show(screen);
        shown = screen.Capture();
        screen.KeepShot(Name("window-resized-960x700"));
        ExpectPicture(Crop(shown, 1920, 960, 700), 960, {0, 80, 960, 540});
        ExpectAim(screen, 0, 80, 0, 0);
        ExpectAim(screen, 0, 79, 0, -1);
        ExpectAim(screen, 959, 619, 1279, 719);
        ExpectAim(screen, 480, 350, 640, 360);
    }
    {
        SCOPED_TRACE("1024 x 768: scaled down to fit, never cut off");
        Screen screen(1024, 768, nullptr, GetParam());
        if (!Open(screen)) return;
        SetDisplayMode(0, 0, PICTURE_W, PICTURE_H, DISPLAY_WINDOWED, "Prismveldt");
        ASSERT_TRUE(screen.WaitForWindowSize(1024, 576));
        EXPECT_EQ(screen.ClientOrigin(), std::make_pair(0, 0));
        Show(screen);
        std::vector<uint32_t> shown = screen.Capture();
        screen.KeepShot(Name("window-1024x768"));
        ExpectPicture(Crop(shown, 1024, 1024, 576), 1024, {0, 0, 1024, 576});
        ExpectAim(screen, 0, 0, 0, 0);
        ExpectAim(screen, 1023, 575, 1279, 719);
        ExpectAim(screen, 512, 288, 640, 360);
        ExpectPointerMove(screen, 520, 400);
    }
    {
        SCOPED_TRACE("2560 x 1440 at 1.5 times (Xft.dpi 144)");
        Screen screen(2560, 1440, "144", GetParam());
        if (!Open(screen)) return;
        SetDisplayMode(0, 0, PICTURE_W, PICTURE_H, DISPLAY_WINDOWED, "Prismveldt");
        ASSERT_TRUE(screen.WaitForWindowSize(1920, 1080));
        Show(screen);
        std::vector<uint32_t> shown = screen.Capture();
        screen.KeepShot(Name("window-2560x1440-dpi144"));
        ExpectPicture(Crop(shown, 2560, 1920, 1080), 1920, {0, 0, 1920, 1080});
        ExpectAim(screen, 960, 540, 640, 360);
        ExpectPointerMove(screen, 975, 750);
    }
    {
        SCOPED_TRACE("1920 x 1080 at 2 times (Xft.dpi 192): as large as fits");
        Screen screen(1920, 1080, "192", GetParam());
        if (!Open(screen)) return;
        SetDisplayMode(0, 0, PICTURE_W, PICTURE_H, DISPLAY_WINDOWED, "Prismveldt");
        ASSERT_TRUE(screen.WaitForWindowSize(1920, 1080));
    }
}

INSTANTIATE_TEST_SUITE_P(Presenters, WindowScaling, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Renderer") : std::string("Software");
                         });

}  // namespace
