// Writes gfx/degree_tables.inc: the sines and cosines of whole degrees the
// game uses, as this machine's maths library gives them, in hexadecimal so
// that every compiler reads back the same bits.
//   degreetables > gfx/degree_tables.inc
#include <cmath>
#include <cstdio>

#include "gfx/degrees.h"

static void Doubles(const char* name, int first, int count, double (*value)(int))
{
    printf("static const double %s[%d] = {  // from %d\n", name, count, first);
    for (int i = 0; i < count; i++) printf("    %a,\n", value(first + i));
    printf("};\n");
}

static void Floats(const char* name, float (*value)(int))
{
    printf("static const float %s[360] = {\n", name);
    for (int a = 0; a < 360; a++) printf("    %af,\n", (double)value(a));
    printf("};\n");
}

static float Theta(int a) { return (float)(a * GAME_PI / 180); }
static const float QUARTER = 1.5707964f;

int main()
{
    printf("// Made by tools/degreetables; do not edit. See gfx/degrees.h.\n");
    Doubles("DEGREES_COS", -90, 450, [](int a) { return std::cos(a * DEG_TO_RAD); });
    Doubles("DEGREES_SIN", -90, 450, [](int a) { return std::sin(a * DEG_TO_RAD); });
    Doubles("GAME_DEGREES_COS", 0, 360, [](int a) { return std::cos(a * GAME_PI / 180); });
    Doubles("GAME_DEGREES_SIN", 0, 360, [](int a) { return std::sin(a * GAME_PI / 180); });
    Floats("BAND_COS_T", [](int a) { return (float)std::cos((double)Theta(a)); });
    Floats("BAND_SIN_T", [](int a) { return (float)std::sin((double)Theta(a)); });
    Floats("BAND_COS_M", [](int a) { return (float)std::cos((double)(Theta(a) - QUARTER)); });
    Floats("BAND_SIN_M", [](int a) { return (float)std::sin((double)(Theta(a) - QUARTER)); });
    Floats("BAND_COS_P", [](int a) { return (float)std::cos((double)(Theta(a) + QUARTER)); });
    Floats("BAND_SIN_P", [](int a) { return (float)std::sin((double)(Theta(a) + QUARTER)); });
    Doubles("TABLE_SIN", 0, 365, [](int i) { return std::sin(i * TABLE_PI / 180); });
    Doubles("TABLE_COS", 0, 365, [](int i) { return std::cos(i * TABLE_PI / 180); });
    return 0;
}
