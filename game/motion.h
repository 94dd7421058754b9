// The character's motion: the recoil of the ray gun pushes it away from the
// mouse, gravity pulls it down when the gun is quiet, and the tile probes
// around its body stop it, find the goal and deadly tiles, record checkpoints
// and stir up the bees.
#pragma once

constexpr int PLAYER_SCREEN_X = 640;  // the character's reference point on screen
constexpr int PLAYER_SCREEN_Y = 360;

struct PlayState;

// Moves the camera of s for one play frame with the strengths the frame
// before left (thrust and fallSpeed: ApplyFiringState comes after the move),
// in sub-steps of about a pixel, CollidePlayer before each; the push points
// away from (mouseX, mouseY) as seen from the character's screen point.
// firing is the frame's state after StepPlay's remapping: 1 fires, 0 is
// quiet. Needs the stage in tileMap. Returns what the last probe that found
// one saw: SCENE_GOAL or SCENE_DIED, else SCENE_PLAYING.
int MovePlayer(PlayState& s, int mouseX, int mouseY, int firing);

// One sub-step's test: all probes at the camera of s. A floor, ceiling or
// wall stops the push toward it (velX, velY; a floor under a quiet gun sets
// velY to -1, standing), the middle foot on a checkpoint makes the camera
// there the respawn point, and the bees' speed is set (8 while a probe
// touches a hive, else 1). thrust is changed only when drifting (the gun
// quiet: a wall ends the drift). Returns SCENE_GOAL or SCENE_DIED when the
// centre reached one, else SCENE_PLAYING.
int CollidePlayer(PlayState& s, int mouseX, int mouseY, int firing, bool drifting);

enum { SHOT_SOUND_NONE = 0, SHOT_SOUND_PLAY = 1, SHOT_SOUND_STOP = 2 };
// The frame's firing state, after the move: firing (1) builds up the recoil
// to 15 (and counts firing frames, the shot sound every 30th), a quiet gun
// (0) lets gravity grow to 15, the recoil fade (it may end a little below
// zero) and the beam go out; any other value changes nothing. Returns what
// to do with the shot sound (SHOT_SOUND_*).
int ApplyFiringState(int firing, float& thrust, float& fallSpeed, int& beamLength, int& shotFrames);
