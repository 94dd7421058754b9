// The desktop's pad on a private X server, with SDL's virtual joysticks
// standing in for pads plugged in and pulled out: a game controller read
// through the game's backend (sticks, triggers, buttons), hot-plug both
// ways, the oldest pad still plugged in being the one read, and a plain
// joystick made a pad by the SDL_GAMECONTROLLERCONFIG mapping the player sets.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <string>

#include "audio/audio.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_internal.h"
#include "shell/shell.h"
#include "tests/desktop/private_xvfb.h"

extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

namespace {

// A virtual device of axes and buttons, as a pad's driver would make one.
int AttachVirtual(SDL_JoystickType type, Uint16 product, const char* name)
{
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = static_cast<Uint16>(type);
    desc.naxes = 6;
    desc.nbuttons = 15;
    desc.vendor_id = 0x1209;
    desc.product_id = product;
    desc.name = name;
    return SDL_JoystickAttachVirtualEx(&desc);
}

// Lets SDL report what came and went, as a frame's pump does.
void Pump()
{
    for (int i = 0; i < 3; i++) {
        SDL_JoystickUpdate();
        PumpMessages();
        SDL_Delay(5);
    }
}

}  // namespace

TEST(DesktopPad, PadsAreReadComeAndGoAndFollowThePlayersMapping)
{
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) GTEST_SKIP() << "needs Xvfb";
    if (__lsan_disable != nullptr) __lsan_disable();
    PrivateXvfb xvfb = StartPrivateXvfb("640x480x24");
    ASSERT_FALSE(xvfb.display.empty());
    setenv("DISPLAY", xvfb.display.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    // A plain joystick, no pad to SDL without a mapping: the player's
    // mapping for it (made from its id, seen once beforehand) makes it one,
    // with A and B swapped and the right stick on its first two axes.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    int plain = AttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 0x0001, "Prismveldt test stick");
    ASSERT_GE(plain, 0) << SDL_GetError();
    char guid[64];
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(plain), guid, sizeof guid);
    SDL_Quit();
    std::string mapping = std::string(guid) +
                          ",Prismveldt test stick,a:b1,b:b0,start:b6,rightx:a0,righty:a1,"
                          "lefttrigger:a4,righttrigger:a5,platform:Linux,";
    setenv("SDL_GAMECONTROLLERCONFIG", mapping.c_str(), 1);

    PlatformInit(0, nullptr);
    Pump();
    PadState pad;
    EXPECT_FALSE(PlatformReadPad(&pad)) << "no pad yet";
    plain = AttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 0x0001, "Prismveldt test stick");
    ASSERT_GE(plain, 0) << SDL_GetError();
    SDL_Joystick* plainStick = SDL_JoystickOpen(plain);
    ASSERT_NE(plainStick, nullptr);
    Pump();
    ASSERT_TRUE(PlatformReadPad(&pad)) << "the mapped joystick is a pad";
    SDL_JoystickSetVirtualAxis(plainStick, 0, -20000);
    SDL_JoystickSetVirtualAxis(plainStick, 1, 12000);
    SDL_JoystickSetVirtualButton(plainStick, 1, SDL_PRESSED);  // A, by the mapping
    Pump();
    ASSERT_TRUE(PlatformReadPad(&pad));
    EXPECT_EQ(pad.axes[PAD_AXIS_RIGHT_X], -20000);
    EXPECT_EQ(pad.axes[PAD_AXIS_RIGHT_Y], 12000);
    EXPECT_EQ(pad.buttons, 1u << 0) << "its button 1 is A";

    // A game controller plugged in while the game runs: the first pad is
    // still the one read, until it is pulled out.
    int second = AttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 0x0002, "Prismveldt test pad");
    ASSERT_GE(second, 0) << SDL_GetError();
    SDL_Joystick* secondStick = SDL_JoystickOpen(second);
    ASSERT_NE(secondStick, nullptr);
    SDL_JoystickSetVirtualButton(secondStick, 6, SDL_PRESSED);  // Start
    Pump();
    ASSERT_TRUE(PlatformReadPad(&pad));
    EXPECT_EQ(pad.buttons, 1u << 0);
    SDL_JoystickClose(plainStick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(plain), 0) << SDL_GetError();
    Pump();
    ASSERT_TRUE(PlatformReadPad(&pad)) << "the second pad takes over";
    EXPECT_EQ(pad.buttons, 1u << 6);
    // Its triggers read 0 let go and 32767 pressed home, as SDL's pads do.
    SDL_JoystickSetVirtualAxis(secondStick, 5, 32767);
    SDL_JoystickSetVirtualAxis(secondStick, 4, -32768);
    Pump();
    ASSERT_TRUE(PlatformReadPad(&pad));
    EXPECT_EQ(pad.axes[PAD_AXIS_RIGHT_TRIGGER], 32767);
    EXPECT_EQ(pad.axes[PAD_AXIS_LEFT_TRIGGER], 0);
    PlatformRumblePad(70, 100);  // a virtual pad without motors lets it be

    // Device numbers move down as devices go: the second is now the first.
    SDL_JoystickClose(secondStick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(0), 0) << SDL_GetError();
    Pump();
    EXPECT_FALSE(PlatformReadPad(&pad)) << "none is left";
    EXPECT_EQ(pad.buttons, 0u);
    PlatformRumblePad(70, 100);

    CloseAudio();
    SDL_Quit();
    StopPrivateXvfb(&xvfb);
    if (__lsan_enable != nullptr) __lsan_enable();
}
