// The input and audio layers over the headless machine: held keys, the mouse
// in plain and doubled windows, WaitKey's order, joysticks, and what the
// sound and music calls ask of the platform.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "audio/audio.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "gfx/screen.h"
#include "shell/shell.h"

class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless = HeadlessMachine{};
        displayMode = DISPLAY_WINDOWED;
        for (auto& id : joystickIds) id = -1;
    }
    void TearDown() override { headless = HeadlessMachine{}; }
    void Hold(int key) { headless.keys[key] = true; }
};

TEST_F(InputTest, KeysAreHeldStateOnly)
{
    EXPECT_EQ(IsKeyDown(VK_ESCAPE), 0);
    Hold(VK_ESCAPE);
    EXPECT_EQ(IsKeyDown(VK_ESCAPE), 1);
    EXPECT_EQ(IsKeyDown(VK_ESCAPE), 1);  // no edge: still held on the next query
    EXPECT_EQ(IsKeyDown('E'), 0);
    EXPECT_EQ(IsKeyDown(-5), 0);
    EXPECT_EQ(IsKeyDown(100000), 0);
}

TEST_F(InputTest, MouseButtonsAsFlags)
{
    int buttons = -1;
    GetMouseButtons(&buttons);
    EXPECT_EQ(buttons, 0);
    Hold(VK_RBUTTON);
    GetMouseButtons(&buttons);
    EXPECT_EQ(buttons, MOUSE_RIGHT);
    Hold(VK_LBUTTON);
    GetMouseButtons(&buttons);
    EXPECT_EQ(buttons, MOUSE_LEFT | MOUSE_RIGHT);
}

TEST_F(InputTest, MousePositionIsClientRelativeAndUnclamped)
{
    headless.windowX = 300;  // where the window stands does not matter
    headless.windowY = 200;
    headless.cursorX = -50;
    headless.cursorY = 1800;
    int x, y;
    GetMousePos(&x, &y);
    EXPECT_EQ(x, -50);
    EXPECT_EQ(y, 1800);
}

TEST_F(InputTest, DoubledWindowHalvesTowardZero)
{
    displayMode = DISPLAY_WINDOWED_DOUBLE;
    headless.cursorX = -3;
    headless.cursorY = 7;
    int x, y;
    GetMousePos(&x, &y);
    EXPECT_EQ(x, -1);  // not -2
    EXPECT_EQ(y, 3);
    SetMousePos(650, -5);
    EXPECT_EQ(headless.cursorX, 1300);
    EXPECT_EQ(headless.cursorY, -10);
}

TEST_F(InputTest, SetMousePosReadsBack)
{
    headless.windowX = 40;
    headless.windowY = 30;
    SetMousePos(650, 500);
    EXPECT_EQ(headless.cursorX, 650);
    EXPECT_EQ(headless.cursorY, 500);
    int x, y;
    GetMousePos(&x, &y);
    EXPECT_EQ(x, 650);
    EXPECT_EQ(y, 500);
}

TEST_F(InputTest, CursorModes)
{
    SetMouseCursor(0);
    EXPECT_FALSE(headless.cursorVisible);
    SetMouseCursor(7);  // nothing
    EXPECT_FALSE(headless.cursorVisible);
    SetMouseCursor(1);
    EXPECT_TRUE(headless.cursorVisible);
}

TEST_F(InputTest, AnyKeyLeavesEscapeOut)
{
    Hold(VK_ESCAPE);
    Hold(VK_LBUTTON);
    EXPECT_EQ(IsAnyKeyDown(), 0);
    for (int key : {int('A'), int('Z'), int('0'), int('9'), int(VK_SPACE), int(VK_UP),
                    int(VK_DOWN), int(VK_LEFT), int(VK_RIGHT), int(VK_RETURN)}) {
        headless.keys[key] = true;
        EXPECT_EQ(IsAnyKeyDown(), 1) << key;
        headless.keys[key] = false;
    }
}

TEST_F(InputTest, WaitKeyTakesTheTopmostRow)
{
    Hold('Q');
    EXPECT_EQ(WaitKey(), 'q');
    Hold('C');
    Hold('A');
    EXPECT_EQ(WaitKey(), 'a');  // the first letter alphabetically
    Hold('8');
    Hold('3');
    EXPECT_EQ(WaitKey(), '3');  // digits before letters, lowest first
    Hold(VK_SPACE);
    EXPECT_EQ(WaitKey(), 32);
    Hold(VK_UP);
    EXPECT_EQ(WaitKey(), 72);
    Hold(VK_DOWN);
    EXPECT_EQ(WaitKey(), 80);
    Hold(VK_LEFT);
    EXPECT_EQ(WaitKey(), 75);
    Hold(VK_RIGHT);
    EXPECT_EQ(WaitKey(), 77);
    Hold(VK_RETURN);
    EXPECT_EQ(WaitKey(), 13);
    Hold(VK_ESCAPE);
    EXPECT_EQ(WaitKeyPaced(100), 27);
}

TEST_F(InputTest, JoysticksAnswerNothingBeforeTheFirstScan)
{
    headless.joystickPresent[0] = true;
    headless.joystickY[0] = 0;
    headless.joystickButtons[0] = 1;
    EXPECT_EQ(IsJoyUp(0), 0);
    EXPECT_EQ(IsJoyButtonDown(0, 1), 0);
}

