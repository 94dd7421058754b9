// The board's verification pool: the game's verifier on several threads at
// once, each on its own stage grid, gives every recording the answer it gets
// alone; a full queue turns work away rather than growing; a run that takes
// too long to check is refused.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "board/stages.h"
#include "board/verify_pool.h"
#include "game/verify.h"
#include "gfx/whole_file.h"
#include "tests/board/recordings.h"

namespace {

struct Case {
    Recording recording;
    std::shared_ptr<const StageGrid> grid;
    bool expected;
    std::string expectedWhy;
};

class VerifyPoolTest : public testing::Test {
protected:
    void SetUp() override
    {
        const auto& texts = board_test::StageRecordings();
        if (texts.empty()) GTEST_SKIP() << "needs the built harness and game data";
        std::string why;
        ASSERT_TRUE(LoadOfficialStages(harness::DATA, &stages, &why)) << why;
        for (const std::string& text : texts) {
            Recording r;
            ASSERT_TRUE(ParseRecording(text.data(), text.size(), &r, &why)) << why;
            BoardStage stage;
            ASSERT_TRUE(FindStage(&stages, r.stageHash, &stage));
            recordings.push_back(r);
            grids.push_back(stage.grid);
        }
    }
    StageSet stages;
    std::vector<Recording> recordings;
    std::vector<std::shared_ptr<const StageGrid>> grids;
};

TEST_F(VerifyPoolTest, ManyThreadsAtOnceEachGetTheAnswerOfTheRecordingAlone)
{
    // Each stage's true run, and forgeries of each that fail at different
    // points: a later goal time, a changed aim part way, a run played on the
    // next stage's grid (another hash: refused at once).
    std::vector<Case> cases;
    for (size_t i = 0; i < recordings.size(); i++) {
        cases.push_back({recordings[i], grids[i], true, ""});
        Recording late = recordings[i];
        late.timeMs += 16;
        cases.push_back({late, grids[i], false, ""});
        Recording aimed = recordings[i];
        for (size_t f = aimed.frames.size() / 3; f < aimed.frames.size() * 2 / 3; f++)
            aimed.frames[f].mouseY = 700;
        cases.push_back({aimed, grids[i], false, ""});
        cases.push_back({recordings[i], grids[(i + 1) % grids.size()], false, ""});
    }
    // The answers alone, on this thread.
    for (Case& c : cases) {
        std::memcpy(tileMap, c.grid->data(), sizeof tileMap);
        std::string why;
        bool ok = VerifyRecordingOnStage(c.recording, &why);
        EXPECT_EQ(ok, c.expected) << why;
        c.expectedWhy = why;
    }
    VerifyPool* pool = StartVerifyPool(4, 1000, 0);
    std::atomic<int> wrong{0}, done{0};
    std::vector<std::thread> clients;
    for (int t = 0; t < 8; t++)
        clients.emplace_back([&, t] {
            for (int k = 0; k < 12; k++) {
                // Every client walks the cases in its own order, so that the
                // workers keep switching stages under one another.
                const Case& c = cases[(t * 5 + k * 7) % cases.size()];
                std::string why;
                int outcome = VerifyOnPool(pool, c.recording, c.grid, &why);
                bool ok = outcome == VERIFY_ACCEPTED;
                if (outcome == VERIFY_QUEUE_FULL || ok != c.expected || why != c.expectedWhy) wrong++;
                done++;
            }
        });
    for (std::thread& t : clients) t.join();
    StopVerifyPool(pool);
    EXPECT_EQ(done.load(), 96);
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(VerifyPoolTest, AFullQueueTurnsWorkAwayAndALongCheckIsCutOff)
{
    // A run whose frames never reach the goal, as long as a recording may be:
    // one worker, one place in the queue, a budget of 1 ms.
    Recording endless = recordings[0];
    endless.frames.clear();
    for (int i = 1; i <= 200000; i++) endless.frames.push_back({false, (uint32_t)i * 16, 640, 700, 0, 0});
    endless.playFrames = 200000;
    endless.timeMs = 200000 * 16;
    VerifyPool* pool = StartVerifyPool(1, 1, 1);
    std::string why;
    EXPECT_EQ(VerifyOnPool(pool, endless, grids[0], &why), VERIFY_REFUSED);
    EXPECT_EQ(why, "it takes longer to check than is allowed");
    StopVerifyPool(pool);

    // A queue of one and its worker busy for 300 ms with each: of three
    // sent at once, at least one is turned away at once, and the others are
    // answered (refused, once their time is up).
    pool = StartVerifyPool(1, 1, 300);
    std::atomic<int> full{0}, refused{0};
    std::vector<std::thread> clients;
    for (int t = 0; t < 3; t++)
        clients.emplace_back([&] {
            std::string reason;
            int outcome = VerifyOnPool(pool, endless, grids[0], &reason);
            if (outcome == VERIFY_QUEUE_FULL) full++;
            if (outcome == VERIFY_REFUSED) refused++;
        });
    for (std::thread& t : clients) t.join();
    StopVerifyPool(pool);
    EXPECT_GE(full.load(), 1);
    EXPECT_EQ(full.load() + refused.load(), 3);
}

}  // namespace
