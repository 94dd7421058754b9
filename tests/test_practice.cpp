// Practice in the real game: from a checkpoint chosen on the stage select or
// from the respawn point held when the pause menu chose it. The runs begin
// there (and R brings them back there), reach the goal by the rules, and
// leave the table, the kept recordings and every other file as they were.
#include "tests/test_wholegame_harness.h"

#include <algorithm>

#include "game/menu.h"
#include "game/pause_scene.h"
#include "game/stage_select_scene.h"

namespace {

// Stage 2 made a floor with a crystal of two cells in it (columns 16 and 17,
// where half a second of fire to the right and letting go comes to rest) and
// the goal further right (column 45): practice from checkpoint 1 starts with
// the character standing on the crystal's middle, camera (448, 1702).
constexpr int CRYSTAL_CAM_X = 17 * 64 - 640, CRYSTAL_CAM_Y = 33 * 64 - 410;

// The title's STAGES clicked, then on the page: down to stage 2, right
// (PRACTICE FROM CHECKPOINT 1), Enter in frame 14.
const std::string TO_PRACTICE = "dialog no\ndialog yes\n0 mouse 80 40\n0 down lmb\n2 up lmb\n"
                                "10 down down\n11 up down\n12 down right\n13 up right\n14 down enter\n15 up enter\n";
// The same with PLAY left as it is.
const std::string TO_STAGE = "dialog no\ndialog yes\n0 mouse 80 40\n0 down lmb\n2 up lmb\n"
                             "10 down down\n11 up down\n14 down enter\n15 up enter\n";
// The chosen stage's first play frame: after the choice, 25 frames of curtain and 250 of countdown.
constexpr int PLAY_START = 14 + 1 + 25 + 250;

class Practice : public HarnessTest {
protected:
    void SetUp() override
    {
        HarnessTest::SetUp();
        if (folder.empty()) return;
        fs::remove(folder + "/txt/dw_stage2.txt");
        std::ofstream stage(folder + "/txt/dw_stage2.txt");
        for (int r = 0; r < 40; r++) {
            for (int c = 0; c < 200; c++) {
                bool block = r == 0 || r == 39 || c == 0 || c == 199 || r >= 33;
                int code = c == 45 && (r == 31 || r == 32) ? 11 : r == 33 && (c == 16 || c == 17) ? 4 : block ? 1 : 0;
                stage << code << (c == 199 ? '\n' : ' ');
            }
        }
    }
    // Every file of txt/ but the stages, with its bytes.
    std::vector<std::pair<std::string, std::string>> KeptFiles()
    {
        std::vector<std::pair<std::string, std::string>> files;
        for (const auto& entry : fs::directory_iterator(folder + "/txt")) {
            std::string name = entry.path().filename().string();
            if (name.rfind("dw_stage", 0) != 0) files.push_back({name, ReadText(entry.path().string())});
        }
        std::sort(files.begin(), files.end());
        return files;
    }
    // The play frames of the run: camera and clock of each.
    struct PlayFrame {
        long long n;
        double camX, camY, respawnX, clockMs;
    };
    std::vector<PlayFrame> PlayFrames(const GameRun& run)
    {
        std::vector<PlayFrame> frames;
        for (const Event* e : run.Frames("play"))
            frames.push_back({e->n, NumberField(e->line, "camX", -1), NumberField(e->line, "camY", -1),
                              NumberField(e->line, "respawnX", -1), NumberField(e->line, "clockMs", -1)});
        return frames;
    }
};

}  // namespace

