// Whole-degree sines and cosines from their tables, and a portable arc tangent.
#include "gfx/degrees.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "gfx/degree_tables.inc"

namespace {

const float QUARTER = 1.5707964f;

float Theta(int a) { return (float)(a * GAME_PI / 180); }

}  // namespace

// Out of a table's range (never in the game) the library gives the value.
double CosDegrees(int a) { return a >= -90 && a < 360 ? DEGREES_COS[a + 90] : std::cos(a * DEG_TO_RAD); }
double SinDegrees(int a) { return a >= -90 && a < 360 ? DEGREES_SIN[a + 90] : std::sin(a * DEG_TO_RAD); }
double CosGameDegrees(int a) { return a >= 0 && a < 360 ? GAME_DEGREES_COS[a] : std::cos(a * GAME_PI / 180); }
double SinGameDegrees(int a) { return a >= 0 && a < 360 ? GAME_DEGREES_SIN[a] : std::sin(a * GAME_PI / 180); }
double TableSin(int i) { return i >= 0 && i < 365 ? TABLE_SIN[i] : std::sin(i * TABLE_PI / 180); }
double TableCos(int i) { return i >= 0 && i < 365 ? TABLE_COS[i] : std::cos(i * TABLE_PI / 180); }

BandTurn BandTurnOf(int a)
{
    if (a >= 0 && a < 360)
        return {BAND_COS_T[a], BAND_SIN_T[a], BAND_COS_M[a], BAND_SIN_M[a], BAND_COS_P[a], BAND_SIN_P[a]};
    float theta = Theta(a), minus = theta - QUARTER, plus = theta + QUARTER;
    return {(float)std::cos((double)theta), (float)std::sin((double)theta),
            (float)std::cos((double)minus), (float)std::sin((double)minus),
            (float)std::cos((double)plus),  (float)std::sin((double)plus)};
}

// The arc tangent after the freely distributed fdlibm of Sun Microsystems:
//   Copyright (C) 1993 by Sun Microsystems, Inc. All rights reserved.
//   Developed at SunPro, a Sun Microsystems, Inc. business.
//   Permission to use, copy, modify, and distribute this software is freely
//   granted, provided that this notice is preserved.
// Plain double arithmetic only (no fused operations), so it rounds alike
// wherever doubles are IEEE doubles.
namespace {

uint32_t HighWord(double x)
{
    uint64_t bits;
    std::memcpy(&bits, &x, 8);
    return (uint32_t)(bits >> 32);
}

uint32_t LowWord(double x)
{
    uint64_t bits;
    std::memcpy(&bits, &x, 8);
    return (uint32_t)bits;
}

const double ATAN_HI[] = {4.63647609000806093515e-01, 7.85398163397448278999e-01,
                          9.82793723247329054082e-01, 1.57079632679489655800e+00};
const double ATAN_LO[] = {2.26987774529616870924e-17, 3.06161699786838301793e-17,
                          1.39033110312309984516e-17, 6.12323399573676603587e-17};
const double AT[] = {3.33333333333329318027e-01,  -1.99999999998764832476e-01,
                     1.42857142725034663711e-01,  -1.11111104054623557880e-01,
                     9.09088713343650656196e-02,  -7.69187620504482999495e-02,
                     6.66107313738753120669e-02,  -5.83357013379057348645e-02,
                     4.97687799461593236017e-02,  -3.65315727442169155270e-02,
                     1.62858201153657823623e-02};

double PortableAtan(double x)
{
    int32_t hx = (int32_t)HighWord(x);
    uint32_t ix = (uint32_t)hx & 0x7fffffff;
    int id;
    if (ix >= 0x44100000) {  // |x| >= 2^66
        if (ix > 0x7ff00000 || (ix == 0x7ff00000 && LowWord(x) != 0)) return x + x;  // NaN
        return hx > 0 ? ATAN_HI[3] + ATAN_LO[3] : -ATAN_HI[3] - ATAN_LO[3];
    }
    if (ix < 0x3fdc0000) {  // |x| < 0.4375
        if (ix < 0x3e400000) return x;  // |x| < 2^-27
        id = -1;
    } else {
        x = std::fabs(x);
        if (ix < 0x3ff30000) {      // |x| < 1.1875
            if (ix < 0x3fe60000) {  // 7/16 <= |x| < 11/16
                id = 0;
                x = (2.0 * x - 1.0) / (2.0 + x);
            } else {                // 11/16 <= |x| < 19/16
                id = 1;
                x = (x - 1.0) / (x + 1.0);
            }
        } else if (ix < 0x40038000) {  // |x| < 2.4375
            id = 2;
            x = (x - 1.5) / (1.0 + 1.5 * x);
        } else {                       // 2.4375 <= |x| < 2^66
            id = 3;
            x = -1.0 / x;
        }
    }
    double z = x * x;
    double w = z * z;
    double s1 = z * (AT[0] + w * (AT[2] + w * (AT[4] + w * (AT[6] + w * (AT[8] + w * AT[10])))));
    double s2 = w * (AT[1] + w * (AT[3] + w * (AT[5] + w * (AT[7] + w * AT[9]))));
    if (id < 0) return x - x * (s1 + s2);
    z = ATAN_HI[id] - ((x * (s1 + s2) - ATAN_LO[id]) - x);
    return hx < 0 ? -z : z;
}

}  // namespace

