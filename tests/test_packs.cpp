// Stage packs in the real game (--stages DIR): a pack of two stages played
// from START through both results and one chosen alone on the stage select,
// each stage's times and recordings kept by its grid's hash apart from the
// shipped stages' table, its recordings verified given the stage or the
// folder, an edited stage keeping a fresh table, a folder with nothing
// to play refused with a message naming each file, and a pack of six played
// whole and paged through on the stage select.
#include "tests/test_wholegame_harness.h"

#include <algorithm>

#include "game/recording.h"
#include "game/score.h"
#include "game/stage.h"
#include "game/stage_file.h"
#include "game/stage_pack.h"

namespace {

// A floor with the goal further right: fire to the left from the start and
// the recoil carries the character there.
std::vector<int> FlatStage(int goalCol)
{
    std::vector<int> cells(MAP_CELLS, 0);
    for (int r = 0; r < MAP_ROWS; r++)
        for (int c = 0; c < MAP_COLS; c++) {
            bool block = r == 0 || r == 39 || c == 0 || c == 199 || r >= 33;
            cells[r * MAP_COLS + c] = c == goalCol && (r == 31 || r == 32) ? TILE_GOAL : block ? TILE_BLOCK : 0;
        }
    return cells;
}

// START on the first frame, then fire to the left from the first play frame
// on; the button is let go for a frame every twenty, so that each results
// screen sees it go up and takes the next press as its click.
std::string PlayThrough(long long frames)
{
    std::string s = "dialog no\ndialog yes\n0 mouse 300 580\n0 down lmb\n2 up lmb\n20 mouse 100 360\n270 down lmb\n";
    for (long long n = 300; n < frames; n += 20)
        s += std::to_string(n) + " up lmb\n" + std::to_string(n + 1) + " down lmb\n";
    return s;
}

class Packs : public HarnessTest {
protected:
    void SetUp() override
    {
        HarnessTest::SetUp();
        if (folder.empty()) return;
        pack = folder + "/pack";
        fs::create_directory(pack);
        std::string error;
        ASSERT_TRUE(WriteStageCells((pack + "/a.txt").c_str(), FlatStage(45), &error)) << error;
        ASSERT_TRUE(WriteStageCells((pack + "/c.txt").c_str(), FlatStage(30), &error)) << error;
        // Sorted between them, a damaged file: left out, the others played.
        std::ofstream(pack + "/b.txt") << "1 2 3 not a stage\n";
    }
    GameRun PlayPack(long long frames)
    {
        return RunGame(folder, PlayThrough(frames), frames, "", "--stages '" + pack + "'");
    }
    // The game's --verify on file, with extra options: status and output.
    int Verify(const std::string& file, const std::string& options, std::string* output)
    {
        std::string out = folder + "/verify.txt";
        int raw = std::system(("'" + HARNESS + "' --dir '" + folder + "' --verify '" + file + "' " + options + " >'" +
                               out + "' 2>&1")
                                  .c_str());
        *output = ReadText(out);
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    std::string Kept(const std::vector<int>& cells)
    {
        return folder + "/txt/stages/" + StageHashText(CellsHash(cells.data()));
    }
    // A pack of six stages, each its own: the goal a little further each time.
    std::string SixStages()
    {
        std::string six = folder + "/six";
        fs::create_directory(six);
        for (int s = 0; s < 6; s++) {
            std::string error;
            std::string name = six + "/" + std::string(1, char('a' + s)) + ".txt";
            EXPECT_TRUE(WriteStageCells(name.c_str(), FlatStage(SIX_GOALS[s]), &error)) << error;
        }
        return six;
    }
    static constexpr int SIX_GOALS[6] = {30, 33, 36, 39, 42, 45};
    std::string pack;
};

constexpr long long PACK_FRAMES = 1800;

}  // namespace

TEST_F(Packs, APackPlaysThroughKeepingItsTimesByStageApartFromTheShippedTable)
{
    const std::string shipped = " 100 200 300 400 500 1 2 3 4 5 1 2 3 4 5 1 2 3 4 5";
    PutScores(shipped);
    GameRun run = PlayPack(PACK_FRAMES);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    EXPECT_NE(run.output.find("the stage " + pack + "/b.txt is left out: "), std::string::npos) << run.output;
    // Both stages' results, one after the other, then the title: a pack's
    // game has no closing total.
    std::vector<int> results;
    for (const SceneRun& r : runs)
        if (r.scene == "results") results.push_back(r.stageNo);
    EXPECT_EQ(results, (std::vector<int>{1, 2}));
    EXPECT_TRUE(run.Frames("closing").empty());
    EXPECT_EQ(runs.back().scene, "title");

    // The shipped table and its folder are as they were.
    EXPECT_EQ(Scores(), shipped);
    EXPECT_FALSE(fs::exists(folder + "/txt/stage1-rank1.replay"));
    EXPECT_FALSE(fs::exists(folder + "/txt/stage1-new.replay"));
    // Each stage's own table, its time first, and its recording beside it,
    // which verifies given the folder or the stage file.
    std::string output;
    for (const auto& [file, goal] : {std::pair<std::string, int>{"a.txt", 45}, {"c.txt", 30}}) {
        std::string kept = Kept(FlatStage(goal));
        ScoreTable table;
        ASSERT_EQ(ReadScoreFile((kept + "/scoretime.txt").c_str(), &table), SCORE_FILE_READ) << kept;
        EXPECT_LT(table.times[0][0], 10000) << file;
        EXPECT_EQ(table.times[0][1], EMPTY_SLOT_MS) << file;
        std::string recording = kept + "/stage1-rank1.replay";
        ASSERT_TRUE(fs::exists(recording)) << file;
        EXPECT_EQ(Verify(recording, "--stages '" + pack + "'", &output), 0) << output;
        EXPECT_NE(output.find("verified: custom stage " + file + " (stage-hash "), std::string::npos) << output;
        EXPECT_EQ(Verify(recording, "--stage '" + pack + "/" + file + "'", &output), 0) << output;
    }
    // Without the stage, or on another, it is refused, naming the hash it needs.
    std::string first = Kept(FlatStage(45)) + "/stage1-rank1.replay";
    std::string hash = StageHashText(CellsHash(FlatStage(45).data()));
    EXPECT_EQ(Verify(first, "", &output), 1);
    EXPECT_NE(output.find("it is a run of a custom stage (stage-hash " + hash + ")"), std::string::npos) << output;
    EXPECT_EQ(Verify(first, "--stage '" + pack + "/c.txt'", &output), 1);
    EXPECT_NE(output.find("it needs stage-hash " + hash), std::string::npos) << output;

    // An edited stage is another stage: a fresh table of its own, the old
    // one left as it was.
    std::string before = ReadText(Kept(FlatStage(45)) + "/scoretime.txt");
    std::vector<int> edited = FlatStage(45);
    edited[20 * MAP_COLS + 150] = TILE_BLOCK;
    std::string error;
    ASSERT_TRUE(WriteStageCells((pack + "/a.txt").c_str(), edited, &error)) << error;
    PlayPack(PACK_FRAMES);
    EXPECT_EQ(ReadText(Kept(FlatStage(45)) + "/scoretime.txt"), before);
    ScoreTable fresh;
    ASSERT_EQ(ReadScoreFile((Kept(edited) + "/scoretime.txt").c_str(), &fresh), SCORE_FILE_READ);
    EXPECT_LT(fresh.times[0][0], 10000);
    EXPECT_EQ(Scores(), shipped);
}

TEST_F(Packs, TheStageSelectPlaysThePackStageChosenAndADamagedTableOfItsIsLeftAsItIs)
{
    // The second stage's table is damaged: kept as it is, with a line saying so.
    std::string table = Kept(FlatStage(30)) + "/scoretime.txt";
    fs::create_directories(Kept(FlatStage(30)));
    std::ofstream(table) << "12 not a table";
    // STAGES, down to the pack's second stage, Enter; then fire to the left.
    const std::string script = "dialog no\ndialog yes\n0 mouse 80 40\n0 down lmb\n2 up lmb\n"
                               "10 down down\n11 up down\n14 down enter\n15 up enter\n"
                               "300 mouse 100 360\n300 down lmb\n";
    GameRun run = RunGame(folder, script, 600, "", "--stages '" + pack + "'");
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    auto results = std::find_if(runs.begin(), runs.end(), [](const SceneRun& r) { return r.scene == "results"; });
    ASSERT_NE(results, runs.end());
    EXPECT_EQ(results->stageNo, 2);
    EXPECT_EQ(ReadText(table), "12 not a table");
    std::string named = "stages/" + StageHashText(CellsHash(FlatStage(30).data())) + "/scoretime.txt cannot be used";
    EXPECT_NE(run.output.find(named), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(Kept(FlatStage(45)) + "/scoretime.txt"));
    EXPECT_FALSE(fs::exists(folder + "/txt/scoretime.txt"));
}

TEST_F(Packs, AFolderWithNothingToPlayIsRefusedNamingEachFile)
{
    // Missing.
    GameRun run = RunGame(folder, "", 5, "", "--stages '" + folder + "/none'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("no stage pack to play: the folder " + folder + "/none cannot be read"), std::string::npos)
        << run.output;
    // Empty.
    fs::remove_all(pack);
    fs::create_directory(pack);
    run = RunGame(folder, "", 5, "", "--stages '" + pack + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("holds no stage files (*.txt)"), std::string::npos) << run.output;
    // Nothing but files that are no stages: each named with its fault.
    std::ofstream(pack + "/binary.txt", std::ios::binary) << std::string("\x89PNG\r\n\x1a\n\0\0", 10);
    std::ofstream(pack + "/empty.txt");
    std::ofstream(pack + "/short.txt") << "0 0 0\n";
    fs::create_directory(pack + "/folder.txt");
    { std::ofstream(pack + "/huge.txt") << ""; }
    fs::resize_file(pack + "/huge.txt", 5u << 20);
    // A name with a terminal's escapes in it is shown with them made harmless.
    std::ofstream(pack + "/esc\x1b]0;x\x07.txt") << "0 0\n";
    run = RunGame(folder, "", 5, "", "--stages '" + pack + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("esc?]0;x?.txt is left out: it holds 2 numbers"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find('\x1b'), std::string::npos);
    for (const char* said : {"binary.txt is left out: line 1: something that is not a tile code",
                             "empty.txt is left out: it holds 0 numbers, not 8000",
                             "short.txt is left out: it holds 3 numbers, not 8000",
                             "folder.txt is left out: it is not a regular file",
                             "huge.txt is left out: it is larger than any stage file (4 MiB)",
                             "holds no stage that can be played"})
        EXPECT_NE(run.output.find(said), std::string::npos) << said << "\n" << run.output;
    // Nothing was written in the pack's folder, nor any records kept.
    EXPECT_FALSE(fs::exists(folder + "/txt/stages"));
    EXPECT_EQ(std::distance(fs::directory_iterator(pack), fs::directory_iterator()), 6);
}

TEST_F(Packs, APackOfSixPlaysWholeFromStartAndItsFifthStagesRunVerifies)
{
    std::string six = SixStages();
    GameRun run = RunGame(folder, PlayThrough(4000), 4000, "", "--stages '" + six + "'");
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    std::vector<int> results;
    for (const SceneRun& r : runs)
        if (r.scene == "results") results.push_back(r.stageNo);
    EXPECT_EQ(results, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(runs.back().scene, "title");
    // The fifth stage's run names its place in the pack, and verifies.
    std::string recording = Kept(FlatStage(SIX_GOALS[4])) + "/stage1-rank1.replay";
    EXPECT_EQ(ReadText(recording).rfind("prismveldt-replay 2\nstage 5\n", 0), 0u);
    std::string output;
    EXPECT_EQ(Verify(recording, "--stages '" + six + "'", &output), 0) << output;
    EXPECT_NE(output.find("verified: custom stage e.txt"), std::string::npos) << output;
}

TEST_F(Packs, TheStageSelectTurnsToThePageOfStagesFiveAndSixAndComesBackToIt)
{
    std::string six = SixStages();
    // STAGES; up to BACK, right: page 2. A click on the page line's left
    // half: page 1; left: page 2 again (round from the first). Up to stage 6,
    // Enter, fire to the left; Escape from its results, and STAGES again.
    const std::string script = "dialog no\ndialog yes\n0 mouse 80 40\n0 down lmb\n2 up lmb\n"
                               "10 down up\n11 up up\n14 down right\n15 up right\n"
                               "20 mouse 800 400\n21 down lmb\n22 up lmb\n"
                               "30 down left\n31 up left\n34 down up\n35 up up\n38 down enter\n39 up enter\n"
                               "300 mouse 100 360\n300 down lmb\n560 up lmb\n600 down esc\n601 up esc\n"
                               "700 mouse 80 40\n700 down lmb\n702 up lmb\n";
    GameRun run = RunGame(folder, script, 760, "", "--stages '" + six + "'");
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    // The pages the stage select showed, one entry a turn.
    std::vector<int> pages;
    for (const Event* f : run.Frames("stage-select")) {
        size_t at = f->line.find("\"firstStage\":");
        int first = at == std::string::npos ? 0 : std::atoi(f->line.c_str() + at + 13);
        if (pages.empty() || pages.back() != first) pages.push_back(first);
    }
    EXPECT_EQ(pages, (std::vector<int>{1, 5, 1, 5}));
    auto results = std::find_if(runs.begin(), runs.end(), [](const SceneRun& r) { return r.scene == "results"; });
    ASSERT_NE(results, runs.end());
    EXPECT_EQ(results->stageNo, 6);
    // Back from stage 6, the stage select comes up on its page.
    EXPECT_EQ(runs.back().scene, "stage-select");
    EXPECT_NE(run.Frames("stage-select").back()->line.find("\"firstStage\":5"), std::string::npos);
    ASSERT_TRUE(fs::exists(Kept(FlatStage(SIX_GOALS[5])) + "/scoretime.txt"));
}

TEST(PackRecords, AStageWithNoFolderForItsRecordsRanksIntoASessionTableOfItsOwn)
{
    StagePack six;
    for (int s = 0; s < 6; s++) {
        six.names.push_back(std::string(1, char('a' + s)) + ".txt");
        six.cells.push_back(FlatStage(30 + s));
        six.hashes.push_back(CellsHash(six.cells.back().data()));
    }
    UseStagePack(six, nullptr);
    StageRecords fifth = RecordsOfStage(5), sixth = RecordsOfStage(6);
    ASSERT_EQ(fifth.scorePath, nullptr);
    EXPECT_EQ(fifth.row, 1);
    EXPECT_EQ(EnterRunTime(fifth.scorePath, 1234, fifth.row, nullptr, fifth.session).rank, 1);
    EXPECT_EQ(StandingBestTimes(fifth.scorePath, fifth.session).table.times[0][0], 1234);
    EXPECT_EQ(StandingBestTimes(sixth.scorePath, sixth.session).table.times[0][0], EMPTY_SLOT_MS);
    EXPECT_EQ(StandingBestTimes(nullptr).table.times[0][0], EMPTY_SLOT_MS);
}
