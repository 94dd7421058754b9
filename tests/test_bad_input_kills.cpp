// Saves killed at every step, through the real game: the harness is killed
// (strace's fault injection) at each rename, flush and removal of the save
// that ranks a new best time over five kept ones. After every kill and the
// next start-up, each table entry's recording verifies to that entry's time,
// no kept run is lost, and nothing half-written is left.
#include "tests/test_bad_input_support.h"

#include <set>

#include "game/replay_files.h"
#include "game/score.h"

using namespace badinput;

namespace {

bool StraceWorks()
{
    return std::system("strace -f -o /dev/null true >/dev/null 2>&1") == 0;
}

// The table's stage 1 row.
std::vector<uint32_t> StageOneRow(const std::string& scores)
{
    ScoreTable table;
    std::vector<uint32_t> row;
    if (ReadScoreFile(scores.c_str(), &table) != SCORE_FILE_READ) return row;
    for (int r = 0; r < RANKS_PER_STAGE; r++) row.push_back((uint32_t)table.times[0][r]);
    return row;
}

class KilledSaves : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HarnessBuilt()) GTEST_SKIP() << "needs " << HARNESS << " and " << DATA;
        if (!StraceWorks()) GTEST_SKIP() << "needs strace, allowed to trace";
    }
    std::string Txt(const GameFolder& folder) { return folder.path + "/txt/"; }

    // What --verify says of a recording: its time, or 0.
    uint32_t Verified(const GameFolder& folder, const std::string& file)
    {
        std::string out = folder.path + "/verify.txt";
        std::system(("'" + HARNESS + "' --dir '" + folder.path + "' --verify '" + file + "' >'" + out +
                     "' 2>&1")
                        .c_str());
        std::string said = ReadText(out);
        size_t at = said.find(" (");
        return said.rfind("verified:", 0) == 0 && at != std::string::npos
                   ? (uint32_t)std::stoul(said.substr(at + 2))
                   : 0;
    }
};

TEST_F(KilledSaves, EveryStepOfASaveLeavesTheTableAndItsRunsPaired)
{
    const std::string stageOne = ReadText(std::string(SOURCE_DIR) + "/tests/replays/stage1.txt");
    // Five true runs kept, the slowest last.
    GameFolder base;
    std::string empty;
    for (int k = 0; k < 20; k++) empty += " 5999999";
    base.Write("txt/scoretime.txt", empty);
    for (int late : {40, 80, 120, 160, 200}) ASSERT_EQ(base.Play(Late(stageOne, late), 40000).status, 1);
    std::vector<uint32_t> kept = StageOneRow(Txt(base) + "scoretime.txt");
    ASSERT_EQ(kept.size(), 5u);
    ASSERT_EQ(std::set<uint32_t>(kept.begin(), kept.end()).size(), 5u);
    ASSERT_LT(kept[4], (uint32_t)EMPTY_SLOT_MS);

    // The sixth, the fastest, ranks first: every kept run moves down one
    // and the slowest drops out. Killed at the n-th call of each kind.
    const char* kinds[] = {"rename,renameat,renameat2", "fsync,fdatasync", "unlink,unlinkat"};
    int kills = 0;
    for (const char* calls : kinds) {
        for (int n = 1;; n++) {
            SCOPED_TRACE(std::string(calls) + " #" + std::to_string(n));
            GameFolder folder;
            for (const auto& entry : fs::directory_iterator(Txt(base)))
                if (entry.path().filename().string().rfind("dw_", 0) != 0)
                    fs::copy_file(entry.path(), Txt(folder) + entry.path().filename().string(),
                                  fs::copy_options::overwrite_existing);
            GameRun run = folder.Play(stageOne, 40000,
                                      std::string("strace -f -o /dev/null -e inject=") + calls +
                                          ":signal=KILL:when=" + std::to_string(n));
            bool killed = run.status == -1 || run.status == 128 + 9;  // by the signal, or the shell says so
            if (!killed) {
                ASSERT_EQ(run.status, 1) << run.output;
            }
            kills += killed;

            // The next start-up tidies; then every entry's run verifies to
            // the entry's time, and every kept run that is still in the
            // table still has its recording.
            folder.Play("", 3);
            std::vector<uint32_t> row = StageOneRow(Txt(folder) + "scoretime.txt");
            ASSERT_EQ(row.size(), 5u);
            ScoreTable table;
            ASSERT_EQ(ReadScoreFile((Txt(folder) + "scoretime.txt").c_str(), &table), SCORE_FILE_READ);
            for (int rank = 1; rank <= RANKS_PER_STAGE; rank++) {
                SCOPED_TRACE("rank " + std::to_string(rank));
                std::string file = RecordingPath((Txt(folder) + "scoretime.txt").c_str(), 1, rank);
                Recording r;
                bool found = FindKeptRecording((Txt(folder) + "scoretime.txt").c_str(), table, 1, rank, &r);
                bool wasKept = std::find(kept.begin(), kept.end(), row[rank - 1]) != kept.end();
                if (wasKept) {
                    EXPECT_TRUE(found);
                }
                if (!found) continue;
                // Under its own rank's name once tidied, and true.
                Recording named;
                ASSERT_TRUE(ReadRecordingFile(file.c_str(), &named, nullptr));
                EXPECT_EQ(named.timeMs, row[rank - 1]);
                EXPECT_EQ(Verified(folder, file), row[rank - 1]);
            }
            for (const auto& entry : fs::directory_iterator(Txt(folder))) {
                std::string name = entry.path().filename().string();
                EXPECT_EQ(name.find(".saving-"), std::string::npos) << name;
                EXPECT_EQ(name.find("-new.replay"), std::string::npos) << name;
            }
            if (!killed) break;  // the save had fewer such calls than n
        }
    }
    // Two renames and two flushes for the recording and the table, a rename
    // for each kept run moved, a removal for the one that dropped out.
    EXPECT_GE(kills, 12);
    std::printf("the save was killed at %d steps\n", kills);
}

}  // namespace
