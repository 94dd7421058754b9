// The character's motion: recoil, falling, drifting, and what the tile probes
// stop, record and trigger.
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include "game/motion.h"
#include "game/play_state.h"
#include "game/scenes.h"
#include "game/stage.h"

namespace {

// The play scene's motion state, moved one frame at a time the way the scene
// does it: MovePlayer, then the firing state changes the strengths.
struct Player : PlayState {
    Player() { beeStepsPerFrame = 1; }
    int scene = SCENE_PLAYING;  // the last goal or death a frame found
};

void Frame(Player& p, int mouseX, int mouseY, int firing)
{
    int outcome = MovePlayer(p, mouseX, mouseY, firing);
    if (outcome != SCENE_PLAYING) p.scene = outcome;
    ApplyFiringState(firing, p.thrust, p.fallSpeed, p.beamLength, p.shotFrames);
}

// The probes once, with the camera at (camX, camY).
int Collide(Player& p, float camX, float camY, int mouseX, int mouseY, int firing, bool drifting)
{
    p.camX = camX;
    p.camY = camY;
    return CollidePlayer(p, mouseX, mouseY, firing, drifting);
}

void ClearMap() { std::memset(tileMap, 0, sizeof tileMap); }
void FillRow(int row, int code) { for (int c = 0; c < MAP_COLS; ++c) tileMap[row][c] = code; }
void FillCol(int col, int code) { for (int r = 0; r < MAP_ROWS; ++r) tileMap[r][col] = code; }

// The character's centre in world pixels.
float CentreX(const Player& p) { return p.camX + 640.0f; }
float CentreY(const Player& p) { return p.camY + 360.0f; }

class Motion : public ::testing::Test {
protected:
    void SetUp() override { ClearMap(); }
};

TEST_F(Motion, ReleasedInMidAirFallsFasterEachFrameAndLandsOnTheGroundsFirstRow)
{
    FillRow(35, 1);  // ground: y 2240..2303
    Player p;
    p.camY = 1000.0f;
    std::vector<int> falls;
    for (int n = 0; n < 120; ++n) {
        float before = p.camY;
        Frame(p, 700, 300, 0);
        falls.push_back((int)(p.camY - before));
    }
    // 0, 1, 1, 2, 2, 3, ... until the ground stops it.
    for (int n = 1; n <= 12; ++n)
        EXPECT_EQ(falls[n - 1], (int)std::ceil(0.5 * (n - 1))) << "frame " << n;
    EXPECT_EQ(CentreY(p) + 50.0f, 35 * 64.0f);
    EXPECT_EQ(p.scene, SCENE_PLAYING);
}

TEST_F(Motion, FallSpeedIsCappedAtFifteenPixelsPerFrame)
{
    Player p;
    p.camY = 0.0f;
    FillRow(39, 1);
    float before = 0;
    int largest = 0;
    for (int n = 0; n < 40; ++n) {
        before = p.camY;
        Frame(p, 700, 300, 0);
        largest = std::max(largest, (int)(p.camY - before));
    }
    EXPECT_EQ(largest, 15);
    EXPECT_EQ(p.fallSpeed, 15.0f);
}

TEST_F(Motion, StandingOnGroundMakesOneProbeAFrameAndStaysPut)
{
    FillRow(35, 1);
    Player p;
    p.camY = 35 * 64 - 50 - 360;  // feet on the ground's first row
    for (int n = 0; n < 20; ++n) {
        Frame(p, 900, 360, 0);
        EXPECT_EQ(p.camY, 35 * 64 - 410.0f);
        EXPECT_EQ(p.fallSpeed, 0.5f);  // the landing reset it, the scene raised it again
    }
}

TEST_F(Motion, RecoilFromAMouseAboveDrivesDownUntilTheFeetMeetTheGround)
{
    FillRow(35, 1);
    Player p;
    p.camY = 1500.0f;
    p.thrust = 4.4f;  // five sub-steps this frame
    Frame(p, 640, 100, 1);
    EXPECT_FLOAT_EQ(p.camY, 1505.0f);
    EXPECT_NEAR(p.camX, 34.0f, 1e-4);
    for (int n = 0; n < 200; ++n) Frame(p, 640, 100, 1);
    EXPECT_EQ(CentreY(p) + 50.0f, 35 * 64.0f);  // stopped on the first ground row
}

TEST_F(Motion, RecoilFromAMouseBelowRisesUntilTheHeadMeetsTheCeiling)
{
    FillRow(20, 1);  // ceiling: y 1280..1343
    Player p;
    p.camY = 1600.0f;
    for (int n = 0; n < 300; ++n) Frame(p, 640, 700, 1);
    EXPECT_EQ(CentreY(p) - 64.0f, 20 * 64 + 63.0f);  // head probe in the ceiling's last row
}

TEST_F(Motion, AMouseLevelWithTheCentreMovesSidewaysWithoutFallingUntilAWall)
{
    FillCol(30, 1);  // wall: x 1920..1983
    Player p;
    p.camX = 1000.0f;
    for (int n = 0; n < 400; ++n) Frame(p, 100, 360, 1);  // mouse left: pushed right
    EXPECT_EQ(p.camY, 1700.0f);
    EXPECT_EQ(CentreX(p) + 31.0f, 30 * 64.0f);  // right probe on the wall's first column
}

TEST_F(Motion, PushedDiagonallyIntoTheFloorTheCharacterSlidesAlongIt)
{
    FillRow(35, 1);
    Player p;
    p.camY = 35 * 64 - 410.0f;
    p.camX = 1000.0f;
    p.thrust = 10.0f;
    Frame(p, 540, 260, 1);  // mouse up-left: recoil down-right
    EXPECT_EQ(p.camY, 35 * 64 - 410.0f);
    float expected = 1000.0f;
    for (int i = 0; i < 10; ++i) expected = (float)((double)expected + p.velX);
    EXPECT_GT(p.velX, 0.7f);
    EXPECT_EQ(p.camX, expected);
}

TEST_F(Motion, ReleasingTheButtonWhileRisingStopsTheRiseAtOnceAndDrifts)
{
    Player p;
    FillRow(39, 1);
    p.camY = 1000.0f;
    for (int n = 0; n < 20; ++n) Frame(p, 540, 460, 1);  // pushed up and right
    float y = p.camY, x = p.camX;
    float velX = p.velX;
    Frame(p, 540, 460, 0);
    EXPECT_EQ(p.camY, y);  // no rise; the fall starts at 0
    EXPECT_GT(p.camX, x);  // the drift goes on with the last recoil direction
    EXPECT_EQ(p.velX, velX);
}

TEST_F(Motion, DriftIntoAWallEndsWithOneMoreStepAndZeroThrust)
{
    FillRow(35, 1);
    FillCol(30, 1);
    Player p;
    p.camY = 35 * 64 - 410.0f;
    p.camX = 30 * 64 - 31 - 640 - 3.0f;  // right probe 3 pixels short of the wall
    p.velX = 1.0f;
    p.thrust = 10.0f;
    Frame(p, 640, 360, 0);
    EXPECT_EQ(CentreX(p) + 31.0f, 30 * 64 + 1.0f);  // found at the wall's edge, then one more pixel
    EXPECT_EQ(p.thrust, 0.0f);  // then the scene leaves it at 0
}

TEST_F(Motion, TheFirstFiringFrameAfterComingToRestDoesNotMove)
{
    FillRow(35, 1);
    Player p;
    p.camY = 35 * 64 - 410.0f;
    p.thrust = 3.0f;
    p.velX = 1.0f;
    for (int n = 0; n < 30; ++n) Frame(p, 640, 360, 0);
    EXPECT_LE(p.thrust, 0.0f);
    EXPECT_GT(p.thrust, -0.4f);
    float x = p.camX, y = p.camY;
    Frame(p, 100, 500, 1);
    EXPECT_EQ(p.camX, x);
    EXPECT_EQ(p.camY, y);
    EXPECT_GT(p.thrust, 0.0f);
    Frame(p, 100, 500, 1);
    EXPECT_NE(p.camX, x);
}

TEST_F(Motion, LoopsRereadTheirBoundAndRoundUpFractionalStrengths)
{
    Player p;
    p.camY = 1000.0f;
    p.thrust = 2.5f;  // three sub-steps
    MovePlayer(p, 640, 100, 1);
    EXPECT_FLOAT_EQ(p.camY, 1003.0f);
    p.thrust = -0.2f;  // none
    MovePlayer(p, 640, 100, 1);
    EXPECT_FLOAT_EQ(p.camY, 1003.0f);
}

TEST_F(Motion, FiringStrengthsRiseAndFallInDoublePrecisionSteps)
{
    float thrust = 0, fall = 3.0f;
    int beam = 500, shots = 0;
    EXPECT_EQ(ApplyFiringState(1, thrust, fall, beam, shots), SHOT_SOUND_NONE);
    EXPECT_EQ(thrust, (float)(0.0 + 0.4));
    EXPECT_EQ(fall, 3.0f);  // MovePlayer zeroes it while firing, not this step
    EXPECT_EQ(beam, 500);
    for (int i = 2; i < 30; ++i)
        EXPECT_EQ(ApplyFiringState(1, thrust, fall, beam, shots), SHOT_SOUND_NONE) << "frame " << i;
    EXPECT_EQ(ApplyFiringState(1, thrust, fall, beam, shots), SHOT_SOUND_PLAY);  // 30th
    EXPECT_EQ(ApplyFiringState(1, thrust, fall, beam, shots), SHOT_SOUND_NONE);
    // 0.4 a frame: 14.8 after the 37th, held at 15 from the 38th on.
    for (int i = 32; i <= 37; ++i) ApplyFiringState(1, thrust, fall, beam, shots);
    EXPECT_NEAR(thrust, 14.8f, 1e-4f);
    ApplyFiringState(1, thrust, fall, beam, shots);
    EXPECT_EQ(thrust, 15.0f);
    for (int i = 0; i < 42; ++i) ApplyFiringState(1, thrust, fall, beam, shots);
    EXPECT_EQ(thrust, 15.0f);
    EXPECT_EQ(ApplyFiringState(0, thrust, fall, beam, shots), SHOT_SOUND_STOP);
    EXPECT_EQ(thrust, (float)(15.0 - 0.4));
    EXPECT_EQ(beam, 0);
    EXPECT_EQ(fall, 3.5f);
    // Decay passes below zero once and stops there.
    thrust = 0.3f;
    ApplyFiringState(0, thrust, fall, beam, shots);
    EXPECT_EQ(thrust, (float)(0.3f - 0.4));
    ApplyFiringState(0, thrust, fall, beam, shots);
    EXPECT_EQ(thrust, (float)(0.3f - 0.4));
    // The firing count is never reset: the next sound comes when it reaches 90.
    shots = 85;
    int played = -1;
    for (int i = 1; i <= 5 && played < 0; ++i)
        if (ApplyFiringState(1, thrust, fall, beam, shots) == SHOT_SOUND_PLAY) played = i;
    EXPECT_EQ(played, 5);
}

TEST_F(Motion, TouchingAHiveWithAnyBoxProbeMakesBeesFastForThatCallOnly)
{
    Player p;
    // Centre at (713, 1760): the right middle probe (744, 1760) lies in cell (27, 11).
    // The codes are the stage files': 2 a hive, 3 a nest, 4 a checkpoint.
    tileMap[27][11] = 2;
    Collide(p, 73.0f, 1400.0f, 640, 360, 0, true);
    EXPECT_EQ(p.beeStepsPerFrame, 8);
    Collide(p, 0.0f, 1400.0f, 640, 360, 0, true);
    EXPECT_EQ(p.beeStepsPerFrame, 1);
    tileMap[27][11] = 3;
    Collide(p, 73.0f, 1400.0f, 640, 360, 0, true);
    EXPECT_EQ(p.beeStepsPerFrame, 8);
    tileMap[27][11] = 4;  // solid, but no hive
    Collide(p, 73.0f, 1400.0f, 640, 360, 0, true);
    EXPECT_EQ(p.beeStepsPerFrame, 1);
}

TEST_F(Motion, TheGoalCountsOnlyAtThePointRightOfTheCentre)
{
    Player p;
    // Centre at (1000, 2000): the cell (31, 15) holds x 960..1023, y 1984..2047.
    tileMap[31][15] = 11;  // the goal's code in the stage files
    EXPECT_EQ(Collide(p, 1000 - 640.0f, 2000 - 360.0f, 700, 300, 1, false), SCENE_GOAL);
    // Goal under the feet only: nothing.
    EXPECT_EQ(Collide(p, 1000 - 640.0f, 2000 - 360.0f - 60, 700, 300, 1, false), SCENE_PLAYING);
    // Centre 1 pixel left of the goal's column: the +2 point reaches in.
    EXPECT_EQ(Collide(p, 958 - 640.0f, 2000 - 360.0f, 700, 300, 1, false), SCENE_GOAL);
    // Centre 2 pixels left of the goal's right edge plus one: the +2 point is past it.
    EXPECT_EQ(Collide(p, 1022 - 640.0f, 2000 - 360.0f, 700, 300, 1, false), SCENE_PLAYING);
}

TEST_F(Motion, DeadlyTilesKillFromEitherSideOfTheCentreButGoalWinsOnTheRight)
{
    Player p;
    tileMap[31][15] = 6;
    // The -2 point in it.
    EXPECT_EQ(Collide(p, 1023 - 640.0f, 2000 - 360.0f, 700, 300, 1, false), SCENE_DIED);
    tileMap[31][16] = 11;
    // The right point finds the goal and the probes end there.
    EXPECT_EQ(Collide(p, 1023 - 640.0f, 2000 - 360.0f, 700, 300, 1, false), SCENE_GOAL);
}

TEST_F(Motion, OfTheSubStepsOfAFrameTheLastThatFindsOneDecides)
{
    // Falling through a deadly row onto the goal below it: the frame's probes
    // meet death first, the goal last, and the goal is what the frame reports.
    Player p;
    p.camY = 1975 - 360.0f;  // the centre 9 pixels above row 31's top
    p.camX = 1000 - 640.0f;
    p.fallSpeed = 15.0f;
    tileMap[30][15] = 6;  // y 1920..1983
    tileMap[31][15] = 11;
    tileMap[31][16] = 11;
    EXPECT_EQ(MovePlayer(p, 700, 300, 0), SCENE_GOAL);
    // And the other way round.
    Player q;
    q.camY = p.camY;
    q.camX = p.camX;
    q.fallSpeed = 15.0f;
    tileMap[30][15] = 11;
    tileMap[30][16] = 11;
    tileMap[31][15] = 6;
    tileMap[31][16] = 6;
    EXPECT_EQ(MovePlayer(q, 700, 300, 0), SCENE_DIED);
}

TEST_F(Motion, ADeadlyFloorIsNotSolidAndKillsOnlyWhenTheCentreSinksIntoIt)
{
    FillRow(35, 5);
    FillRow(36, 1);
    Player p;
    p.camY = 35 * 64 - 410.0f - 20;
    int frames = 0;
    while (p.scene == SCENE_PLAYING && frames < 200) {
        Frame(p, 700, 300, 0);
        ++frames;
        if (p.scene == SCENE_PLAYING) {
            EXPECT_LT(CentreY(p), 35 * 64.0f + 1);
        }
    }
    EXPECT_EQ(p.scene, SCENE_DIED);
    EXPECT_GE(CentreY(p), 35 * 64.0f);
}

TEST_F(Motion, OnlyTheFootCentreOnACheckpointMovesTheRespawnPoint)
{
    Player p;
    tileMap[30][20] = 4;  // a checkpoint: x 1280..1343, y 1920..1983
    // Foot right in it, foot centre not: centre x 1260.
    Collide(p, 1260 - 640.0f, 1920 - 410.0f, 640, 360, 0, true);
    EXPECT_EQ(p.respawnCamX, 34);
    EXPECT_EQ(p.velY, -1.0f);  // still solid ground
    Collide(p, 1290.7f - 640.0f, 1920 - 409.5f, 640, 360, 0, true);
    EXPECT_EQ(p.respawnCamX, (int)(1290.7f - 640.0f));
    EXPECT_EQ(p.respawnCamY, 1920 - 410);
}

TEST_F(Motion, ACheckpointGrazedDuringRecoilRecordsTheSubStepsPosition)
{
    FillRow(35, 4);  // checkpoints
    Player p;
    p.camY = 35 * 64 - 410.0f - 3;
    p.thrust = 6.0f;
    Frame(p, 640, 100, 1);  // down onto the checkpoint floor
    EXPECT_EQ(p.respawnCamY, 35 * 64 - 410);
    EXPECT_EQ(p.respawnCamX, 34);
}

TEST_F(Motion, TheMouseOnTheCentrePushesDownButTheFloorHolds)
{
    FillRow(35, 1);
    Player p;
    p.camY = 1500.0f;
    for (int n = 0; n < 300; ++n) Frame(p, 640, 360, 1);
    EXPECT_EQ(CentreY(p) + 50.0f, 35 * 64.0f);
    EXPECT_NEAR(p.camX, 34.0f, 1e-3);
}

TEST_F(Motion, TheCharacterNeverLeavesAStageWithoutWalls)
{
    Player p;
    p.camX = 100.0f;
    p.camY = 100.0f;
    // Up and left, then down and right: the edges of the world hold.
    for (int n = 0; n < 600; ++n) Frame(p, 1200, 700, 1);
    // A probe stops the push one sub-step (under a pixel) past the edge at most.
    EXPECT_GT(CentreX(p) - 31, -1.0f);
    EXPECT_GT(CentreY(p) - 64, -1.0f);
    for (int n = 0; n < 3000; ++n) Frame(p, 0, 0, 1);
    // The grid ends at 12800 x 2560 world pixels.
    EXPECT_LT(CentreX(p) + 31, 12800 + 1.0f);
    EXPECT_LT(CentreY(p) + 50, 2560 + 1.0f);
    EXPECT_GT(CentreX(p) + 31, 12800 - 1.0f);  // and it did get there
    EXPECT_GT(CentreY(p) + 50, 2560 - 1.0f);
    for (int n = 0; n < 300; ++n) Frame(p, 640, 360, 1);
    EXPECT_LT(CentreY(p) + 50, 2560 + 1.0f);
    for (int n = 0; n < 300; ++n) Frame(p, 640, 360, 0);
    EXPECT_LT(CentreY(p) + 50, 2560 + 1.0f);
    EXPECT_EQ(p.scene, SCENE_PLAYING);
}

}  // namespace
