// Whole games through the headless harness: the title, all four stages (each
// cleared at its goal on its second play frame), their results screens, back
// to the title and out with a press on END; and a game that leaves a results
// screen with Escape. Checks the frames'
// scenes, the sound and music calls in order, the exit status and the score
// file the games leave behind.
#include "tests/test_wholegame_harness.h"

#include <algorithm>
#include <map>

namespace {

// Every stage's start surrounded by goal tiles, in place of the links to the
// built stages: each run is cleared by play on its second frame, and ranked
// (a run ended with E never is).
class WholeGameTest : public HarnessTest {
protected:
    void SetUp() override
    {
        HarnessTest::SetUp();
        if (IsSkipped()) return;
        for (int stage = 1; stage <= 4; stage++) {
            std::string name = folder + "/txt/dw_stage" + std::to_string(stage) + ".txt";
            fs::remove(name);
            std::ofstream file(name);
            for (int r = 0; r < 40; r++)
                for (int c = 0; c < 200; c++)
                    file << (r >= 30 && c >= 8 && c <= 12 ? 11 : 0) << (c == 199 ? '\n' : ' ');
        }
    }
};

// Each stage then takes the same frames: its results screen comes up on
// frame FIRST_RESULTS and every RESULTS_EVERY frames after.
constexpr long long FIRST_RESULTS = 1 + 25 + 250 + 2 + 25;
constexpr long long RESULTS_EVERY = 11 + 25 + 250 + 2 + 25;

// The left button let go on the first frame of every results screen and
// pressed again on the next.
std::string LetGoOnEveryResults()
{
    std::string lines;
    for (int stage = 0; stage < 4; stage++) {
        long long results = FIRST_RESULTS + stage * RESULTS_EVERY;
        lines += std::to_string(results) + " up lmb\n" + std::to_string(results + 1) + " down lmb\n";
    }
    return lines;
}

// Left button held from the first frame to the last, but for a moment on
// each results screen: START is clicked on the first frame, every stage is
// cleared on its second play frame, and every results screen is left on its
// eleventh frame.
const std::string HOLD_ALL = "0 mouse 300 580\n"  // inside START's resting box
                             "0 down lmb\n" +
                             LetGoOnEveryResults();
// The pointer on END's resting box on every frame from the second on: the
// title moves the pointer when it starts, and the script's line for that
// frame moves it back, so the second title ends on its first frame.
std::string OntoEndFrom(long long first, long long last)
{
    std::string lines;
    for (long long frame = first; frame <= last; frame++)
        lines += std::to_string(frame) + " mouse 950 560\n";
    return lines;
}

// Each stage: the countdown, two play frames and the clear curtain before its
// results; this is the longest a game of four stages takes with HOLD_ALL,
// and the closing screen's eleven frames.
constexpr long long ENOUGH_FRAMES = 4 * (2 + 25 + 251 + 25 + 11 + 25 + 251) + 11 + 50;

}  // namespace

