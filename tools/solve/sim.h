// The solver's view of one play frame: the game's own StepPlay on a moment of
// play, so that a search can copy a moment and try several futures from it.
#pragma once
#include <cstddef>
#include <cstring>
#include "game/play_step.h"
#include "game/scenes.h"

namespace solve {

// One frame's input: the pointer and whether the left button is held.
struct Input {
    short mouseX, mouseY;
    bool firing;
};

// A moment of play and how its last frame ended.
struct Moment {
    int scene = SCENE_PLAYING;
    PlayState play;  // last: its bee list is copied only as far as it is used
};

inline void CopyMoment(Moment& to, const Moment& from)
{
    const size_t head = offsetof(Moment, play) + offsetof(PlayState, bees);
    std::memcpy(static_cast<void*>(&to), &from, head);
    std::memcpy(to.play.bees, from.play.bees, sizeof(Bee) * (size_t)from.play.beeCount);
}

// One play frame from moment m with input in, as the play scene plays it.
inline void PlayFrame(Moment& m, Input in)
{
    static PlayView view;
    m.scene = StepPlay(m.play, in.mouseX, in.mouseY, in.firing ? 1 : 0, &view);
}

}  // namespace solve
