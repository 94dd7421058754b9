// Proves the stages can be cleared: searches each stage for mouse inputs that
// reach the goal without dying, using the game's own motion, beam and bee
// rules, and writes harness scripts that play them in the real game.
//   solve STAGE_FOLDER SCRIPT_FOLDER
// reads STAGE_FOLDER/dw_stage1.txt .. dw_stage4.txt and writes to SCRIPT_FOLDER
// stage1.txt .. stage4.txt (the game from the title to that stage's results
// screen, the stages before it skipped with key E so that each proof stands on
// its own) and fullgame.txt (all four stages played, every results screen, END).
// Prints each stage's clear time: the play clock at the goal.
//   solve --pad STAGE_FOLDER SCRIPT_FOLDER [STAGE]
// searches the same way with the pad, the right stick pushed one of
// PAD_DIRECTIONS ways and the right trigger pulled or let go, and writes
// pad-stage1.txt .. pad-stage4.txt (or only STAGE's), each as soon as it is
// found.
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

// A stage's first moment, its run begun with the bees' speed the stages
// before it left.
void StartMoment(solve::Moment& start, int beeSteps)
{
    start = solve::Moment();
    PlayState first;
    first.beeStepsPerFrame = beeSteps;
    BeginRun(start.run, first);
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

std::string StagePath(const std::string& stages, int stage)
{
    return stages + "/dw_stage" + std::to_string(stage) + ".txt";
}

// The bees' speed that stage `stage` starts with when every stage before it
// is skipped with key E on its first frame, as the stage scripts do: each
// skipped frame is played as the game plays it, nothing fired (so where the
// pointer rests turns only the character, never moves it).
bool SkippedBeeSteps(const std::string& stages, int stage, int* beeSteps)
{
    *beeSteps = 0;  // nothing has touched it before the first stage
    for (int k = 1; k < stage; k++) {
        if (!LoadStageFile(StagePath(stages, k))) return false;
        static Run run;
        PlayState first;
        first.beeStepsPerFrame = *beeSteps;
        BeginRun(run, first);
        RunInput in;
        in.mouseX = solve::START_X;
        in.mouseY = solve::START_Y;
        in.keyE = true;
        static RunFrame frame;
        StepRun(run, in, &frame);
        *beeSteps = run.play.beeStepsPerFrame;
    }
    return true;
}

// The pad's proofs: each stage searched from the start the game gives it
// after the skipped ones, and its script written at once.
int SolveByPad(const std::string& stages, const std::string& out, int only)
{
    solve::SearchSettings settings;
    settings.progress = true;
    settings.pad = true;
    for (int stage = 1; stage <= 4; stage++) {
        if (only != 0 && stage != only) continue;
        int beeSteps;
        if (!SkippedBeeSteps(stages, stage, &beeSteps) || !LoadStageFile(StagePath(stages, stage))) {
            fprintf(stderr, "solve: the stage files in %s are not whole\n", stages.c_str());
            return 1;
        }
        static solve::Moment start, end;
        StartMoment(start, beeSteps);
        fprintf(stderr, "stage %d by pad: searching\n", stage);
        std::vector<solve::Input> inputs;
        if (!solve::SearchStage(solve::MakeField(), start, settings, &inputs, &end) || !Confirm(start, inputs)) {
            fprintf(stderr, "solve: no clearing run by pad found for stage %d\n", stage);
            return 1;
        }
        printf("stage %d by pad: cleared in %zu play frames, clock %zu ms at the goal\n", stage,
               inputs.size(), inputs.size() * 16);
        fflush(stdout);
        // Only the stage played needs its run; those before are skipped.
        std::vector<std::vector<solve::Input>> runs(stage);
        runs[stage - 1] = inputs;
        std::string heading = "# Stage " + std::to_string(stage) +
                              " cleared by pad (the right stick aims, the right trigger fires), from the "
                              "title to its results screen, all by pad but the stages before it, skipped "
                              "with key E (written by tools/solve --pad).\n";
        std::ofstream(out + "/pad-stage" + std::to_string(stage) + ".txt")
            << solve::WriteScript(runs, stage, stage, false, heading, true);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string(argv[1]) == "--pad") {
        std::string stage = argc == 5 ? argv[4] : "0";
        int only = stage.size() == 1 && stage[0] >= '0' && stage[0] <= '4' ? stage[0] - '0' : -1;
        if ((argc != 4 && argc != 5) || only < 0 || (argc == 5 && only == 0)) {
            fprintf(stderr, "usage: solve --pad STAGE_FOLDER SCRIPT_FOLDER [STAGE 1..4]\n");
            return 64;
        }
        return SolveByPad(argv[2], argv[3], only);
    }
    if (argc != 3) {
        fprintf(stderr, "usage: solve STAGE_FOLDER SCRIPT_FOLDER\n"
                        "       solve --pad STAGE_FOLDER SCRIPT_FOLDER [STAGE 1..4]\n");
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
        StartMoment(start, beeSteps);
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
