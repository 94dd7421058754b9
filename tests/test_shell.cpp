// The shell over the headless machine: display modes and their window sizes,
// the window procedure's three events, frame pacing and the frame record.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "audio/audio.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "gfx/screen.h"
#include "game/scenes.h"
#include "shell/shell.h"

class ShellTest : public ::testing::Test {
protected:
    std::string tracePath;
    void SetUp() override
    {
        headless = HeadlessMachine{};
        displayMode = DISPLAY_WINDOWED_DOUBLE;
        tracePath = testing::TempDir() + "shell-trace-" + std::to_string(getpid()) + ".jsonl";
        ASSERT_TRUE(OpenTrace(tracePath));
    }
    void TearDown() override
    {
        CloseTrace();
        headless = HeadlessMachine{};
    }
    std::string Trace()
    {
        CloseTrace();
        std::ifstream file(tracePath);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    void ExpectWindow(int x, int y, int width, int height, bool captionlessWindow)
    {
        EXPECT_FALSE(headless.fullscreen);
        EXPECT_EQ(headless.windowX, x);
        EXPECT_EQ(headless.windowY, y);
        EXPECT_EQ(headless.clientWidth, width);
        EXPECT_EQ(headless.clientHeight, height);
        EXPECT_EQ(headless.windowCaptionless, captionlessWindow);
        EXPECT_TRUE(headless.cursorVisible);
    }
};

TEST_F(ShellTest, DoubledWindowHasTwiceTheClientArea)
{
    SetDisplayMode(0, 0, 320, 200, DISPLAY_WINDOWED_DOUBLE, "タイトルです");
    ExpectWindow(0, 0, 640, 400, false);
    EXPECT_EQ(PixelScale(), 2);
    EXPECT_STREQ(windowTitle, "タイトルです");
    EXPECT_EQ(headless.windowTitle, "タイトルです");
    ASSERT_NE(currentFont, nullptr);  // the default font, at the doubled size
    EXPECT_EQ(currentFont->width, 16);
    EXPECT_EQ(currentFont->height, 32);
}

TEST_F(ShellTest, PlainWindowAtItsCorner)
{
    SetDisplayMode(30, 40, 1280, 720, DISPLAY_WINDOWED, "Prismveldt");
    ExpectWindow(30, 40, 1280, 720, false);
    EXPECT_EQ(windowX, 30);
    EXPECT_EQ(windowY, 40);
    EXPECT_EQ(screenWidth, 1280);
    EXPECT_EQ(screenHeight, 720);
    EXPECT_EQ(displayMode, DISPLAY_WINDOWED);
    EXPECT_EQ(PixelScale(), 1);
    EXPECT_EQ(captionless, 0);
    ASSERT_NE(currentFont, nullptr);
    EXPECT_EQ(currentFont->height, 16);
}

TEST_F(ShellTest, EmptyTitleMeansNoCaption)
{
    SetDisplayMode(0, 0, 100, 50, DISPLAY_WINDOWED_DOUBLE, "");
    ExpectWindow(0, 0, 200, 100, true);
    EXPECT_EQ(captionless, 1);
    SetDisplayMode(0, 0, 100, 50, DISPLAY_WINDOWED, "x");
    EXPECT_EQ(captionless, 0);
    EXPECT_FALSE(headless.windowCaptionless);
}

TEST_F(ShellTest, FullScreenHidesThePointer)
{
    SetDisplayMode(5, 5, 1280, 720, DISPLAY_FULLSCREEN, "Prismveldt");
    EXPECT_TRUE(headless.fullscreen);
    EXPECT_EQ(headless.clientWidth, 1280);
    EXPECT_EQ(headless.clientHeight, 720);
    EXPECT_EQ(displayMode, DISPLAY_FULLSCREEN);
    EXPECT_EQ(PixelScale(), 1);
    EXPECT_FALSE(headless.cursorVisible);
    // back to a window: the desktop's own mode and the arrow return
    SetDisplayMode(0, 0, 1280, 720, DISPLAY_WINDOWED, "Prismveldt");
    ExpectWindow(0, 0, 1280, 720, false);
}

TEST_F(ShellTest, RefusedFullScreenFallsBackToAPlainWindow)
{
    SetDisplayMode(0, 0, 1, 1, DISPLAY_WINDOWED, "未定");
    headless.refuseFullscreen = true;
    SetDisplayMode(0, 0, 1280, 720, DISPLAY_FULLSCREEN, "Prismveldt");
    EXPECT_EQ(displayMode, DISPLAY_WINDOWED);
    EXPECT_EQ(screenWidth, 1280);
    ExpectWindow(0, 0, 1280, 720, false);
}

TEST_F(ShellTest, UnknownModeLeavesTheWindowAlone)
{
    SetDisplayMode(0, 0, 320, 200, DISPLAY_WINDOWED_DOUBLE, "a");
    SetDisplayMode(9, 9, 800, 600, 7, "b");
    ExpectWindow(0, 0, 640, 400, false);
    EXPECT_EQ(displayMode, 7);
    SetDisplayMode(9, 9, 800, 600, -1, "c");
    ExpectWindow(0, 0, 640, 400, false);
}

TEST_F(ShellTest, LongTitlesAreCutAtACharacter)
{
    std::string longTitle;
    while (longTitle.size() < 600) longTitle += "終了";
    SetDisplayMode(0, 0, 10, 10, DISPLAY_WINDOWED, longTitle.c_str());
    size_t length = strlen(windowTitle);
    EXPECT_LT(length, static_cast<size_t>(WINDOW_TITLE_CAPACITY));
    EXPECT_EQ(length % 3, 0u);  // whole three-byte characters only
    EXPECT_EQ(longTitle.compare(0, length, windowTitle), 0);
    // the title may be the buffer itself, as at start-up
    SetDisplayMode(0, 0, 10, 10, DISPLAY_WINDOWED, windowTitle);
    EXPECT_EQ(strlen(windowTitle), length);
}

TEST_F(ShellTest, CloseAnsweredNoGoesOn)
{
    headless.script.answers = {false};
    headless.events.push_back(PLATFORM_EVENT_CLOSE);
    PumpMessages();
    EXPECT_EQ(Trace(), "{\"ev\":\"dialog\",\"text\":\"本当に終了しますか？\",\"caption\":\"終了確認です\","
                       "\"answer\":\"no\"}\n");
}

TEST_F(ShellTest, CloseAnsweredYesEndsWithStatusOne)
{
    headless.script.answers = {true};
    headless.events.push_back(PLATFORM_EVENT_CLOSE);
    EXPECT_EXIT(PumpMessages(), testing::ExitedWithCode(1), "");
    std::string trace = Trace();
    EXPECT_NE(trace.find("\"answer\":\"yes\"}\n{\"ev\":\"exit\",\"code\":1}\n"), std::string::npos)
        << trace;
}

// The layers below reach the shell only through the hooks it sets: text
// takes the window's messages after it draws, a picture that cannot be
// loaded ends the program after its box, and a surface too large for memory
// gets the out-of-memory box.
TEST_F(ShellTest, TheHooksItSetsCarryTheMessagesAndTheEnds)
{
    InstallShellHooks();
    Surface surface = CreateBlankSurface(40, 20);
    headless.script.answers = {false};
    headless.events.push_back(PLATFORM_EVENT_CLOSE);
    SetFont(8, 16, "ＭＳ 明朝");
    PrintTextOn(surface, 0, 0, 0x000000, COLOR_NONE, "x");
    EXPECT_TRUE(headless.events.empty());
    EXPECT_NE(Trace().find("\"text\":\"本当に終了しますか？\""), std::string::npos);
    DeleteSurface(surface);

    ASSERT_TRUE(OpenTrace(tracePath));
    EXPECT_EXIT(LoadBitmapSurface("./bmp/no-such-picture.bmp"), testing::ExitedWithCode(1), "");
    EXPECT_NE(Trace().find("\"text\":\"Bitmapロードエラー:./bmp/no-such-picture.bmp\",\"caption\":\"エラー\","
                           "\"answer\":\"ok\"}\n{\"ev\":\"exit\",\"code\":1}\n"),
              std::string::npos);

    ASSERT_TRUE(OpenTrace(tracePath));
    // Doubled, 16384 x 16384 is past what any surface may hold.
    EXPECT_EXIT(CreateBlankSurface(1 << 14, 1 << 14), testing::ExitedWithCode(1),
                "out of memory making 32768x32768の画像");
    EXPECT_NE(Trace().find("\"text\":\"メモリが足りません:32768x32768の画像\""), std::string::npos);
}

TEST_F(ShellTest, FinishedMusicStartsAgainButAStoppedOneDoesNot)
{
    PlayMusic("./se/tw044.mp3");
    headless.musicNotifyPending = false;  // the play ran to its end
    PlatformEvent done{PLATFORM_EVENT_MUSIC_DONE, MUSIC_DONE_SUCCESSFUL};
    WindowProc(&done);
    EXPECT_TRUE(headless.musicNotifyPending);  // playing again, notification asked for
    headless.musicNotifyPending = false;
    done.musicReason = MUSIC_DONE_FAILURE;
    WindowProc(&done);
    EXPECT_TRUE(headless.musicNotifyPending);
    StopMusic("bgm");
    PumpMessages();  // takes the abort the stop caused
    EXPECT_FALSE(headless.musicOpen);
    EXPECT_FALSE(headless.musicNotifyPending);
    PlatformEvent event;
    EXPECT_FALSE(PlatformPollEvent(&event));
}

TEST_F(ShellTest, DeviceChangeRescansJoysticks)
{
    for (auto& id : joystickIds) id = -1;
    headless.joystickPresent[4] = true;
    headless.events.push_back(PLATFORM_EVENT_DEVICE_CHANGE);
    PumpMessages();
    EXPECT_EQ(joystickIds[0], 4);
}

TEST_F(ShellTest, FramesStartEverySixteenMilliseconds)
{
    uint32_t start = WaitNextFrame(0);
    EXPECT_EQ(start, 16u);
    start = WaitNextFrame(start);
    EXPECT_EQ(start, 32u);
    headless.clockMs = 100;  // a slow frame: the next one starts at once
    start = WaitNextFrame(start);
    EXPECT_EQ(start, 100u);
}

TEST_F(ShellTest, FrameRecordCarriesSceneAndSelector)
{
    uint32_t start = WaitNextFrame(0);
    TraceFrame(FrameEnd{FRAME_SHOWN, "play", SCENE_TO_TITLE, 3, "\"camX\":1.5"});
    WaitNextFrame(start);
    TraceFrame(FrameEnd{FRAME_TRACED, "title", SCENE_TO_TITLE, 3, ""});
    EXPECT_EQ(Trace(),
              "{\"ev\":\"frame\",\"n\":0,\"t\":16,\"scene\":\"play\",\"sceneId\":-999,\"stageNo\":3,"
              "\"camX\":1.5}\n"
              "{\"ev\":\"frame\",\"n\":1,\"t\":32,\"scene\":\"title\",\"sceneId\":-999,\"stageNo\":3}\n");
}
