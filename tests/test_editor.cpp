// The stage editor: its undo and redo as a property of random edit
// sequences, the stage file read whole and written back byte for byte, and
// the real editor driven through the harness's script with the saved file
// checked cell by cell: painting, rectangles, erasing, picking, undo and
// redo, a damaged file never saved over, the question on leaving, and test
// play there and back.
#include "tests/test_wholegame_harness.h"

#include <chrono>
#include <cstring>
#include <random>

#include "game/edit_history.h"
#include "game/par_times.h"
#include "game/editor_prove.h"
#include "game/recording.h"
#include "game/verify.h"
#include "game/play_state.h"
#include "game/stage.h"
#include "game/stage_file.h"

namespace {

// ---- undo and redo ----

// Random steps, undos and redos against a model that keeps every grid: after
// each action the grid is the model's, and undone fully it is the first.
TEST(EditHistory, RandomStepsUndoAndRedoLikeSnapshots)
{
    std::mt19937 random(31);
    for (int trial = 0; trial < 40; trial++) {
        std::vector<int> grid(MAP_CELLS);
        for (int& c : grid) c = (int)(random() % 4);
        const std::vector<int> original = grid;
        EditHistory history;
        std::vector<std::vector<int>> grids{grid};
        size_t at = 0;
        for (int action = 0; action < 60; action++) {
            int kind = (int)(random() % 5);
            if (kind <= 2) {
                // A step: a few cells, some twice, some to what they hold.
                int edits = 1 + (int)(random() % 30);
                for (int i = 0; i < edits; i++) {
                    int cell = (int)(random() % 64) * 125;  // a few cells, often the same
                    EditCell(&history, &grid, cell, (int)(random() % 4));
                }
                CloseStep(&history);
                if (grid != grids[at]) {
                    grids.resize(at + 1);
                    grids.push_back(grid);
                    at++;
                }
            } else if (kind == 3) {
                EXPECT_EQ(UndoStep(&history, &grid), at > 0);
                if (at > 0) at--;
            } else {
                EXPECT_EQ(RedoStep(&history, &grid), at + 1 < grids.size());
                if (at + 1 < grids.size()) at++;
            }
            ASSERT_EQ(grid, grids[at]) << "trial " << trial << " action " << action;
        }
        std::vector<int> edited = grids.back();
        while (UndoStep(&history, &grid)) {}
        EXPECT_EQ(grid, original);
        while (RedoStep(&history, &grid)) {}
        EXPECT_EQ(grid, edited);
    }
}

TEST(EditHistory, UnsavedFollowsTheSavedGrid)
{
    std::vector<int> grid(MAP_CELLS, 0);
    EditHistory history;
    EXPECT_FALSE(UnsavedEdits(history));
    EditCell(&history, &grid, 5, 1);
    EXPECT_TRUE(UnsavedEdits(history));  // an open step counts
    CloseStep(&history);
    MarkSaved(&history);
    EXPECT_FALSE(UnsavedEdits(history));
    UndoStep(&history, &grid);
    EXPECT_TRUE(UnsavedEdits(history));
    RedoStep(&history, &grid);
    EXPECT_FALSE(UnsavedEdits(history));
    // Undone, then a new step: the saved grid is out of reach for good.
    UndoStep(&history, &grid);
    EditCell(&history, &grid, 6, 2);
    CloseStep(&history);
    UndoStep(&history, &grid);
    EXPECT_TRUE(UnsavedEdits(history));
    // A cell out of the grid is let be: no step, and the step undone stays redoable.
    size_t steps = history.steps.size();
    EditCell(&history, &grid, MAP_CELLS, 3);
    EditCell(&history, &grid, -1, 3);
    CloseStep(&history);
    EXPECT_EQ(history.steps.size(), steps);
    EXPECT_EQ(grid.size(), (size_t)MAP_CELLS);
    EXPECT_TRUE(RedoStep(&history, &grid));
}

// ---- the file ----

std::string Temporary()
{
    char pattern[] = "/tmp/prismveldt-edit-XXXXXX";
    EXPECT_NE(mkdtemp(pattern), nullptr);
    return pattern;
}

TEST(StageFile, ShippedStagesReadWholeAndWriteBackByteForByte)
{
    std::string folder = Temporary();
    for (int stage = 1; stage <= 4; stage++) {
        std::string shipped = std::string(SOURCE_DIR) + "/data/txt/dw_stage" + std::to_string(stage) + ".txt";
        std::vector<int> cells;
        std::string problem;
        ASSERT_EQ(ReadStageCells(shipped.c_str(), &cells, &problem), STAGE_FILE_OK) << shipped << ": " << problem;
        std::string copy = folder + "/copy.txt", error;
        ASSERT_TRUE(WriteStageCells(copy.c_str(), cells, &error)) << error;
        EXPECT_EQ(ReadText(copy), ReadText(shipped)) << "stage " << stage;
    }
    fs::remove_all(folder);
}

TEST(StageFile, ADamagedFileSaysWhatIsWrongAndShowsWhatTheGameWouldPlay)
{
    std::string folder = Temporary();
    std::string text;
    for (int i = 0; i < MAP_CELLS - 1; i++) text += std::to_string(i % 7) + (i % 200 == 199 ? "\n" : " ");
    struct Case {
        std::string name, text;
        int status;
        std::string problem;
    } cases[] = {
        {"short", text, STAGE_FILE_DAMAGED, "it holds 7999 numbers, not 8000"},
        {"long", text + "1 2\n", STAGE_FILE_DAMAGED, "it holds 8001 numbers, not 8000"},
        {"junk", "1 2 x 4\n", STAGE_FILE_DAMAGED, "line 1: something that is not a tile code"},
        {"huge", "1\n99999999999\n", STAGE_FILE_DAMAGED, "line 2: a number too large for a tile code"},
        {"binary", std::string("\x89PNG\r\n\0\0", 8), STAGE_FILE_DAMAGED, "line 1: something that is not a tile code"},
    };
    for (const Case& c : cases) {
        std::string path = folder + "/" + c.name + ".txt";
        std::ofstream(path, std::ios::binary) << c.text;
        std::vector<int> cells;
        std::string problem;
        EXPECT_EQ(ReadStageCells(path.c_str(), &cells, &problem), c.status) << c.name;
        EXPECT_EQ(problem, c.problem) << c.name;
        ASSERT_EQ(cells.size(), (size_t)MAP_CELLS);
    }
    std::vector<int> cells;
    std::string problem;
    ReadStageCells((folder + "/short.txt").c_str(), &cells, &problem);
    EXPECT_EQ(cells[MAP_CELLS - 2], (MAP_CELLS - 2) % 7);
    EXPECT_EQ(cells[MAP_CELLS - 1], 0);
    EXPECT_EQ(ReadStageCells(folder.c_str(), &cells, &problem), STAGE_FILE_UNREADABLE);
    EXPECT_EQ(problem, "it is not a regular file");
    EXPECT_EQ(ReadStageCells((folder + "/none.txt").c_str(), &cells, &problem), STAGE_FILE_MISSING);
    EXPECT_EQ(cells, std::vector<int>(MAP_CELLS, 0));
    fs::remove_all(folder);
}

// ---- the editor in the harness ----

std::vector<int> Cells(const std::string& path)
{
    std::vector<int> cells;
    std::string problem;
    EXPECT_EQ(ReadStageCells(path.c_str(), &cells, &problem), STAGE_FILE_OK) << path << ": " << problem;
    return cells;
}

class Editor : public HarnessTest {
protected:
    GameRun Edit(const std::string& file, const std::string& script, long long frames)
    {
        return RunGame(folder, script, frames, "", "--edit '" + file + "'");
    }
    // The editor's first view, as its trace gives it.
    void ReadView(const std::string& file)
    {
        GameRun run = Edit(file, "", 2);
        auto frames = run.Frames("editor");
        ASSERT_FALSE(frames.empty()) << run.output;
        viewX = (int)NumberField(frames[0]->line, "viewX", 0);
        viewY = (int)NumberField(frames[0]->line, "viewY", 0);
        perPixel = 64 / (8 << (int)NumberField(frames[0]->line, "zoom", 0));
    }
    // "N mouse X Y" at the middle of a cell.
    std::string At(int frame, int col, int row)
    {
        int x = (col * 64 + 32 - viewX) / perPixel, y = (row * 64 + 32 - viewY) / perPixel;
        EXPECT_TRUE(x >= 0 && x < 980 && y >= 0 && y < 678) << "cell " << col << "," << row << " is off the map";
        return std::to_string(frame) + " mouse " + std::to_string(x) + " " + std::to_string(y) + "\n";
    }
    static std::string Key(int frame, const std::string& key)
    {
        return std::to_string(frame) + " down " + key + "\n" + std::to_string(frame + 1) + " up " + key + "\n";
    }
    int viewX = 0, viewY = 0, perPixel = 1;
};

// Near the start, where the first view looks.
constexpr int COL = 8, ROW = 30;

TEST_F(Editor, PaintRectangleEraseAndPickAreSavedCellByCell)
{
    std::string file = folder + "/mine.txt";
    fs::copy_file(DATA + "/txt/dw_stage1.txt", file);
    std::vector<int> want = Cells(file);
    ReadView(file);
    std::string s;
    // Pick code 11 (the goal) from the palette: its column and row there.
    s += "2 mouse 1000 " + std::to_string(52 + 11 * 26 + 12) + "\n" + Key(3, "lmb");
    // A stroke over three cells of a row.
    s += At(6, COL, ROW) + "7 down lmb\n" + At(8, COL + 1, ROW) + At(9, COL + 2, ROW) + "10 up lmb\n";
    for (int c = COL; c <= COL + 2; c++) want[ROW * 200 + c] = 11;
    // Middle button picks what the cell below holds; Shift and a drag fill a 3 x 2 block with it.
    int picked = want[(ROW + 1) * 200 + COL + 5];
    s += At(12, COL + 5, ROW + 1) + Key(13, "mmb");
    s += At(16, COL + 3, ROW - 3) + "17 down shift\n18 down lmb\n" + At(19, COL + 5, ROW - 2) + "20 up lmb\n21 up shift\n";
    for (int r = ROW - 3; r <= ROW - 2; r++)
        for (int c = COL + 3; c <= COL + 5; c++) want[r * 200 + c] = picked;
    // A right click erases one cell.
    s += At(24, COL + 1, ROW) + Key(25, "rmb");
    want[ROW * 200 + COL + 1] = 0;
    // Save, then leave: nothing unsaved, so no question.
    s += "30 down ctrl\n" + Key(31, "s") + "33 up ctrl\n" + Key(36, "esc");
    GameRun run = Edit(file, s, 100);
    EXPECT_EQ(run.Frames("editor").size(), 37u) << run.output;
    EXPECT_NE(run.output.find("saved " + file), std::string::npos) << run.output;
    std::vector<int> saved = Cells(file);
    for (int i = 0; i < MAP_CELLS; i++)
        ASSERT_EQ(saved[i], want[i]) << "col " << i % 200 << " row " << i / 200;
}

TEST_F(Editor, UndoAndRedoForTheWholeSessionThenSave)
{
    std::string file = folder + "/new.txt";  // not there: a new, empty stage
    ReadView(file);
    std::string s = "2 mouse 1000 " + std::to_string(52 + 1 * 26 + 12) + "\n" + Key(3, "lmb");
    // Three strokes, each one cell; two undone, one redone.
    s += At(6, COL, ROW) + Key(7, "lmb") + At(10, COL + 1, ROW) + Key(11, "lmb") + At(14, COL + 2, ROW) + Key(15, "lmb");
    s += "20 down ctrl\n" + Key(21, "z") + Key(23, "z") + Key(25, "y") + Key(27, "s") + "29 up ctrl\n";
    // Undo the rest after saving: the question comes up on leaving, N keeps the editor, Y leaves.
    s += "32 down ctrl\n" + Key(33, "z") + Key(35, "z") + "37 up ctrl\n" + Key(40, "esc") + Key(43, "n") + Key(46, "esc") +
         Key(49, "y");
    GameRun run = Edit(file, s, 100);
    std::vector<int> want(MAP_CELLS, 0);
    want[ROW * 200 + COL] = want[ROW * 200 + COL + 1] = 1;
    std::vector<int> saved = Cells(file);
    for (int i = 0; i < MAP_CELLS; i++)
        ASSERT_EQ(saved[i], want[i]) << "col " << i % 200 << " row " << i / 200;
    auto frames = run.Frames("editor");
    ASSERT_EQ(frames.size(), 50u) << run.output;
    EXPECT_EQ(NumberField(frames[41]->line, "asking", -1), 1);
    EXPECT_EQ(NumberField(frames[45]->line, "asking", -1), 0);
    EXPECT_EQ(NumberField(frames[47]->line, "asking", -1), 1);
    EXPECT_EQ(NumberField(frames[47]->line, "unsaved", -1), 1);
}

TEST_F(Editor, ClosingTheWindowAsksAboutEditsNotSaved)
{
    std::string file = folder + "/closing.txt";
    fs::copy_file(DATA + "/txt/dw_stage1.txt", file);
    ReadView(file);
    // A cell painted, the window closed and kept (No); saved, closed again (Yes).
    std::string s = "dialog no\ndialog yes\n" + At(4, COL, ROW) + Key(5, "lmb") + "10 close\n" + "14 down ctrl\n" +
                    Key(15, "s") + "17 up ctrl\n" + "20 close\n";
    GameRun run = Edit(file, s, 100);
    auto asked = run.Dialogs();
    ASSERT_EQ(asked.size(), 2u) << run.output;
    EXPECT_EQ(asked[0]->text, "保存していない変更があります。保存せずに終了しますか？");
    EXPECT_EQ(asked[0]->answer, "no");
    EXPECT_EQ(asked[1]->text, "本当に終了しますか？");
    EXPECT_EQ(run.Frames("editor").size(), 20u) << run.output;  // frames 0 to 19: the second close ends it
}

TEST_F(Editor, ADamagedFileIsNamedAndNeverSavedOver)
{
    std::string file = folder + "/broken.txt";
    std::string text = ReadText(DATA + "/txt/dw_stage2.txt");
    text.resize(text.size() / 2);  // cut in half, as a copy that failed would be
    std::ofstream(file, std::ios::binary) << text;
    ReadView(file);
    std::string s = "2 mouse 1000 " + std::to_string(52 + 1 * 26 + 12) + "\n" + Key(3, "lmb") + At(6, COL, ROW) +
                    Key(7, "lmb") + "10 down ctrl\n" + Key(11, "s") + "13 up ctrl\n" + Key(16, "esc");
    GameRun run = Edit(file, s, 40);
    EXPECT_NE(run.output.find("stage file " + file + " could not be read whole"), std::string::npos) << run.output;
    EXPECT_EQ(ReadText(file), text);
    std::string repaired = folder + "/broken-repaired.txt";
    EXPECT_NE(run.output.find("saved " + repaired), std::string::npos) << run.output;
    std::vector<int> cells = Cells(repaired), want(MAP_CELLS, 0);
    ParseStageNumbers(text.data(), text.size(), want.data());
    want[ROW * 200 + COL] = 1;
    EXPECT_EQ(cells, want);
    // A folder in the file's place: a message, an empty stage, no crash.
    fs::create_directory(folder + "/adir");
    run = Edit(folder + "/adir", Key(3, "esc"), 10);
    EXPECT_NE(run.output.find("stage file " + folder + "/adir could not be read whole (it is not a regular file)"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(run.status, 1) << run.output;  // left by Escape, the game's orderly end
}

TEST_F(Editor, TestPlayFromTheStartAndFromAPointComesBackToTheSameView)
{
    // A stage whose goal is where the character stands at the start: F5
    // clears at once; Shift+F5 from a point over open floor plays there.
    std::vector<int> cells(MAP_CELLS, 0);
    for (int c = 0; c < 200; c++) cells[34 * 200 + c] = cells[35 * 200 + c] = 1;
    int startCol = (int)(START_CAM_X + 642) / 64, startRow = (int)(START_CAM_Y + 360) / 64;
    cells[startRow * 200 + startCol] = 11;
    std::string file = folder + "/goal.txt", error;
    ASSERT_TRUE(WriteStageCells(file.c_str(), cells, &error)) << error;
    ReadView(file);
    std::string s = Key(8, "f5");
    int pointCol = COL + 10, pointRow = 33;
    s += At(80, pointCol, pointRow) + "81 down shift\n" + Key(82, "f5") + "84 up shift\n" + Key(120, "esc");
    // The view moved, then played again: it comes back as it was.
    s += "150 down right\n153 up right\n" + Key(160, "f5");
    GameRun run = Edit(file, s, 260);
    EXPECT_NE(run.output.find("test play reached the goal"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("test play left"), std::string::npos) << run.output;
    std::vector<SceneRun> runs = SceneRuns(run);
    ASSERT_GE(runs.size(), 7u) << Describe(runs);
    EXPECT_EQ(runs[0].scene, "editor");
    EXPECT_EQ(runs[1].scene, "play");
    auto play = run.Frames("play");
    ASSERT_FALSE(play.empty());
    EXPECT_EQ(NumberField(play[0]->line, "camX", 0), START_CAM_X);
    EXPECT_EQ(NumberField(play[0]->line, "camY", 0), START_CAM_Y);
    // The point's play begins as if a crystal under that cell had been taken.
    const Event* fromPoint = nullptr;
    for (const Event* f : play)
        if (f->n > 82) {
            fromPoint = f;
            break;
        }
    ASSERT_NE(fromPoint, nullptr) << Describe(runs);
    EXPECT_EQ(NumberField(fromPoint->line, "respawnX", 0), pointCol * 64 + 32 - 640);
    EXPECT_EQ(NumberField(fromPoint->line, "respawnY", 0), (pointRow + 1) * 64 - 410);
    auto editor = run.Frames("editor");
    double panned = NAN;
    for (const Event* f : editor)
        if (f->n > 154 && f->n < 160) panned = NumberField(f->line, "viewX", 0);
    EXPECT_GT(panned, viewX);
    EXPECT_EQ(editor.back()->n, 259) << Describe(runs);
    EXPECT_EQ(NumberField(editor.back()->line, "viewX", 0), panned);
    // Nothing ranked or kept: no score file was made.
    EXPECT_FALSE(fs::exists(folder + "/txt/scoretime.txt"));
}

}  // namespace

namespace {

// ---- the proof ----

std::vector<int> Floored()
{
    std::vector<int> cells(MAP_CELLS, 0);
    // A floor, a ceiling, and a column of goal tiles a few cells right of the start.
    for (int c = 0; c < 200; c++) cells[12 * 200 + c] = cells[34 * 200 + c] = cells[35 * 200 + c] = 1;
    for (int r = 26; r < 34; r++) cells[r * 200 + 24] = TILE_GOAL;
    return cells;
}

TEST(Proof, TheChecksBeforeTheSearchAnswerAtOnce)
{
    struct Case {
        const char* what;
        void (*change)(std::vector<int>&);
        const char* text;
    } cases[] = {
        {"walled", [](std::vector<int>& g) { for (int r = 0; r < 34; r++) g[r * 200 + 18] = 1; },
         "not clearable: every goal is walled off from the start"},
        {"deadly wall", [](std::vector<int>& g) { for (int r = 0; r < 34; r++) g[r * 200 + 18] = 5; },
         "not clearable: every goal is walled off from the start"},
        {"no goal", [](std::vector<int>& g) { for (int& c : g) if (c == TILE_GOAL) c = 0; },
         "not clearable: there is no goal tile"},
        {"solid start", [](std::vector<int>& g) { g[32 * 200 + 10] = 1; }, "not clearable: the start lies in a solid tile"},
        {"deadly start", [](std::vector<int>& g) { g[32 * 200 + 10] = 7; }, "not clearable: the start lies in a deadly tile"},
    };
    for (const Case& c : cases) {
        std::vector<int> cells = Floored();
        c.change(cells);
        Proof proof;
        StartProof(&proof, cells);
        EXPECT_EQ(proof.status, PROOF_REFUSED) << c.what;
        EXPECT_EQ(proof.text, c.text) << c.what;
    }
    Proof proof;
    StartProof(&proof, Floored());
    EXPECT_EQ(proof.status, PROOF_SEARCHING);
}

TEST_F(Editor, ProveKeepsARunThatVerifiesAndAnEditClearsTheProof)
{
    std::string file = folder + "/easy.txt", error;
    ASSERT_TRUE(WriteStageCells(file.c_str(), Floored(), &error)) << error;
    GameRun run = Edit(file, Key(3, "f6"), 400);
    EXPECT_NE(run.output.find("clearable, par 0:01.6; the run is kept in " + folder + "/easy.proof.replay"),
              std::string::npos)
        << run.output;
    auto frames = run.Frames("editor");
    ASSERT_EQ(frames.size(), 400u);
    EXPECT_EQ(NumberField(frames[3]->line, "proof", -1), PROOF_SEARCHING);
    EXPECT_EQ(NumberField(frames.back()->line, "proof", -1), PROOF_CLEARABLE);
    // The run kept verifies on the stage, by the game's own verifier.
    Recording recording;
    std::string why;
    ASSERT_TRUE(ReadRecordingFile((folder + "/easy.proof.replay").c_str(), &recording, &why)) << why;
    std::vector<int> cells = Floored();
    memcpy(tileMap, cells.data(), sizeof tileMap);
    EXPECT_TRUE(VerifyRecordingOnStage(recording, &why)) << why;
    EXPECT_EQ(recording.timeMs, 1632u);
    // It is a custom stage's run: --verify checks it on the stage given, and
    // never on shipped stage 1.
    EXPECT_TRUE(recording.custom);
    std::string verify = "'" + HARNESS + "' --dir '" + folder + "' --verify '" + folder + "/easy.proof.replay'";
    EXPECT_EQ(WEXITSTATUS(std::system((verify + " --stage '" + file + "' >/dev/null 2>&1").c_str())), 0);
    EXPECT_EQ(WEXITSTATUS(std::system((verify + " >/dev/null 2>&1").c_str())), 1);
    // An edit clears it; a walled-off goal is told in the frame F6 is pressed.
    ReadView(file);
    std::string s = Key(3, "f6") + At(300, 18, 33) + "301 down shift\n302 down lmb\n" + At(303, 18, 13) +
                    "304 up lmb\n305 up shift\n" + Key(310, "f6");
    run = Edit(file, s, 320);
    frames = run.Frames("editor");
    ASSERT_EQ(frames.size(), 320u);
    EXPECT_EQ(NumberField(frames[299]->line, "proof", -1), PROOF_CLEARABLE);
    EXPECT_EQ(NumberField(frames[305]->line, "proof", -1), PROOF_NONE);
    EXPECT_EQ(NumberField(frames[310]->line, "proof", -1), PROOF_REFUSED);
    EXPECT_NE(run.output.find("the edit cleared the proof\nnot clearable: every goal is walled off from the start"),
              std::string::npos)
        << run.output;
}

}  // namespace

namespace {

// The shipped stages prove clearable, each within a stated time on one core
// of a loaded build machine; the run found verifies, and its par is the
// solver's committed one (game/par_times.h).
TEST(Proof, ShippedStagesProveClearableInTime)
{
    constexpr double MOST_SECONDS = 240;
    for (int stage = 1; stage <= 4; stage++) {
        std::vector<int> cells;
        std::string problem;
        std::string path = std::string(SOURCE_DIR) + "/data/txt/dw_stage" + std::to_string(stage) + ".txt";
        ASSERT_EQ(ReadStageCells(path.c_str(), &cells, &problem), STAGE_FILE_OK) << problem;
        auto began = std::chrono::steady_clock::now();
        Proof proof;
        StartProof(&proof, cells);
        while (proof.status == PROOF_SEARCHING) StepProof(&proof, 1000, 1000);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        EXPECT_EQ(proof.status, PROOF_CLEARABLE) << "stage " << stage << ": " << proof.text;
        EXPECT_EQ(proof.recording.timeMs, ParTimeMs(stage)) << "stage " << stage;
        EXPECT_LT(seconds, MOST_SECONDS) << "stage " << stage;
        printf("stage %d: %s, proved in %.1f s\n", stage, proof.text.c_str(), seconds);
    }
}

}  // namespace

namespace {

// The wheel zooms about the pointer through 1/8 .. 1 and no further; with
// Shift it pans four cells a notch.
TEST_F(Editor, WheelZoomsAboutThePointerAndShiftWheelPans)
{
    std::string file = folder + "/wheel.txt";
    GameRun run = Edit(file, "2 mouse 490 340\n4 wheel 1\n6 wheel 1\n8 wheel 1\n10 wheel -5\n12 down shift\n13 wheel -2\n14 up shift\n", 16);
    auto frames = run.Frames("editor");
    ASSERT_EQ(frames.size(), 16u) << run.output;
    auto field = [&](int n, const char* name) { return (long long)NumberField(frames[n]->line, name, -1); };
    EXPECT_EQ(field(3, "zoom"), 1);
    EXPECT_EQ(field(4, "zoom"), 2);
    EXPECT_EQ(field(6, "zoom"), 3);
    EXPECT_EQ(field(8, "zoom"), 3);
    EXPECT_EQ(field(10, "zoom"), 0);
    // The world point under the pointer stays under it (4 world pixels a
    // screen pixel at 1/4, 2 at 1/2).
    EXPECT_EQ(field(3, "viewX") + 490 * 4, field(4, "viewX") + 490 * 2);
    EXPECT_EQ(field(3, "viewY") + 340 * 4, field(4, "viewY") + 340 * 2);
    EXPECT_EQ(field(13, "viewX"), field(12, "viewX") + 2 * 4 * 64);
    EXPECT_EQ(field(13, "zoom"), 0);
}

}  // namespace
