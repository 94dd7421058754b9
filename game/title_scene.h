// The title scene: animated background, START and END, and the start of a game.
#pragma once

// Called by GameMain's scene loop; returns with sceneId = SCENE_QUIT to end the
// program, or with stage 1 loaded, stageNo = 1, the stage music playing and
// sceneId as it was, to start a game.
void RunTitleScene();
// Called by RunTitleScene whenever it leaves: deletes the title's own pictures
// (white, the buttons, the logo, then the 70 background pictures).
void FreeTitleSurfaces();
