// One play frame: its rules in StepPlay, without any drawing, and what they
// leave for the drawing in a PlayView. Every run of a stage (run_step.h)
// steps its play frames through StepPlay, so the order of a frame's rules is
// written once: input, motion, firing state, the gun and its beam, the
// character's idle pictures, the bees, the clock and the cursor.
//
// The rules change only the PlayState they are given and read the stage in
// tileMap, which must be loaded first. The pictures a view names belong to
// the start-up pictures (assets.h), never to the view; drawing needs those
// loaded and the stage rendered (LoadStage).
#pragma once
#include <cstdint>
#include "game/bees.h"
#include "game/gun.h"
#include "game/play_state.h"
#include "game/scene_frame.h"
#include "game/stage.h"
#include "gfx/surface.h"

// What the drawing of a play frame needs, as the frame's rules left it.
struct PlayView {
    int farScroll = 0;          // the far backdrop's window
    int middleX = 0;            // the middle layer's window: half the camera's x
    int stageX = 0, stageY = 0; // the stage picture's window: the camera
    CrystalSpan heldCrystal;    // the checkpoint holding the respawn point, drawn lit
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

// Starts an attempt on the stage now in tileMap: the stage's bees back at
// their nests, the backdrop, the fall and the recoil from the start, the idle
// pictures from the first. The camera, respawn point and clock are left as
// they are.
void StartPlayAttempt(PlayState& s);
// After a death, behind the closed curtain: the camera at the respawn point,
// the backdrop, fall and recoil reset. The bees are not touched; the next
// attempt's StartPlayAttempt puts them home.
void RespawnAfterDeath(PlayState& s);

// The frame's rules, with the mouse position and buttons as read, on s, whose
// attempt was started (StartPlayAttempt) and whose frameStart is this
// frame's clock. Fills view for the drawing, all but the ghost's fields (the
// scene's). Returns SCENE_GOAL or SCENE_DIED when the frame ended the attempt
// that way, else SCENE_PLAYING; what comes after (curtains, respawn) is the
// run's (run_step.h).
int StepPlay(PlayState& s, int mouseX, int mouseY, int buttons, PlayView* view);
// The gun turned toward the mouse of s and, while firing, the beam traced
// again from the recoil's strength (s.beamLength) with its spark; the beam
// drawn has the previous trace's length, less MUZZLE_REACH (0 at least). The
// cursor's corner on the beam's line. A curtain frame aims this way too, on
// the state the frame before left.
void AimGun(PlayState& s, GunView* gun, int* cursorX, int* cursorY);
// The character's picture for s: the firing one while s.firing is not 0,
// else the idle picture of the moment. One of the start-up pictures (nullptr
// before LoadAssets).
Surface CharacterPicture(const PlayState& s);

// The whole frame into backBuffer as view says: a black clear (left out when
// the far backdrop covers it), the backdrops, the gun, the stage, the ghost
// (when view.ghost), the character, the bees, the clock and the cursor; with
// the reduced flashing setting, the character and the bees as flashing.h
// says.
void DrawPlayFrame(const PlayView& view);
