// A small painting kit for the data generator: float RGBA canvases, shapes
// given by signed distance (so edges are anti-aliased for free), periodic
// noise, and the conversions to the flat 0xRRGGBB pictures the game loads.
#pragma once
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

struct Col {
    float r = 0, g = 0, b = 0;
};
inline Col C(float r, float g, float b) { return {r, g, b}; }
// 0xRRGGBB to a colour.
inline Col Hex(uint32_t v)
{
    return {((v >> 16) & 255) / 255.0f, ((v >> 8) & 255) / 255.0f, (v & 255) / 255.0f};
}
inline float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }
inline Col Mix(Col a, Col b, float t) { return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)}; }
inline Col Scale(Col a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Col Add(Col a, Col b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline float Smooth(float e0, float e1, float x)
{
    float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
// Hue 0..1 around the colour wheel, full saturation, value v.
Col Hue(float h, float s = 1, float v = 1);
// Screen-blend b over a (lightens, never darkens).
Col Screen(Col a, Col b);

// Premultiplied RGBA pixel.
struct Px {
    float r = 0, g = 0, b = 0, a = 0;
};

using Sdf = std::function<float(float x, float y)>;
using Paint = std::function<Col(float x, float y)>;

struct Canvas {
    int w = 0, h = 0;
    std::vector<Px> px;
    // Shapes are given in their own frame; this maps a pixel into it
    // (turn by -angle about (cx, cy), then shift).
    float cosA = 1, sinA = 0, cx = 0, cy = 0, shiftX = 0, shiftY = 0;
    // Drawing touches only pixels inside this rectangle (set by SetClip).
    int clipX0 = 0, clipY0 = 0, clipX1 = 1 << 30, clipY1 = 1 << 30;
};
// Limits following drawing to a rectangle (a speed-up for small shapes on
// big canvases); ClearClip lifts it.
void SetClip(Canvas& c, float x0, float y0, float x1, float y1);
void ClearClip(Canvas& c);
Canvas MakeCanvas(int w, int h);
// Sets the frame in which following shapes are drawn: shapes drawn at (x, y)
// appear turned by degrees (clockwise on screen) about (cx, cy).
void SetTurn(Canvas& c, float degrees, float cx, float cy);
void ResetFrame(Canvas& c);

// Fills a shape: coverage from the signed distance (in pixels, negative
// inside), colour from paint, times opacity.
void Fill(Canvas& c, const Sdf& sdf, const Paint& paint, float opacity = 1);
void Fill(Canvas& c, const Sdf& sdf, Col colour, float opacity = 1);
// Fills a shape with its outline: a ring of the given width outside it.
void FillOutlined(Canvas& c, const Sdf& sdf, const Paint& paint, Col outline, float width);
void FillOutlined(Canvas& c, const Sdf& sdf, Col colour, Col outline, float width);
// Paints a soft glow: opacity falls from peak at distance 0 to 0 at radius.
void Glow(Canvas& c, const Sdf& sdf, Col colour, float radius, float peak);

// Signed distances.
Sdf Circle(float x, float y, float r);
Sdf Ellipse(float x, float y, float rx, float ry);
Sdf Box(float x0, float y0, float x1, float y1, float radius = 0);
Sdf Segment(float x0, float y0, float x1, float y1, float halfWidth);
Sdf Polygon(std::vector<float> xy);  // x0, y0, x1, y1, ...
Sdf Union(Sdf a, Sdf b);
Sdf Intersect(Sdf a, Sdf b);
Sdf Subtract(Sdf a, Sdf b);
Sdf Grow(Sdf a, float by);

// Deterministic pseudo-random numbers.
struct Rng {
    uint64_t s;
    explicit Rng(uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next();
    float Uniform() { return (Next() >> 40) / 16777216.0f; }  // 0..1
    float Range(float a, float b) { return a + (b - a) * Uniform(); }
};
// Value noise in 0..1 with a lattice of cell pixels, repeating every periodX
// pixels horizontally (0: no repeat).
float Noise(float x, float y, float cell, int periodX, uint32_t seed);
// Sum of octaves, 0..1.
float Fbm(float x, float y, float cell, int octaves, int periodX, uint32_t seed);

// Conversions to the game's flat pictures (0xRRGGBB per pixel, rows top-down).
struct Picture {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
};
Picture MakePicture(int w, int h, uint32_t fill);
uint32_t Pack(Col c);
// A sprite: pixels at least half covered get their colour, the rest the key.
// A colour that happens to equal the key (or the avoided colour) is nudged.
Picture ToSprite(const Canvas& c, uint32_t key, uint32_t avoid = 0xFF00FF);
// An opaque picture over a background colour.
Picture ToOpaque(const Canvas& c, Col background);
void Blit(Picture& dst, const Picture& src, int x, int y);
// Brings a set of pictures down to at most the given number of colours in
// all (median cut, then each colour to its nearest kept one, no dithering):
// pixels that shared a colour still share one, so flat areas stay flat.
void ReduceColours(std::vector<Picture>& pictures, int colours);
