// A session's own bad input, through the real game: a close request in every
// scene (answered Yes it ends there with status 1; answered No nothing
// changes), the pointer far outside the window, and a run clock past 100
// minutes on the play scene's clock and the results screen.
#include "tests/test_bad_input_support.h"

#include "game/assets.h"
#include "game/play_step.h"
#include "game/results_scene.h"
#include "game/score.h"
#include "game/stage.h"
#include "gfx/rotate.h"
#include "platform/headless/headless.h"
#include "gfx/screen.h"
#include "game/scenes.h"
#include "shell/shell.h"

#include <map>

using namespace badinput;

namespace {

// Every scene in one game: stage 1 is cleared with E, its results left with
// the held button, stage 2's spikes kill the character over and over until
// Escape leaves for the title, where Escape ends the game.
// The results screen (from frame 316) sees the button let go, then a click.
const std::string EVERY_SCENE =
    START_GAME + "290 down e\n291 up e\n300 up lmb\n330 down lmb\n590 up lmb\n900 down esc\n";
constexpr long long EVERY_SCENE_FRAMES = 1100;
const char* const SCENES[] = {"title",   "start-curtain", "countdown",    "play",
                              "clear-curtain", "results", "next-curtain", "next-countdown",
                              "death-curtain", "leave-curtain"};

struct SessionFolder : TinyPictureFolder {
    SessionFolder()
    {
        Write("txt/dw_stage1.txt", StageText([](int, int) { return 0; }));
        Write("txt/dw_stage2.txt", StageText([](int row, int) { return row == 33 ? 5 : 0; }));
    }
};

std::vector<std::pair<long long, std::string>> FrameScenes(const GameRun& run)
{
    std::vector<std::pair<long long, std::string>> frames;
    for (const Event* frame : run.Frames()) frames.push_back({frame->n, frame->scene});
    return frames;
}

class BadSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HarnessBuilt()) GTEST_SKIP() << "needs " << HARNESS << " and " << DATA;
        reference = folder.Play(EVERY_SCENE, EVERY_SCENE_FRAMES);
        ASSERT_EQ(reference.status, 1) << reference.output;
        // A frame inside each scene: its second, or its only one.
        for (const Event* frame : reference.Frames()) {
            auto seen = firstFrame.find(frame->scene);
            if (seen == firstFrame.end()) firstFrame[frame->scene] = frame->n;
            else if (seen->second == frame->n - 1 && inside.count(frame->scene) == 0)
                inside[frame->scene] = frame->n;
        }
        for (const auto& [scene, first] : firstFrame)
            if (inside.count(scene) == 0) inside[scene] = first;
        for (const char* scene : SCENES) ASSERT_EQ(inside.count(scene), 1u) << scene;
    }

    SessionFolder folder;
    GameRun reference;
    std::map<std::string, long long> firstFrame;
    std::map<std::string, long long> inside;  // the second frame of each scene
};

}  // namespace

TEST_F(BadSession, CloseAnsweredYesInEverySceneEndsTheGameThere)
{
    for (const char* scene : SCENES) {
        SCOPED_TRACE(scene);
        long long frame = inside[scene];
        GameRun run = folder.Play(EVERY_SCENE + std::to_string(frame) + " close\ndialog no\ndialog yes\n",
                                  EVERY_SCENE_FRAMES);
        EXPECT_EQ(run.status, 1) << run.output;
        std::vector<const Event*> boxes = run.Dialogs();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1]->text, CLOSE_TEXT);
        EXPECT_EQ(boxes[1]->caption, CLOSE_CAPTION);
        EXPECT_EQ(boxes[1]->answer, "yes");
        // The frame the close came in was the last. Scenes that print text
        // meet the box inside that frame's drawing (every text call pumps
        // messages), so it never finishes; the others meet it after it.
        std::vector<const Event*> frames = run.Frames();
        ASSERT_FALSE(frames.empty());
        EXPECT_GE(frames.back()->n, frame - 1);
        EXPECT_LE(frames.back()->n, frame);
        EXPECT_EQ(frames.back()->scene, scene);
        EXPECT_LT(frames.back(), boxes[1]);
        EXPECT_EQ(run.events.back().ev, "exit");
        EXPECT_EQ(run.events.back().code, 1);
    }
}

