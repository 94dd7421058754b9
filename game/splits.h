// Splits: the moments a run first makes each checkpoint crystal its respawn
// point, on the run's clock, and the same moments of the stage's best kept
// run, found by playing that run's recording through the run step again. The
// live run and the best's replay feed the same tracker frame by frame, so a
// split means one thing for both.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>
#include "game/play_step.h"

// How long a split stays on the play screen: about two seconds.
constexpr int SPLIT_SHOWN_FRAMES = 125;

struct Split {
    int checkpoint = 0;   // its number (game/checkpoints.h), 1..
    uint32_t clockMs = 0; // the run's clock in the frame the crystal was first taken
};

struct SplitTracker {
    std::vector<CrystalSpan> crystals;  // the stage's, in checkpoint order
    CrystalSpan held;                   // the crystal holding the respawn point after the last frame
    std::vector<Split> splits;          // in the order they were made, each checkpoint once
};

// Starts the splits of a run on the stage now in tileMap, whose respawn
// point holds held at its start (none, for the stages' own starts).
void BeginSplits(SplitTracker* tracker, const CrystalSpan& held);
// One play frame, as StepRun left its view: true when it made a split (a
// crystal newly holding the respawn point, for the first time in the run),
// which is then tracker->splits.back(). Curtain frames are not fed.
bool FeedSplits(SplitTracker* tracker, const PlayView& view);
// The split at checkpoint in splits, nullptr when there is none.
const Split* FindSplit(const std::vector<Split>& splits, int checkpoint);

// A split's difference from the best's as shown: "-" ahead, "+" behind, no
// sign when equal; seconds and hundredths ("+1.24", "-0.08", "0.00"), with
// minutes from one minute on ("+1:02.50"). The hundredths are cut, as the
// clock's are. text is always terminated (size at least 1).
void FormatSplitDifference(int32_t diffMs, char* text, size_t size);

// The splits of the best kept run of stage (the table's rank 1 and its
// recording), played on the stage now in tileMap; the table's best time
// into *bestMs. False when there is no such run to play (no score file, no
// rank 1, no recording of it, or one made on another stage file); a
// recording that is there but cannot be read says so on standard error, as
// the ghost does. Takes no lock.
bool BestRunSplits(const char* scorePath, int stage, std::vector<Split>* splits, int32_t* bestMs);
