// The title scene: animated background, START and END, and the start of a game.
#pragma once

// Called by GameMain's scene loop; returns with sceneId = SCENE_QUIT to end the
// program, or with stage 1 loaded and stageNo = 1 to start a game.
void RunTitleScene();
