// The character, the ray gun, the bees, the cursor and the beam's pieces.
#include <cmath>

#include "art.h"

using namespace ink;

namespace {

// Vertical shading inside a shape: light at top, dark at bottom.
Paint Shade(Col light, Col mid, Col dark, float y0, float y1)
{
    return [=](float, float y) {
        float t = Clamp01((y - y0) / (y1 - y0));
        return t < 0.5f ? Mix(light, mid, t * 2) : Mix(mid, dark, (t - 0.5f) * 2);
    };
}

// One facing of the character, drawn facing right into c.
void DrawCharacter(Canvas& c, Pose pose)
{
    float bob = pose == POSE_IDLE_2 ? 2 : 0;
    bool firing = pose == POSE_FIRING;
    // Firing leans the explorer back against the recoil.
    if (firing)
        SetTurn(c, -7, 27, 112);  // about the back heel, which stays on the ground
    else
        SetTurn(c, 0, 40, 64);
    c.shiftY = bob;

    // Scarf streaming behind: flutters in idle, flies straight when firing.
    float tipY = firing ? 44 : (pose == POSE_IDLE_2 ? 66 : 61);
    float tipX = firing ? 7 : 8;
    Sdf scarf = Polygon({48, 45, 30, 44, tipX + 10, tipY - 10, tipX, tipY - 4, tipX + 3, tipY + 3,
                         tipX + 14, tipY - 1, 30, 54, 48, 53});
    FillOutlined(c, scarf, Shade(Hex(0xFF9BB3), CORAL, Hex(0xC23B6B), 40, 66), OUTLINE, 1.6f);

    // Backpack with a glowing prism.
    FillOutlined(c, Box(15, 52, 31, 86, 5), Shade(Hex(0x6B6FA8), STONE, Hex(0x2C2C55), 52, 86),
                 OUTLINE, 1.6f);
    Sdf prism = Polygon({23, 58, 29, 70, 17, 70});
    Glow(c, prism, CYAN, 7, firing ? 0.9f : 0.55f);
    Fill(c, prism, [](float x, float y) { return Hue(0.45f + (x - 17) * 0.03f + (y - 58) * 0.02f, 0.6f, 1); });

    // Legs and boots (front foot a step ahead).
    Paint suit = Shade(TEAL_LIGHT, TEAL, TEAL_DARK, 48, 100);
    FillOutlined(c, Box(28, 86, 39, 106, 3), suit, OUTLINE, 1.6f);
    FillOutlined(c, Box(43, 86, 54, 106, 3), suit, OUTLINE, 1.6f);
    Paint boot = Shade(Hex(0x7A66B8), Hex(0x4B3B86), Hex(0x2A2050), 100, 114);
    FillOutlined(c, Box(25, 101 - bob, 41, 113 - bob, 4), boot, OUTLINE, 1.6f);
    FillOutlined(c, Box(42, 101 - bob, 59, 113 - bob, 4), boot, OUTLINE, 1.6f);

    // Body with belt and a collar badge.
    FillOutlined(c, Box(25, 47, 57, 92, 11), suit, OUTLINE, 1.8f);
    Fill(c, Box(25.5f, 77, 56.5f, 82, 1), Hex(0x3A2E66));
    Fill(c, Box(38, 76, 45, 83, 1.5f), GOLD);
    Fill(c, Segment(33, 52, 33, 72, 1.2f), TEAL_LIGHT, 0.6f);

    // Arm bent forward, glove near the gun's grip.
    FillOutlined(c, Segment(40, 56, 48, 64, 5), suit, OUTLINE, 1.6f);
    FillOutlined(c, Circle(51, 63, 5.5f), Shade(Hex(0xFFE9A8), GOLD, AMBER, 57, 69), OUTLINE, 1.6f);

    // Helmet and antenna.
    Fill(c, Segment(34, 14, 27, 3, 1.3f), OUTLINE);
    Sdf gem = Polygon({27, -1, 31, 4, 27, 9, 23, 4});
    Glow(c, gem, CORAL, 5, 0.5f);
    FillOutlined(c, gem, [](float, float y) { return Hue(0.9f + y * 0.015f, 0.55f, 1); }, OUTLINE, 1.2f);
    FillOutlined(c, Circle(41, 30, 20), Shade(Hex(0xFBFCFF), Hex(0xD9DEF0), Hex(0x9AA3C8), 10, 50),
                 OUTLINE, 1.8f);
    Fill(c, Ellipse(33, 20, 5, 3), Hex(0xFFFFFE), 0.8f);

    // Visor: glass from cyan to violet, two glowing eyes.
    Sdf visor = Box(36, 21, 62, 41, 9);
    Fill(c, Grow(visor, 1.6f), OUTLINE);
    Fill(c, visor, [](float x, float y) {
        return Mix(Hex(0x2A5FA8), Hex(0x3A1F6B), Clamp01((y - 21) / 20 + (x - 36) / 60));
    });
    Fill(c, Segment(41, 25, 48, 24, 1.3f), Hex(0xBFEFFF), 0.7f);
    if (firing) {
        Fill(c, Segment(46, 32, 51, 31, 1.4f), Hex(0xB8FFF4));
        Fill(c, Segment(55, 32, 59, 31, 1.4f), Hex(0xB8FFF4));
    } else {
        Glow(c, Ellipse(49, 32, 2.2f, 3.2f), CYAN, 4, 0.5f);
        Fill(c, Ellipse(49, 32, 2.2f, 3.2f), Hex(0xD8FFFA));
        Glow(c, Ellipse(57, 32, 2.2f, 3.2f), CYAN, 4, 0.5f);
        Fill(c, Ellipse(57, 32, 2.2f, 3.2f), Hex(0xD8FFFA));
    }
    ResetFrame(c);
}

// One bee, facing right, with the wings at stroke position wing (0..3).
void DrawBee(Canvas& c, int wing, float flash)
{
    const float wingTurn[4] = {-35, -10, 20, -10};
    Col outline = OUTLINE;
    c.shiftY = 8;  // room above for the wings' upstroke
    // Back wing.
    SetTurn(c, wingTurn[wing], 30, 26);
    Fill(c, Grow(Ellipse(24, 14, 9, 15), 1.4f), outline);
    Fill(c, Ellipse(24, 14, 9, 15), Hex(0x9FD9F0), 0.95f);
    ResetFrame(c);
    c.shiftY = 8;
    // Stinger.
    FillOutlined(c, Polygon({13, 34, 2, 38, 13, 42}), Hex(0xE6E1F5), outline, 1.4f);
    // Striped body.
    Sdf body = Ellipse(28, 38, 17, 14);
    Fill(c, Grow(body, 1.8f), outline);
    Fill(c, body, [](float x, float y) {
        float band = std::fmod(x + 64 - (y - 38) * 0.25f, 10.0f);
        Col base = Mix(Hex(0xFFE27A), AMBER, Clamp01((y - 26) / 28));
        return band < 4 ? Hex(0x2A1D3D) : base;
    });
    Fill(c, Ellipse(25, 30, 8, 3), Hex(0xFFF4C9), 0.7f);
    // Head with an angry eye.
    FillOutlined(c, Circle(46, 33, 11), Shade(Hex(0x5A4A80), Hex(0x3A2E5C), Hex(0x221A3D), 22, 44),
                 outline, 1.6f);
    Fill(c, Ellipse(49, 32, 5, 5.5f), Hex(0xFFF8F0));
    Fill(c, Circle(50.5f, 33, 2.6f), Hex(0xE0245E));
    Fill(c, Segment(43, 25, 54, 28, 1.5f), outline);
    Fill(c, Segment(46, 24, 41, 15, 1.0f), outline);
    Fill(c, Circle(40.5f, 14.5f, 2), Hex(0xFF6F91));
    // Front wing over the body.
    SetTurn(c, wingTurn[wing] + 8, 32, 26);
    Fill(c, Grow(Ellipse(34, 12, 10, 17), 1.4f), outline);
    Fill(c, Ellipse(34, 12, 10, 17), [](float x, float y) {
        return Mix(Hex(0xE8FBFF), Hex(0x8ED0F0), Clamp01((y + 5) / 34 + (x - 24) / 40));
    });
    Fill(c, Segment(32, 0, 35, 22, 0.7f), Hex(0x6FB0D8), 0.8f);
    ResetFrame(c);
    if (flash > 0)
        for (Px& p : c.px)
            if (p.a > 0) {
                p.r = Lerp(p.r, p.a, flash);
                p.g = Lerp(p.g, p.a * 0.97f, flash);
                p.b = Lerp(p.b, p.a * 0.9f, flash);
            }
}

// Death frame f (0..7) of a bee facing right: a white flash, then prism
// shards flying apart and fading to sparkles.
void DrawBeeDeath(Canvas& c, int f)
{
    if (f <= 1) {
        DrawBee(c, 1, f == 0 ? 0.55f : 0.9f);
        if (f == 1)
            Fill(c, Subtract(Circle(32, 34, 26), Circle(32, 34, 22)), Hex(0xFFF3B0), 0.9f);
        return;
    }
    Rng rng(77);
    float t = (f - 1) / 6.0f;  // 0.17 .. 1
    for (int i = 0; i < 11; i++) {
        float ang = i * 6.2831853f / 11 + rng.Range(-0.2f, 0.2f);
        float dist = 6 + rng.Range(12, 24) * t;
        float size = rng.Range(4, 7) * (1.15f - t * 0.75f);
        float x = 32 + std::cos(ang) * dist, y = 34 + std::sin(ang) * dist;
        Col col = i % 3 == 0 ? GOLD : Hue(i / 11.0f, 0.45f, 1);
        if (size < 1.2f)
            continue;
        SetTurn(c, ang * 57.3f + f * 25, x, y);
        Sdf shard = Polygon({x, y - size, x + size * 0.55f, y, x, y + size, x - size * 0.55f, y});
        Fill(c, Grow(shard, 1.2f), OUTLINE, 1 - t * 0.4f);
        Fill(c, shard, col);
        ResetFrame(c);
    }
    if (f <= 4) {
        float r = 10 + f * 5;
        Fill(c, Subtract(Circle(32, 34, r), Circle(32, 34, r - 2.5f)), Hex(0xFFF3B0), 0.8f);
    }
}

void DrawSparkle(Canvas& c, float x, float y, float r, Col col)
{
    Sdf star = Union(Box(x - r, y - r * 0.18f, x + r, y + r * 0.18f),
                     Box(x - r * 0.18f, y - r, x + r * 0.18f, y + r));
    Fill(c, star, col);
}

}  // namespace

