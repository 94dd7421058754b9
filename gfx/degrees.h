// Sines, cosines and directions of whole degrees, the same on every machine:
// the game's rules and its rotated drawing turn by whole degrees, and a
// recorded run must play again alike on every build (Linux, Windows, the
// browser), whose maths libraries may round the last bit differently. The
// sines and cosines come from tables of the values Linux's library gives
// (gfx/degree_tables.inc, made by tools/degreetables and checked by a test),
// the arc tangent from one portable implementation.
#pragma once

// The pi the game turns with; angles go to radians as a * GAME_PI / 180 or,
// in the gun's own arithmetic, a * DEG_TO_RAD, which rounds differently.
constexpr double GAME_PI = 3.14159265358978;
constexpr double DEG_TO_RAD = GAME_PI / 180;
// The direction function's own, one digit longer.
constexpr double AIM_PI = 3.14159265358979;
// The rotated drawing's tables use this one.
constexpr double TABLE_PI = 3.141592;

// cos(a * DEG_TO_RAD) and sin(a * DEG_TO_RAD): the gun, the beam, the bees.
double CosDegrees(int a);
double SinDegrees(int a);
// cos(a * GAME_PI / 180) and sin(...): the recoil's direction.
double CosGameDegrees(int a);
double SinGameDegrees(int a);
// The beam band's single-precision turn: with theta = (float)(a * GAME_PI /
// 180) and q a quarter turn as a float, the cosines and sines of theta,
// theta - q and theta + q, each rounded to float.
struct BandTurn {
    float cosT, sinT, cosM, sinM, cosP, sinP;
};
BandTurn BandTurnOf(int a);
// sin(i * TABLE_PI / 180) and cos(...), i in 0..364: the rotation tables.
double TableSin(int i);
double TableCos(int i);

// atan2(y, x), within an ulp, computed alike on every machine.
double PortableAtan2(double y, double x);
