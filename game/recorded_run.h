// A kept run played again through the run step, frame by frame, for what
// its play frames show: the ghost's track and the best run's splits are both
// worked out this way, so a recording is replayed by one rule.
#pragma once
#include "game/recording.h"
#include "game/run_step.h"

// Plays recording from its start (StartRecordedRun) on the stage now in
// tileMap, until its goal or the end of its run, calling
// onPlay(recordedFrame, run, runFrame) after each play frame.
template <typename OnPlay>
void PlayRecordedRun(const Recording& recording, OnPlay onPlay)
{
    Run run;
    StartRecordedRun(recording, &run);
    RunFrame frame;
    for (const RecordedFrame& f : recording.frames) {
        if (RunOver(run)) break;
        bool playing = !RunInCurtain(run);
        RunInput in;
        in.frameStart = f.clockMs;
        in.mouseX = f.mouseX;
        in.mouseY = f.mouseY;
        in.buttons = f.buttons;
        StepRun(run, in, &frame);
        if (playing) onPlay(f, run, frame);
        if (frame.event == RUN_EVENT_GOAL) break;
    }
}
