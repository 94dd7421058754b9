// Watching a recorded run in the game's window: the stage played again from
// the recording through the run's own steps and drawing, at its own pace,
// with pause and fast-forward. Space pauses, 1, 2 and 4 set the speed,
// Escape (or a close request) leaves; after the run's last frame the viewer
// holds it and says so. A file that is no recording gets a box saying why.
#pragma once
#include <cstddef>
#include <string>
#include "game/recording.h"
#include "game/run_step.h"
#include "game/scene_frame.h"

struct SceneChange;

struct ReplayScene {
    std::string path;
    Recording recording;
    Run run;
    RunFrame frame;
    size_t next = 0;     // the recording's next frame
    int speed = 1;       // recorded frames a shown frame
    bool paused = false, spaceWas = false;
    bool leaving = false;
};

SceneChange EnterReplay(ReplayScene& replay, FrameClock& clock);
void StepReplay(ReplayScene& replay, const FrameClock& clock, FrameEnd* end);
SceneChange AfterReplayFrame(ReplayScene& replay, FrameClock& clock);
