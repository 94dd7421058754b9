// The scenes and the selector they pass the game along with: the title and
// play scenes take turns until the title says to quit; the play scene runs the
// stages, their results and the next stage's start.
#pragma once

enum {
    SCENE_PLAYING = 0,
    SCENE_DIED = 1,
    SCENE_NEXT_STAGE = 2,
    SCENE_GOAL = 3,
    SCENE_TO_TITLE = -999,
    SCENE_QUIT = 999
};

extern int sceneId;  // SCENE_*
extern int stageNo;  // 1..4 while playing

// Called by GameMain once the start-up pictures are loaded: the title and play
// scenes in turn until the title leaves sceneId at SCENE_QUIT.
void RunScenes();