TEST_F(InputTest, ScanPacksTheAnsweringIds)
{
    headless.joystickPresent[1] = true;
    headless.joystickPresent[3] = true;
    EXPECT_EQ(ScanJoysticks(), 2);
    EXPECT_EQ(joystickIds[0], 1);
    EXPECT_EQ(joystickIds[1], 3);
    for (int slot = 2; slot < JOYSTICK_SLOTS; slot++) EXPECT_EQ(joystickIds[slot], -1);
    headless.joystickPresent[1] = false;  // unplugged after the scan
    EXPECT_EQ(ScanJoysticks(), 1);
    EXPECT_EQ(joystickIds[0], 3);
    EXPECT_EQ(joystickIds[1], -1);
}

TEST_F(InputTest, AxisThresholdsAreStrict)
{
    headless.joystickPresent[2] = true;
    ScanJoysticks();
    auto set = [](unsigned x, unsigned y) {
        headless.joystickX[2] = x;
        headless.joystickY[2] = y;
    };
    set(32768, 32768);
    EXPECT_EQ(IsJoyUp(0) + IsJoyDown(0) + IsJoyLeft(0) + IsJoyRight(0), 0);
    set(JOY_LOW_THRESHOLD, JOY_HIGH_THRESHOLD);  // exactly on the thresholds: nothing
    EXPECT_EQ(IsJoyLeft(0) + IsJoyDown(0), 0);
    set(JOY_LOW_THRESHOLD - 1, JOY_HIGH_THRESHOLD + 1);
    EXPECT_EQ(IsJoyLeft(0), 1);
    EXPECT_EQ(IsJoyDown(0), 1);
    set(65535, 0);
    EXPECT_EQ(IsJoyRight(0), 1);
    EXPECT_EQ(IsJoyUp(0), 1);
    headless.joystickPresent[2] = false;  // stopped answering: everything 0
    EXPECT_EQ(IsJoyRight(0), 0);
}

TEST_F(InputTest, ButtonsCountFromOne)
{
    headless.joystickPresent[0] = true;
    headless.joystickButtons[0] = 0x80000001u;
    ScanJoysticks();
    EXPECT_EQ(IsJoyButtonDown(0, 1), 1);
    EXPECT_EQ(IsJoyButtonDown(0, 2), 0);
    EXPECT_EQ(IsJoyButtonDown(0, 32), 1);
    // not valid numbers or slots: answered 0, never a shift past the mask
    EXPECT_EQ(IsJoyButtonDown(0, 0), 0);
    EXPECT_EQ(IsJoyButtonDown(0, 33), 0);
    EXPECT_EQ(IsJoyButtonDown(0, -4), 0);
    EXPECT_EQ(IsJoyButtonDown(-1, 1), 0);
    EXPECT_EQ(IsJoyButtonDown(16, 1), 0);
    EXPECT_EQ(IsJoyUp(99), 0);
}

// Audio: the trace records each call; the music's notification path.
class AudioTest : public InputTest {
protected:
    std::string path;
    void SetUp() override
    {
        InputTest::SetUp();
        path = testing::TempDir() + "audio-trace-" + std::to_string(getpid()) + ".jsonl";
        ASSERT_TRUE(OpenTrace(path));
    }
    std::string Trace()
    {
        CloseTrace();
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
};

TEST_F(AudioTest, EveryCallIsRecorded)
{
    PlayMusic("./se/tw044.mp3");
    PlaySoundEffect("./se/se_tavelkorinsu_system24.wav");
    StopSoundEffect();
    StopMusic("bgm");
    PlayMusic("./se/nv_24.mp3");
    EXPECT_EQ(Trace(),
              "{\"ev\":\"music\",\"op\":\"play\",\"path\":\"./se/tw044.mp3\"}\n"
              "{\"ev\":\"sound\",\"op\":\"play\",\"path\":\"./se/se_tavelkorinsu_system24.wav\"}\n"
              "{\"ev\":\"sound\",\"op\":\"stop\"}\n"
              "{\"ev\":\"music\",\"op\":\"stop\"}\n"
              "{\"ev\":\"music\",\"op\":\"play\",\"path\":\"./se/nv_24.mp3\"}\n");
}

TEST_F(AudioTest, StopTurnsThePendingNotificationIntoAnAbort)
{
    PlayMusic("./se/tw044.mp3");
    PlatformEvent event;
    EXPECT_FALSE(PlatformPollEvent(&event));
    StopMusic("BGM");  // aliases ignore case
    ASSERT_TRUE(PlatformPollEvent(&event));
    EXPECT_EQ(event.type, PLATFORM_EVENT_MUSIC_DONE);
    EXPECT_EQ(event.musicReason, MUSIC_DONE_ABORTED);
    EXPECT_FALSE(headless.musicOpen);
    StopMusic("bgm");  // nothing open: nothing happens
    EXPECT_FALSE(PlatformPollEvent(&event));
}

TEST_F(AudioTest, OtherDeviceNamesAreNotTheMusic)
{
    PlayMusic("./se/tw044.mp3");
    StopMusic("cdaudio");
    EXPECT_TRUE(headless.musicOpen);
    EXPECT_EQ(PlayMciFromStart("cdaudio"), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(PlayMciFromStart("bgm"), 0);
    EXPECT_FALSE(headless.musicNotifyPending);  // played again without notification
}
