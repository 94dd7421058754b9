// The solver's view of one play frame: the game's own run of a stage, one
// frame at a time, on a moment of play, so that a search can copy a moment
// and try several futures from it.
#pragma once
#include <cstddef>
#include <cstring>
#include "game/controls.h"
#include "game/run_step.h"
#include "tools/solve/pad.h"

namespace solve {

// One frame's input. By mouse: the pointer and whether the left button is
// held. By pad: the right stick's axes and whether the right trigger is
// pulled, the pointer being what the game makes of the stick.
struct Input {
    short mouseX, mouseY;
    bool firing;
    bool pad = false;
    short stickX = 0, stickY = 0;
};

// A moment of play and how its last frame ended.
struct Moment {
    int scene = SCENE_PLAYING;
    PadAim aim;  // the play scene's aim, which a pad run steps
    Run run;  // last: its bee list is copied only as far as it is used
};

inline void CopyMoment(Moment& to, const Moment& from)
{
    const size_t head = offsetof(Moment, run) + offsetof(Run, play) + offsetof(PlayState, bees);
    std::memcpy(static_cast<void*>(&to), &from, head);
    std::memcpy(to.run.play.bees, from.run.play.bees, sizeof(Bee) * (size_t)from.run.play.beeCount);
}

// One play frame from moment m with input in, as the play scene plays it.
inline void PlayFrame(Moment& m, Input in)
{
    static RunFrame frame;
    RunInput input;
    if (in.pad) {
        PadToRules(&m.aim, in.stickX, in.stickY, in.firing, &input.mouseX, &input.mouseY, &input.buttons);
    } else {
        input.mouseX = in.mouseX;
        input.mouseY = in.mouseY;
        input.buttons = in.firing ? 1 : 0;
    }
    StepRun(m.run, input, &frame);
    m.scene = frame.event == RUN_EVENT_GOAL ? SCENE_GOAL : frame.event == RUN_EVENT_DIED ? SCENE_DIED : SCENE_PLAYING;
}

}  // namespace solve
