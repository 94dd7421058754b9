// The pad and the bindings: the stick's radial deadzone and the aim it
// holds, the triggers and buttons as bound inputs, the Controls page's way
// of changing a binding, and through the real game a run played by pad
// alone, fire bound to a key, a pad pulled out mid-run and the Controls
// page's changes kept in the settings file.
#include <cmath>

#include "game/controls.h"
#include "game/controls_scene.h"
#include "game/motion.h"
#include "input/input.h"
#include "tests/test_wholegame_harness.h"

namespace {

PadState Stick(int rightX, int rightY, int leftX = 0, int leftY = 0)
{
    PadState pad{};
    pad.axes[PAD_AXIS_RIGHT_X] = static_cast<int16_t>(rightX);
    pad.axes[PAD_AXIS_RIGHT_Y] = static_cast<int16_t>(rightY);
    pad.axes[PAD_AXIS_LEFT_X] = static_cast<int16_t>(leftX);
    pad.axes[PAD_AXIS_LEFT_Y] = static_cast<int16_t>(leftY);
    return pad;
}

}  // namespace

TEST(PadRules, TheDeadzoneIsRoundAndTheAimLiesAtAFixedDistance)
{
    int x = -1, y = -1;
    // 15 % of the travel is 4915: the same in every direction, diagonals too.
    EXPECT_FALSE(StickAimPoint(4915, 0, 15, &x, &y));
    EXPECT_FALSE(StickAimPoint(3470, -3470, 15, &x, &y));  // 4907 long
    EXPECT_EQ(x, -1);
    EXPECT_TRUE(StickAimPoint(4916, 0, 15, &x, &y));
    EXPECT_TRUE(StickAimPoint(3480, 3480, 15, &x, &y));    // 4921 long
    EXPECT_FALSE(StickAimPoint(0, 0, 0, &x, &y));  // no direction at all
    EXPECT_TRUE(StickAimPoint(1, 0, 0, &x, &y));
    EXPECT_FALSE(StickAimPoint(9000, 0, 80, &x, &y)) << "the deadzone is held to 30 %";
    struct { int sx, sy, px, py; } cases[] = {
        {32767, 0, PLAYER_SCREEN_X + PAD_AIM_DISTANCE, PLAYER_SCREEN_Y},
        {-32768, 0, PLAYER_SCREEN_X - PAD_AIM_DISTANCE, PLAYER_SCREEN_Y},
        {0, -32768, PLAYER_SCREEN_X, PLAYER_SCREEN_Y - PAD_AIM_DISTANCE},  // up is negative
        {-32768, -32768, PLAYER_SCREEN_X - 170, PLAYER_SCREEN_Y - 170},
        {10000, 10000, PLAYER_SCREEN_X + 170, PLAYER_SCREEN_Y + 170},  // a half push aims alike
    };
    for (auto c : cases) {
        ASSERT_TRUE(StickAimPoint(c.sx, c.sy, 15, &x, &y)) << c.sx << "," << c.sy;
        EXPECT_EQ(x, c.px) << c.sx << "," << c.sy;
        EXPECT_EQ(y, c.py) << c.sx << "," << c.sy;
    }
    // Every direction lands PAD_AIM_DISTANCE away, to the rounding.
    for (int degrees = 0; degrees < 360; degrees += 7) {
        double a = degrees * M_PI / 180;
        ASSERT_TRUE(StickAimPoint((int)(30000 * std::cos(a)), (int)(30000 * std::sin(a)), 15, &x, &y));
        EXPECT_NEAR(std::hypot(x - PLAYER_SCREEN_X, y - PLAYER_SCREEN_Y), PAD_AIM_DISTANCE, 0.75) << degrees;
    }
}

