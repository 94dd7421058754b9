// The autopilot the stage tests fly with: a few waypoints, the bees shot when
// they come close, and the play scene's rules in its frame order (motion,
// firing state, beam, bees; a death returns to the respawn point with the bees
// back home). It also writes the harness script of its flight.
#pragma once
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include "game/bees.h"
#include "game/gun.h"
#include "game/motion.h"
#include "game/stage.h"
#include "shell/shell.h"

namespace autopilot {

struct Point { float x, y; };

struct Flight {
    float camX = 34, camY = 1700, velX = 0, velY = 0, thrust = 0, fallSpeed = 0;
    int beamLength = 0, shotFrames = 0;
    int frames = 0, deaths = 0;
    bool cleared = false;
    // Camera after each play frame, by frame number from the first play frame
    // (curtain frames hold NaN).
    std::vector<std::pair<float, float>> track;
};

inline bool LoadShippedStage(int stage)
{
    std::ifstream file(std::string(SOURCE_DIR) + "/data/txt/dw_stage" + std::to_string(stage) + ".txt");
    std::stringstream text;
    text << file.rdbuf();
    std::string s = text.str();
    return ParseStageNumbers(s.data(), s.size(), &tileMap[0][0]) == MAP_CELLS;
}

// The mouse for this frame: at a nearby awake bee (the recoil then pushes away
// from it), otherwise opposite the next waypoint so the recoil carries there.
inline void Steer(const Flight& run, Point target, int* mouseX, int* mouseY, int* firing)
{
    float cx = run.camX + 640, cy = run.camY + 360;
    for (int i = 0; i < beeCount; ++i) {
        if (bees[i].state != BEE_ACTIVE) continue;
        float bx = bees[i].x + 32 - run.camX, by = bees[i].y + 32 - run.camY;
        if (std::hypot(bx - 640, by - 350) < 420) {
            *mouseX = (int)bx;
            *mouseY = (int)by;
            *firing = 1;
            return;
        }
    }
    float dx = target.x - cx, dy = target.y - cy;
    float d = std::hypot(dx, dy);
    *mouseX = 640 - (int)(dx / d * 200);
    *mouseY = 360 - (int)(dy / d * 200);
    *firing = 1;
}

// One play frame's rules, in the play scene's order.
inline void PlayFrame(Flight& run, int mouseX, int mouseY, int firing)
{
    MovePlayer(run.camX, run.camY, mouseX, mouseY, run.thrust, run.fallSpeed, firing, run.velX, run.velY);
    ApplyFiringState(firing, run.thrust, run.fallSpeed, run.beamLength, run.shotFrames);
    if (firing == 1) {
        int hit = MarchBeam(AngleBetweenPoints(640, 350, mouseX, mouseY), run.thrust,
                            (int)run.camX, (int)run.camY);
        run.beamLength = hit < 0 ? BEAM_RANGE : hit - 1;
    }
    static BeeSprite sprites[MAX_BEES];
    StepBees((int)run.camX, (int)run.camY, mouseX, mouseY, &run.beamLength, firing, sprites);
}

// Flies a stage; script collects "frame mouse x y" / "down lmb" lines for the
// harness, numbered from the first play frame.
inline Flight Fly(int stage, const std::vector<Point>& route, std::string* script, int frameLimit = 8000)
{
    EXPECT_TRUE(LoadShippedStage(stage));
    SpawnBees();
    sceneId = SCENE_PLAYING;
    respawnCamX = 34;
    respawnCamY = 1700;
    beeStepsPerFrame = 0;  // nothing has touched it before the first frame
    Flight run;
    size_t next = 0;
    int lastX = -1, lastY = -1;
    if (script) *script += "0 down lmb\n";
    while (run.frames < frameLimit) {
        Point target = route[next];
        float cx = run.camX + 640, cy = run.camY + 360;
        if (std::hypot(target.x - cx, target.y - cy) < 24 && next + 1 < route.size()) {
            ++next;
            target = route[next];
        }
        int mx, my, firing;
        Steer(run, target, &mx, &my, &firing);
        if (script && (mx != lastX || my != lastY))
            *script += std::to_string(run.frames) + " mouse " + std::to_string(mx) + " " + std::to_string(my) + "\n";
        lastX = mx;
        lastY = my;
        PlayFrame(run, mx, my, firing);
        run.track.resize(run.frames, {NAN, NAN});
        run.track.push_back({run.camX, run.camY});
        run.frames += 1;
        if (sceneId == SCENE_GOAL) {
            run.cleared = true;
            break;
        }
        if (sceneId == SCENE_DIED) {
            // The curtain: 47 frames without input, then the respawn and a reload.
            run.frames += 47;
            run.deaths += 1;
            run.camX = (float)respawnCamX;
            run.camY = (float)respawnCamY;
            run.thrust = 0;
            run.fallSpeed = 0;
            SpawnBees();
            sceneId = SCENE_PLAYING;
            next = 0;
            while (next + 1 < route.size() && route[next].x < run.camX + 640 - 64) ++next;
        }
    }
    return run;
}

// Centre points to fly through: up from the start, along, down into the goal.
inline const std::vector<Point> ROUTES[4] = {
    {{674, 1500}, {11700, 1500}, {11872, 2040}},
    {{674, 1650}, {3500, 1650}, {7200, 1500}, {12000, 1650}, {12192, 2040}},
    {{674, 1800}, {2300, 600}, {2900, 600}, {3600, 1500}, {8000, 1500}, {8400, 1540},
     {8700, 1540}, {10900, 1420}, {11552, 1420}, {11552, 1400}},
    {{674, 2000}, {1100, 1860}, {12000, 1860}, {12320, 2040}},
};

}  // namespace autopilot
