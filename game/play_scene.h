// The play scene: the stages one after another, with deaths, clears and Escape.
#pragma once

// Called by GameMain's scene loop after the title scene.
void RunPlayScene();