TEST_F(WholeGameTest, FourStagesWithTheirResultsThenEnd)
{
    PutScores(" 100 200 300 400 500"       // stage 1: the run ranks fifth
              " 432 432 1000 2000 3000"    // stage 2: above the equal times
              " 5999999 5999999 5999999 5999999 5999999"  // stage 3: empty slots
              " 1 2 3 4 5");               // stage 4: too slow to enter

    // The last results' click is still held on the closing screen: it is
    // let go on its first frame and pressed again on its eleventh, the first
    // a click counts on; on the title it is let go on the first frame and
    // pressed again, over END, on the second.
    long long closing = FIRST_RESULTS + 3 * RESULTS_EVERY + 11;
    long long lastTitle = closing + 11;
    std::string again = std::to_string(closing) + " up lmb\n" + std::to_string(closing + 10) + " down lmb\n" +
                        std::to_string(lastTitle) + " up lmb\n" + std::to_string(lastTitle + 1) + " down lmb\n";
    GameRun game = Play(HOLD_ALL + again + OntoEndFrom(1, ENOUGH_FRAMES), ENOUGH_FRAMES);
    EXPECT_EQ(game.status, 1);
    ASSERT_FALSE(game.events.empty());
    EXPECT_EQ(game.events.back().ev, "exit");
    EXPECT_EQ(game.events.back().code, 1);

    std::vector<SceneRun> runs = SceneRuns(game);
    SCOPED_TRACE(Describe(runs));
    // title, start-curtain, countdown, then per stage: play, clear-curtain,
    // results, and (stages 1-3) next-curtain, next-countdown; then the title.
    size_t i = 0;
    ASSERT_GE(runs.size(), 3u);
    EXPECT_EQ(runs[i].scene, "title");
    EXPECT_EQ(runs[i].frames, 1);  // START clicked on the first frame
    EXPECT_EQ(runs[i].stageNo, 0) << "the START frame still shows the old stageNo";
    i++;
    EXPECT_EQ(runs[i].scene, "start-curtain");
    EXPECT_EQ(runs[i].frames, 25);
    EXPECT_EQ(runs[i].stageNo, 1);
    i++;
    EXPECT_EQ(runs[i].scene, "countdown");
    EXPECT_EQ(runs[i].frames, 250);  // 4000 ms at 16 ms a frame; the last not shown
    i++;
    for (int stage = 1; stage <= 4; stage++) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        ASSERT_LT(i + 2, runs.size());
        EXPECT_EQ(runs[i].scene, "play");
        EXPECT_EQ(runs[i].stageNo, stage);
        i++;
        EXPECT_EQ(runs[i].scene, "clear-curtain");
        i++;
        EXPECT_EQ(runs[i].scene, "results");
        EXPECT_EQ(runs[i].frames, 11);  // the click counts from the eleventh frame
        EXPECT_EQ(runs[i].stageNo, stage);
        i++;
        if (stage < 4) {
            ASSERT_LT(i + 1, runs.size());
            EXPECT_EQ(runs[i].scene, "next-curtain");
            EXPECT_EQ(runs[i].frames, 25);
            EXPECT_EQ(runs[i].stageNo, stage + 1);
            i++;
            EXPECT_EQ(runs[i].scene, "next-countdown");
            EXPECT_EQ(runs[i].frames, 250);
            i++;
        }
    }
    // Every stage cleared at its goal: the game counts, and ends on the
    // closing screen before the title.
    ASSERT_EQ(i + 2, runs.size());
    EXPECT_EQ(runs[i].scene, "closing");
    EXPECT_EQ(runs[i].frames, 11);
    i++;
    EXPECT_EQ(runs[i].scene, "title");
    EXPECT_EQ(runs[i].frames, 2);  // END pressed on the second title's second frame

    // The title music, the click that chose START, the stage music through all
    // four stages (firing one frame a stage sounds no shot), the stage music
    // stopped on the way back (the closing screen still hears it), the title
    // music again and the click on END.
    std::vector<std::string> expected = {TITLE_MUSIC, CLICK, "music stop", STAGE_MUSIC,
                                         "music stop", TITLE_MUSIC, CLICK};
    EXPECT_EQ(AudioCalls(game), expected);

    // Every stage took 432 ms: its two play frames (the goal is found in the
    // second), then the 25 frames of the clear curtain.
    EXPECT_EQ(Scores(), " 100 200 300 400 432"
                        " 432 432 432 1000 2000"
                        " 432 5999999 5999999 5999999 5999999"
                        " 1 2 3 4 5");
}

