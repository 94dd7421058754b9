// What every scene's frame shares with the frame loop: the pacing clock it
// runs on, and how the frame it drew ends.
#pragma once
#include <cstdint>
#include <string>

// What a play frame ended in, and what a frame's trace names the moment as
// (the scene selector of the trace format, which tools read).
enum {
    SCENE_PLAYING = 0,
    SCENE_DIED = 1,
    SCENE_NEXT_STAGE = 2,
    SCENE_GOAL = 3,
    SCENE_TO_TITLE = -999,
    SCENE_QUIT = 999
};

// The loop's pacing: the start of the frame being stepped. A scene that
// starts a clock of its own sets it to GameTimeMs() (shell.h), so that its first
// frame comes a whole period after that reading.
struct FrameClock {
    uint32_t frameStart = 0;
};

enum FrameEndKind {
    FRAME_SHOWN,   // presented, traced, then the window's messages handled
    FRAME_TRACED,  // drawn but never shown (a frame that leaves its scene): traced only
    FRAME_SILENT   // neither shown nor traced
};

// How a frame ends, and its line in the replay trace: the scene's name, the
// selector (SCENE_*) and stage the trace format names the moment by, and the
// scene's own fields (JSON without braces or a leading comma, may be empty).
struct FrameEnd {
    int kind = FRAME_SHOWN;
    const char* name = "";
    int selector = 0;
    int stage = 0;
    std::string fields;
};
