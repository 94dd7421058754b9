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
    {{750, 2032}, {960, 1910}, {1003, 1868}, {1106, 1808}, {1164, 1791}, {1378, 1685}, {1493, 1652}, {1553, 1652}, {1654, 1678}, {1848, 1678}, {1958, 1725}, {2333, 1725}, {2433, 1745}, {2673, 1745}, {2725, 1775}, {2785, 1775}, {2900, 1808}, {4040, 1808}, {4082, 1770}, {4082, 1710}, {4114, 1594}, {4187, 1432}, {4193, 1358}, {4215, 1319}, {4300, 1234}, {4474, 919}, {4569, 847}, {4864, 847}, {5037, 897}, {5097, 897}, {5212, 930}, {5392, 930}, {5566, 979}, {5743, 996}, {5916, 1045}, {6096, 1045}, {6212, 1078}, {6512, 1078}, {6569, 1095}, {6627, 1078}, {7047, 1078}, {7105, 1095}, {7282, 1099}, {7455, 1149}, {7515, 1149}, {7572, 1165}, {7752, 1165}, {7804, 1195}, {7984, 1195}, {8114, 1230}, {8286, 1230}, {8318, 1262}, {8422, 1322}, {8506, 1407}, {8535, 1459}, {8705, 1629}, {8806, 1776}, {8933, 1904}, {8962, 1956}, {9004, 1999}, {9424, 1999}, {9597, 1949}, {9640, 1909}, {9655, 1851}, {9698, 1809}, {9756, 1704}, {9955, 1482}, {10144, 1486}, {10188, 1499}, {10334, 1601}, {10461, 1728}, {10654, 1728}, {10892, 1573}, {10934, 1531}, {10963, 1478}, {11167, 1486}, {11306, 1541}, {11410, 1601}, {11525, 1634}, {11681, 1724}, {12021, 1837}, {12183, 1913}, {12298, 1946}, {12379, 1984}},
    {{873, 1996}, {985, 1980}, {1523, 1996}, {1581, 1980}, {1761, 1980}, {1876, 1947}, {2233, 1951}, {2348, 1920}, {2528, 1920}, {2759, 1854}, {2819, 1854}, {2934, 1821}, {3114, 1821}, {3172, 1837}, {4192, 1837}, {4244, 1807}, {4304, 1807}, {4356, 1777}, {4407, 1781}, {4457, 1752}, {4577, 1752}, {4766, 1897}, {4922, 1987}, {5522, 1987}, {5580, 2004}, {5637, 1987}, {5694, 1991}, {5744, 1962}, {6464, 1962}, {6516, 1932}, {6516, 1872}, {6500, 1814}, {6447, 1785}, {6151, 1793}, {6095, 1778}, {5855, 1778}, {5783, 1684}, {5783, 1564}, {5841, 1547}, {5961, 1547}, {6076, 1514}, {6375, 1518}, {6477, 1459}, {6520, 1417}, {6520, 1357}, {6490, 1305}, {6310, 1305}, {6083, 1229}, {6023, 1229}, {5907, 1198}, {5855, 1227}, {5802, 1198}, {5786, 1140}, {5786, 1080}, {5828, 1038}, {6128, 1038}, {6238, 991}, {6298, 991}, {6413, 958}, {6473, 958}, {6531, 942}, {6635, 882}, {6677, 839}, {6850, 790}, {7049, 657}, {7222, 608}, {7282, 608}, {7513, 542}, {7753, 542}, {7862, 495}, {7922, 495}, {8095, 445}, {8155, 445}, {8328, 495}, {8388, 495}, {8440, 525}, {9099, 529}, {9213, 562}, {9273, 562}, {9446, 611}, {9498, 641}, {9671, 683}, {9964, 722}, {10058, 795}, {10266, 915}, {10324, 931}, {10418, 1004}, {10478, 1004}, {10593, 1037}, {10697, 1097}, {10985, 1179}, {11251, 1316}, {11309, 1332}, {12244, 1872}, {12329, 1957}, {12381, 1987}},
    {{1158, 1927}, {1218, 1927}, {1333, 1894}, {1553, 1800}, {1783, 1734}, {1835, 1704}, {1893, 1688}, {1953, 1688}, {2293, 1575}, {2353, 1575}, {2469, 1542}, {2521, 1512}, {2867, 1413}, {2919, 1383}, {3092, 1333}, {3152, 1333}, {3267, 1300}, {3565, 1284}, {3617, 1254}, {6377, 1254}, {6428, 1224}, {6788, 1224}, {7197, 1306}, {7797, 1306}, {7849, 1336}, {8206, 1340}, {8320, 1361}, {8675, 1365}, {8733, 1381}, {8793, 1377}, {8908, 1410}, {9865, 1410}, {9923, 1393}, {9983, 1393}, {10040, 1410}, {10144, 1470}, {10493, 1554}, {10544, 1584}, {10717, 1633}, {10827, 1680}, {10887, 1680}, {11060, 1729}, {11120, 1729}, {11353, 1785}, {11677, 1806}, {11876, 1851}, {11936, 1851}, {12169, 1908}, {12221, 1938}, {12280, 1946}, {12361, 1984}},
    {{1158, 1927}, {1218, 1927}, {1501, 1830}, {1561, 1830}, {1791, 1764}, {1953, 1688}, {2293, 1575}, {2397, 1515}, {2570, 1465}, {2810, 1465}, {2983, 1416}, {3550, 1422}, {3579, 1430}, {3621, 1473}, {3777, 1563}, {3806, 1615}, {3864, 1632}, {3906, 1674}, {4016, 1721}, {4136, 1721}, {4193, 1737}, {4251, 1721}, {4430, 1725}, {4716, 1643}, {4835, 1656}, {4893, 1640}, {4953, 1640}, {5126, 1590}, {5426, 1590}, {5541, 1557}, {5661, 1560}, {6117, 1414}, {6414, 1392}, {6443, 1339}, {6443, 1279}, {6413, 1227}, {6187, 1151}, {6077, 1107}, {5919, 1020}, {5861, 1004}, {5831, 952}, {5831, 892}, {5874, 850}, {5987, 811}, {6166, 815}, {6220, 795}, {6400, 795}, {6457, 775}, {6577, 775}, {6806, 703}, {7346, 703}, {7519, 654}, {7759, 654}, {7817, 638}, {7937, 638}, {8052, 671}, {8712, 671}, {8716, 686}, {8760, 677}, {8818, 694}, {8923, 696}, {9007, 718}, {9065, 718}, {9166, 747}, {9218, 777}, {9448, 843}, {9566, 839}, {9616, 868}, {9701, 953}, {9753, 983}, {9932, 1140}, {10192, 1290}, {10480, 1373}, {10584, 1433}, {10815, 1499}, {10935, 1499}, {11050, 1532}, {11110, 1533}, {11162, 1563}, {11278, 1596}, {11395, 1614}, {11447, 1644}, {11625, 1664}, {11740, 1697}, {11792, 1727}, {11965, 1777}, {12329, 1987}, {12359, 1987}},
};

}  // namespace autopilot
