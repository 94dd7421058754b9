// The play scene: the stages one after another, with deaths, clears and Escape.
#pragma once
#include <cstdint>

constexpr float START_CAM_X = 34.0f;  // camera at a stage's start
constexpr float START_CAM_Y = 1700.0f;

// Everything one call of the scene keeps from frame to frame.
struct PlayState {
    float camX = START_CAM_X, camY = START_CAM_Y;  // world point at the screen's top-left
    float velX = 0, velY = 0;       // direction of the recoil
    float thrust = 0;               // recoil strength, sub-steps per frame
    float fallSpeed = 0;            // gravity strength, sub-steps per frame
    int mouseX = 0, mouseY = 0;
    int firing = 0;                 // mouse buttons as read; 0 or 1 once remapped
    int facingLeft = 0;
    int beamLength = 0;
    int cursorX = 0, cursorY = 0;
    float idleFrame = 0;            // idle animation, 0 <= value < 2
    int backdropScroll = 0;         // far backdrop window, 0..3839
    int cursorSpin = 0;             // twice the cursor's turn
    int shotFrames = 0;             // firing frames since the scene started
    uint32_t frameStart = 0;
    uint32_t runStart = 0;
};

// Called by GameMain's scene loop after the title scene.
void RunPlayScene();
// Called by RunPlayScene at the top of each play frame: mouse position and buttons.
void ReadPlayInput(PlayState& s);
// Called by RunPlayScene after ReadPlayInput (and by the frame benchmark): one
// play frame's updates and drawing into backBuffer, from the clear to the
// cursor; the keys and the frame's outcome are left to the caller.
void AdvancePlayFrame(PlayState& s);
