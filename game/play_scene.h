// The play scene: the stages one after another, with deaths, clears, their
// results and Escape.
#pragma once

// Called by RunScenes after the title scene.
void RunPlayScene();
