// The character's motion: the recoil of the ray gun pushes it away from the
// mouse, gravity pulls it down when the gun is quiet, and the tile probes
// around its body stop it, find the goal and deadly tiles, record checkpoints
// and stir up the bees.
#pragma once

constexpr int PLAYER_SCREEN_X = 640;  // the character's reference point on screen
constexpr int PLAYER_SCREEN_Y = 360;

struct PlayState;

// Called by StepPlay once per play frame, before the firing state changes
// thrust and fallSpeed: moves the camera of s in 1-pixel sub-steps, each
// checked by CollidePlayer. Returns what the last probe that found one saw:
// SCENE_GOAL or SCENE_DIED, else SCENE_PLAYING.
int MovePlayer(PlayState& s, int mouseX, int mouseY, int firing);

// Called by MovePlayer before every sub-step: tests all probes at the camera
// of s, records a checkpoint and the bees' speed there. thrust is changed only
// when drifting (the gun quiet: a wall ends the drift). Returns SCENE_GOAL or
// SCENE_DIED when the centre reached one, else SCENE_PLAYING.
int CollidePlayer(PlayState& s, int mouseX, int mouseY, int firing, bool drifting);

enum { SHOT_SOUND_NONE = 0, SHOT_SOUND_PLAY = 1, SHOT_SOUND_STOP = 2 };
// Called by StepPlay right after MovePlayer: firing builds up the recoil
// (and counts firing frames for the shot sound), a quiet gun lets gravity grow,
// the recoil fade and the beam go out. Returns what to do with the shot sound.
int ApplyFiringState(int firing, float& thrust, float& fallSpeed, int& beamLength, int& shotFrames);
