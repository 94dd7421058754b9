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

// Centre points to fly through, one list per shipped stage: the path of the
// solver's clearing run (tools/solve), thinned to where it turns.
inline const std::vector<Point> ROUTES[4] = {
    {{712, 2023}, {1001, 1856}, {1116, 1823}, {1272, 1733}, {1387, 1700}, {1439, 1670}, {1679, 1670}, {2085, 1769}, {2505, 1769}, {2621, 1802}, {4058, 1806}, {4089, 1690}, {4163, 1527}, {4193, 1412}, {4193, 1352}, {4339, 1089}, {4381, 1047}, {4410, 994}, {4537, 867}, {4647, 820}, {4705, 837}, {4825, 837}, {4940, 870}, {4992, 900}, {5052, 900}, {5225, 950}, {5277, 980}, {5565, 1062}, {5625, 1062}, {5741, 1095}, {5861, 1095}, {5913, 1125}, {7233, 1125}, {7406, 1175}, {7946, 1175}, {8061, 1208}, {8121, 1208}, {8208, 1230}, {8294, 1230}, {8421, 1357}, {8594, 1600}, {8763, 1769}, {8792, 1822}, {8844, 1852}, {8972, 1979}, {9029, 1996}, {9208, 2000}, {9264, 1984}, {9384, 1984}, {9557, 1934}, {9617, 1934}, {9731, 1797}, {9746, 1739}, {9805, 1634}, {9974, 1464}, {10032, 1448}, {10147, 1481}, {10274, 1608}, {10384, 1655}, {10469, 1739}, {10649, 1739}, {10795, 1637}, {10923, 1510}, {10975, 1480}, {11032, 1463}, {11090, 1480}, {11150, 1480}, {11380, 1546}, {11906, 1832}, {12356, 1992}},
    {{723, 2041}, {996, 2041}, {1054, 2024}, {1114, 2024}, {1344, 1958}, {2904, 1958}, {3077, 1908}, {3129, 1878}, {3849, 1878}, {4080, 1812}, {4140, 1812}, {4365, 1733}, {4484, 1737}, {4597, 1769}, {4796, 1902}, {4838, 1944}, {4948, 1991}, {6268, 1991}, {6320, 2021}, {6424, 1961}, {6484, 1961}, {6513, 1908}, {6513, 1848}, {6470, 1806}, {6297, 1759}, {5997, 1759}, {5886, 1715}, {5828, 1730}, {5786, 1688}, {5786, 1568}, {5838, 1538}, {6197, 1542}, {6420, 1463}, {6480, 1463}, {6509, 1410}, {6509, 1350}, {6479, 1298}, {6305, 1252}, {5829, 1220}, {5777, 1191}, {5777, 1071}, {5829, 1041}, {5889, 1041}, {6062, 992}, {6122, 992}, {6237, 959}, {6477, 959}, {6593, 926}, {6696, 866}, {6754, 849}, {7014, 699}, {7108, 627}, {7288, 627}, {7346, 610}, {7406, 610}, {7458, 580}, {7518, 580}, {7980, 448}, {8100, 448}, {8214, 468}, {8264, 497}, {8437, 547}, {8497, 547}, {8673, 580}, {8793, 580}, {8850, 597}, {9255, 599}, {9325, 617}, {9385, 617}, {9500, 650}, {9560, 650}, {9733, 699}, {9898, 701}, {9968, 719}, {10365, 984}, {10595, 1050}, {10751, 1140}, {10924, 1190}, {10984, 1190}, {11042, 1206}, {11084, 1249}, {11500, 1489}, {11558, 1505}, {11685, 1633}, {12257, 1963}, {12358, 1992}},
    {{785, 2022}, {827, 2022}, {927, 1994}, {979, 1964}, {1152, 1914}, {1423, 1791}, {1596, 1741}, {1648, 1711}, {2052, 1596}, {2104, 1566}, {2164, 1566}, {2389, 1486}, {2567, 1469}, {2797, 1403}, {2857, 1403}, {2973, 1370}, {3093, 1370}, {3323, 1304}, {3383, 1304}, {3556, 1254}, {6136, 1254}, {6252, 1221}, {6732, 1221}, {6789, 1238}, {6849, 1238}, {6901, 1268}, {7074, 1317}, {7134, 1317}, {7244, 1364}, {7543, 1368}, {7599, 1352}, {7657, 1369}, {8737, 1369}, {9028, 1434}, {9805, 1438}, {9857, 1408}, {9976, 1417}, {10093, 1443}, {10145, 1473}, {10318, 1523}, {10370, 1553}, {10660, 1625}, {10720, 1625}, {11132, 1697}, {11184, 1727}, {11476, 1794}, {11713, 1812}, {11765, 1842}, {11940, 1882}, {12049, 1929}, {12373, 1985}},
    {{785, 2022}, {827, 2022}, {927, 1994}, {979, 1964}, {1152, 1914}, {1423, 1791}, {1596, 1741}, {1648, 1711}, {1994, 1612}, {2054, 1612}, {2274, 1519}, {2389, 1486}, {2449, 1486}, {2624, 1453}, {3104, 1453}, {3277, 1403}, {3511, 1411}, {3567, 1427}, {3609, 1470}, {3713, 1530}, {3840, 1657}, {3892, 1687}, {4008, 1720}, {4422, 1728}, {4537, 1695}, {4777, 1695}, {4950, 1645}, {5070, 1645}, {5122, 1615}, {5353, 1549}, {5533, 1549}, {5585, 1519}, {5705, 1519}, {5820, 1486}, {5998, 1470}, {6171, 1420}, {6351, 1416}, {6445, 1343}, {6445, 1283}, {6415, 1231}, {6247, 1171}, {5985, 1026}, {5866, 1030}, {5850, 974}, {5865, 856}, {5978, 817}, {6158, 817}, {6444, 726}, {6504, 726}, {6562, 710}, {6732, 652}, {7872, 652}, {7930, 669}, {8770, 669}, {8776, 682}, {8880, 674}, {9053, 718}, {9105, 748}, {9221, 781}, {9281, 781}, {9571, 847}, {9656, 932}, {9760, 992}, {9897, 1107}, {10001, 1167}, {10043, 1210}, {10153, 1256}, {10268, 1289}, {10320, 1319}, {10781, 1451}, {10833, 1481}, {11064, 1548}, {11168, 1608}, {11341, 1657}, {11576, 1695}, {11628, 1725}, {11808, 1729}, {11981, 1778}, {12241, 1928}, {12299, 1945}, {12341, 1987}, {12356, 1987}},
};

}  // namespace autopilot