TEST_F(BadSession, CloseAnsweredNoInEverySceneChangesNothing)
{
    std::string closes;
    for (const char* scene : SCENES) closes += std::to_string(inside[scene]) + " close\n";
    GameRun run = folder.Play(EVERY_SCENE + closes, EVERY_SCENE_FRAMES);
    EXPECT_EQ(run.status, 1) << run.output;
    std::vector<const Event*> boxes = run.Dialogs();
    ASSERT_EQ(boxes.size(), 1u + std::size(SCENES));
    for (size_t k = 1; k < boxes.size(); k++) {
        EXPECT_EQ(boxes[k]->text, CLOSE_TEXT);
        EXPECT_EQ(boxes[k]->answer, "no");
    }
    EXPECT_EQ(FrameScenes(run), FrameScenes(reference));
}

TEST_F(BadSession, PointerFarOutsideTheWindow)
{
    // From START on, the pointer jumps between points far beyond every edge
    // (and back inside now and then) while the button is held and released.
    const long long far = 536870911;  // the farthest a script may place it
    const long long points[][2] = {{-far, -far}, {far, far}, {far, -far}, {-far, far}, {640, -far},
                                   {-far, 360},  {0, 0},     {1279, 719}, {-1, -1},    {1280, 720}};
    std::string script = EVERY_SCENE;
    for (long long frame = 4; frame < EVERY_SCENE_FRAMES; frame += 3) {
        const long long* p = points[(frame / 3) % std::size(points)];
        script += std::to_string(frame) + " mouse " + std::to_string(p[0]) + " " + std::to_string(p[1]) + "\n";
    }
    GameRun run = folder.Play(script, EVERY_SCENE_FRAMES);
    EXPECT_EQ(run.status, 1) << run.output;
    std::vector<const Event*> play = run.Frames("play");
    ASSERT_GT(play.size(), 20u);
    for (const Event* frame : play) {
        double x = NumberField(frame->line, "camX", NAN) + 640, y = NumberField(frame->line, "camY", NAN) + 360;
        ASSERT_TRUE(x >= 0 && x < 12800 && y >= 0 && y < 2560) << frame->line.substr(0, 200);
        double beam = NumberField(frame->line, "beamLength", NAN);
        ASSERT_TRUE(beam >= 0 && beam < 1e7) << frame->line.substr(0, 200);
    }
}

// In the game's own process: the play frame and the results screen with run
// clocks from just under 100 minutes to the largest the clock can show.
TEST(LongRun, ClockPastOneHundredMinutes)
{
    if (!HarnessBuilt()) GTEST_SKIP() << "needs " << DATA;
    TinyPictureFolder folder;
    folder.Write("txt/scoretime.txt", " 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20");
    fs::current_path(folder.path);
    displayMode = DISPLAY_WINDOWED;
    screenWidth = 1280;
    screenHeight = 720;
    InstallShellHooks();
    FillTrigTables();
    LoadAssets();
    LoadStage(1);

    static PlayState s;
    static PlayView view;
    const uint32_t clocks[] = {5999999u, 6000000u, 60000000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    for (uint32_t clock : clocks) {
        s.runStart = 1000;
        s.frameStart = 1000 + clock;
        StepPlay(s, 640, 100, 0, &view);
        EXPECT_EQ(view.clockMs, clock);
        DrawPlayFrame(view);
    }

    // The left button let go on the first frame, then held: the results
    // screen leaves on its eleventh frame. A run of 100 minutes and more
    // never enters the table.
    for (uint32_t clock : clocks) {
        SCOPED_TRACE(clock);
        long long before = headless.framesStarted;
        headless.script.actions.push_back(ScriptAction{before, SCRIPT_UP, 0, 0, 0x01, 1});
        headless.script.actions.push_back(ScriptAction{before + 1, SCRIPT_DOWN, 0, 0, 0x01, 1});
        // The last stage's screen: its click goes back to the title, and with
        // nothing below it the frames end there.
        ResultsScene results;
        results.runTimeMs = clock;
        results.stage = 4;
        RunFrameLoop(Scene{results}, [] {});
        EXPECT_EQ(headless.framesStarted - before, 11);
        EXPECT_EQ(ReadText(folder.path + "/txt/scoretime.txt"),
                  " 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20");
    }
    fs::current_path("/");
}
