// Proves the stages can be cleared: searches each stage for mouse inputs that
// reach the goal without dying, using the game's own motion, beam and bee
// rules, and writes harness scripts that play them in the real game.
//   solve STAGE_FOLDER SCRIPT_FOLDER
// reads STAGE_FOLDER/dw_stage1.txt .. dw_stage4.txt and writes to SCRIPT_FOLDER
// stage1.txt .. stage4.txt (the game from the title to that stage's results
// screen, the stages before it skipped with key E so that each proof stands on
// its own) and fullgame.txt (all four stages played, every results screen, END).
// Prints each stage's clear time: the play clock at the goal.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/solve/field.h"
#include "tools/solve/script.h"
#include "tools/solve/search.h"
#include "tools/solve/sim.h"

namespace {

bool LoadStageFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return ParseStageNumbers(text.data(), text.size(), &tileMap[0][0]) == MAP_CELLS;
}

// Plays the inputs again from the start and answers whether the last one, and
// only the last one, reaches the goal.
bool Confirm(const solve::Moment& start, const std::vector<solve::Input>& inputs)
{
    static solve::Moment m;
    solve::CopyMoment(m, start);
    for (size_t f = 0; f < inputs.size(); f++) {
        solve::PlayFrame(m, inputs[f]);
        if (m.scene != SCENE_PLAYING) return m.scene == SCENE_GOAL && f + 1 == inputs.size();
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: solve STAGE_FOLDER SCRIPT_FOLDER\n");
        return 64;
    }
    std::string stages = argv[1], out = argv[2];
    std::vector<std::vector<solve::Input>> runs;
    solve::SearchSettings settings;
    settings.progress = true;
    int beeSteps = 0;  // nothing has touched it before the first stage
    for (int stage = 1; stage <= 4; stage++) {
        std::string path = stages + "/dw_stage" + std::to_string(stage) + ".txt";
        if (!LoadStageFile(path)) {
            fprintf(stderr, "solve: %s is not a whole stage file\n", path.c_str());
            return 1;
        }
        static solve::Moment start, end;
        start = solve::Moment();
        PlayState first;
        first.beeStepsPerFrame = beeSteps;
        BeginRun(start.run, first);
        solve::Field field = solve::MakeField();
        fprintf(stderr, "stage %d: searching\n", stage);
        std::vector<solve::Input> inputs;
        if (!solve::SearchStage(field, start, settings, &inputs, &end) || !Confirm(start, inputs)) {
            fprintf(stderr, "solve: no clearing run found for stage %d\n", stage);
            return 1;
        }
        beeSteps = end.run.play.beeStepsPerFrame;
        runs.push_back(inputs);
        // The first play frame's clock reads 16 ms, one frame more each frame.
        printf("stage %d: cleared in %zu play frames, clock %zu ms at the goal\n", stage,
               inputs.size(), inputs.size() * 16);
    }
    for (int stage = 1; stage <= 4; stage++) {
        std::string heading = "# Stage " + std::to_string(stage) +
                              " cleared by mouse, from the title to its results screen; stages before it "
                              "are skipped with key E (written by tools/solve).\n";
        std::ofstream(out + "/stage" + std::to_string(stage) + ".txt")
            << solve::WriteScript(runs, stage, stage, false, heading);
    }
    std::ofstream(out + "/fullgame.txt") << solve::WriteScript(
        runs, 1, 4, true,
        "# The whole game by mouse: START, the four stages and their results, END "
        "(written by tools/solve).\n");
    return 0;
}
