// The desktop process: SDL start-up (or one clear line when there is no
// display), standard output, the replay hooks the desktop does without, the end.
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "platform/sdl/sdl_internal.h"

[[noreturn]] static void NoDisplay()
{
    fprintf(stderr, "prismveldt: no display found; run it from a desktop session or under "
                    "xvfb-run (xvfb-run -s '-screen 0 1920x1080x24' ./prismveldt)\n");
    exit(1);
}

void PlatformInit(int, char**)
{
    // Ctrl+C and kill end the game as they do any program, not with a close request.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A message box over the full-screen game must not minimise it.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_LogSetAllPriority(SDL_LOG_PRIORITY_CRITICAL);
    // On Wayland, the window frames SDL 2.26 draws through libdecor crashed the
    // game in SDL's libdecor callbacks within its first frames (windowed and
    // full screen alike). Without them the compositor's own frame is used
    // where it offers one; SDL_VIDEO_WAYLAND_ALLOW_LIBDECOR=1 still asks for them.
    SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0");
    // Without a desktop SDL would fall back to drawing nowhere; say so once
    // instead. Only an explicit SDL_VIDEODRIVER gets what it asks for.
    bool driverChosen = getenv("SDL_VIDEODRIVER") != nullptr;
    bool wayland = getenv("WAYLAND_DISPLAY") != nullptr, x11 = getenv("DISPLAY") != nullptr;
    if (!driverChosen && !wayland && !x11) NoDisplay();
    if (!driverChosen && !wayland) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) NoDisplay();
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driverChosen && driver != nullptr &&
        (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0))
        NoDisplay();
    videoIsX11 = driver != nullptr && SDL_strcmp(driver, "x11") == 0;
    // On X11 the message boxes (and the game's frames, where there is no
    // graphics card) go into the window system's own shared-memory picture;
    // a GL renderer in between (software GL on such a machine) would only add
    // copies and threads. Wayland has no such picture: SDL makes one with
    // its renderer.
    if (videoIsX11) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_InitSubSystem(SDL_INIT_JOYSTICK);  // no joystick support is no joystick
    StartPads();
    OpenAudio();
    StartClock();
}

// The player's game reads no options of its own beyond the game's.
const char* const* PlatformCommandOptions()
{
    static const char* const none[] = {nullptr};
    return none;
}
const char* PlatformCommandUsage() { return ""; }
const char* PlatformProgramName() { return "prismveldt"; }

void PlatformExit(int status)
{
    fflush(stdout);
    fflush(stderr);
    _exit(status);
}

void PlatformWriteStdout(const char* text)
{
    fputs(text, stdout);
    fflush(stdout);
}

void PlatformTraceFrame(const char*) {}
bool PlatformTracing() { return false; }
