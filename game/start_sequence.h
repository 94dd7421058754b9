// The way into a stage from the title and from the results screen: the
// stage's start view behind an opening curtain (pictures 0, 2, ..., 48, one
// frame each), then one second each of "3", "2", "1" and "START!!" by the
// clock. Practice begins at a checkpoint instead: the view is the
// checkpoint's, its crystal lit. The stage is loaded before the curtain is put up; when the
// countdown reaches four seconds (a frame drawn but never shown) the sequence
// goes back to the scene below.
#pragma once
#include <cstdint>
#include "game/play_state.h"
#include "game/scene_frame.h"
#include "game/stage.h"

struct SceneChange;

constexpr int OPENING_CURTAIN_FRAMES = 25;  // pictures 0, 2, ..., 48

struct OpeningCurtainScene {
    const char* name = "";           // the frames' name in the trace
    const char* countdownName = "";  // and the countdown's that follows
    int selector = 0, stage = 0;     // as the frames' trace names them
    int camX = (int)START_CAM_X, camY = (int)START_CAM_Y;  // the view behind it
    int picture = 0;
};

struct CountdownScene {
    const char* name = "";
    int selector = 0, stage = 0;
    int camX = (int)START_CAM_X, camY = (int)START_CAM_Y;
    uint32_t countdownStart = 0;
    bool over = false;
};

// The play scene's layers at the stage's start, camera (34, 1700), gun at
// rest, no cursor: what every curtain and countdown frame draws first.
void DrawStartView();
// The same with the camera at (camX, camY), the crystal holding a respawn
// point there lit: where a practice run begins.
void DrawStartViewAt(int camX, int camY);

SceneChange EnterOpeningCurtain(OpeningCurtainScene& curtain, FrameClock& clock);
void StepOpeningCurtain(OpeningCurtainScene& curtain, const FrameClock& clock, FrameEnd* end);
SceneChange AfterOpeningCurtainFrame(OpeningCurtainScene& curtain, FrameClock& clock);

// The countdown's clock starts when it is entered.
SceneChange EnterCountdown(CountdownScene& countdown, FrameClock& clock);
void StepCountdown(CountdownScene& countdown, const FrameClock& clock, FrameEnd* end);
SceneChange AfterCountdownFrame(CountdownScene& countdown, FrameClock& clock);