TEST_F(Practice, FromTheStageSelectARunStartsOnTheCheckpointAndRReturnsThere)
{
    // Practice from checkpoint 1; at 300 R, and at 340 the pointer to the left
    // fires to the goal.
    GameRun run = Play(TO_PRACTICE + "300 down r\n301 up r\n340 mouse 100 360\n340 down lmb\n", 700);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    std::vector<PlayFrame> play = PlayFrames(run);
    ASSERT_GE(play.size(), 30u);
    // The curtain and countdown show the checkpoint; play starts standing on it.
    ASSERT_GE(runs.size(), 5u);
    EXPECT_EQ(runs[2].scene, "start-curtain");
    EXPECT_EQ(play[0].n, PLAY_START);
    EXPECT_EQ(play[0].camX, CRYSTAL_CAM_X);
    EXPECT_EQ(play[0].camY, CRYSTAL_CAM_Y);
    EXPECT_EQ(play[0].respawnX, CRYSTAL_CAM_X);
    EXPECT_EQ(play[0].clockMs, 16);
    // R: the beat, then a new run from the checkpoint, the clock from zero.
    auto beat = std::find_if(runs.begin(), runs.end(), [](const SceneRun& r) { return r.scene == "retry-beat"; });
    ASSERT_NE(beat, runs.end());
    EXPECT_EQ(beat->frames, 15);
    auto again = std::find_if(play.begin(), play.end(), [&](const PlayFrame& f) { return f.n > beat->first; });
    ASSERT_NE(again, play.end());
    EXPECT_EQ(again->n, beat->first + 15);
    EXPECT_EQ(again->camX, CRYSTAL_CAM_X);
    EXPECT_EQ(again->clockMs, 16);
    // The goal, by the rules: the goal's curtain, then the results.
    EXPECT_FALSE(run.Frames("clear-curtain").empty());
    EXPECT_FALSE(run.Frames("results").empty());
}

TEST_F(Practice, ARunPractisedToTheGoalLeavesEveryFileAsItWas)
{
    // A first, real run of the stage makes a table entry and its recording.
    GameRun first = Play(TO_STAGE + "300 mouse 100 360\n300 down lmb\n", 600);
    ASSERT_FALSE(first.Frames("results").empty()) << Describe(SceneRuns(first));
    std::vector<std::pair<std::string, std::string>> before = KeptFiles();
    // The score file, the run's recording and its segments.
    auto kept = [&](const std::string& name) {
        return std::any_of(before.begin(), before.end(), [&](const auto& file) { return file.first == name; });
    };
    ASSERT_TRUE(kept("scoretime.txt") && kept("stage2-rank1.replay") && kept("segments.txt"));
    // Practice to the goal, its results' RETRY (practice again), and to the
    // goal once more.
    GameRun run = Play(TO_PRACTICE + "300 mouse 100 360\n300 down lmb\n480 up lmb\n"
                                     "500 down enter\n501 up enter\n"
                                     "800 down lmb\n",
                       1100);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    EXPECT_EQ(run.Frames("clear-curtain").size(), 2 * 25u);
    int results = 0;
    for (const SceneRun& r : runs) results += r.scene == "results";
    EXPECT_EQ(results, 2);
    // The retry came back to the checkpoint behind a curtain and countdown.
    auto retry = std::find_if(runs.begin(), runs.end(), [](const SceneRun& r) { return r.scene == "retry-curtain"; });
    ASSERT_NE(retry, runs.end());
    std::vector<PlayFrame> play = PlayFrames(run);
    auto again = std::find_if(play.begin(), play.end(), [&](const PlayFrame& f) { return f.n > retry->first; });
    ASSERT_NE(again, play.end());
    EXPECT_EQ(again->camX, CRYSTAL_CAM_X);
    EXPECT_EQ(KeptFiles(), before);
}