Picture MakeCharacter(Pose pose)
{
    Picture pic = MakePicture(160, 128, 0xFF00FF);
    for (int facing = 0; facing < 2; facing++) {
        Canvas c = MakeCanvas(80, 128);
        DrawCharacter(c, pose);
        if (facing == 1) {
            // The left-facing picture is the mirror image.
            Canvas m = MakeCanvas(80, 128);
            for (int y = 0; y < 128; y++)
                for (int x = 0; x < 80; x++)
                    m.px[size_t(y) * 80 + x] = c.px[size_t(y) * 80 + 79 - x];
            c = m;
        }
        Blit(pic, ToSprite(c, 0xFF00FF, 0xFFFFFF), facing * 80, 0);
    }
    return pic;
}

Picture MakeGun()
{
    // Drawn along its aim (to the right, through the cell centre), then
    // turned 20 degrees up: the game turns it back by aim + 20.
    Canvas c = MakeCanvas(64, 64);
    SetTurn(c, -20, 32, 32);
    Col metal = Hex(0x3B3560);
    Paint body = Shade(Hex(0x8A86C0), Hex(0x5A5590), Hex(0x2E2A52), 12, 34);
    // Grip.
    FillOutlined(c, Polygon({12, 26, 22, 26, 19, 44, 9, 44}), Shade(Hex(0x6B5A9A), metal, Hex(0x221D40), 26, 44),
                 OUTLINE, 1.5f);
    // Barrel with cooling rings, the muzzle ring glowing.
    FillOutlined(c, Box(36, 16, 63, 26, 3), Shade(Hex(0xC9CCE8), Hex(0x8D91BD), Hex(0x4B4E7A), 16, 26), OUTLINE, 1.5f);
    for (float x : {42.0f, 48.0f})
        Fill(c, Box(x, 15, x + 3, 27, 1), Hex(0x4B4E7A));
    Glow(c, Box(56, 15, 63, 27, 2), CYAN, 5, 0.6f);
    Fill(c, Box(56, 15, 63, 27, 2), Hex(0x7FF0FF));
    // Body and sight.
    FillOutlined(c, Box(4, 12, 40, 32, 6), body, OUTLINE, 1.6f);
    FillOutlined(c, Box(14, 7, 26, 13, 2), Hex(0x5A5590), OUTLINE, 1.3f);
    // The crystal chamber: where the prism splits the light.
    Sdf gem = Polygon({22, 14, 30, 22, 22, 30, 14, 22});
    Glow(c, gem, CORAL, 5, 0.5f);
    Fill(c, gem, [](float x, float y) { return Hue(0.92f + (x - 14) * 0.025f + (y - 14) * 0.01f, 0.55f, 1); });
    Fill(c, Segment(8, 16, 34, 16, 0.9f), Hex(0xC9CCE8), 0.6f);
    ResetFrame(c);
    Picture pic = MakePicture(128, 64, 0xFF00FF);
    Picture right = ToSprite(c, 0xFF00FF);
    Blit(pic, right, 0, 0);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++)
            pic.px[size_t(y) * 128 + 64 + x] = right.px[size_t(y) * 64 + 63 - x];
    return pic;
}

