// The stage select in the real game: a stage chosen there is played alone by
// the solver's committed run of it (tests/replays/stageN.txt, its play part
// moved to start where the chosen stage's does), clears in the solver's time,
// which is the par the page shows, and its kept recording verifies; its
// results lead on by the keys to a retry, the next stage alone or the title.
#include "tests/test_wholegame_harness.h"

#include "game/par_times.h"
#include "game/replay_files.h"
#include "game/results_scene.h"
#include "game/score.h"
#include "game/stage_select_scene.h"

namespace {

// The title's STAGES clicked at frame 0, the button let go, then the row of
// stage clicked: the page goes back with the press, in frame CHOSEN_FRAME.
constexpr int CHOSEN_FRAME = 21;

std::string ChooseStageByMouse(int stage)
{
    MenuLayout rows = StageSelectLayout();
    int y = rows.y + (stage - 1) * rows.rowHeight + rows.rowHeight / 2;
    return "dialog no\ndialog yes\n0 mouse 80 40\n0 down lmb\n2 up lmb\n10 mouse 120 " + std::to_string(y) +
           "\n" + std::to_string(CHOSEN_FRAME - 1) + " down lmb\n" + std::to_string(CHOSEN_FRAME) + " up lmb\n";
}

// The lines of the committed script of stage that play it, from "# stage N"
// to its results, moved by shift frames. The button the script's earlier
// results were clicked with is still held as the stage starts; so it is here.
std::string PlayPart(int stage, int startFrame)
{
    std::string part = ShiftedPlayPart(std::string(SOURCE_DIR) + "/tests/replays/stage" + std::to_string(stage) + ".txt",
                                       stage, startFrame);
    EXPECT_FALSE(part.empty()) << "no play part for stage " << stage;
    return std::to_string(startFrame - 100) + " down lmb\n" + part;
}

// The first frame of the run after the chosen stage's curtain and countdown.
int PlayStart(int chosenFrame) { return chosenFrame + 1 + 25 + 250; }

class StageSelectTest : public HarnessTest {
protected:
    // What --verify says of a kept recording, and whether it verified.
    bool Verify(const std::string& file, std::string* said)
    {
        std::string out = folder + "/verify.txt";
        int raw = std::system(("'" + HARNESS + "' --dir '" + folder + "' --verify '" + file + "' >'" + out + "' 2>&1").c_str());
        *said = ReadText(out);
        return WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
    }
    long long LastFrame(const GameRun& run, const std::string& scene)
    {
        long long last = -1;
        for (const Event* e : run.Frames(scene)) last = e->n;
        return last;
    }
};

class ChosenStage : public StageSelectTest, public testing::WithParamInterface<int> {};

TEST_P(ChosenStage, ClearsInItsParAndItsRecordingVerifies)
{
    int stage = GetParam();
    std::string script = ChooseStageByMouse(stage) + PlayPart(stage, PlayStart(CHOSEN_FRAME));
    GameRun run = Play(script, PlayStart(CHOSEN_FRAME) + 3000);

    // The page came up, and the curtain that followed it is the chosen stage's.
    auto page = run.Frames("stage-select");
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(page.back()->n, CHOSEN_FRAME);
    auto curtain = run.Frames("start-curtain");
    ASSERT_FALSE(curtain.empty());
    EXPECT_EQ(curtain.front()->stageNo, stage);
    auto play = run.Frames("play");
    ASSERT_FALSE(play.empty());
    EXPECT_EQ(play.front()->n, PlayStart(CHOSEN_FRAME));
    for (const Event* e : play) ASSERT_EQ(e->stageNo, stage) << "frame " << e->n;
    auto results = run.Frames("results");
    ASSERT_FALSE(results.empty()) << "stage " << stage << " was not cleared";
    EXPECT_EQ(results.front()->stageNo, stage);

    // Its time entered the table with its recording, at the solver's time.
    ScoreTable table;
    ASSERT_EQ(ReadScoreFile((folder + "/txt/scoretime.txt").c_str(), &table), 0);
    EXPECT_EQ(table.times[stage - 1][0], static_cast<int32_t>(ParTimeMs(stage)));
    std::string kept = folder + "/txt/stage" + std::to_string(stage) + "-rank1.replay";
    ASSERT_TRUE(fs::exists(kept));
    std::string said;
    EXPECT_TRUE(Verify(kept, &said)) << said;
    TimeText par = FormatRunTime(ParTimeMs(stage));
    EXPECT_NE(said.find("stage " + std::to_string(stage) + " in " + par.clock + par.fraction), std::string::npos)
        << said;
}

INSTANTIATE_TEST_SUITE_P(Stages, ChosenStage, testing::Range(1, STAGE_COUNT + 1));

// From the results of a stage played alone, by the keys: Enter retries the
// same stage behind its curtain; down, Enter plays the next stage alone;
// down twice, Enter goes back to the title. After the last stage there is
// no next one: down, Enter is the title there. A click on a choice (downs
// -1: on the third of the bar) chooses it as well.
TEST_F(StageSelectTest, TheResultsOfAStageAloneLeadOnByTheKeysOrTheMouse)
{
    struct Case {
        int stage;
        int downs;
        const char* next;  // the scene the results give way to
        int nextStage;
    };
    for (Case c : {Case{1, 0, "retry-curtain", 1}, Case{1, 1, "next-curtain", 2}, Case{1, 2, "title", 0},
                   Case{4, 1, "title", 0}, Case{2, -1, "title", 0}}) {
        SCOPED_TRACE("stage " + std::to_string(c.stage) + ", " + std::to_string(c.downs) + " down");
        // The title's STAGES by the keys: down picks it, Enter chooses it.
        std::string script = "dialog no\ndialog yes\n0 mouse 80 40\n1 down down\n2 up down\n3 down enter\n4 up enter\n";
        // On the page: down to the stage's row, Enter; E ends the stage at once.
        int f = 10;
        for (int i = 1; i < c.stage; i++, f += 2)
            script += std::to_string(f) + " down down\n" + std::to_string(f + 1) + " up down\n";
        script += std::to_string(f) + " down enter\n" + std::to_string(f + 1) + " up enter\n";
        int start = PlayStart(f);
        script += std::to_string(start + 5) + " down e\n" + std::to_string(start + 6) + " up e\n";
        // The results' choices, once their first frames have passed.
        int g = start + 60;
        for (int i = 0; i < c.downs; i++, g += 2)
            script += std::to_string(g) + " down down\n" + std::to_string(g + 1) + " up down\n";
        if (c.downs >= 0) {
            script += std::to_string(g) + " down enter\n" + std::to_string(g + 1) + " up enter\n";
        } else {
            MenuBox bar = RESULTS_CHOICE_BAR;
            script += std::to_string(g - 10) + " mouse " + std::to_string(bar.x + bar.w * 5 / 6) + " " +
                      std::to_string(bar.y + bar.h / 2) + "\n";
            script += std::to_string(g - 1) + " down lmb\n" + std::to_string(g) + " up lmb\n";
        }
        GameRun run = Play(script, g + 40);

        long long lastResults = LastFrame(run, "results");
        ASSERT_GE(lastResults, 0) << run.output;
        EXPECT_EQ(lastResults, g);
        const Event* after = nullptr;
        for (const Event* e : run.Frames())
            if (e->n == lastResults + 1) after = e;
        ASSERT_NE(after, nullptr);
        EXPECT_EQ(after->scene, c.next);
        if (c.nextStage) {
            EXPECT_EQ(after->stageNo, c.nextStage);
        }
    }
}

}  // namespace
