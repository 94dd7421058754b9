// Watching a recorded run in the game's window: the stage played again from
// the recording through the run's own steps and drawing, at its own pace,
// with pause and fast-forward. Space pauses, 1, 2 and 4 set the speed,
// Escape (or a close request) leaves; a tap of any of them shorter than a
// frame still acts. The top left corner says REPLAY, with the speed, the
// pause or the end; the bottom left corner lists the keys, at every speed.
// After the run's last frame the viewer holds it and shows the run's time as
// it entered the table, until the player leaves. Recordings carry no
// player's name, so none is shown. A file that is no recording gets a box
// saying why.
//
// With a trace, each frame's line carries what the labels say: "label" (the
// top left corner's), "keys" (the list of keys) and, at the end of a run
// that reached the goal, "time" (as "mm:ss.dd").
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
    RunFrame frame;      // the last frame stepped: drawn again under the labels every frame
    size_t next = 0;     // the recording's next frame
    int speed = 1;       // recorded frames a shown frame
    bool paused = false;
    bool stepped = false;      // this frame's: a recorded frame was stepped
    bool reloadStage = false;  // a death's curtain has run: the stage is loaded before the next frame
    bool leaving = false;
};

SceneChange EnterReplay(ReplayScene& replay, FrameClock& clock);
void StepReplay(ReplayScene& replay, const FrameClock& clock, FrameEnd* end);
SceneChange AfterReplayFrame(ReplayScene& replay, FrameClock& clock);
