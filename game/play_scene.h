// The play scene: the stages one after another, with deaths, clears, their
// results and Escape.
#pragma once

struct PlayState;

// Called by RunScenes after the title scene.
void RunPlayScene();
// Called by the play scene and the replay viewer for frame k (0..46) of the
// curtain after a death: the frozen stage behind the closing curtain, the
// respawn at its middle, the stage from the respawn point as it opens.
void DrawDeathCurtainFrame(PlayState& s, int k);
// Called by the play scene and the replay viewer for frame k (0..24) of the
// curtain after the goal: it closes over the stage, drawn under the gun.
void DrawClearCurtainFrame(PlayState& s, int k);
