// The bees' rules: where they start, how they wake, home, kill and die, and
// whether the beam touches one. Drawing is in bees_draw.cpp.
#include "game/bees.h"
#include <cmath>
#include "game/gun.h"
#include "game/motion.h"
#include "game/play_state.h"
#include "game/stage.h"

void SpawnBees(PlayState& s)
{
    s.beeCount = 0;
    for (int row = 0; row < MAP_ROWS; ++row) {
        for (int col = 0; col < MAP_COLS; ++col) {
            if (tileMap[row][col] != TILE_BEE_NEST) continue;
            if (s.beeCount >= MAX_BEES) return;  // the list is full: extra nests stay empty
            Bee& bee = s.bees[s.beeCount];
            bee.x = col * TILE_SIZE;
            bee.y = row * TILE_SIZE;
            bee.animFrame = 0;
            bee.vx = 0;
            bee.vy = 0;
            bee.state = BEE_WAITING;
            bee.deathFrame = 0.0f;
            bee.facing = 1;
            bee.heading = 0;
            s.beeCount += 1;
        }
    }
}

int StepBees(PlayState& s, const GunPose& gun, BeeSprite* sprites, bool* killed)
{
    int camX = (int)s.camX, camY = (int)s.camY;
    int drawn = 0;
    *killed = false;
    for (int i = 0; i < s.beeCount; ++i) {
        Bee& bee = s.bees[i];
        int sx = bee.x - camX, sy = bee.y - camY;
        bool inView = sx > -64 && sx < 1280 && sy > -64 && sy < 720;
        if (bee.state == BEE_ACTIVE || (bee.state == BEE_WAITING && inView)) {
            bee.state = BEE_ACTIVE;
            bee.heading = AngleBetweenPoints(bee.x + 34 - camX, bee.y + 34 - camY,
                                             PLAYER_SCREEN_X, PLAYER_SCREEN_Y);
            bee.vx = (int)(CosDegrees(bee.heading) * 2);
            bee.vy = (int)(SinDegrees(bee.heading) * 2);
            for (int step = 0; step < s.beeStepsPerFrame; ++step) {
                bee.x += bee.vx;
                bee.y += bee.vy;
            }
        }
        bee.facing = bee.vx >= 0 ? 1 : 0;

        if (bee.state == BEE_ACTIVE &&
            bee.x - camX < PLAYER_SCREEN_X && PLAYER_SCREEN_X < bee.x + 64 - camX &&
            bee.y - camY < PLAYER_SCREEN_Y && PLAYER_SCREEN_Y < bee.y + 64 - camY) {
            // The bees after this one neither move nor show in this frame.
            *killed = true;
            return drawn;
        }

        int hit = BeamHitsBee(gun, s.beamLength, BEE_HIT_RADIUS, bee.x + 32 - camX, bee.y + 32 - camY);
        if ((hit == 1 && s.firing == 1 && bee.state == BEE_ACTIVE) || bee.state >= 2) {
            if (bee.state == BEE_ACTIVE)
                bee.state = bee.vx < 0 ? BEE_DYING_LEFT : BEE_DYING_RIGHT;
            if (bee.state < BEE_DEAD) {
                // The last death picture sits alone in row 4.
                if (bee.deathFrame > 7.0f) bee.state = BEE_DEAD;
                sprites[drawn++] = {bee.x - camX, bee.y - camY,
                                    (int)bee.deathFrame * 64, bee.state * 64};
                bee.deathFrame += 0.5f;
            }
        }
        if (bee.state == BEE_ACTIVE) {
            if (bee.animFrame > 3) bee.animFrame = 0;
            sprites[drawn++] = {bee.x - camX, bee.y - camY, bee.animFrame * 64, bee.facing * 64};
            bee.animFrame += 1;
        }
    }
    return drawn;
}

int BeamHitsBee(const GunPose& gun, int beamLength, int radius, int px, int py)
{
    int drawnLength = beamLength - MUZZLE_REACH;
    if (drawnLength < 0) drawnLength = 0;
    float m = (float)drawnLength;
    BandTurn turn = BandTurnOf(gun.aim);
    float cosT = turn.cosT, sinT = turn.sinT, cosM = turn.cosM, sinM = turn.sinM;
    float cosP = turn.cosP, sinP = turn.sinP;
    float ox = gun.muzzleDX, oy = gun.muzzleDY;
    float bx = cosT * m, by = sinT * m;

    // Corners of the 32-pixel band: C1, C2 along the +90 side, C3, C4 back
    // along the -90 side.
    const double pivotX = GUN_PIVOT_X, pivotY = GUN_PIVOT_Y, half = BEAM_HALF_WIDTH;
    double startPlusX = pivotX + ox + half * cosP, startPlusY = pivotY + oy + half * sinP;
    double startMinusX = pivotX + ox + half * cosM, startMinusY = pivotY + oy + half * sinM;
    float c1x = (float)startPlusX, c1y = (float)startPlusY;
    float c2x = (float)(startPlusX + bx), c2y = (float)(startPlusY + by);
    float c3x = (float)(startMinusX + bx), c3y = (float)(startMinusY + by);
    float c4x = (float)startMinusX, c4y = (float)startMinusY;

    float pxf = (float)px, pyf = (float)py;
    float e1x = c2x - c1x, e1y = c2y - c1y;
    float w1x = pxf - c1x, w1y = pyf - c1y;
    float s1 = (float)PortableAtan2((double)(w1x * e1y - e1x * w1y), (double)(w1x * e1x + w1y * e1y));
    float e2x = c4x - c3x, e2y = c4y - c3y;
    if (s1 > 0 && s1 < 1.570796) {
        float w2x = pxf - c3x, w2y = pyf - c3y;
        float s2 = (float)PortableAtan2((double)(w2x * e2y - e2x * w2y), (double)(w2x * e2x + w2y * e2y));
        if (s2 > 0 && s2 < 1.570796) return 1;
    }

    // Near either long edge. A band of no length has edges of no length: the
    // nearest point is then the edge's start (0/0 must not poison the test).
    float r2 = (float)(radius * radius);
    auto nearEdge = [&](float cx, float cy, float ex, float ey) {
        float len2 = ex * ex + ey * ey;
        float t = 0.0f;
        if (len2 > 0.0f) {
            t = -((cx - pxf) * ex + (cy - pyf) * ey) / len2;
            if (t < 0.0f) t = 0.0f;
            if (t > 1.0f) t = 1.0f;
        }
        float qx = cx + t * ex, qy = cy + t * ey;
        float dx = pxf - qx, dy = pyf - qy;
        return r2 > dx * dx + dy * dy;
    };
    if (nearEdge(c1x, c1y, e1x, e1y)) return 1;
    return nearEdge(c3x, c3y, e2x, e2y) ? 1 : 0;
}