Picture MakeBeeSheet()
{
    Picture pic = MakePicture(512, 320, 0xFF00FF);
    auto put = [&pic](Canvas& c, int col, int row, bool mirror) {
        Picture cell = ToSprite(c, 0xFF00FF);
        if (mirror)
            for (int y = 0; y < 64; y++)
                for (int x = 0; x < 32; x++)
                    std::swap(cell.px[size_t(y) * 64 + x], cell.px[size_t(y) * 64 + 63 - x]);
        Blit(pic, cell, col * 64, row * 64);
    };
    for (int f = 0; f < 4; f++) {
        Canvas c = MakeCanvas(64, 64);
        DrawBee(c, f, 0);
        put(c, f, 0, true);   // flying left
        put(c, f, 1, false);  // flying right
    }
    for (int f = 0; f < 8; f++) {
        Canvas c = MakeCanvas(64, 64);
        DrawBeeDeath(c, f);
        put(c, f, 2, true);
        put(c, f, 3, false);
    }
    // The very last picture: a few fading sparkles.
    Canvas last = MakeCanvas(64, 64);
    DrawSparkle(last, 20, 22, 4, Hex(0xFFF3B0));
    DrawSparkle(last, 44, 30, 3, Hex(0xBFEFFF));
    DrawSparkle(last, 30, 46, 3, Hex(0xFFC0D0));
    put(last, 7, 4, false);
    return pic;
}