TEST_F(Practice, FromThePauseTheRunGoesOnFromTheRespawnPointHeld)
{
    // A real run: fire left over the crystal and let go on it, so that it
    // holds the respawn point; then P, down twice to PRACTICE FROM THE LAST
    // CHECKPOINT, Enter; the practice run fires on to the goal.
    std::vector<std::pair<std::string, std::string>> before = KeptFiles();
    GameRun run = Play(TO_STAGE + "300 mouse 100 360\n300 down lmb\n330 up lmb\n"
                                  "420 down p\n421 up p\n430 down down\n431 up down\n432 down down\n433 up down\n"
                                  "440 down enter\n441 up enter\n500 down lmb\n",
                       800);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    std::vector<PlayFrame> play = PlayFrames(run);
    auto paused = std::find_if(runs.begin(), runs.end(), [](const SceneRun& r) { return r.scene == "pause"; });
    ASSERT_NE(paused, runs.end());
    // The respawn point the real run held as it paused: on the crystal.
    double held = -1;
    for (const PlayFrame& f : play)
        if (f.n < paused->first) held = f.respawnX;
    ASSERT_GE(held, 16 * 64 - 640);
    ASSERT_LT(held, 18 * 64 - 640);
    auto beat = std::find_if(runs.begin(), runs.end(), [](const SceneRun& r) { return r.scene == "retry-beat"; });
    ASSERT_NE(beat, runs.end());
    EXPECT_GT(beat->first, paused->first);
    auto again = std::find_if(play.begin(), play.end(), [&](const PlayFrame& f) { return f.n > beat->first; });
    ASSERT_NE(again, play.end());
    EXPECT_EQ(again->camX, held);
    EXPECT_EQ(again->respawnX, held);
    EXPECT_EQ(again->clockMs, 16);
    // The practice run's goal ranks nothing and keeps nothing.
    EXPECT_FALSE(run.Frames("results").empty());
    EXPECT_EQ(KeptFiles(), before);
}

TEST_F(Practice, TheMouseTurnsAStagesChoiceByItsArrowsAndChoosesItByItsName)
{
    // On the page: a click on the right half of stage 2's choice line turns
    // it to checkpoint 1, two on its left half back to PLAY and round again
    // to checkpoint 1; then a click on the stage's name chooses it.
    MenuLayout rows = StageSelectLayout();
    int lineY = rows.y + rows.rowHeight + 62 + 18, nameY = rows.y + rows.rowHeight + 24;
    ASSERT_EQ(PracticeArrowAt(1, 250, lineY), 1);
    ASSERT_EQ(PracticeArrowAt(1, 90, lineY), -1);
    ASSERT_EQ(PracticeArrowAt(1, 250, nameY), 0);
    auto click = [](int frame, int x, int y) {
        return std::to_string(frame) + " mouse " + std::to_string(x) + " " + std::to_string(y) + "\n" +
               std::to_string(frame) + " down lmb\n" + std::to_string(frame + 1) + " up lmb\n";
    };
    std::string script = "dialog no\ndialog yes\n0 mouse 80 40\n0 down lmb\n2 up lmb\n" + click(10, 250, lineY) +
                         click(20, 90, lineY) + click(30, 90, lineY) + click(40, 120, nameY);
    GameRun run = Play(script, 400);
    std::vector<PlayFrame> play = PlayFrames(run);
    ASSERT_FALSE(play.empty()) << Describe(SceneRuns(run));
    EXPECT_EQ(play[0].camX, CRYSTAL_CAM_X);
    // The encoding of the page's choices, both ways.
    for (int stage = 1; stage <= STAGE_COUNT; stage++) {
        EXPECT_EQ(StageChosen(STAGE_SELECT_FIRST_STAGE + stage - 1), stage);
        EXPECT_EQ(PracticeCheckpointChosen(STAGE_SELECT_FIRST_STAGE + stage - 1), 0);
        for (int checkpoint : {1, 3, STAGE_SELECT_MAX_CHECKPOINTS}) {
            int result = STAGE_SELECT_FIRST_PRACTICE + (stage - 1) * STAGE_SELECT_MAX_CHECKPOINTS + checkpoint - 1;
            EXPECT_EQ(StageChosen(result), stage);
            EXPECT_EQ(PracticeCheckpointChosen(result), checkpoint);
        }
    }
    for (int other : {0, (int)PAUSE_RESUME, STAGE_SELECT_BACK, STAGE_SELECT_FIRST_PRACTICE + STAGE_COUNT * STAGE_SELECT_MAX_CHECKPOINTS}) {
        EXPECT_EQ(StageChosen(other), 0) << other;
        EXPECT_EQ(PracticeCheckpointChosen(other), 0) << other;
    }
}
