// The committed proof replays (tests/replays/, written by tools/solve) still
// clear the shipped stages in the real game: each stage's script reaches that
// stage's goal by mouse, without a death, and shows its results; the full-game
// script plays all four stages from the title, confirms every results screen
// and leaves with END; each pad script clears its stage with the right stick
// and trigger alone, and the run's kept recording verifies at its time. And
// the solver itself: on a small stage of its own, the run it finds plays the
// same in the real game.
#include "tests/test_wholegame_harness.h"
#include "game/controls.h"
#include "game/recording.h"
#include "game/replay_files.h"
#include "game/score.h"
#include "tools/solve/field.h"
#include "tools/solve/script.h"
#include "tools/solve/search.h"

namespace {

std::string ReadScript(const std::string& name)
{
    std::ifstream file(std::string(SOURCE_DIR) + "/tests/replays/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// What a replay shows of one stage: its play frames and the clock at the goal.
struct StageOutcome {
    int playFrames = 0;
    int deaths = 0;
    long long goalClockMs = -1;  // clockMs of the last play frame, when it found the goal
    int clearCurtainFrames = 0;
    int resultsFrames = 0;
};

class ReplayTest : public HarnessTest {
protected:
    // Runs the script and reads, per stage, what the trace shows of it.
    GameRun Replay(const std::string& name, StageOutcome outcome[5])
    {
        std::string script = ReadScript(name);
        EXPECT_FALSE(script.empty()) << name;
        GameRun run = Play(script, 30000);
        std::ifstream trace(folder + "/trace.jsonl");
        std::string line, lastPlay;
        while (std::getline(trace, line)) {
            if (StringField(line, "ev") != "frame")
                continue;
            std::string scene = StringField(line, "scene");
            int stage = static_cast<int>(NumberField(line, "stageNo", 0));
            if (stage < 1 || stage > 4)
                continue;
            StageOutcome& o = outcome[stage];
            if (scene == "play") {
                o.playFrames++;
                lastPlay = line;
            } else if (scene == "death-curtain" && lastPlay.size()) {
                o.deaths += NumberField(lastPlay, "sceneId", 0) == 1;
                lastPlay.clear();
            } else if (scene == "clear-curtain") {
                if (o.clearCurtainFrames++ == 0 && NumberField(lastPlay, "sceneId", 0) == 3)
                    o.goalClockMs = NumberField(lastPlay, "clockMs", -1);
            } else if (scene == "results") {
                o.resultsFrames++;
            }
        }
        return run;
    }

    // Stage n of the script (stageN.txt unless named): played to its goal,
    // its results shown, the window closed with the quit question answered yes.
    StageOutcome ExpectStageProof(int n, std::string name = "")
    {
        if (name.empty()) name = "stage" + std::to_string(n) + ".txt";
        StageOutcome outcome[5];
        GameRun run = Replay(name, outcome);
        SCOPED_TRACE(Describe(SceneRuns(run)));
        EXPECT_EQ(run.status, 1);
        for (int stage = 1; stage < n; stage++) {
            EXPECT_EQ(outcome[stage].playFrames, 1) << "stage " << stage << " is skipped with E";
            EXPECT_EQ(outcome[stage].resultsFrames, 11);
        }
        const StageOutcome& o = outcome[n];
        EXPECT_EQ(o.deaths, 0);
        EXPECT_EQ(o.clearCurtainFrames, 25);
        EXPECT_GT(o.resultsFrames, 0);
        // A real clear: a stage's worth of flying, and a clock that ran from its start.
        EXPECT_GT(o.playFrames, 300);
        EXPECT_EQ(o.goalClockMs, 16LL * o.playFrames);
        printf("%s: stage %d cleared at clockMs %lld (%d play frames)\n", name.c_str(), n, o.goalClockMs,
               o.playFrames);
        return o;
    }
};

TEST_F(ReplayTest, Stage1IsClearedByMouse) { ExpectStageProof(1); }
TEST_F(ReplayTest, Stage2IsClearedByMouse) { ExpectStageProof(2); }
TEST_F(ReplayTest, Stage3IsClearedByMouse) { ExpectStageProof(3); }
TEST_F(ReplayTest, Stage4IsClearedByMouse) { ExpectStageProof(4); }

// The pad's proofs, tools/solve --pad's pad-stageN.txt: stage n cleared as
// the mouse's scripts clear it, every input the pad's but the key E that
// skips the stages before it (the window's close and its question aside),
// aimed by the stick all through, as the run's recording shows; the recording
// verifies at the time the results showed.
class PadReplayTest : public ReplayTest, public testing::WithParamInterface<int> {};

TEST_P(PadReplayTest, TheStageIsClearedByPadAndItsRecordingVerifies)
{
    const int n = GetParam();
    const std::string name = "pad-stage" + std::to_string(n) + ".txt";
    std::string script = ReadScript(name);
    std::istringstream lines(script);
    bool played = false;  // past the stage's own heading
    int padLines = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line == "# stage " + std::to_string(n)) played = true;
        std::istringstream words(line);
        long long frame;
        std::string what, which;
        if (!(words >> frame >> what)) continue;  // headings and dialog answers
        words >> which;
        bool skip = !played && (what == "down" || what == "up") && which == "e";
        EXPECT_TRUE(what == "pad" || what == "close" || skip) << line;
        padLines += what == "pad";
    }
    EXPECT_TRUE(played);
    EXPECT_GT(padLines, 0);

    // A fresh table, so that the run's time enters it and its recording is kept.
    std::string table;
    for (int k = 0; k < 20; k++) table += " 5999999";
    PutScores(table);
    StageOutcome o = ExpectStageProof(n, name);
    std::string kept = folder + "/txt/stage" + std::to_string(n) + "-rank1.replay";
    Recording r;
    std::string why;
    ASSERT_TRUE(ReadRecordingFile(kept.c_str(), &r, &why)) << why;
    // Every play frame aimed where a stick aims, the rules' pointer a stick's
    // length from the character (the mouse rests far off it, where the title
    // put it).
    int aimed = 0;
    for (const RecordedFrame& f : r.frames) {
        if (f.curtain) continue;
        aimed++;
        double reach = std::hypot(f.mouseX - 640.0, f.mouseY - 360.0);
        if (std::fabs(reach - PAD_AIM_DISTANCE) > 1.0) {
            ADD_FAILURE() << "play frame " << aimed << " aims at " << f.mouseX << "," << f.mouseY;
            break;
        }
    }
    EXPECT_EQ(aimed, r.playFrames);
    EXPECT_EQ(r.playFrames, o.playFrames);

    std::string said = folder + "/verify.txt";
    int raw = std::system(("'" + HARNESS + "' --dir '" + folder + "' --verify '" + kept + "' >'" + said + "' 2>&1").c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << ReadText(said);
    TimeText shown = FormatRunTime(r.timeMs);
    EXPECT_NE(ReadText(said).find("stage " + std::to_string(n) + " in " + shown.clock + shown.fraction),
              std::string::npos)
        << ReadText(said);
}

INSTANTIATE_TEST_SUITE_P(Stages, PadReplayTest, testing::Range(1, 5));

TEST_F(ReplayTest, TheWholeGameIsPlayedFromTheTitleToEnd)
{
    std::string script = ReadScript("fullgame.txt");
    EXPECT_EQ(script.find(" down e"), std::string::npos) << "every stage is played, none skipped";

    StageOutcome outcome[5];
    GameRun run = Replay("fullgame.txt", outcome);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    EXPECT_EQ(run.status, 1);
    ASSERT_FALSE(run.events.empty());
    EXPECT_EQ(run.events.back().ev, "exit");
    EXPECT_EQ(run.events.back().code, 1);
    for (int stage = 1; stage <= 4; stage++) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        EXPECT_EQ(outcome[stage].deaths, 0);
        EXPECT_GT(outcome[stage].playFrames, 300);
        EXPECT_EQ(outcome[stage].goalClockMs, 16LL * outcome[stage].playFrames);
        EXPECT_EQ(outcome[stage].resultsFrames, 11) << "confirmed with a click";
    }
    // Title, START, then each stage straight through to its results, the
    // closing screen, and the title again, left with END.
    std::vector<std::string> expected = {"title", "start-curtain", "countdown"};
    for (int stage = 1; stage <= 4; stage++) {
        for (const char* scene : {"play", "clear-curtain", "results"})
            expected.push_back(scene);
        if (stage < 4) {
            expected.push_back("next-curtain");
            expected.push_back("next-countdown");
        }
    }
    expected.push_back("closing");
    expected.push_back("title");
    std::vector<std::string> scenes;
    for (const SceneRun& r : runs)
        scenes.push_back(r.scene);
    EXPECT_EQ(scenes, expected);

    // The closing screen's total is the four stage times' sum, each the time
    // the stage's results ranked; the first whole game is the best, kept with
    // its four recordings, each of which verifies at its stage's time.
    std::vector<const TraceEvent*> closing = run.Frames("closing");
    ASSERT_FALSE(closing.empty());
    const std::string& line = closing.back()->line;
    unsigned stageMs[4] = {};
    size_t at = line.find("\"stageMs\":[");
    ASSERT_NE(at, std::string::npos) << line;
    ASSERT_EQ(sscanf(line.c_str() + at, "\"stageMs\":[%u,%u,%u,%u]", &stageMs[0], &stageMs[1], &stageMs[2], &stageMs[3]), 4);
    std::string scores = ReadText(folder + "/txt/scoretime.txt");
    std::string kept = "prismveldt-bestgame 1\n";
    long long total = 0;
    for (int stage = 1; stage <= 4; stage++) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        unsigned t = stageMs[stage - 1];
        // The stage's time is its run's: the goal's clock and its curtain.
        EXPECT_EQ(t, outcome[stage].goalClockMs + 16 * outcome[stage].clearCurtainFrames);
        EXPECT_NE(scores.find(" " + std::to_string(t) + " "), std::string::npos) << scores;
        total += t;
        kept += "stage" + std::to_string(stage) + " " + std::to_string(t) + "\n";
        std::string recording = folder + "/txt/game-stage" + std::to_string(stage) + ".replay";
        std::string said = folder + "/verify.txt";
        int raw = std::system(("'" + HARNESS + "' --dir '" + folder + "' --verify '" + recording + "' >'" + said + "' 2>&1").c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << ReadText(said);
        TimeText shown = FormatRunTime(t);
        EXPECT_NE(ReadText(said).find("stage " + std::to_string(stage) + " in " + shown.clock + shown.fraction),
                  std::string::npos) << ReadText(said);
    }
    EXPECT_EQ(NumberField(line, "totalMs", -1), total);
    EXPECT_EQ(NumberField(line, "bestMs", -1), total);
    EXPECT_EQ(NumberField(line, "newBest", -1), 1);
    EXPECT_EQ(ReadText(folder + "/txt/bestgame.txt"), kept + "total " + std::to_string(total) + "\n");
    std::vector<std::string> audio = AudioCalls(run);
    ASSERT_FALSE(audio.empty());
    EXPECT_EQ(audio.back(), CLICK);
}

// A small stage: the start's ground, a wall to fly over, a spike floor
// beyond it and the goal; the rest of the grid is rock.
void MakeSmallStage()
{
    for (int r = 0; r < MAP_ROWS; r++)
        for (int c = 0; c < MAP_COLS; c++)
            tileMap[r][c] = (r >= 24 && r <= 32 && c >= 1 && c <= 40) ? 0 : 1;
    for (int r = 28; r <= 32; r++) tileMap[r][18] = 1;  // the wall
    for (int c = 22; c <= 30; c++) tileMap[32][c] = 5;  // the spikes
    tileMap[31][38] = TILE_GOAL;
    tileMap[32][38] = TILE_GOAL;
}

TEST(Solver, TheDistanceMapLeadsAroundWallsAndAwayFromSpikes)
{
    MakeSmallStage();
    solve::Field field = solve::MakeField();
    int start = solve::DistanceAt(field, START_CAM_X + 640, START_CAM_Y + 360);
    ASSERT_LT(start, solve::FIELD_FAR);
    EXPECT_EQ(solve::DistanceAt(field, 38 * 64 + 20, 32 * 64 - 10), 0);
    // Inside rock, and with the centre in the spikes, there is no way on.
    EXPECT_EQ(solve::DistanceAt(field, 10 * 64, 10 * 64), solve::FIELD_FAR);
    EXPECT_EQ(solve::DistanceAt(field, 26 * 64 + 32, 32 * 64 + 32), solve::FIELD_FAR);
    // The wall makes the way longer than the straight line (in half-steps of 8 pixels).
    EXPECT_GT(start, 2 * (38 * 64 - 674) / solve::FIELD_STEP);
}

class SolverReplay : public HarnessTest {};

TEST_F(SolverReplay, ARunFoundByTheSolverClearsTheSameStageInTheGame)
{
    MakeSmallStage();
    {
        std::ofstream stage(folder + "/txt/small.txt");
        for (int r = 0; r < MAP_ROWS; r++)
            for (int c = 0; c < MAP_COLS; c++) stage << tileMap[r][c] << (c + 1 < MAP_COLS ? " " : "\n");
    }
    fs::remove(folder + "/txt/dw_stage1.txt");
    fs::copy_file(folder + "/txt/small.txt", folder + "/txt/dw_stage1.txt");

    // By mouse, and by the pad's stick and trigger.
    for (bool pad : {false, true}) {
        SCOPED_TRACE(pad ? "pad" : "mouse");
        static solve::Moment start, end;
        start = solve::Moment();
        BeginRun(start.run, PlayState());
        solve::SearchSettings settings;
        settings.pad = pad;
        std::vector<solve::Input> inputs;
        ASSERT_TRUE(solve::SearchStage(solve::MakeField(), start, settings, &inputs, &end));
        EXPECT_EQ(end.scene, SCENE_GOAL);

        std::string script = solve::WriteScript({inputs}, 1, 1, false, "# small stage\n", pad);
        GameRun run = Play(script, 3000);
        EXPECT_EQ(run.status, 1);
        std::vector<SceneRun> runs = SceneRuns(run);
        SCOPED_TRACE(Describe(runs));
        ASSERT_GE(runs.size(), 5u);
        EXPECT_EQ(runs[3].scene, "play");
        EXPECT_EQ(runs[3].first, pad ? solve::PAD_FIRST_PLAY_FRAME : solve::FIRST_PLAY_FRAME);
        EXPECT_EQ(runs[3].frames, (int)inputs.size());
        EXPECT_EQ(runs[4].scene, "clear-curtain");
    }
}

}  // namespace