TEST_F(WholeGameTest, EscapeOnTheResultsScreenKeepsTheNewTime)
{
    PutScores(" 1000 2000 3000 4000 5000 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1");

    // Find the first results frame, then press Escape on its fourth frame;
    // the title that follows ends on its first frame with the pointer on END.
    GameRun probe = Play(HOLD_ALL, 400);
    long long results = -1;
    for (const SceneRun& r : SceneRuns(probe))
        if (r.scene == "results") {
            results = r.first;
            break;
        }
    ASSERT_GT(results, 0) << Describe(SceneRuns(probe));

    PutScores(" 1000 2000 3000 4000 5000 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1");
    // On the title the held button is let go and pressed again over END.
    std::string escape = HOLD_ALL + std::to_string(results + 3) + " down esc\n" +
                         std::to_string(results + 4) + " up esc\n" + std::to_string(results + 4) +
                         " up lmb\n" + std::to_string(results + 5) + " down lmb\n";
    GameRun game = Play(escape + OntoEndFrom(1, results + 40), results + 40);
    EXPECT_EQ(game.status, 1);
    std::vector<SceneRun> runs = SceneRuns(game);
    SCOPED_TRACE(Describe(runs));
    ASSERT_GE(runs.size(), 7u);
    EXPECT_EQ(runs[5].scene, "results");
    EXPECT_EQ(runs[5].frames, 4);  // Escape on the fourth frame, inside the click delay
    EXPECT_EQ(runs[6].scene, "title");
    EXPECT_EQ(runs[6].first, results + 4);
    // The Escape frame leaves with sceneId SCENE_TO_TITLE, stage 1 kept.
    const TraceEvent* last = nullptr;
    for (const TraceEvent& e : game.events)
        if (e.ev == "frame" && e.scene == "results")
            last = &e;
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->sceneId, -999);
    EXPECT_EQ(last->stageNo, 1);
    EXPECT_EQ(Scores(), " 432 1000 2000 3000 4000 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1");
}

TEST_F(WholeGameTest, AButtonHeldIntoTheResultsKeepsThemUntilLetGo)
{
    // A player moves by firing, so they reach the goal with the button down:
    // the new time stays on screen, however long the button is held, until
    // it is let go and pressed again.
    PutScores(" 1000 2000 3000 4000 5000 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1");
    long long letGo = FIRST_RESULTS + 100;
    std::string script = "0 mouse 300 580\n0 down lmb\n" + std::to_string(letGo) +
                         " up lmb\n" + std::to_string(letGo + 1) + " down lmb\n";
    GameRun game = Play(script, letGo + 30);
    std::vector<SceneRun> runs = SceneRuns(game);
    SCOPED_TRACE(Describe(runs));
    auto results = std::find_if(runs.begin(), runs.end(),
                                [](const SceneRun& r) { return r.scene == "results"; });
    ASSERT_NE(results, runs.end());
    EXPECT_EQ(results->first, FIRST_RESULTS);
    EXPECT_EQ(results->frames, 102);  // left on the press after the button was let go
    ASSERT_NE(results + 1, runs.end());
    EXPECT_EQ((results + 1)->scene, "next-curtain");
}

TEST_F(WholeGameTest, MissingScoreFileIsCreatedAndTheResultsStillShow)
{
    // No score file at all: the results screen shows and the file is made,
    // holding the run among empty slots.
    GameRun probe = Play(HOLD_ALL, 400);
    bool sawResults = false;
    for (const SceneRun& r : SceneRuns(probe))
        if (r.scene == "results")
            sawResults = r.frames == 11;
    EXPECT_TRUE(sawResults) << Describe(SceneRuns(probe));
    EXPECT_EQ(Scores(), " 432 5999999 5999999 5999999 5999999"
                        " 5999999 5999999 5999999 5999999 5999999"
                        " 5999999 5999999 5999999 5999999 5999999"
                        " 5999999 5999999 5999999 5999999 5999999");
}

