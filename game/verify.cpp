// Playing a recording again to see whether its time is true.
#include "game/verify.h"

#include <cstdio>
#include <cstring>

#include "game/play_step.h"
#include "game/scenes.h"
#include "game/score.h"
#include "game/stage.h"
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
    std::memset(tileMap, 0, sizeof tileMap);
    if (!ReadStageFile(r.stage))
        return Refuse(why, "the file of stage " + std::to_string(r.stage) + " cannot be read here");
    return VerifyRecordingOnStage(r, why);
}

bool VerifyRecordingOnStage(const Recording& r, std::string* why)
{
    if (r.rules != RULES_VERSION) return Refuse(why, "it was played by other rules");
    if (StageHash() != r.stageHash) return Refuse(why, "it was played on another stage file");

    static PlayState s;
    static PlayView view;
    StartRecordedRun(r, &s);
    int curtainLeft = 0, playFrames = 0;
    bool goal = false;
    for (size_t i = 0; i < r.frames.size(); i++) {
        const RecordedFrame& f = r.frames[i];
        std::string at = "frame " + std::to_string(i + 1) + ": ";
        // Compared as whole numbers: a clock that goes back must not wrap round
        // into a long wait.
        if (i > 0 && (int64_t)f.clockMs - (int64_t)r.frames[i - 1].clockMs < (int64_t)FRAME_PERIOD_MS)
            return Refuse(why, at + "it starts sooner after the one before than the game allows");
        if (i == 0 && f.clockMs < FRAME_PERIOD_MS)
            return Refuse(why, at + "it starts sooner than a frame after the run's start");
        if (f.curtain != (curtainLeft > 0)) {
            if (goal) return Refuse(why, at + "there are frames after the goal's curtain");
            return Refuse(why, at + "the frames do not follow the game");
        }
        if (f.curtain) {
            if (--curtainLeft == 0 && !goal) {
                RespawnAfterDeath(s);
                StartPlayAttempt(s);
            }
            continue;
        }
        playFrames++;
        s.frameStart = f.clockMs;
        s.runStart = 0;
        int outcome = StepPlay(s, f.mouseX, f.mouseY, f.buttons, &view);
        if (f.keys & RECORDED_KEY_ESCAPE) return Refuse(why, at + "the run was left with Escape");
        if (f.keys & RECORDED_KEY_E) return Refuse(why, at + "the run was ended with the key E");
        if (outcome == SCENE_DIED) curtainLeft = DEATH_CURTAIN_FRAMES;
        if (outcome == SCENE_GOAL) {
            goal = true;
            curtainLeft = CLEAR_CURTAIN_FRAMES;
        }
    }
    if (!goal) return Refuse(why, "the frames never reach the goal");
    if (curtainLeft > 0) return Refuse(why, "the recording ends before the goal's curtain does");
    if (playFrames != r.playFrames)
        return Refuse(why, "the goal comes after " + std::to_string(playFrames) +
                               " play frames, not the recorded " + std::to_string(r.playFrames));
    uint32_t time = r.frames.back().clockMs;
    if (time != r.timeMs)
        return Refuse(why, "the run takes " + std::to_string(time) + " ms, not the recorded " +
                               std::to_string(r.timeMs) + " ms");
    return true;
}

int RunVerify(const char* path)
{
    Recording recording;
    std::string why;
    if (!ReadRecordingFile(path, &recording, &why)) {
        fprintf(stderr, "Prismveldt: %s is not a recording to verify: %s\n", path, why.c_str());
        return 1;
    }
    if (!VerifyRecording(recording, &why)) {
        fprintf(stderr, "Prismveldt: %s does not verify: %s\n", path, why.c_str());
        return 1;
    }
    TimeText shown = FormatRunTime(recording.timeMs);
    printf("verified: stage %d in %s%s (%u ms, %d frames)\n", recording.stage, shown.clock,
           shown.fraction, recording.timeMs, recording.playFrames);
    fflush(stdout);
    return 0;
}