TEST(PadRules, TheAimHoldsItsAngleThroughNoiseUntilTheMouseMoves)
{
    PadAim aim;
    int x, y;
    StepPadAim(&aim, 100, 200, Stick(0, 0), true, 15, false, &x, &y);
    EXPECT_EQ(x, 100);  // the mouse aims while the stick rests
    EXPECT_EQ(y, 200);
    StepPadAim(&aim, 100, 200, Stick(-30000, 0), true, 15, false, &x, &y);
    EXPECT_EQ(x, PLAYER_SCREEN_X - PAD_AIM_DISTANCE);
    EXPECT_EQ(y, PLAYER_SCREEN_Y);
    // Let go, the stick jitters about its centre below the deadzone: the
    // angle stays, whatever direction the noise points.
    int noise[][2] = {{3000, 3000}, {-4000, 2000}, {0, -4900}, {4800, -900}, {0, 0}};
    for (auto n : noise) {
        StepPadAim(&aim, 100, 200, Stick(n[0], n[1]), true, 15, false, &x, &y);
        EXPECT_EQ(x, PLAYER_SCREEN_X - PAD_AIM_DISTANCE) << n[0] << "," << n[1];
        EXPECT_EQ(y, PLAYER_SCREEN_Y);
    }
    // The same jitter aims with no deadzone.
    StepPadAim(&aim, 100, 200, Stick(0, -4900), true, 0, false, &x, &y);
    EXPECT_EQ(x, PLAYER_SCREEN_X);
    EXPECT_EQ(y, PLAYER_SCREEN_Y - PAD_AIM_DISTANCE);
    // The mouse moving takes the aim back; a pad pulled out leaves the mouse's.
    StepPadAim(&aim, 101, 200, Stick(0, 0), true, 15, false, &x, &y);
    EXPECT_EQ(x, 101);
    StepPadAim(&aim, 101, 200, Stick(30000, 0), false, 15, false, &x, &y);
    EXPECT_EQ(x, 101);
    // The left stick aims only when chosen, and the right wins over it.
    StepPadAim(&aim, 101, 200, Stick(0, 0, 0, 30000), true, 15, false, &x, &y);
    EXPECT_EQ(x, 101);
    StepPadAim(&aim, 101, 200, Stick(0, 0, 0, 30000), true, 15, true, &x, &y);
    EXPECT_EQ(y, PLAYER_SCREEN_Y + PAD_AIM_DISTANCE);
    StepPadAim(&aim, 101, 200, Stick(30000, 0, 0, 30000), true, 15, true, &x, &y);
    EXPECT_EQ(x, PLAYER_SCREEN_X + PAD_AIM_DISTANCE);
    EXPECT_EQ(y, PLAYER_SCREEN_Y);
}

TEST(PadRules, TriggersCountPastAQuarterAndADetachedPadHoldsNothing)
{
    PadState pad{};
    pad.axes[PAD_AXIS_RIGHT_TRIGGER] = PAD_TRIGGER_HELD - 1;
    pad.buttons = 1u << PAD_START;
    EXPECT_FALSE(PadButtonHeld(pad, true, PAD_RIGHT_TRIGGER));
    pad.axes[PAD_AXIS_RIGHT_TRIGGER] = PAD_TRIGGER_HELD;
    EXPECT_TRUE(PadButtonHeld(pad, true, PAD_RIGHT_TRIGGER));
    EXPECT_FALSE(PadButtonHeld(pad, true, PAD_LEFT_TRIGGER));
    EXPECT_TRUE(PadButtonHeld(pad, true, PAD_START));
    EXPECT_FALSE(PadButtonHeld(pad, true, PAD_A));
    EXPECT_FALSE(PadButtonHeld(pad, false, PAD_START));
    EXPECT_FALSE(PadButtonHeld(pad, true, -1));
    EXPECT_FALSE(PadButtonHeld(pad, true, 99));
    Binding fire = DefaultBindings()[ACTION_FIRE];
    EXPECT_TRUE(BindingHeld(fire, pad, true));
    EXPECT_FALSE(BindingHeld(fire, pad, false));
}

TEST(ControlsPage, APressAddsOrTakesAnInputButNeverTheLast)
{
    auto key = [](int code) { return Input{INPUT_KEY, code}; };
    Binding b = DefaultBindings()[ACTION_PAUSE];  // P, Pause, pad Start
    EXPECT_EQ(BindingText(b), "P, PAUSE, PAD START");
    EXPECT_TRUE(PressIntoBinding(&b, key(VK_SPACE)));  // full: the oldest goes
    EXPECT_EQ(BindingText(b), "SPACE, P, PAUSE");
    EXPECT_TRUE(PressIntoBinding(&b, key('P')));
    EXPECT_EQ(BindingText(b), "SPACE, PAUSE");
    EXPECT_TRUE(PressIntoBinding(&b, key(VK_PAUSE)));
    EXPECT_EQ(BindingText(b), "SPACE");
    EXPECT_FALSE(PressIntoBinding(&b, key(VK_SPACE)));  // the last one stays
    EXPECT_EQ(BindingText(b), "SPACE");
    EXPECT_TRUE(PressIntoBinding(&b, Input{INPUT_PAD, PAD_RIGHT_TRIGGER}));
    EXPECT_TRUE(PressIntoBinding(&b, Input{INPUT_MOUSE, VK_MBUTTON}));
    EXPECT_EQ(BindingText(b), "MOUSE MIDDLE, PAD RT, SPACE");
    // A binding with gaps (a hand-edited file) is packed, not misread.
    Binding gaps;
    gaps.inputs[2] = key('Q');
    EXPECT_TRUE(PressIntoBinding(&gaps, key('W')));
    EXPECT_EQ(BindingText(gaps), "W, Q");
    EXPECT_EQ(BindingText(Binding{}), "NONE");
}

// ---- through the game ----

