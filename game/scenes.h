// The scenes: each is a value that the shell's one frame loop enters, steps
// for one frame at a time and ends the frame of, and that says what comes
// next: stay, put another scene over it (the results over play, the start's
// curtain over the title), go back to the one below with a result, be
// replaced, or end the game. A scene below keeps its state exactly while one
// above it runs.
//
// The loop, for every frame of the scene on top:
//   wait for the frame's start (FrameClock.frameStart);
//   StepScene: read input, update, draw into backBuffer, say how the frame
//     ends (FrameEnd): shown (presented, traced, the window's messages
//     handled), traced only (a frame the game draws but never shows), or
//     silent;
//   the frame's end;
//   AfterFrame: what happens between this frame and the next (a stage
//     reloaded, the music changed), and the change of scene.
// EnterScene runs when a scene is put on top, ResumeScene when the one above
// it went back; both run between frames and may change scene at once. Any of
// them may start the pacing over from now (FrameClock.frameStart), as a scene
// that starts a clock of its own does.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "game/closing_scene.h"
#include "game/controls_scene.h"
#include "game/editor_scene.h"
#include "game/pause_scene.h"
#include "game/online_scene.h"
#include "game/play_scene.h"
#include "game/question_scene.h"
#include "game/replay_scene.h"
#include "game/results_scene.h"
#include "game/settings_scene.h"
#include "game/scene_frame.h"
#include "game/stage_select_scene.h"
#include "game/start_sequence.h"
#include "game/title_scene.h"
#include <variant>

struct Scene {
    std::variant<QuestionScene, TitleScene, OpeningCurtainScene, CountdownScene, PlayScene, ResultsScene,
                 ReplayScene, PauseScene, SettingsScene, ControlsScene, StageSelectScene, ClosingScene,
                 EditorScene, OnlinePageScene>
        value;
};

enum SceneChangeKind {
    SCENE_STAY,     // the same scene steps the next frame
    SCENE_PUSH,     // next goes on top; this one waits below, as it is
    SCENE_REPLACE,  // next takes this one's place
    SCENE_POP,      // back to the scene below, with result (nothing below: the end)
    SCENE_END       // the loop ends
};
struct SceneChange {
    int kind = SCENE_STAY;
    std::unique_ptr<Scene> next;
    int result = 0;
};
SceneChange Stay();
SceneChange Push(Scene scene);
SceneChange Replace(Scene scene);
SceneChange Pop(int result = 0);
SceneChange EndScenes();

// The scene behind each step, whatever its kind.
SceneChange EnterScene(Scene& scene, FrameClock& clock);
void StepScene(Scene& scene, const FrameClock& clock, FrameEnd* end);
SceneChange AfterFrame(Scene& scene, FrameClock& clock);
SceneChange ResumeScene(Scene& scene, int result, FrameClock& clock);

// The title, as the program starts (once the start-up question is answered).
Scene FirstScene();