double PortableAtan2(double y, double x)
{
    const double tiny = 1.0e-300, piOver4 = 7.8539816339744827900e-01,
                 piOver2 = 1.5707963267948965580e+00, pi = 3.1415926535897931160e+00,
                 piLo = 1.2246467991473531772e-16;
    int32_t hx = (int32_t)HighWord(x), hy = (int32_t)HighWord(y);
    uint32_t lx = LowWord(x), ly = LowWord(y);
    uint32_t ix = (uint32_t)hx & 0x7fffffff, iy = (uint32_t)hy & 0x7fffffff;
    if ((ix | ((lx | (0 - lx)) >> 31)) > 0x7ff00000 || (iy | ((ly | (0 - ly)) >> 31)) > 0x7ff00000)
        return x + y;  // NaN
    if (hx == 0x3ff00000 && lx == 0) return PortableAtan(y);  // x = 1
    int m = (int)(((uint32_t)hy >> 31) & 1) | (int)(((uint32_t)hx >> 30) & 2);  // 2 * sign(x) + sign(y)
    if ((iy | ly) == 0) {  // y = 0
        switch (m) {
        case 0:
        case 1: return y;
        case 2: return pi + tiny;
        default: return -pi - tiny;
        }
    }
    if ((ix | lx) == 0) return hy < 0 ? -piOver2 - tiny : piOver2 + tiny;  // x = 0
    if (ix == 0x7ff00000) {  // x infinite
        if (iy == 0x7ff00000) {
            switch (m) {
            case 0: return piOver4 + tiny;
            case 1: return -piOver4 - tiny;
            case 2: return 3.0 * piOver4 + tiny;
            default: return -3.0 * piOver4 - tiny;
            }
        }
        switch (m) {
        case 0: return 0.0;
        case 1: return -0.0;
        case 2: return pi + tiny;
        default: return -pi - tiny;
        }
    }
    if (iy == 0x7ff00000) return hy < 0 ? -piOver2 - tiny : piOver2 + tiny;  // y infinite
    int k = ((int)iy - (int)ix) >> 20;
    double z;
    if (k > 60) {  // |y / x| > 2^60
        z = piOver2 + 0.5 * piLo;
        m &= 1;
    } else if (hx < 0 && k < -60) {  // |y| / x < -2^-60
        z = 0.0;
    } else {
        z = PortableAtan(std::fabs(y / x));
    }
    switch (m) {
    case 0: return z;
    case 1: return -z;
    case 2: return pi - (z - piLo);
    default: return (z - piLo) - pi;
    }
}