Picture MakeCursor()
{
    Canvas c = MakeCanvas(32, 32);
    Sdf ring = Subtract(Circle(16, 16, 11.5f), Circle(16, 16, 8));
    Sdf ticks = Union(Union(Box(14.5f, 1, 17.5f, 8), Box(14.5f, 24, 17.5f, 31)),
                      Union(Box(1, 14.5f, 8, 17.5f), Box(24, 14.5f, 31, 17.5f)));
    Fill(c, Grow(Union(ring, ticks), 1.3f), OUTLINE);
    Fill(c, ring, [](float x, float y) {
        float a = std::atan2(y - 16, x - 16) / 6.2831853f;
        return Hue(a, 0.55f, 1);
    });
    Fill(c, ticks, Hex(0xF4F6FF));
    // A notch at the top, so the turning shows.
    Fill(c, Grow(Polygon({16, 3, 20, 9, 12, 9}), 1.0f), OUTLINE);
    Fill(c, Polygon({16, 3, 20, 9, 12, 9}), CORAL);
    Fill(c, Grow(Circle(16, 16, 2), 1.2f), OUTLINE);
    Fill(c, Circle(16, 16, 2), Hex(0xF4F6FF));
    return ToSprite(c, 0xFF00FF);
}

Picture MakeBeam()
{
    // Cross-section, row 16 on the centre line: a white core inside the
    // spectrum, red at the top edge to violet at the bottom.
    Picture pic = MakePicture(8, 32, 0);
    for (int y = 0; y < 32; y++) {
        float d = (y - 15.5f) / 16;  // -1 .. 1
        float core = std::exp(-d * d * 14);
        Col spectrum = Hue(Clamp01((d + 1) / 2) * 0.78f, 0.85f, 1);
        Col col = Mix(spectrum, Hex(0xFFFFFF), core);
        float edge = Smooth(0.75f, 1.0f, std::fabs(d));
        col = Mix(col, Scale(spectrum, 0.45f), edge);
        for (int x = 0; x < 8; x++)
            pic.px[size_t(y) * 8 + x] = Pack(col);
    }
    return pic;
}

Picture MakeMuzzleFlash()
{
    Canvas c = MakeCanvas(32, 32);
    for (int i = 0; i < 8; i++) {
        float a = i * 3.14159265f / 4;
        float len = i % 2 ? 9 : 15;
        Fill(c, Polygon({16 + std::cos(a) * len, 16 + std::sin(a) * len, 16 + std::cos(a + 0.5f) * 4,
                         16 + std::sin(a + 0.5f) * 4, 16 + std::cos(a - 0.5f) * 4, 16 + std::sin(a - 0.5f) * 4}),
             i % 2 ? Hex(0xFFB3D1) : Hex(0x9FF3FF));
    }
    Fill(c, Circle(16, 16, 7), Hex(0xD9FBFF));
    Fill(c, Circle(16, 16, 4.5f), Hex(0xFFFFFF));
    return ToSprite(c, 0x000000, 0x000000);
}

Picture MakeImpactSpark()
{
    Canvas c = MakeCanvas(46, 46);
    Rng rng(5);
    for (int i = 0; i < 10; i++) {
        float a = i * 6.2831853f / 10 + rng.Range(-0.15f, 0.15f);
        float len = rng.Range(14, 22);
        Fill(c, Polygon({23 + std::cos(a) * len, 23 + std::sin(a) * len, 23 + std::cos(a + 0.35f) * 5,
                         23 + std::sin(a + 0.35f) * 5, 23 + std::cos(a - 0.35f) * 5, 23 + std::sin(a - 0.35f) * 5}),
             Hue(i / 10.0f, 0.6f, 1));
    }
    Fill(c, Subtract(Circle(23, 23, 11), Circle(23, 23, 8.5f)), Hex(0xFFF1C2));
    Fill(c, Circle(23, 23, 6), Hex(0xFFFFFF));
    return ToSprite(c, 0x000000, 0x000000);
}