namespace {

// Stage 1's play begins on frame 279, the start chosen with the pad: left
// picks START, A chooses it.
const std::string PAD_TO_PLAY = "dialog no\n0 pad connect\n1 pad down dpleft\n2 pad up dpleft\n"
                                "3 pad down a\n4 pad up a\n";

class PadGame : public HarnessTest {
protected:
    std::string SettingsFile() { return folder + "/settings.ini"; }
    GameRun PlayWithSettings(const std::string& script, long long frames)
    {
        return RunGame(folder, script, frames, "", "--settings '" + SettingsFile() + "'");
    }
};

double Field(const TraceEvent* e, const char* name) { return NumberField(e->line, name, NAN); }

}  // namespace

TEST_F(PadGame, APadAloneStartsAimsFiresAndHoldsItsAim)
{
    // Aim up and left and pull the trigger: the recoil pushes down and right.
    // Then let go of the stick to noise under the deadzone: the aim holds.
    GameRun run = Play(PAD_TO_PLAY + "300 pad axis rightx -20000\n300 pad axis righty -20000\n"
                                     "300 pad axis righttrigger 30000\n"
                                     "320 pad axis rightx 3000\n320 pad axis righty -2500\n"
                                     "340 pad axis righttrigger 0\n",
                       360);
    std::vector<const TraceEvent*> play = run.Frames("play");
    ASSERT_GE(play.size(), 80u) << Describe(SceneRuns(run));
    EXPECT_EQ(play.front()->n, 279);
    auto frame = [&](long long n) {
        for (const TraceEvent* e : play)
            if (e->n == n) return e;
        return play.front();
    };
    EXPECT_EQ(Field(frame(299), "firing"), 0);
    EXPECT_EQ(Field(frame(301), "firing"), 1);
    EXPECT_GT(Field(frame(319), "velX"), 0);
    // Through the noise the push keeps its direction.
    EXPECT_EQ(Field(frame(330), "velX"), Field(frame(319), "velX"));
    EXPECT_GT(Field(frame(339), "camX"), Field(frame(320), "camX"));
    EXPECT_EQ(Field(frame(341), "firing"), 0);
}

TEST_F(PadGame, APadPulledOutPausesAtOnceAndStartResumes)
{
    GameRun run = Play(PAD_TO_PLAY + "300 pad disconnect\n310 pad connect\n320 pad down start\n"
                                     "321 pad up start\n",
                       340);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    ASSERT_GE(runs.size(), 6u);
    EXPECT_EQ(runs[3].scene, "play");
    EXPECT_EQ(runs[4].scene, "pause");
    EXPECT_EQ(run.Frames("pause").front()->n, 301) << "the frame after the pad went";
    EXPECT_EQ(runs[5].scene, "play");
    EXPECT_EQ(run.Frames("pause").back()->n, 320);
}

TEST_F(PadGame, FireBoundToAKeyFiresAndTheMouseNoLonger)
{
    std::ofstream(SettingsFile()) << "bind_fire = key space, pad righttrigger\n";
    GameRun run = PlayWithSettings("dialog no\n0 mouse 300 580\n0 down lmb\n1 up lmb\n"
                                   "290 mouse 100 100\n290 down lmb\n300 down space\n310 up space\n",
                                   320);
    std::vector<const TraceEvent*> play = run.Frames("play");
    ASSERT_GE(play.size(), 30u) << Describe(SceneRuns(run));
    for (const TraceEvent* e : play) {
        bool spaceHeld = e->n >= 300 && e->n < 310;
        EXPECT_EQ(Field(e, "firing"), spaceHeld ? 1 : 0) << "frame " << e->n;
    }
}

TEST_F(PadGame, TheControlsPageBindsAPressAndKeepsItInTheSettingsFile)
{
    // Up on the title picks SETTINGS; A; up round to BACK and up again to
    // CONTROLS; A; A on FIRE; then the pad's X is pressed for it; B twice
    // goes back out.
    std::string script = "dialog no\n0 pad connect\n5 pad down dpup\n6 pad up dpup\n8 pad down a\n9 pad up a\n"
                         "20 pad down dpup\n21 pad up dpup\n22 pad down dpup\n23 pad up dpup\n";
    script += "30 pad down a\n31 pad up a\n40 pad down a\n41 pad up a\n50 pad down x\n51 pad up x\n"
              "60 pad down b\n61 pad up b\n70 pad down b\n71 pad up b\n";
    GameRun run = PlayWithSettings(script, 90);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    ASSERT_GE(runs.size(), 5u);
    EXPECT_EQ(runs[1].scene, "settings");
    EXPECT_EQ(runs[2].scene, "controls");
    EXPECT_EQ(runs[3].scene, "settings");
    EXPECT_EQ(runs[4].scene, "title");
    std::string saved = ReadText(SettingsFile());
    EXPECT_NE(saved.find("bind_fire = pad x, mouse left, pad righttrigger\n"), std::string::npos) << saved;
}
