// The character's motion: the recoil of the ray gun pushes it away from the
// mouse, gravity pulls it down when the gun is quiet, and the tile probes
// around its body stop it, find the goal and deadly tiles, record checkpoints
// and stir up the bees.
#pragma once

constexpr int PLAYER_SCREEN_X = 640;  // the character's reference point on screen
constexpr int PLAYER_SCREEN_Y = 360;

extern int respawnCamX, respawnCamY;  // camera position a death returns to
extern int beeStepsPerFrame;          // 1, or 8 while the character touches a hive

// Called by RunPlayScene once per play frame, before the firing state changes
// thrust and fallSpeed: moves the camera in 1-pixel sub-steps, each checked by
// CollidePlayer. May set sceneId to SCENE_GOAL or SCENE_DIED.
void MovePlayer(float& camX, float& camY, int mouseX, int mouseY,
                float& thrust, float& fallSpeed, int firing, float& velX, float& velY);

// Called by MovePlayer before every sub-step: tests all probes at one camera
// position. thrust is written only when not firing (a wall ends the drift);
// the firing loop passes nullptr.
void CollidePlayer(float camX, float camY, float& velX, float& velY,
                   int mouseX, int mouseY, int firing, float* thrust);

enum { SHOT_SOUND_NONE = 0, SHOT_SOUND_PLAY = 1, SHOT_SOUND_STOP = 2 };
// Called by RunPlayScene right after MovePlayer: firing builds up the recoil
// (and counts firing frames for the shot sound), a quiet gun lets gravity grow,
// the recoil fade and the beam go out. Returns what to do with the shot sound.
int ApplyFiringState(int firing, float& thrust, float& fallSpeed, int& beamLength, int& shotFrames);
