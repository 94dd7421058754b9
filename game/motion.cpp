// Recoil, gravity and drift of the character, and the tile probes that stop them.
#include "game/motion.h"
#include <cmath>
#include "game/gun.h"
#include "game/play_state.h"
#include "game/scene_frame.h"
#include "game/stage.h"

namespace {
// Which way the recoil pushes, judged from the mouse as the probes see it.
// The mouse exactly on the character's centre aims straight up (angle 270), so
// the recoil pushes straight down; it counts as "above" so that the feet stop
// that push like any push from a mouse just above the centre. Without this
// nothing would stop it and the character would sink through the floor.
bool MouseAbove(int mouseX, int mouseY)
{
    return mouseY < PLAYER_SCREEN_Y ||
           (mouseY == PLAYER_SCREEN_Y && mouseX == PLAYER_SCREEN_X);
}

// The solid test every box probe shares: a hive makes the bees fast.
bool SolidProbe(PlayState& s, float x, float y, int* code)
{
    *code = TileAt(x, y);
    if (!IsSolidTile(*code)) return false;
    if (IsHiveTile(*code)) s.beeStepsPerFrame = 8;
    return true;
}
}

int CollidePlayer(PlayState& s, int mouseX, int mouseY, int firing, bool drifting)
{
    float px = s.camX + 640.0f;
    float py = s.camY + 360.0f;
    float& velX = s.velX;
    float& velY = s.velY;
    int code;
    s.beeStepsPerFrame = 1;

    // Feet: right, centre, left. Standing on ground is signalled by velY = -1.
    const float footX[3] = {29.0f, 0.0f, -29.0f};
    for (int i = 0; i < 3; ++i) {
        if (!SolidProbe(s, px + footX[i], py + 50.0f, &code)) continue;
        if (i == 1 && code == TILE_CHECKPOINT) {
            s.respawnCamX = (int)s.camX;
            s.respawnCamY = (int)s.camY;
        }
        if (firing == 1) {
            if (MouseAbove(mouseX, mouseY)) velY = 0.0f;
        } else {
            velY = -1.0f;
        }
    }
    // Head: left, centre, right. Only a push upwards (mouse below) is stopped.
    const float headX[3] = {-29.0f, 0.0f, 29.0f};
    for (int i = 0; i < 3; ++i) {
        if (!SolidProbe(s, px + headX[i], py - 64.0f, &code)) continue;
        if (firing == 1 && mouseY > PLAYER_SCREEN_Y) velY = 0.0f;
    }
    // Sides: low, middle, high. A wall stops the push towards it, or the drift.
    const float sideY[3] = {49.0f, 0.0f, -63.0f};
    for (int i = 0; i < 3; ++i) {
        if (!SolidProbe(s, px + 31.0f, py + sideY[i], &code)) continue;
        if (firing == 1) {
            if (mouseX < PLAYER_SCREEN_X) velX = 0.0f;
        } else if (drifting) {
            s.thrust = 0.0f;
        }
    }
    for (int i = 0; i < 3; ++i) {
        if (!SolidProbe(s, px - 31.0f, py + sideY[i], &code)) continue;
        if (firing == 1) {
            if (mouseX > PLAYER_SCREEN_X) velX = 0.0f;
        } else if (drifting) {
            s.thrust = 0.0f;
        }
    }

    // Goal and death are judged at the centre, not by the box.
    int centre = TileAt(px + 2.0f, py);
    if (centre == TILE_GOAL) return SCENE_GOAL;
    if (IsDeadlyTile(centre)) return SCENE_DIED;
    if (IsDeadlyTile(TileAt(px - 2.0f, py))) return SCENE_DIED;
    return SCENE_PLAYING;
}

int MovePlayer(PlayState& s, int mouseX, int mouseY, int firing)
{
    int a = AngleBetweenPoints(PLAYER_SCREEN_X, PLAYER_SCREEN_Y, mouseX, mouseY);
    if (firing == 1) {
        s.velX = (float)-CosGameDegrees(a);
        s.velY = (float)-SinGameDegrees(a);
        s.fallSpeed = 0.0f;
    }
    if (s.thrust == 0.0f) s.velX = 0.0f;
    if (firing == 0) s.velY = 0.0f;

    // Every probe that finds the goal or a deadly tile overrides the ones
    // before it; the frame's outcome is the last.
    int outcome = SCENE_PLAYING;
    auto probe = [&](bool drifting) {
        int found = CollidePlayer(s, mouseX, mouseY, firing, drifting);
        if (found != SCENE_PLAYING) outcome = found;
    };
    // Each loop rereads its bound before every sub-step, so a probe that
    // zeroes it ends the loop after the current step.
    if (firing == 1) {
        for (int i = 0; (float)i < s.thrust; ++i) {
            probe(false);
            s.camY = (float)((double)s.camY + s.velY);
            s.camX = (float)((double)s.camX + s.velX);
        }
    }
    for (int i = 0; (float)i < s.fallSpeed; ++i) {
        probe(true);
        if (s.velY == -1.0f) s.fallSpeed = 0.0f;
        s.camY = (float)((double)s.camY + ((double)s.velY + 1.0));
    }
    if (firing == 0) {
        for (int i = 0; (float)i < s.thrust; ++i) {
            probe(true);
            s.camX = (float)((double)s.camX + s.velX);
        }
    }
    return outcome;
}

int ApplyFiringState(int firing, float& thrust, float& fallSpeed, int& beamLength, int& shotFrames)
{
    // Added in double, kept in single: 0.4 is not exact in either.
    int sound = SHOT_SOUND_NONE;
    if (firing == 1) {
        thrust = (float)((double)thrust + 0.4);
        shotFrames += 1;
        if (shotFrames % 30 == 0) sound = SHOT_SOUND_PLAY;
        if (thrust > 15.0f) thrust = 15.0f;
    }
    if (firing == 0) {
        fallSpeed = (float)((double)fallSpeed + 0.5);
        sound = SHOT_SOUND_STOP;
        if (fallSpeed > 15.0f) fallSpeed = 15.0f;
        // Not clamped at zero: the recoil may end a little below it.
        if (thrust > 0.0f) thrust = (float)((double)thrust - 0.4);
        if (beamLength > 0) beamLength = 0;
    }
    return sound;
}
