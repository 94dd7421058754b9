// Splits and best segments: the sum of best as a shortest chain, the
// segments file read strictly; and in the real game a split shown against
// the best run's, replayed from its recording, and the segments kept (or
// left alone) after each kind of run. The runs are stage 2 chosen on the
// stage select and played by tests/splits/stage2-by-checkpoint1.txt (a
// clearing run that takes checkpoint 1 on the way).
#include "tests/test_wholegame_harness.h"

#include <sys/stat.h>

#include "game/segments.h"
#include "game/stage_select_scene.h"

namespace {

TEST(SumOfBest, IsTheShortestChainFromTheStartToTheGoalWhateverOrderRunsTookThem)
{
    const uint64_t H = 7, OTHER = 8;
    SegmentTable t;
    // One run went start, 1, 2, goal; another start, 2, 1, goal; a third
    // straight to the goal. Another stage's segments never count here.
    MergeSegments(&t, RunSegments(H, {{1, 3000}, {2, 7000}}, 12000));   // 3000 + 4000 + 5000
    MergeSegments(&t, RunSegments(H, {{2, 3500}, {1, 9000}}, 11000));   // 3500 + 5500 + 2000
    MergeSegments(&t, RunSegments(OTHER, {}, 100));
    uint32_t ms = 0;
    ASSERT_TRUE(SumOfBest(t, H, &ms));
    EXPECT_EQ(ms, 3000u + 2000u);  // the first run's start to 1, the second's 1 to the goal
    // Faster segments by way of 2 make start, 2, 1, goal the shortest.
    EXPECT_TRUE(MergeSegments(&t, {{H, SEGMENT_START, 2, 1000}, {H, 2, 1, 1000}}));
    ASSERT_TRUE(SumOfBest(t, H, &ms));
    EXPECT_EQ(ms, 1000u + 1000u + 2000u);
    EXPECT_FALSE(MergeSegments(&t, {{H, 2, 1, 1001}}));  // a slower one changes nothing
    ASSERT_TRUE(SumOfBest(t, OTHER, &ms));
    EXPECT_EQ(ms, 100u);
    EXPECT_FALSE(SumOfBest(t, 9, &ms));
    // Segments that never reach the goal make no sum.
    SegmentTable partial;
    MergeSegments(&partial, {{H, SEGMENT_START, 1, 10}, {H, 2, SEGMENT_GOAL, 10}});
    EXPECT_FALSE(SumOfBest(partial, H, &ms));
}

TEST(SegmentsText, ReadsWhatItWritesAndNothingElse)
{
    SegmentTable t;
    MergeSegments(&t, RunSegments(0x8f1c0e2a9b3d4c5eull, {{1, 2832}, {3, 5000}}, 17696));
    std::string text = FormatSegmentsText(t);
    EXPECT_EQ(text, "prismveldt-segments 1\n8f1c0e2a9b3d4c5e start 1 2832\n8f1c0e2a9b3d4c5e 1 3 2168\n"
                    "8f1c0e2a9b3d4c5e 3 goal 12696\n");
    SegmentTable back;
    ASSERT_EQ(ParseSegmentsText(text.data(), text.size(), &back), SEGMENTS_TEXT_GOOD);
    EXPECT_EQ(FormatSegmentsText(back), text);
    EXPECT_EQ(ParseSegmentsText("", 0, &back), SEGMENTS_TEXT_EMPTY);

    const std::string head = "prismveldt-segments 1\n";
    for (std::string bad : {std::string("prismveldt-segments 2\n"), head + "8f1c0e2a9b3d4c5e start 1 2832",
                            head + "8f1c0e2a9b3d4c5e start 1 2832 9\n", head + "8F1C0E2A9B3D4C5E start 1 5\n",
                            head + "8f1c0e2a9b3d4c5e goal 1 5\n", head + "8f1c0e2a9b3d4c5e 1 start 5\n",
                            head + "8f1c0e2a9b3d4c5e 1 1 5\n", head + "8f1c0e2a9b3d4c5e start 100 5\n",
                            head + "8f1c0e2a9b3d4c5e start 01 5\n", head + "8f1c0e2a9b3d4c5e start 1 2147483648\n",
                            head + "8f1c0e2a9b3d4c5e start 1 -5\n", head + "8f1c0e2a9b3d4c5e  start 1 5\n",
                            head + "8f1c0e2a9b3d4c5e start 1 5\n8f1c0e2a9b3d4c5e start 1 6\n",
                            head + "\n", std::string("\xEF\xBB\xBF") + head}) {
        SCOPED_TRACE(bad);
        std::string why;
        EXPECT_EQ(ParseSegmentsText(bad.data(), bad.size(), &back, &why), SEGMENTS_TEXT_DAMAGED);
        EXPECT_TRUE(back.segments.empty());
        EXPECT_FALSE(why.empty());
    }
    // More segments than a file holds, or more bytes, is damaged as well.
    std::string many = head;
    for (size_t i = 0; i <= SEGMENTS_MAX; i++) {
        char line[64];
        snprintf(line, sizeof line, "%016zx start 1 5\n", i);
        many += line;
    }
    EXPECT_EQ(ParseSegmentsText(many.data(), many.size(), &back), SEGMENTS_TEXT_DAMAGED);
}

TEST(SplitDifference, ShowsMinusAheadPlusBehindAndNoSignWhenEqual)
{
    char text[32];
    FormatSplitDifference(-160, text, sizeof text);
    EXPECT_STREQ(text, "-0.16");
    FormatSplitDifference(1249, text, sizeof text);
    EXPECT_STREQ(text, "+1.24");
    FormatSplitDifference(0, text, sizeof text);
    EXPECT_STREQ(text, "0.00");
    FormatSplitDifference(62500, text, sizeof text);
    EXPECT_STREQ(text, "+1:02.50");
    FormatSplitDifference(INT32_MIN, text, sizeof text);
    EXPECT_EQ(text[0], '-');
}

// The title's STAGES clicked, the button let go, stage 2's row clicked: the
// page goes back in frame 21, and play begins after the curtain and countdown.
constexpr int CHOSEN_FRAME = 21;
constexpr int FIRST_PLAY = CHOSEN_FRAME + 1 + 25 + 250;
// A retry from the results (Enter on RETRY) is followed by the same curtain and countdown.
constexpr int RETRY_WAIT = 1 + 25 + 250;

// The play part of the committed run, moved to start at startFrame (the
// first play frame), with the fire button pressed in frame pressFrame: as
// the run was found, held from before the first play frame, or from a first
// frame begun late.
std::string RunPart(int startFrame, int pressFrame, int* lastFrame)
{
    std::string part = ShiftedPlayPart(std::string(SOURCE_DIR) + "/tests/splits/stage2-by-checkpoint1.txt", 2,
                                       startFrame, lastFrame);
    EXPECT_FALSE(part.empty()) << "no play part in the committed run";
    return std::to_string(pressFrame) + " down lmb\n" + part;
}

std::string ChooseStage2()
{
    MenuLayout rows = StageSelectLayout();
    int y = rows.y + rows.rowHeight + rows.rowHeight / 2;
    return "dialog no\ndialog yes\n0 mouse 80 40\n0 down lmb\n2 up lmb\n10 mouse 120 " + std::to_string(y) +
           "\n20 down lmb\n21 up lmb\n";
}

// Stage 2 played by the committed run, then from its results retried and
// played again by the same inputs begun delay frames late. E-ended: the
// retry is ended with E at once instead.
std::string TwoRuns(int delay, bool secondSkipped, int* secondPlay)
{
    int last = 0;
    std::string script = ChooseStage2() + RunPart(FIRST_PLAY, FIRST_PLAY - 100, &last);
    // The clear's curtain and the results' first frames, then Enter: RETRY.
    int g = last + 120;
    script += std::to_string(g - 5) + " up lmb\n" + std::to_string(g) + " down enter\n" +
              std::to_string(g + 1) + " up enter\n";
    *secondPlay = g + RETRY_WAIT;
    if (secondSkipped)
        script += std::to_string(*secondPlay + 5) + " down e\n" + std::to_string(*secondPlay + 6) + " up e\n";
    else
        script += RunPart(*secondPlay + delay, *secondPlay + delay, &last);
    return script;
}

class SplitsGame : public HarnessTest {
protected:
    std::string SegmentsFile() { return folder + "/txt/segments.txt"; }
    // The clock of the first play frame whose respawn point moved, from frame from on.
    static long long FirstCheckpointClock(const GameRun& run, long long from)
    {
        long long respawnX = -1;
        for (const Event* e : run.Frames("play")) {
            if (e->n < from) continue;
            long long x = (long long)NumberField(e->line, "respawnX", -1);
            if (respawnX >= 0 && x != respawnX) return (long long)NumberField(e->line, "clockMs", -1);
            respawnX = x;
        }
        return -1;
    }
};

// The first run becomes the best (rank 1, with its recording); the retry,
// ten frames late, reaches checkpoint 1 exactly 160 ms behind it, and the
// play screen says so in that frame, against the best's split worked out
// from its recording.
TEST_F(SplitsGame, ASplitShowsItsDifferenceFromTheBestRunsSplit)
{
    int secondPlay = 0;
    std::string script = TwoRuns(10, false, &secondPlay);
    GameRun run = Play(script, secondPlay + 1300);
    std::vector<const Event*> shown;
    for (const Event* e : run.Frames("play"))
        if (NumberField(e->line, "split", -1) >= 0) shown.push_back(e);
    // The first run had no best to be split against: nothing shows there.
    ASSERT_EQ(shown.size(), 1u) << run.output << Describe(SceneRuns(run));
    const Event& split = *shown[0];
    EXPECT_GE(split.n, secondPlay);
    EXPECT_EQ(NumberField(split.line, "split", -1), 1);
    EXPECT_EQ(NumberField(split.line, "splitDiffMs", -1), 160);
    long long best = FirstCheckpointClock(run, 0);
    ASSERT_GT(best, 0);
    EXPECT_EQ(NumberField(split.line, "splitMs", -1), best + 160);
    EXPECT_EQ(NumberField(split.line, "splitMs", -1), FirstCheckpointClock(run, secondPlay));
    EXPECT_EQ(NumberField(split.line, "clockMs", -1), NumberField(split.line, "splitMs", -1));
}

// Segments come from every run that counts, in the table or not; a run ended
// by E, or played with an assist, changes nothing.
TEST_F(SplitsGame, SegmentsAreKeptForEveryCountedRunAndNoOther)
{
    // A table too fast for the run to enter.
    const std::string fast = " 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1";
    PutScores(fast);
    int secondPlay = 0;
    std::string script = TwoRuns(0, true, &secondPlay);
    GameRun run = Play(script, secondPlay + 100);
    EXPECT_EQ(Scores(), fast);
    std::string kept = ReadText(SegmentsFile());
    SegmentTable table;
    ASSERT_EQ(ParseSegmentsText(kept.data(), kept.size(), &table), SEGMENTS_TEXT_GOOD) << kept;
    ASSERT_EQ(table.segments.size(), 2u) << kept;
    EXPECT_EQ(table.segments[0].from, SEGMENT_START);
    EXPECT_EQ(table.segments[0].to, 1);
    EXPECT_EQ(table.segments[0].bestMs, (uint32_t)FirstCheckpointClock(run, 0));
    EXPECT_EQ(table.segments[1].from, 1);
    EXPECT_EQ(table.segments[1].to, SEGMENT_GOAL);
    // The retry ended by E, after the run had been kept, left them as they were.
    EXPECT_TRUE(kept.find("start goal") == std::string::npos) << kept;

    // A segment far slower than the run's, by hand: an assisted run, which
    // would beat it, changes nothing.
    std::string slow = "prismveldt-segments 1\n";
    char line[64];
    snprintf(line, sizeof line, "%016llx start 1 999999\n", (unsigned long long)table.segments[0].stageHash);
    slow += line;
    std::ofstream(SegmentsFile(), std::ios::binary) << slow;
    int last = 0;
    std::ofstream(folder + "/settings.ini") << "game_speed = 90\n";
    std::string part = RunPart(FIRST_PLAY, FIRST_PLAY - 100, &last);
    GameRun assisted = RunGame(folder, ChooseStage2() + part, last + 200, "",
                               "--settings '" + folder + "/settings.ini'");
    EXPECT_FALSE(assisted.Frames("results").empty()) << assisted.output;
    EXPECT_EQ(ReadText(SegmentsFile()), slow);
}

// A damaged segments file is kept byte for byte and said once; one that
// cannot be replaced (read-only) stays whole and the failure is said.
TEST_F(SplitsGame, ADamagedOrReadOnlyFileIsLeftWhole)
{
    const std::string damaged = "prismveldt-segments 1\nnot a segment\n";
    std::ofstream(SegmentsFile(), std::ios::binary) << damaged;
    int secondPlay = 0;
    // Both runs are counted; the page and both results read the file.
    std::string script = TwoRuns(0, false, &secondPlay);
    GameRun run = Play(script, secondPlay + 1300);
    EXPECT_FALSE(run.Frames("results").empty());
    EXPECT_EQ(ReadText(SegmentsFile()), damaged);
    size_t said = 0;
    for (size_t at = run.output.find("best segments in"); at != std::string::npos;
         at = run.output.find("best segments in", at + 1))
        said++;
    EXPECT_EQ(said, 1u) << run.output;

    const std::string good = "prismveldt-segments 1\n0000000000000001 start goal 5\n";
    std::ofstream(SegmentsFile(), std::ios::binary) << good;
    chmod(SegmentsFile().c_str(), 0444);
    fs::remove(folder + "/txt/scoretime.txt");
    int last = 0;
    std::string part = RunPart(FIRST_PLAY, FIRST_PLAY - 100, &last);
    GameRun readOnly = Play(ChooseStage2() + part, last + 200);
    chmod(SegmentsFile().c_str(), 0644);
    EXPECT_EQ(ReadText(SegmentsFile()), good);
    EXPECT_NE(readOnly.output.find("best segments could not be saved"), std::string::npos) << readOnly.output;
}

}  // namespace
