// The autopilot the stage tests fly with: a few waypoints, the bees shot when
// they come close, and the game's own run of a stage (its play frames, and a
// death's curtain with the respawn behind it). It also writes the harness
// script of its flight.
#pragma once
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include "game/motion.h"
#include "game/run_step.h"
#include "game/stage.h"

namespace autopilot {

struct Point { float x, y; };

struct Flight {
    Run run;
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
inline void Steer(const Flight& flight, Point target, int* mouseX, int* mouseY, int* firing)
{
    const PlayState& s = flight.run.play;
    float cx = s.camX + 640, cy = s.camY + 360;
    for (int i = 0; i < s.beeCount; ++i) {
        if (s.bees[i].state != BEE_ACTIVE) continue;
        float bx = s.bees[i].x + 32 - s.camX, by = s.bees[i].y + 32 - s.camY;
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

// Flies a stage; script collects "frame mouse x y" / "down lmb" lines for the
// harness, numbered from the first play frame.
inline Flight Fly(int stage, const std::vector<Point>& route, std::string* script, int frameLimit = 8000)
{
    EXPECT_TRUE(LoadShippedStage(stage));
    Flight flight;
    BeginRun(flight.run, PlayState());
    static RunFrame frame;
    size_t next = 0;
    int lastX = -1, lastY = -1;
    if (script) *script += "0 down lmb\n";
    while (flight.frames < frameLimit) {
        const PlayState& s = flight.run.play;
        RunInput in;
        in.frameStart = 16u * (uint32_t)(flight.frames + 1);
        if (RunInCurtain(flight.run)) {
            // No input reaches the game behind a curtain.
            StepRun(flight.run, in, &frame);
            flight.frames += 1;
            if (frame.event == RUN_EVENT_RESPAWNED) {
                next = 0;
                while (next + 1 < route.size() && route[next].x < s.camX + 640 - 64) ++next;
            }
            continue;
        }
        Point target = route[next];
        float cx = s.camX + 640, cy = s.camY + 360;
        if (std::hypot(target.x - cx, target.y - cy) < 24 && next + 1 < route.size()) {
            ++next;
            target = route[next];
        }
        int mx, my, firing;
        Steer(flight, target, &mx, &my, &firing);
        if (script && (mx != lastX || my != lastY))
            *script += std::to_string(flight.frames) + " mouse " + std::to_string(mx) + " " + std::to_string(my) + "\n";
        lastX = mx;
        lastY = my;
        in.mouseX = mx;
        in.mouseY = my;
        in.buttons = firing;
        StepRun(flight.run, in, &frame);
        flight.track.resize(flight.frames, {NAN, NAN});
        flight.track.push_back({s.camX, s.camY});
        flight.frames += 1;
        if (frame.event == RUN_EVENT_GOAL) {
            flight.cleared = true;
            break;
        }
        if (frame.event == RUN_EVENT_DIED) flight.deaths += 1;
    }
    return flight;
}

// Centre points to fly through, one list per shipped stage: the path of the
// solver's clearing run (tools/solve), thinned to where it turns.
inline const std::vector<Point> ROUTES[4] = {
    {{712, 2023}, {1001, 1856}, {1116, 1823}, {1272, 1733}, {1387, 1700}, {1439, 1670}, {1679, 1670}, {1852, 1720}, {1912, 1720}, {2085, 1769}, {2505, 1769}, {2621, 1802}, {4058, 1806}, {4089, 1690}, {4163, 1527}, {4193, 1412}, {4193, 1352}, {4339, 1089}, {4381, 1047}, {4410, 994}, {4537, 867}, {4589, 837}, {4647, 820}, {4705, 837}, {4825, 837}, {4940, 870}, {4992, 900}, {5052, 900}, {5225, 950}, {5277, 980}, {5565, 1062}, {5625, 1062}, {5741, 1095}, {5861, 1095}, {5913, 1125}, {7233, 1125}, {7406, 1175}, {7946, 1175}, {8061, 1208}, {8121, 1208}, {8208, 1230}, {8294, 1230}, {8421, 1357}, {8522, 1505}, {8565, 1547}, {8594, 1600}, {8763, 1769}, {8792, 1822}, {8844, 1852}, {8972, 1979}, {9029, 1996}, {9208, 2000}, {9264, 1984}, {9384, 1984}, {9557, 1934}, {9617, 1934}, {9731, 1797}, {9746, 1739}, {9805, 1634}, {9974, 1464}, {10032, 1448}, {10147, 1481}, {10274, 1608}, {10332, 1625}, {10384, 1655}, {10469, 1739}, {10649, 1739}, {10795, 1637}, {10923, 1510}, {10975, 1480}, {11032, 1463}, {11090, 1480}, {11150, 1480}, {11380, 1546}, {11640, 1696}, {11698, 1712}, {11906, 1832}, {12021, 1865}, {12073, 1895}, {12188, 1929}, {12240, 1959}, {12356, 1992}},
    {{723, 2041}, {996, 2041}, {1054, 2024}, {1114, 2024}, {1344, 1958}, {2904, 1958}, {3077, 1908}, {3129, 1878}, {3849, 1878}, {4080, 1812}, {4140, 1812}, {4198, 1796}, {4250, 1766}, {4365, 1733}, {4484, 1737}, {4597, 1769}, {4649, 1799}, {4692, 1842}, {4796, 1902}, {4838, 1944}, {4890, 1974}, {4948, 1991}, {6448, 1991}, {6500, 1961}, {6515, 1903}, {6515, 1843}, {6473, 1800}, {6353, 1800}, {6295, 1785}, {6115, 1785}, {6063, 1756}, {5947, 1725}, {5827, 1725}, {5784, 1682}, {5784, 1562}, {5842, 1546}, {5902, 1546}, {5954, 1516}, {6074, 1516}, {6189, 1483}, {6308, 1487}, {6358, 1458}, {6477, 1462}, {6518, 1421}, {6518, 1361}, {6502, 1303}, {6449, 1274}, {6392, 1258}, {6272, 1258}, {6156, 1227}, {6037, 1231}, {5981, 1216}, {5924, 1220}, {5873, 1192}, {5821, 1196}, {5780, 1155}, {5780, 1095}, {5809, 1043}, {5861, 1013}, {5919, 996}, {6038, 1000}, {6211, 967}, {6330, 971}, {6386, 955}, {6506, 955}, {6610, 895}, {6726, 862}, {6778, 832}, {6820, 790}, {6872, 760}, {6930, 743}, {6972, 701}, {7076, 641}, {7364, 558}, {7664, 558}, {7780, 525}, {7840, 525}, {8013, 476}, {8065, 446}, {8125, 446}, {8298, 495}, {8355, 499}, {8890, 503}, {9005, 536}, {9065, 536}, {9180, 569}, {9240, 569}, {9413, 619}, {9473, 619}, {9646, 669}, {9751, 671}, {9939, 705}, {10023, 790}, {10075, 820}, {10160, 905}, {10368, 1025}, {10426, 1041}, {10530, 1101}, {10615, 1186}, {10770, 1276}, {10898, 1404}, {10955, 1420}, {11059, 1480}, {11117, 1497}, {11377, 1647}, {11435, 1663}, {11486, 1693}, {12005, 1842}, {12057, 1872}, {12173, 1905}, {12225, 1935}, {12398, 1985}},
    {{723, 2041}, {753, 2041}, {785, 2022}, {827, 2022}, {927, 1994}, {979, 1964}, {1152, 1914}, {1423, 1791}, {1596, 1741}, {1648, 1711}, {1994, 1612}, {2234, 1612}, {2350, 1579}, {2527, 1562}, {2585, 1546}, {2637, 1516}, {2925, 1433}, {3044, 1437}, {3100, 1421}, {3160, 1421}, {3333, 1372}, {3393, 1372}, {3451, 1355}, {3631, 1355}, {3688, 1339}, {3746, 1355}, {3804, 1339}, {4281, 1343}, {4396, 1376}, {4456, 1376}, {4629, 1425}, {4689, 1425}, {4862, 1475}, {4921, 1463}, {5161, 1463}, {5276, 1496}, {5576, 1496}, {5634, 1513}, {5859, 1510}, {6044, 1561}, {6104, 1561}, {6156, 1591}, {6891, 1588}, {7113, 1592}, {7171, 1608}, {7348, 1612}, {7405, 1596}, {7525, 1596}, {7577, 1566}, {7629, 1596}, {7989, 1596}, {8047, 1612}, {8167, 1612}, {8225, 1596}, {8345, 1596}, {8402, 1612}, {8460, 1596}, {8535, 1596}, {8635, 1616}, {8626, 1628}, {8639, 1635}, {8729, 1630}, {8740, 1620}, {8964, 1612}, {9022, 1596}, {9082, 1596}, {9197, 1563}, {9257, 1558}, {9315, 1542}, {9614, 1533}, {9664, 1504}, {9721, 1488}, {9825, 1428}, {10005, 1412}, {10057, 1442}, {10287, 1508}, {10391, 1568}, {10564, 1618}, {10624, 1618}, {10797, 1667}, {10977, 1667}, {11150, 1717}, {11210, 1721}, {11268, 1738}, {11320, 1768}, {11437, 1791}, {11676, 1803}, {11728, 1833}, {11844, 1866}, {11895, 1896}, {12301, 2005}, {12361, 2005}},
    {{723, 2041}, {753, 2041}, {785, 2022}, {827, 2022}, {927, 1994}, {979, 1964}, {1152, 1914}, {1423, 1791}, {1596, 1741}, {1648, 1711}, {1994, 1612}, {2054, 1612}, {2106, 1582}, {2222, 1549}, {2274, 1519}, {2389, 1486}, {2449, 1486}, {2624, 1453}, {3104, 1453}, {3277, 1403}, {3511, 1411}, {3567, 1427}, {3609, 1470}, {3713, 1530}, {3840, 1657}, {3892, 1687}, {4008, 1720}, {4422, 1728}, {4537, 1695}, {4777, 1695}, {4950, 1645}, {5070, 1645}, {5122, 1615}, {5353, 1549}, {5533, 1549}, {5585, 1519}, {5705, 1519}, {5820, 1486}, {5998, 1470}, {6171, 1420}, {6351, 1416}, {6403, 1386}, {6445, 1343}, {6445, 1283}, {6415, 1231}, {6247, 1171}, {5985, 1026}, {5866, 1030}, {5850, 974}, {5850, 914}, {5865, 856}, {5978, 817}, {6158, 817}, {6444, 726}, {6504, 726}, {6562, 710}, {6732, 652}, {7872, 652}, {7930, 669}, {8770, 669}, {8776, 682}, {8880, 674}, {9053, 718}, {9105, 748}, {9221, 781}, {9281, 781}, {9396, 814}, {9456, 814}, {9571, 847}, {9656, 932}, {9760, 992}, {9897, 1107}, {10001, 1167}, {10043, 1210}, {10101, 1226}, {10153, 1256}, {10268, 1289}, {10320, 1319}, {10781, 1451}, {10833, 1481}, {11064, 1548}, {11168, 1608}, {11341, 1657}, {11401, 1659}, {11516, 1692}, {11576, 1695}, {11628, 1725}, {11808, 1729}, {11981, 1778}, {12241, 1928}, {12299, 1945}, {12341, 1987}, {12356, 1987}},
};

}  // namespace autopilot
