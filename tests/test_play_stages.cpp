// The shipped stages can be cleared with the mouse: an autopilot flies each
// one through a few waypoints, shooting the bees that come close, with the
// play scene's own frames (a death returns to the respawn point with the bees
// back home).
#include <gtest/gtest.h>
#include <set>
#include "tests/test_play_autopilot.h"

namespace {

using namespace autopilot;

TEST(ShippedStages, EachCanBeClearedWithTheMouse)
{
    for (int stage = 1; stage <= 4; ++stage) {
        Flight flight = Fly(stage, ROUTES[stage - 1], nullptr);
        EXPECT_TRUE(flight.cleared) << "stage " << stage << " ends at camera (" << flight.run.play.camX << ", "
                                    << flight.run.play.camY << ") after " << flight.frames << " frames";
        EXPECT_LE(flight.deaths, 2) << "stage " << stage;
    }
}

TEST(ShippedStages, StartOnFirmGroundTwoPixelsBelowTheFeet)
{
    for (int stage = 1; stage <= 4; ++stage) {
        ASSERT_TRUE(LoadShippedStage(stage));
        for (int c = 0; c < MAP_COLS; ++c) {
            EXPECT_TRUE(IsSolidTile(tileMap[0][c]));
            EXPECT_TRUE(IsSolidTile(tileMap[MAP_ROWS - 1][c]));
        }
        for (int r = 0; r < MAP_ROWS; ++r) {
            EXPECT_TRUE(IsSolidTile(tileMap[r][0]));
            EXPECT_TRUE(IsSolidTile(tileMap[r][MAP_COLS - 1]));
        }
        // Standing still from the start: two 1-pixel falls, then rest.
        PlayState play;
        StartPlayAttempt(play);
        PlayView view;
        for (int n = 0; n < 10; ++n) EXPECT_EQ(StepPlay(play, 700, 300, 0, &view), SCENE_PLAYING);
        EXPECT_EQ(play.camY, 1702.0f) << stage;
        EXPECT_EQ(play.camX, 34.0f);
    }
}

// Every tile the sheet draws for a purpose shows up somewhere in the four
// stages; every stage has its goal and, from stage 2 on, checkpoints; the
// deadly tiles wait for stage 2 and the bees for stage 3.
TEST(ShippedStages, TogetherUseEveryKindOfTile)
{
    std::set<int> used;
    int goals[5] = {}, checkpoints[5] = {}, deadly[5] = {}, nests[5] = {};
    for (int stage = 1; stage <= 4; ++stage) {
        ASSERT_TRUE(LoadShippedStage(stage));
        for (int r = 0; r < MAP_ROWS; ++r)
            for (int c = 0; c < MAP_COLS; ++c) {
                int v = tileMap[r][c];
                used.insert(v);
                goals[stage] += v == TILE_GOAL;
                checkpoints[stage] += v == TILE_CHECKPOINT;
                deadly[stage] += IsDeadlyTile(v);
                nests[stage] += v == TILE_BEE_NEST;
                EXPECT_TRUE(v >= 0 && v <= 46) << "stage " << stage << " row " << r << " column " << c;
            }
    }
    for (int code = 1; code <= 46; ++code) EXPECT_TRUE(used.count(code)) << "code " << code;
    for (int stage = 1; stage <= 4; ++stage) EXPECT_GT(goals[stage], 0) << stage;
    EXPECT_EQ(deadly[1] + nests[1] + nests[2], 0) << "stage 1 only teaches flying; bees come in stage 3";
    for (int stage = 2; stage <= 4; ++stage) {
        EXPECT_GE(checkpoints[stage], 2) << stage;
        EXPECT_GT(stage == 3 ? nests[stage] : deadly[stage], 0) << stage;
    }
    EXPECT_GT(nests[4], 0);
    EXPECT_LE(nests[3] + nests[4], MAX_BEES);
}

}  // namespace
