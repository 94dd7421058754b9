// The checkpoints' numbers and their standing points on the shipped stages.
#include <gtest/gtest.h>

#include "game/checkpoints.h"
#include "game/play_state.h"
#include "game/run_step.h"
#include "game/stage.h"
#include "tests/test_play_autopilot.h"

namespace {

// A run begun at a checkpoint's standing point, as practice begins one: the
// respawn point there, the clock at zero.
Run RunFrom(const CrystalSpan& crystal)
{
    PlayState s;
    CrystalStandPoint(crystal, &s.respawnCamX, &s.respawnCamY);
    s.camX = (float)s.respawnCamX;
    s.camY = (float)s.respawnCamY;
    Run run;
    BeginRun(run, s);
    return run;
}

}  // namespace

TEST(Checkpoints, TheShippedStagesNumberTheirCrystalsFromTheLeft)
{
    const int expected[5] = {0, 0, 3, 3, 3};
    for (int stage = 1; stage <= 4; stage++) {
        ASSERT_TRUE(autopilot::LoadShippedStage(stage));
        std::vector<CrystalSpan> crystals = StageCrystals();
        ASSERT_EQ((int)crystals.size(), expected[stage]) << "stage " << stage;
        for (size_t i = 0; i < crystals.size(); i++) {
            EXPECT_EQ(CheckpointNumber(crystals, crystals[i]), int(i) + 1);
            if (i > 0) {
                EXPECT_LT(crystals[i - 1].firstCol, crystals[i].firstCol);
            }
            // Every cell of a crystal is one, and the cells either side are not.
            const CrystalSpan& c = crystals[i];
            for (int col = c.firstCol; col <= c.lastCol; col++) EXPECT_EQ(tileMap[c.row][col], TILE_CHECKPOINT);
            int left = c.firstCol > 0 ? tileMap[c.row][c.firstCol - 1] : 0;
            int right = c.lastCol < MAP_COLS - 1 ? tileMap[c.row][c.lastCol + 1] : 0;
            EXPECT_NE(left, TILE_CHECKPOINT);
            EXPECT_NE(right, TILE_CHECKPOINT);
        }
        EXPECT_EQ(CheckpointNumber(crystals, CrystalSpan{}), 0);
    }
}

TEST(Checkpoints, ACharacterPutOnACrystalStandsThereHoldingIt)
{
    for (int stage = 2; stage <= 4; stage++) {
        ASSERT_TRUE(autopilot::LoadShippedStage(stage));
        for (const CrystalSpan& crystal : StageCrystals()) {
            ::Run run = RunFrom(crystal);
            EXPECT_EQ(HeldCrystal(run.play.respawnCamX, run.play.respawnCamY), crystal);
            // Two seconds without touching anything: no death, and the
            // character stays on the crystal (the bees may come, but not yet).
            RunInput in;
            RunFrame frame;
            for (int f = 1; f <= 120; f++) {
                in.frameStart = run.play.runStart + 16 * f;
                in.mouseX = 640;
                in.mouseY = 200;
                StepRun(run, in, &frame);
                ASSERT_EQ(frame.event, RUN_EVENT_NONE) << "stage " << stage << " crystal col " << crystal.firstCol
                                                        << " frame " << f;
            }
            EXPECT_EQ(HeldCrystal(run.play.respawnCamX, run.play.respawnCamY), crystal);
            EXPECT_NEAR(run.play.camY, (float)run.play.respawnCamY, 2.0f);
        }
    }
}
