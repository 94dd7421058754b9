// The scene loop: the title, then play, then the title again, until the title
// scene says to quit. Any other value it leaves, even SCENE_TO_TITLE from the
// last game, starts play.
#include "game/scenes.h"

#include "game/play_scene.h"
#include "game/title_scene.h"

int sceneId = SCENE_PLAYING;
int stageNo = 0;

void RunScenes()
{
    for (;;) {
        RunTitleScene();
        if (sceneId == SCENE_QUIT) break;
        RunPlayScene();
    }
}
