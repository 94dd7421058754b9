// The solver's view of one play frame: the play scene's rules in its frame
// order (motion, firing state, beam, bees) without any drawing, and the whole
// state they touch, so that a search can copy a moment of play and try
// several futures from it.
#pragma once
#include <cstddef>
#include <cstring>
#include "game/bees.h"
#include "game/gun.h"
#include "game/motion.h"
#include "game/play_scene.h"
#include "game/stage.h"
#include "shell/shell.h"

namespace solve {

// One frame's input: the pointer and whether the left button is held.
struct Input {
    short mouseX, mouseY;
    bool firing;
};

// Everything a play frame reads or writes, the game's globals included.
struct Moment {
    float camX = START_CAM_X, camY = START_CAM_Y;
    float velX = 0, velY = 0, thrust = 0, fallSpeed = 0;
    int beamLength = 0, shotFrames = 0;
    int beeSteps = 0, respawnX = (int)START_CAM_X, respawnY = (int)START_CAM_Y;
    int scene = SCENE_PLAYING;
    int beeTotal = 0;
    Bee swarm[MAX_BEES];
};

// Copies the game's globals into m (after the stage is loaded and its bees spawned).
inline void Capture(Moment& m)
{
    m.beeTotal = beeCount;
    std::memcpy(m.swarm, bees, sizeof(Bee) * (size_t)beeCount);
    m.beeSteps = beeStepsPerFrame;
    m.respawnX = respawnCamX;
    m.respawnY = respawnCamY;
    m.scene = sceneId;
}

inline void CopyMoment(Moment& to, const Moment& from)
{
    // The bee list is copied only as far as it is used.
    std::memcpy(static_cast<void*>(&to), &from, offsetof(Moment, swarm));
    std::memcpy(to.swarm, from.swarm, sizeof(Bee) * (size_t)from.beeTotal);
}

// One play frame from moment m with input in, as RunPlayScene plays it.
inline void PlayFrame(Moment& m, Input in)
{
    beeCount = m.beeTotal;
    std::memcpy(bees, m.swarm, sizeof(Bee) * (size_t)m.beeTotal);
    beeStepsPerFrame = m.beeSteps;
    respawnCamX = m.respawnX;
    respawnCamY = m.respawnY;
    sceneId = m.scene;
    int firing = in.firing ? 1 : 0;

    MovePlayer(m.camX, m.camY, in.mouseX, in.mouseY, m.thrust, m.fallSpeed, firing, m.velX, m.velY);
    ApplyFiringState(firing, m.thrust, m.fallSpeed, m.beamLength, m.shotFrames);
    if (firing == 1) {
        int hit = MarchBeam(AngleBetweenPoints(GUN_PIVOT_X, GUN_PIVOT_Y, in.mouseX, in.mouseY),
                            m.thrust, (int)m.camX, (int)m.camY);
        m.beamLength = hit < 0 ? BEAM_RANGE : hit - 1;
    }
    static BeeSprite sprites[MAX_BEES];
    StepBees((int)m.camX, (int)m.camY, in.mouseX, in.mouseY, &m.beamLength, firing, sprites);

    std::memcpy(m.swarm, bees, sizeof(Bee) * (size_t)m.beeTotal);
    m.beeSteps = beeStepsPerFrame;
    m.respawnX = respawnCamX;
    m.respawnY = respawnCamY;
    m.scene = sceneId;
}

}  // namespace solve
