// Playing a recording again to see whether its time is true.
#include "game/verify.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "game/run_step.h"
#include "game/scene_frame.h"
#include "game/score.h"
#include "game/stage.h"
#include "game/stage_file.h"
#include "game/stage_pack.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace {

bool Refuse(std::string* why, const std::string& reason)
{
    if (why) *why = reason;
    return false;
}

}  // namespace

bool VerifyRecording(const Recording& r, std::string* why)
{
    if (r.rules != RULES_VERSION)
        return Refuse(why, "it was played by other rules (version " + std::to_string(r.rules) +
                               "; this game's are " + std::to_string(RULES_VERSION) + ")");
    if (r.custom)
        return Refuse(why, "it is a run of a custom stage (stage-hash " + StageHashText(r.stageHash) +
                               "): give that stage with --stage FILE or its pack's folder with --stages DIR");
    std::memset(tileMap, 0, sizeof tileMap);
    if (!ReadStageFile(r.stage))
        return Refuse(why, "the file of stage " + std::to_string(r.stage) + " cannot be read here");
    return VerifyRecordingOnStage(r, why);
}

bool VerifyRecordingOnStage(const Recording& r, std::string* why)
{
    return VerifyRecordingOnStage(r, why, 0);
}

bool VerifyRecordingOnStage(const Recording& r, std::string* why, int budgetMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(budgetMs);
    if (r.rules != RULES_VERSION) return Refuse(why, "it was played by other rules");
    if (StageHash() != r.stageHash) return Refuse(why, "it was played on another stage file");

    Run run;
    StartRecordedRun(r, &run);
    int playFrames = 0;
    for (size_t i = 0; i < r.frames.size(); i++) {
        const RecordedFrame& f = r.frames[i];
        // The clock is read seldom: a frame of the rules takes microseconds.
        if (budgetMs > 0 && i % 512 == 511 && Clock::now() > deadline)
            return Refuse(why, "it takes longer to check than is allowed");
        std::string at = "frame " + std::to_string(i + 1) + ": ";
        // Compared as whole numbers: a clock that goes back must not wrap round
        // into a long wait.
        if (i > 0 && (int64_t)f.clockMs - (int64_t)r.frames[i - 1].clockMs < (int64_t)FRAME_PERIOD_MS)
            return Refuse(why, at + "it starts sooner after the one before than the game allows");
        if (i == 0 && f.clockMs < FRAME_PERIOD_MS)
            return Refuse(why, at + "it starts sooner than a frame after the run's start");
        if (RunOver(run)) return Refuse(why, at + "there are frames after the goal's curtain");
        if (f.curtain != RunInCurtain(run)) return Refuse(why, at + "the frames do not follow the game");
        if (!f.curtain) {
            playFrames++;
            if (f.keys & RECORDED_KEY_ESCAPE) return Refuse(why, at + "the run was left with Escape");
            if (f.keys & RECORDED_KEY_E) return Refuse(why, at + "the run was ended with the key E");
        }
        RunInput in;
        in.frameStart = f.clockMs;
        in.mouseX = f.mouseX;
        in.mouseY = f.mouseY;
        in.buttons = f.buttons;
        RunFrame frame;
        StepRun(run, in, &frame);
    }
    if (run.phase == RUN_CLEARING) return Refuse(why, "the recording ends before the goal's curtain does");
    if (run.phase != RUN_CLEARED) return Refuse(why, "the frames never reach the goal");
    if (playFrames != r.playFrames)
        return Refuse(why, "the goal comes after " + std::to_string(playFrames) +
                               " play frames, not the recorded " + std::to_string(r.playFrames));
    uint32_t time = r.frames.back().clockMs;
    if (time != r.timeMs)
        return Refuse(why, "the run takes " + std::to_string(time) + " ms, not the recorded " +
                               std::to_string(r.timeMs) + " ms");
    return true;
}

namespace {

// The custom stage a recording names, from the file or the pack's folder
// given, into tileMap: false with the reason when it is not there.
bool LoadNamedStage(const Recording& r, const char* stageFile, const char* stagesDir, std::string* shown,
                    std::string* why)
{
    std::string hash = StageHashText(r.stageHash);
    if (stagesDir && *stagesDir) {
        StagePack pack;
        if (!ReadStagePack(stagesDir, &pack, why)) return false;
        int stage = PackStageWithHash(pack, r.stageHash);
        if (stage == 0) return Refuse(why, "no stage of " + std::string(stagesDir) + " has its stage-hash " + hash);
        std::memcpy(tileMap, pack.cells[stage - 1].data(), sizeof tileMap);
        *shown = pack.names[stage - 1];
        return true;
    }
    std::vector<int> cells;
    std::string problem;
    int state = ReadStageCells(stageFile, &cells, &problem);
    if (state == STAGE_FILE_MISSING) return Refuse(why, "there is no stage file " + std::string(stageFile));
    if (state != STAGE_FILE_OK) return Refuse(why, "the stage file " + std::string(stageFile) + " cannot be used: " + problem);
    if (CellsHash(cells.data()) != r.stageHash)
        return Refuse(why, "it was played on another stage than " + std::string(stageFile) + " (it needs stage-hash " +
                               hash + ")");
    std::memcpy(tileMap, cells.data(), sizeof tileMap);
    *shown = std::filesystem::path(stageFile).filename().string();
    return true;
}

}  // namespace

int RunVerify(const char* path, const char* stageFile, const char* stagesDir)
{
    Recording recording;
    std::string why;
    if (!ReadRecordingFile(path, &recording, &why)) {
        fprintf(stderr, "Prismveldt: %s is not a recording to verify: %s\n", path, why.c_str());
        return 1;
    }
    bool stageGiven = (stageFile && *stageFile) || (stagesDir && *stagesDir);
    std::string shown;
    bool verified = recording.custom && stageGiven
                        ? LoadNamedStage(recording, stageFile, stagesDir, &shown, &why) &&
                              VerifyRecordingOnStage(recording, &why)
                        : VerifyRecording(recording, &why);
    if (!verified) {
        fprintf(stderr, "Prismveldt: %s does not verify: %s\n", path, why.c_str());
        return 1;
    }
    TimeText time = FormatRunTime(recording.timeMs);
    if (recording.custom)
        printf("verified: custom stage %s (stage-hash %s) in %s%s (%u ms, %d frames)\n", shown.c_str(),
               StageHashText(recording.stageHash).c_str(), time.clock, time.fraction, recording.timeMs,
               recording.playFrames);
    else
        printf("verified: stage %d in %s%s (%u ms, %d frames)\n", recording.stage, time.clock, time.fraction,
               recording.timeMs, recording.playFrames);
    fflush(stdout);
    return 0;
}
