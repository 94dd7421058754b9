// Everything a play frame reads and writes beyond the stage itself: the
// camera and its motion, the respawn point, the beam, the animations and the
// bees. One value of it is a whole moment of play, so the scene, the tests'
// autopilot and the solver all run the same frames on it.
#pragma once
#include <cstdint>
#include "game/bees.h"

constexpr float START_CAM_X = 34.0f;  // camera at a stage's start
constexpr float START_CAM_Y = 1700.0f;
constexpr int CURSOR_SPIN_LIMIT = 720;  // the cursor's turn counts in half degrees, up to a full turn

struct PlayState {
    float camX = START_CAM_X, camY = START_CAM_Y;  // world point at the screen's top-left
    float velX = 0, velY = 0;       // direction of the recoil
    float thrust = 0;               // recoil strength, sub-steps per frame
    float fallSpeed = 0;            // gravity strength, sub-steps per frame
    int respawnCamX = (int)START_CAM_X, respawnCamY = (int)START_CAM_Y;  // where a death returns to
    int beeStepsPerFrame = 0;       // 1, or 8 while the character touches a hive
    int mouseX = 0, mouseY = 0;
    int firing = 0;                 // mouse buttons as read; 0 or 1 once remapped
    int facingLeft = 0;
    int beamLength = 0;             // the beam's reach as this frame's trace found it
    int shotFrames = 0;             // firing frames since the scene started
    float idleFrame = 0;            // idle animation, 0 <= value < 2
    int backdropScroll = 0;         // far backdrop window, 0..3839
    int cursorSpin = 0;             // twice the cursor's turn
    uint32_t frameStart = 0;
    uint32_t runStart = 0;
    int beeCount = 0;
    Bee bees[MAX_BEES];             // last: a copy needs only the first beeCount
};
