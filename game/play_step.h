// One play frame: its rules in StepPlay, without any drawing, and what they
// leave for the drawing in a PlayView. The play scene, the tests' autopilot
// and the solver all run their frames through StepPlay, so the order of a
// frame's rules is written once: input, motion, firing state, the gun and its
// beam, the character's idle pictures, the bees, the clock and the cursor.
#pragma once
#include <cstdint>
#include "game/bees.h"
#include "game/gun.h"
#include "game/play_state.h"
#include "game/scene_frame.h"
#include "gfx/surface.h"

// What the drawing of a play frame needs, as the frame's rules left it.
struct PlayView {
    int farScroll = 0;          // the far backdrop's window
    int middleX = 0;            // the middle layer's window: half the camera's x
    int stageX = 0, stageY = 0; // the stage picture's window: the camera
    GunView gun;
    Surface character = nullptr;  // firing or one of the idle pictures
    int facingLeft = 0;
    int shotSound = 0;          // SHOT_SOUND_*: what the scene does with the shot sound
    uint32_t clockMs = 0;       // the run's time shown
    int cursorX = 0, cursorY = 0, cursorAngle = 0;
    // The ghost of the best run (the scene's, not the rules'): drawn behind
    // the character when on.
    bool ghost = false;
    int ghostX = 0, ghostY = 0;
    Surface ghostPicture = nullptr;
    int ghostFacingLeft = 0;
    int beeSpriteCount = 0;
    BeeSprite beeSprites[MAX_BEES];
};

// Called by the scene after every LoadStage, and by the autopilot and the
// solver: the stage's bees back at their nests, the backdrop, the fall and
// the recoil from the start, the idle pictures from the first.
void StartPlayAttempt(PlayState& s);
// Called by the death curtain behind its closed curtain (and the autopilot):
// the camera at the respawn point, the backdrop, fall and recoil reset.
void RespawnAfterDeath(PlayState& s);

// Called by RunPlayScene each play frame (and the autopilot, the solver and
// the frame benchmark) with the mouse position and buttons as read: the
// frame's rules. Fills view for the drawing. Returns SCENE_GOAL or SCENE_DIED
// when the frame ended the attempt that way, else SCENE_PLAYING.
int StepPlay(PlayState& s, int mouseX, int mouseY, int buttons, PlayView* view);
// Called by StepPlay and every curtain frame: the gun turned toward the mouse
// of s and, while firing, the beam traced again (s.beamLength) with its spark;
// the cursor's corner on the beam's line.
void AimGun(PlayState& s, GunView* gun, int* cursorX, int* cursorY);
// Called by StepPlay and the curtains: the character's picture for s.
Surface CharacterPicture(const PlayState& s);

// Called by RunPlayScene after StepPlay: the whole frame into backBuffer,
// from the black clear to the cursor.
void DrawPlayFrame(const PlayView& view);
