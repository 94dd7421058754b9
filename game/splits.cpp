// Splits of a run as it is played, and of the best kept run by its recording.
#include "game/splits.h"

#include <cstdio>
#include <string>

#include "game/checkpoints.h"
#include "game/recorded_run.h"
#include "game/recording.h"
#include "game/replay_files.h"
#include "game/run_step.h"
#include "game/score.h"

void BeginSplits(SplitTracker* t, const CrystalSpan& held)
{
    t->crystals = StageCrystals();
    t->held = held;
    t->splits.clear();
}

bool FeedSplits(SplitTracker* t, const PlayView& view)
{
    bool taken = view.heldCrystal.row >= 0 && !(view.heldCrystal == t->held);
    t->held = view.heldCrystal;
    if (!taken) return false;
    int checkpoint = CheckpointNumber(t->crystals, view.heldCrystal);
    // Taken again after another: the run reached it before, so no split.
    if (checkpoint == 0 || FindSplit(t->splits, checkpoint) != nullptr) return false;
    t->splits.push_back({checkpoint, view.clockMs});
    return true;
}

const Split* FindSplit(const std::vector<Split>& splits, int checkpoint)
{
    for (const Split& s : splits)
        if (s.checkpoint == checkpoint) return &s;
    return nullptr;
}

void FormatSplitDifference(int32_t diffMs, char* text, size_t size)
{
    const char* sign = diffMs < 0 ? "-" : diffMs > 0 ? "+" : "";
    uint32_t d = diffMs < 0 ? uint32_t(0) - uint32_t(diffMs) : uint32_t(diffMs);
    unsigned hundredths = (d % 1000) / 10, seconds = (d / 1000) % 60, minutes = d / 60000;
    if (minutes > 0)
        snprintf(text, size, "%s%u:%02u.%02u", sign, minutes, seconds, hundredths);
    else
        snprintf(text, size, "%s%u.%02u", sign, seconds, hundredths);
}

bool BestRunSplits(const char* scorePath, int stage, std::vector<Split>* splits, int32_t* bestMs)
{
    splits->clear();
    if (scorePath == nullptr) return false;
    ScoreTable table;
    if (ReadScoreFile(scorePath, &table) != SCORE_FILE_READ) return false;
    Recording recording;
    std::string why;
    if (!FindKeptRecording(scorePath, table, stage, 1, &recording, &why)) {
        if (!why.empty())
            fprintf(stderr, "Prismveldt: the best run of stage %d cannot be split (%s); no splits\n",
                    stage, why.c_str());
        return false;
    }
    if (recording.stageHash != StageHash()) return false;  // played on another stage file
    // A recorded run starts at the stage's start, where no crystal is held.
    SplitTracker tracker;
    Run start;
    StartRecordedRun(recording, &start);
    BeginSplits(&tracker, HeldCrystal(start.play.respawnCamX, start.play.respawnCamY));
    PlayRecordedRun(recording, [&](const RecordedFrame&, const Run&, const RunFrame& frame) {
        FeedSplits(&tracker, frame.play);
    });
    *splits = tracker.splits;
    *bestMs = table.times[stage - 1][0];
    return true;
}
