// How far the goal is from every place the character can be: a distance map
// over the stage on an 8-pixel grid of centre positions, filled outwards from
// the goal tiles through every position where the character's body fits
// between the solid tiles. Places next to deadly tiles cost more to pass, so
// routes keep clear of them.
#pragma once
#include <cstdint>
#include <deque>
#include <vector>
#include "game/stage.h"

namespace solve {

constexpr int FIELD_STEP = 8;
constexpr int FIELD_COLS = MAP_WIDTH / FIELD_STEP;
constexpr int FIELD_ROWS = MAP_HEIGHT / FIELD_STEP;
constexpr int FIELD_FAR = 1 << 29;
constexpr int DEADLY_CLEARANCE = 40;  // the centre keeps at least this far from deadly tiles
constexpr int DEADLY_MARGIN = 64;     // and passes within this distance only at a higher cost
constexpr int DEADLY_COST = 3;
constexpr int WALL_MARGIN = 12;  // grazing walls costs extra: a graze can stop the recoil
constexpr int WALL_COST = 2;

struct Field {
    std::vector<int> cost;  // per node: the cost of its step; 0 where the body does not fit
    std::vector<int> distance;
};

// With margin 0 the box is a little smaller than the probes' box, so that
// standing on a floor or against a wall still counts as being somewhere.
inline bool BodyFits(int x, int y, int margin)
{
    for (int py = y - 60 - margin;; py += 8) {
        if (py > y + 46 + margin) py = y + 46 + margin;
        for (int px : {x - 28 - margin, x, x + 28 + margin})
            if (IsSolidTile(TileAt(px, py))) return false;
        if (py == y + 46 + margin) return true;
    }
}

inline bool NearDeadly(int x, int y, int margin)
{
    for (int dy = -margin; dy <= margin; dy += margin / 3)
        for (int dx = -margin; dx <= margin; dx += margin / 3)
            if (IsDeadlyTile(TileAt(x + dx, y + dy))) return true;
    return false;
}

inline Field MakeField()
{
    Field f;
    f.cost.assign((size_t)FIELD_COLS * FIELD_ROWS, 0);
    f.distance.assign(f.cost.size(), FIELD_FAR);
    // Dial's buckets: costs are small whole numbers.
    std::vector<std::vector<int>> buckets(1);
    for (int j = 0; j < FIELD_ROWS; j++)
        for (int i = 0; i < FIELD_COLS; i++) {
            int x = i * FIELD_STEP + FIELD_STEP / 2, y = j * FIELD_STEP + FIELD_STEP / 2;
            if (!BodyFits(x, y, 0) || NearDeadly(x, y, DEADLY_CLEARANCE)) continue;
            int cost = 1;
            if (!BodyFits(x, y, WALL_MARGIN)) cost = WALL_COST;
            if (NearDeadly(x, y, DEADLY_MARGIN)) cost = DEADLY_COST;
            f.cost[(size_t)j * FIELD_COLS + i] = cost;
            if (TileAt(x + 2, y) == TILE_GOAL) {
                f.distance[(size_t)j * FIELD_COLS + i] = 0;
                buckets[0].push_back(j * FIELD_COLS + i);
            }
        }
    for (size_t d = 0; d < buckets.size(); d++) {
        for (size_t k = 0; k < buckets[d].size(); k++) {
            int node = buckets[d][k];
            if (f.distance[node] != (int)d) continue;
            int i = node % FIELD_COLS, j = node / FIELD_COLS;
            static const int DI[8] = {1, -1, 0, 0, 1, 1, -1, -1}, DJ[8] = {0, 0, 1, -1, 1, -1, 1, -1};
            for (int n = 0; n < 8; n++) {
                int ni = i + DI[n], nj = j + DJ[n];
                if (ni < 0 || nj < 0 || ni >= FIELD_COLS || nj >= FIELD_ROWS) continue;
                int next = nj * FIELD_COLS + ni;
                int c = f.cost[next];
                if (c == 0) continue;
                // Diagonal steps cost about 1.4 straight ones: 3 against 2 in halves.
                int step = n < 4 ? 2 * c : 3 * c;
                int nd = (int)d + step;
                if (nd >= f.distance[next]) continue;
                f.distance[next] = nd;
                if ((size_t)nd >= buckets.size()) buckets.resize(nd + 1);
                buckets[nd].push_back(next);
            }
        }
        std::vector<int>().swap(buckets[d]);
    }
    return f;
}

// The distance at world point (x, y) in half-steps of 8 pixels; FIELD_FAR
// where the body does not fit or the goal cannot be reached.
inline int DistanceAt(const Field& f, float x, float y)
{
    int i = (int)x / FIELD_STEP, j = (int)y / FIELD_STEP;
    if (x < 0 || y < 0 || i >= FIELD_COLS || j >= FIELD_ROWS) return FIELD_FAR;
    int best = f.distance[(size_t)j * FIELD_COLS + i];
    if (best < FIELD_FAR) return best;
    // Pressed against a wall or a floor: the nearest fitting neighbour.
    for (int r = 1; r <= 3 && best >= FIELD_FAR; r++)
        for (int dj = -r; dj <= r; dj++)
            for (int di = -r; di <= r; di++) {
                int ni = i + di, nj = j + dj;
                if (ni < 0 || nj < 0 || ni >= FIELD_COLS || nj >= FIELD_ROWS) continue;
                int d = f.distance[(size_t)nj * FIELD_COLS + ni];
                if (d < best) best = d + 2 * r;
            }
    return best;
}

}  // namespace solve