namespace {

// The left button pressed on every even frame and let go on every odd one,
// the pointer on START: the game starts at once, and every results screen
// and the closing screen are left as soon as a click counts. The title that
// follows has the pointer on no button, so the run goes on to its limit.
std::string ClickingThrough(long long frames)
{
    std::string lines = "0 mouse 300 580\n";
    for (long long f = 0; f < frames; f += 2)
        lines += std::to_string(f) + " down lmb\n" + std::to_string(f + 1) + " up lmb\n";
    return lines;
}

// The closing screen's last traced frame: its stage times, total and best.
struct Closing {
    bool shown = false;
    uint32_t stageMs[4] = {};
    long long totalMs = -1, bestMs = -1;
    int newBest = -1;
};
Closing ClosingOf(const GameRun& run)
{
    Closing c;
    for (const TraceEvent* e : run.Frames("closing")) {
        c.shown = true;
        c.totalMs = (long long)NumberField(e->line, "totalMs", -1);
        c.bestMs = (long long)NumberField(e->line, "bestMs", -1);
        c.newBest = (int)NumberField(e->line, "newBest", -1);
        size_t at = e->line.find("\"stageMs\":[");
        if (at != std::string::npos)
            sscanf(e->line.c_str() + at, "\"stageMs\":[%u,%u,%u,%u]", &c.stageMs[0], &c.stageMs[1],
                   &c.stageMs[2], &c.stageMs[3]);
    }
    return c;
}

// Every file of the game's txt folder but the stages, by name, with its bytes.
std::map<std::string, std::string> KeptFiles(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder + "/txt"))
        if (entry.path().filename().string().rfind("dw_stage", 0) != 0)
            files[entry.path().filename().string()] = ReadText(entry.path().string());
    return files;
}

constexpr long long CLICKING_FRAMES = 4 * (2 + 25 + 251 + 25 + 12 + 25 + 251) + 40;

}  // namespace

