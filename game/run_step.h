// A whole run of one stage, one frame at a time: its play frames, the curtain
// after a death with the respawn behind it, the goal's curtain, and what the
// keys E and Escape do. The play scene, the replay viewer, the verifier, the
// ghost, the tests' autopilot, the solver and the frame benchmark all step
// their runs here, so when a curtain closes, where the character comes back
// and how long the goal's curtain runs are written once.
//
// A run owns its PlayState. Stepping changes only the run; what a frame shows
// is left in a RunFrame, which the drawing reads and never changes. The stage
// itself (tileMap) is the caller's: it loads the stage before BeginRun, and
// may load it again when a frame reports RUN_EVENT_RESPAWNED (the play scene
// does, as the game always reloaded the stage behind a death's curtain); the
// bees of the new attempt are placed from it at the next play frame.
#pragma once
#include <cstdint>
#include "game/play_step.h"

// Frames of the curtain after a death (it closes over 23, the character is
// put back at the respawn point behind the closed curtain, and it opens over
// 24), and of the curtains after the goal and after Escape. A run's time is
// the clock of the goal curtain's last frame.
constexpr int DEATH_CURTAIN_FRAMES = 47;
constexpr int DEATH_CURTAIN_CLOSED = 23;  // the frame that shows the curtain shut
constexpr int CLEAR_CURTAIN_FRAMES = 25;
constexpr int LEAVE_CURTAIN_FRAMES = 25;

enum RunPhase {
    RUN_PLAYING,   // the next frame is a play frame, read from the player
    RUN_DYING,     // the death's curtain
    RUN_CLEARING,  // the goal's curtain
    RUN_LEAVING,   // the curtain after Escape
    RUN_CLEARED,   // over: the goal's curtain has run
    RUN_LEFT       // over: the player left with Escape
};

enum RunFrameKind {
    RUN_FRAME_PLAY,
    RUN_FRAME_DEATH_CURTAIN,
    RUN_FRAME_CLEAR_CURTAIN,
    RUN_FRAME_LEAVE_CURTAIN
};

// What a frame did that its scene may act on.
enum RunEvent {
    RUN_EVENT_NONE,
    RUN_EVENT_DIED,       // a play frame ended in a death: its curtain follows
    RUN_EVENT_GOAL,       // a play frame reached the goal (or E ended it)
    RUN_EVENT_LEFT,       // a play frame was left with Escape
    RUN_EVENT_RESPAWNED,  // the death's curtain has run: a new attempt follows
    RUN_EVENT_CLEARED,    // the goal's curtain has run: the run is over
    RUN_EVENT_GONE        // the leaving curtain has run: the run is over
};

// One frame's input, as the play scene read it. Curtain frames read none.
struct RunInput {
    uint32_t frameStart = 0;  // the frame's start on the game's clock
    int mouseX = 0, mouseY = 0;
    int buttons = 0;          // MOUSE_LEFT | MOUSE_RIGHT as read
    bool keyE = false, keyEscape = false;
};

// A curtain frame as it is drawn: the frozen stage behind it.
struct CurtainView {
    int picture = 0;              // curtain picture 0..49
    GunView gun;
    int stageX = 0, stageY = 0;   // the camera
    CrystalSpan heldCrystal;      // the checkpoint holding the respawn point
    int farScroll = 0, middleX = 0;
    int cursorX = 0, cursorY = 0; // the death's curtain shows the cursor, turned 10 degrees
    Surface character = nullptr;
    int facingLeft = 0;
    // The goal's curtain shows the run's clock still running, so that its
    // last frame reads the time that is kept.
    bool showClock = false;
    uint32_t clockMs = 0;
};

// What one frame left: its kind, what the scene's selector reads in the
// frame's trace (SCENE_*), the event, and the view to draw.
struct RunFrame {
    int kind = RUN_FRAME_PLAY;
    int selector = 0;
    int event = RUN_EVENT_NONE;
    PlayView play;        // for play frames
    CurtainView curtain;  // for curtain frames
};

struct Run {
    int phase = RUN_PLAYING;
    int curtainFrame = 0;       // frames of the running curtain shown so far
    bool newAttempt = false;    // the next play frame first puts the bees home
    PlayState play;             // last: the solver copies only the bees in use
};

// Starts a run on the stage now in tileMap from state (the camera, the clock,
// and what a run takes over from the play before it: the bees' speed, the
// beam, the shot count, the cursor's turn). The first attempt begins at once.
void BeginRun(Run& run, const PlayState& state);
// Steps one frame. In a play frame the input decides, and a death, the goal,
// E and Escape end the attempt in that order of precedence (Escape over E
// over anything the frame's rules found). A curtain frame ignores the input
// but its clock. run must not be over (RunOver).
void StepRun(Run& run, const RunInput& input, RunFrame* frame);
// True while the next frame is a curtain's, which reads no input.
bool RunInCurtain(const Run& run);
// True once the goal's or the leaving curtain has run.
bool RunOver(const Run& run);

// Draws a frame of the run into backBuffer, as StepRun left it.
void DrawRunFrame(const RunFrame& frame);
