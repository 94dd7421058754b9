// The title: the animated background, START and END with their hover and the
// turning cursor, and the way into a game at stage 1 behind the opening
// curtain and the countdown; SETTINGS, and STAGES, the stage select, from
// which one stage is played alone behind the same curtain and countdown. Its pictures are loaded when it is entered and
// freed when it ends.
#pragma once
#include "game/scene_frame.h"
#include "game/scene_rules.h"

struct SceneChange;

enum { TITLE_PICK_NONE = 0, TITLE_PICK_START, TITLE_PICK_END, TITLE_PICK_SETTINGS, TITLE_PICK_STAGES };

struct TitleScene {
    // How the title was reached, as its frames' trace names it: SCENE_PLAYING
    // at the program's start, SCENE_TO_TITLE after a game; and the stage last
    // played (0 before any).
    int selector = SCENE_PLAYING;
    int stage = 0;
    // What play takes over from the game before: the bees' speed.
    int beeSteps = 0;

    float curtainPos = 0.0f;
    int curtainDir = 0;
    int cursorAngle = 0;
    // The last frame's hover test; none yet on the first frame.
    TitleHover hover;
    bool hoverTested = false;
    int choice = 0;  // this frame's: 0 none, 1 START, 2 END (or Escape), 3 SETTINGS, 4 STAGES
    // The stage the curtain now up leads into, and whether it is played
    // alone (chosen on the stage select) or as the first of the whole game.
    int startStage = 1;
    bool singleStage = false;
    int practiceCheckpoint = 0;  // the checkpoint (1..) practised from, 0 for none
    // The button chosen with the keys or a pad (TITLE_PICK_*), shown as if
    // hovered until the mouse moves; and last frame's menu inputs, so that
    // each press counts once (all held at first: nothing carried over counts).
    int picked = 0;
    bool menuWas[6] = {true, true, true, true, true, true};
    int mouseWasX = 0, mouseWasY = 0;
    // The left button in the last frame: a press counts in the frame it
    // starts. Set when the title follows a game, so that a press carried
    // over from the scene before never counts.
    bool leftWasDown = false;
    // Back from the settings page with Escape held: it ends the game only
    // once it has been let go.
    bool escapeStillHeld = false;
};

// The title as a game ends: reached after one (SCENE_TO_TITLE), stage the
// last played, beeSteps the bees' speed the next game takes over; a press
// carried over from the screen before is not one here.
TitleScene TitleAfterGame(int stage, int beeSteps);

SceneChange EnterTitle(TitleScene& title, FrameClock& clock);
void StepTitle(TitleScene& title, const FrameClock& clock, FrameEnd* end);
SceneChange AfterTitleFrame(TitleScene& title, FrameClock& clock);
// Back from the settings page (SETTINGS_DONE) or the stage select
// (STAGE_SELECT_BACK): the title as it was. A stage chosen on the select
// (StageChosen): its curtain and countdown. Back from the start's curtain and
// countdown: the title's pictures go, play begins.
SceneChange ResumeTitle(TitleScene& title, int result, FrameClock& clock);