TEST_F(WholeGameTest, TheBestTotalIsKeptWithItsRecordingsAndASlowerGameLeavesIt)
{
    GameRun first = Play(ClickingThrough(CLICKING_FRAMES), CLICKING_FRAMES);
    Closing c = ClosingOf(first);
    ASSERT_TRUE(c.shown) << Describe(SceneRuns(first));
    EXPECT_EQ(c.totalMs, 4 * 432);
    EXPECT_EQ(c.bestMs, 4 * 432);
    EXPECT_EQ(c.newBest, 1);
    EXPECT_EQ(ReadText(folder + "/txt/bestgame.txt"),
              "prismveldt-bestgame 1\nstage1 432\nstage2 432\nstage3 432\nstage4 432\ntotal 1728\n");
    for (int stage = 1; stage <= 4; stage++) {
        std::string kept = folder + "/txt/game-stage" + std::to_string(stage) + ".replay";
        std::string said = folder + "/verify.txt";
        int raw = std::system(("'" + HARNESS + "' --dir '" + folder + "' --verify '" + kept + "' >'" + said + "' 2>&1").c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << stage << ": " << ReadText(said);
        EXPECT_NE(ReadText(said).find("stage " + std::to_string(stage) + " in 00:00.43"), std::string::npos)
            << ReadText(said);
        EXPECT_FALSE(fs::exists(folder + "/txt/game-stage" + std::to_string(stage) + "-new.replay"));
    }

    // Stage 2's goal lies deeper now, and the pointer above the character
    // pushes it down there: its run takes longer, and so does the game.
    long long stage2Play = -1;
    for (const SceneRun& r : SceneRuns(first))
        if (r.scene == "play" && r.stageNo == 2 && stage2Play < 0) stage2Play = r.first;
    ASSERT_GT(stage2Play, 0);
    std::string stage2 = folder + "/txt/dw_stage2.txt";
    {
        std::ofstream file(stage2);
        for (int r = 0; r < 40; r++)
            for (int c = 0; c < 200; c++)
                file << (r >= 38 && c >= 8 && c <= 12 ? 11 : 0) << (c == 199 ? '\n' : ' ');
    }
    std::map<std::string, std::string> before = KeptFiles(folder);
    GameRun second = Play(ClickingThrough(CLICKING_FRAMES + 200) + std::to_string(stage2Play) + " mouse 640 40\n",
                          CLICKING_FRAMES + 200);
    Closing slower = ClosingOf(second);
    ASSERT_TRUE(slower.shown) << Describe(SceneRuns(second));
    EXPECT_GT(slower.stageMs[1], 432u);
    EXPECT_EQ(slower.totalMs, 3 * 432 + (long long)slower.stageMs[1]);
    EXPECT_EQ(slower.bestMs, 4 * 432);
    EXPECT_EQ(slower.newBest, 0);
    std::map<std::string, std::string> after = KeptFiles(folder);
    for (const char* name : {"bestgame.txt", "game-stage1.replay", "game-stage2.replay", "game-stage3.replay",
                             "game-stage4.replay"})
        EXPECT_EQ(after[name], before[name]) << name;
}

TEST_F(WholeGameTest, AGameWithAStageEndedWithEOrAssistedEndsOnTheTitleAndKeepsNoTotal)
{
    // Where stage 2's play begins, from a game played through.
    GameRun probe = Play(ClickingThrough(CLICKING_FRAMES), CLICKING_FRAMES);
    long long stage2 = -1;
    for (const SceneRun& r : SceneRuns(probe))
        if (r.scene == "play" && r.stageNo == 2 && stage2 < 0) stage2 = r.first;
    ASSERT_GT(stage2, 0) << Describe(SceneRuns(probe));
    fs::remove_all(folder + "/txt/bestgame.txt");
    for (int stage = 1; stage <= 4; stage++) fs::remove(folder + "/txt/game-stage" + std::to_string(stage) + ".replay");

    std::string skip = ClickingThrough(CLICKING_FRAMES) + std::to_string(stage2) + " down e\n" +
                       std::to_string(stage2 + 1) + " up e\n";
    std::string settings = folder + "/settings.ini";
    std::ofstream(settings) << "game_speed = 60\n";
    struct {
        const char* name;
        GameRun run;
    } games[] = {{"E on stage 2", Play(skip, CLICKING_FRAMES)},
                 {"assisted", RunGame(folder, ClickingThrough(2 * CLICKING_FRAMES), 2 * CLICKING_FRAMES, "",
                                      "--settings '" + settings + "'")}};
    for (const auto& game : games) {
        SCOPED_TRACE(game.name);
        std::vector<SceneRun> runs = SceneRuns(game.run);
        SCOPED_TRACE(Describe(runs));
        ASSERT_GE(runs.size(), 2u);
        // All four results, then the title straight away, as ever.
        EXPECT_EQ(runs[runs.size() - 2].scene, "results");
        EXPECT_EQ(runs[runs.size() - 2].stageNo, 4);
        EXPECT_EQ(runs.back().scene, "title");
        EXPECT_TRUE(game.run.Frames("closing").empty());
        EXPECT_FALSE(fs::exists(folder + "/txt/bestgame.txt"));
        for (int stage = 1; stage <= 4; stage++)
            EXPECT_FALSE(fs::exists(folder + "/txt/game-stage" + std::to_string(stage) + ".replay"));
    }
}

TEST_F(WholeGameTest, ADamagedTotalFileIsLeftAsItIsAndSaidOnce)
{
    std::string damaged = "prismveldt-bestgame 1\nstage1 432\nstage2 432\nstage3 432\nstage4 432\ntotal 9\n";
    std::ofstream(folder + "/txt/bestgame.txt", std::ios::binary) << damaged;
    std::ofstream(folder + "/txt/game-stage1.replay") << "the player's to mend";
    GameRun game = Play(ClickingThrough(CLICKING_FRAMES), CLICKING_FRAMES);
    Closing c = ClosingOf(game);
    // This session's best stands in: the game is its first, so its best.
    ASSERT_TRUE(c.shown) << Describe(SceneRuns(game));
    EXPECT_EQ(c.totalMs, 4 * 432);
    EXPECT_EQ(c.newBest, 1);
    EXPECT_EQ(ReadText(folder + "/txt/bestgame.txt"), damaged);
    EXPECT_EQ(ReadText(folder + "/txt/game-stage1.replay"), "the player's to mend");
    for (int stage = 2; stage <= 4; stage++)
        EXPECT_FALSE(fs::exists(folder + "/txt/game-stage" + std::to_string(stage) + ".replay"));
    size_t said = 0;
    for (size_t at = 0; (at = game.output.find("best whole game", at)) != std::string::npos; at++) said++;
    EXPECT_EQ(said, 1u) << game.output;
}
