// The tile sheet. Solid blocks are full, bevelled cells; deadly tiles are
// red and spiky; the hive, the nest, the checkpoint and the goal each have
// their own shape; scenery is small, soft and never boxed in.
#include <cmath>

#include "art.h"

using namespace ink;

namespace {

constexpr Col RED = {0.90f, 0.14f, 0.30f};
constexpr Col RED_LIGHT = {1.0f, 0.55f, 0.62f};
constexpr Col RED_DARK = {0.42f, 0.04f, 0.16f};

const Sdf CELL = Box(0, 0, 64, 64);

// A textured, bevelled block. detail adds the variety's own marks.
void Block(Canvas& c, Col light, Col dark, uint32_t seed, float grain,
           const std::function<Col(float, float, Col)>& detail = nullptr)
{
    Fill(c, CELL, [=](float x, float y) {
        float n = Fbm(x, y, 16, 3, 64, seed);
        Col col = Mix(light, dark, Clamp01(y / 64 * 0.6f + (n - 0.5f) * grain + 0.2f));
        if (detail)
            col = detail(x, y, col);
        // Bevel: light on the top and left edges, shadow on the others.
        float top = std::min(x, y), bottom = std::min(64 - x, 64 - y);
        if (top < 4 && top <= bottom)
            col = Mix(col, Add(col, C(0.16f, 0.16f, 0.2f)), 1 - top / 4);
        else if (bottom < 4)
            col = Mix(col, Scale(col, 0.55f), 1 - bottom / 4);
        if (x < 1 || y < 1 || x > 63 || y > 63)
            col = Scale(col, 0.45f);
        return col;
    });
}

Col Vein(float x, float y, Col base, uint32_t seed, Col veinCol)
{
    float v = std::fabs(Fbm(x, y, 26, 3, 64, seed) - 0.5f);
    return v < 0.018f ? Mix(base, veinCol, (1 - v / 0.018f) * 0.45f) : base;
}

void GrassTop(Canvas& c, uint32_t seed)
{
    Fill(c, [seed](float x, float y) {
        float edge = 11 + 5 * Noise(x, 0, 6, 64, seed) + 3 * std::sin(x * 0.9f);
        return y - edge;
    }, [](float, float y) { return Mix(Hex(0x8CF0A8), Hex(0x2A9D6E), Clamp01(y / 18)); });
    Fill(c, Box(0, 0, 64, 3), Hex(0xB8FFC8), 0.6f);
}

// A faceted crystal block: four bevel facets around a flat centre.
void CrystalBlock(Canvas& c, float hue)
{
    Fill(c, CELL, [hue](float x, float y) {
        float dx = x - 32, dy = y - 32;
        float shade;
        if (std::fabs(dx) < 20 && std::fabs(dy) < 20)
            shade = 0.78f + 0.1f * ((x + y) / 128);
        else if (std::fabs(dy) >= std::fabs(dx))
            shade = dy < 0 ? 1.0f : 0.45f;
        else
            shade = dx < 0 ? 0.85f : 0.6f;
        Col col = Hue(hue + (x + y) * 0.0006f, 0.55f, shade);
        if (x < 1 || y < 1 || x > 63 || y > 63)
            col = Scale(col, 0.4f);
        return col;
    });
    Fill(c, Segment(18, 16, 30, 16, 1.2f), Hue(hue, 0.15f, 1), 0.8f);
    Fill(c, Segment(16, 18, 16, 26, 1.2f), Hue(hue, 0.15f, 1), 0.8f);
}

void Bricks(Canvas& c, Col light, Col dark, Col mortar, uint32_t seed)
{
    Block(c, light, dark, seed, 0.5f, [mortar](float x, float y, Col col) {
        int row = int(y / 16);
        float off = row % 2 ? 16 : 0;
        float bx = std::fmod(x + off, 32.0f), by = std::fmod(y, 16.0f);
        if (by < 2 || bx < 2)
            return mortar;
        return by < 4 ? Add(col, C(0.06f, 0.06f, 0.08f)) : col;
    });
}

void Hive(Canvas& c, bool nest)
{
    // Honeycomb: hexagonal cups of burnt wax between raised walls, lit from
    // the top left. A wall's crest and its face toward the light are bright,
    // its other face is in shade; inside a cup the far side catches the light
    // and the near side lies in the wall's shadow; some cups hold honey with
    // a glint. Three cups across and four rows down repeat exactly every 64
    // pixels, so neighbouring hive cells join into one comb. Kept deep in
    // value so the yellow clock reads over a hive.
    Fill(c, CELL, [](float x, float y) {
        const float across = 64.0f / 3, apothem = across / 2, rowStep = 16;
        // Rows 16 apart instead of a regular comb's 18.5: the cups are
        // squashed a little so that four rows fill the cell.
        const float squash = across * 0.866f / rowStep;
        float bestD = 1e9f, bdx = 0, bdy = 0;
        int bestCol = 0, bestRow = 0;
        int row0 = int(std::floor(y / rowStep));
        for (int row = row0 - 1; row <= row0 + 1; row++) {
            float off = (row % 2 + 2) % 2 ? across / 2 : 0;
            float cy = row * rowStep + rowStep / 2;
            int col0 = int(std::floor((x - off) / across));
            for (int col = col0 - 1; col <= col0 + 1; col++) {
                float cx = col * across + across / 2 + off;
                float dx = x - cx, dy = (y - cy) * squash;
                float d = dx * dx + dy * dy;
                if (d < bestD) {
                    bestD = d;
                    bdx = dx;
                    bdy = dy;
                    bestCol = col;
                    bestRow = row;
                }
            }
        }
        // Distance from the cup's centre in the hexagon's own measure: the
        // walls stand at the apothem.
        float h = std::max(std::fabs(bdx), std::fabs(bdx) * 0.5f + std::fabs(bdy) * 0.866f);
        float len = std::max(0.001f, std::hypot(bdx, bdy));
        // How much the point's side of the cup faces the light (top left).
        float toLight = -(bdx * 0.6f + bdy * 0.8f) / len;
        const float wall = 2.4f;
        if (h > apothem - wall) {
            // The wall: its inner face, on this cup's side, slopes down into
            // the cup, so it is lit where the cup's side faces away from the light.
            float crest = Clamp01((h - (apothem - wall)) / wall);
            Col face = toLight < -0.3f ? Hex(0x804218) : toLight > 0.3f ? Hex(0x3A160A) : Hex(0x5C2A10);
            return crest > 0.75f ? Hex(0xA0602A) : face;
        }
        int cell = ((bestCol % 3 + 3) % 3) + 3 * ((bestRow % 4 + 4) % 4);
        bool honey = (0x9A5 >> cell) & 1;  // a fixed few of the twelve cups
        float depth = h / (apothem - wall);
        if (honey) {
            Col col = toLight * depth > 0.35f ? Hex(0x6A300C) : depth < 0.5f ? Hex(0xA8581A) : Hex(0x8A4212);
            // A glint on the honey, toward the light.
            float gx = bdx + 3.5f, gy = bdy + 3.0f;
            if (gx * gx * 0.6f + gy * gy < 3.2f)
                col = Hex(0xF0B050);
            return col;
        }
        // An empty cup: its far (lower right) side catches the light.
        float lit = -toLight * depth;
        return lit > 0.45f ? Hex(0x5A2610) : lit < -0.3f ? Hex(0x1C0804) : Hex(0x2E1208);
    });
    if (nest) {
        Fill(c, Grow(Ellipse(32, 34, 14, 12), 2.5f), Hex(0xC07A30));
        Fill(c, Ellipse(32, 34, 14, 12), [](float, float y) {
            return Mix(Hex(0x0E0818), Hex(0x2A1630), Clamp01((y - 22) / 24));
        });
        Fill(c, Ellipse(28, 30, 2, 2.5f), Hex(0xFF4D6D));
        Fill(c, Ellipse(36, 30, 2, 2.5f), Hex(0xFF4D6D));
        Fill(c, Box(29, 52, 35, 63, 3), Hex(0xE0902E));
        Fill(c, Circle(32, 62, 4), Hex(0xE0902E));
    }
}

void Spikes(Canvas& c, int dir)  // 0 up, 1 down
{
    for (int i = 0; i < 4; i++) {
        float x0 = i * 16.0f, tip = i % 2 ? 10.0f : 4.0f;
        std::vector<float> v = {x0 + 1, 64, x0 + 8, tip, x0 + 15, 64};
        if (dir == 1)
            for (size_t k = 1; k < v.size(); k += 2)
                v[k] = 64 - v[k];
        Sdf spike = Polygon(v);
        Fill(c, Grow(spike, 1.5f), RED_DARK);
        Fill(c, spike, [x0](float x, float) { return x < x0 + 8 ? RED_LIGHT : RED; });
    }
    float y0 = dir == 0 ? 56 : 0;
    Fill(c, Box(0, y0, 64, y0 + 8, 2), Hex(0x3A1F3F));
    Fill(c, Box(0, y0 + 2, 64, y0 + 4), Hex(0x5E3866));
}

void Bramble(Canvas& c)
{
    Sdf vines = Union(Union(Segment(2, 52, 62, 12, 4), Segment(4, 10, 60, 56, 4)),
                      Segment(0, 32, 64, 34, 3.5f));
    Fill(c, Grow(vines, 1.5f), RED_DARK);
    Fill(c, vines, Hex(0x6B1E3A));
    Rng rng(3);
    for (int i = 0; i < 14; i++) {
        float x = rng.Range(6, 58), y = rng.Range(6, 58);
        float a = rng.Range(0, 6.283f);
        Sdf thorn = Polygon({x + std::cos(a) * 9, y + std::sin(a) * 9, x + std::cos(a + 1.7f) * 3,
                             y + std::sin(a + 1.7f) * 3, x + std::cos(a - 1.7f) * 3, y + std::sin(a - 1.7f) * 3});
        Fill(c, Grow(thorn, 1.2f), RED_DARK);
        Fill(c, thorn, RED_LIGHT);
    }
}

void EnergyField(Canvas& c)
{
    Glow(c, Circle(32, 32, 16), RED, 16, 0.8f);
    Fill(c, Grow(Circle(32, 32, 16), 1.5f), RED_DARK);
    Fill(c, Circle(32, 32, 16), [](float x, float y) {
        float d = std::hypot(x - 32, y - 32) / 16;
        return Mix(Hex(0xFFE0E6), RED, Clamp01(d * 1.2f));
    });
    Rng rng(9);
    for (int i = 0; i < 6; i++) {
        float a = i * 1.047f + 0.3f;
        float x1 = 32 + std::cos(a) * 16, y1 = 32 + std::sin(a) * 16;
        float xm = 32 + std::cos(a + 0.3f) * 24, ym = 32 + std::sin(a + 0.3f) * 24;
        float x2 = 32 + std::cos(a - 0.1f) * 31, y2 = 32 + std::sin(a - 0.1f) * 31;
        Fill(c, Union(Segment(x1, y1, xm, ym, 1.3f), Segment(xm, ym, x2, y2, 1.3f)), RED_LIGHT);
    }
    Fill(c, Polygon({32, 20, 38, 32, 32, 44, 26, 32}), Hex(0x5A0A22));
}

void Checkpoint(Canvas& c, bool held = false)
{
    // A beacon: a tall green crystal that fills the cell, lit from inside,
    // on a dark plinth, with light streaming up from it. Two side by side
    // read as one bright gate. The one holding the respawn point burns
    // brighter, its light gone gold, so the player sees where they return.
    Fill(c, CELL, [held](float x, float y) {
        Col col = Mix(Hex(0x0C2A22), Hex(0x04140E), y / 64);
        float rays = 0.5f + 0.5f * std::cos((x - 32) * 0.45f);
        if (held)
            return Mix(Mix(col, Hex(0x3A2A08), 0.5f), Hex(0xFFD86A), rays * Clamp01(1 - y / 64) * 0.8f);
        return Mix(col, Hex(0x2FB870), rays * Clamp01(1 - y / 60) * 0.45f);
    });
    Sdf gem = Polygon({32, 2, 52, 24, 40, 60, 24, 60, 12, 24});
    Glow(c, gem, held ? Hex(0xFFF2B0) : Hex(0x7CFFB0), held ? 16 : 12, held ? 1.0f : 0.9f);
    Fill(c, Grow(gem, 2), Hex(0x04241A));
    Fill(c, gem, [](float x, float y) {
        // Facets: a bright left crown, a mid right one, deep lower faces.
        Col col;
        if (y < 24)
            col = x < 32 ? Hex(0xE6FFF0) : Hex(0x9CFFC8);
        else
            col = x < 32 ? Mix(Hex(0x6CF5A4), Hex(0x22B865), (y - 24) / 36)
                         : Mix(Hex(0x3FDC7E), Hex(0x10803F), (y - 24) / 36);
        return col;
    });
    Fill(c, Segment(12, 24, 52, 24, 0.8f), Hex(0xF0FFF6), 0.9f);
    Fill(c, Segment(32, 2, 32, 60, 0.7f), Hex(0xD8FFE8), 0.6f);
    if (held) {
        // Lit from within: the heart of the gem white-gold, a star at the crown.
        Fill(c, Intersect(gem, Circle(32, 30, 14)), [](float x, float y) {
            float d = std::hypot(x - 32, y - 30) / 14;
            return Mix(Hex(0xFFFFF4), Hex(0xFFE38A), d);
        }, 0.75f);
        Fill(c, Polygon({32, 0, 34.5f, 10, 32, 20, 29.5f, 10}), Hex(0xFFFFF8));
        Fill(c, Polygon({22, 10, 32, 7.5f, 42, 10, 32, 12.5f}), Hex(0xFFFFF8));
    }
    // A spark at the crown, and the plinth's lit edge.
    Fill(c, Polygon({24, 14, 26, 12, 28, 14, 26, 16}), Hex(0xFFFFF0));
    Fill(c, Box(2, 60, 62, 64, 1), held ? Hex(0x6A4A10) : Hex(0x1A5A40));
    Fill(c, Box(2, 60, 62, 61.2f), held ? Hex(0xFFE08A) : Hex(0x8CFFC0), 0.9f);
}

void Goal(Canvas& c)
{
    // The way out: a pillar of prism light between two golden posts, the
    // whole cell tall. The goal stands two cells tall and stacked cells join
    // into one pillar, so everything repeats every 64 rows (the chevrons
    // every 32). Made to be found from across the stage: a white-hot core,
    // the spectrum in flat stripes on either side, bright chevrons rising
    // through it, dark outlines and a pale halo outside them, so it stands
    // out on the dark hills and on the rose horizon alike. The sky still
    // shows at both sides: the goal is walked into, not a block.
    Fill(c, Box(4, -1, 60, 65), Hex(0xFFF4D0));
    Fill(c, Box(5.5f, -1, 58.5f, 65), OUTLINE);
    Fill(c, Box(9, -1, 55, 65), [](float x, float) {
        float d = std::fabs(x - 32);  // 0 at the centre, 23 at the posts
        if (d < 5)
            return Hex(0xFFFEF6);
        // The spectrum outward from the core, violet at the posts.
        const uint32_t bands[] = {0xFFF080, 0xFFB640, 0xFF6A8A, 0xC07CFF, 0x6A8CFF};
        int band = std::min(4, int((d - 5) / 3.6f));
        return Hex(bands[band]);
    });
    // Chevrons pointing up, two per cell, each with a shadow under it.
    for (float y0 : {-16.0f, 16.0f, 48.0f}) {
        Sdf chevron = Subtract(Polygon({32, y0 - 9, 49, y0 + 8, 15, y0 + 8}),
                               Polygon({32, y0 - 2, 49, y0 + 15, 15, y0 + 15}));
        Sdf inside = Box(9, -1, 55, 65);
        Fill(c, Intersect([chevron](float x, float y) { return chevron(x, y - 2); }, inside), Hex(0x5A2EA8), 0.85f);
        Fill(c, Intersect(chevron, inside), Hex(0xFFFFFF));
    }
    for (float x : {10.5f, 53.5f}) {
        Sdf post = Box(x - 4, -1, x + 4, 65);
        Fill(c, Grow(post, 1), OUTLINE);
        Fill(c, post, [x](float px, float) {
            return px < x - 1.5f ? Hex(0xFFF0B0) : px < x + 1.5f ? Hex(0xFFD060) : Hex(0xC8841E);
        });
        // A stud on each post, level with the chevrons' tips.
        Fill(c, Circle(x, 32, 2.2f), Hex(0xFFFFF4));
    }
}

// Scenery helpers: small, soft, no outlines of blocks.
void Tuft(Canvas& c, float x, float h, Col col, uint32_t seed)
{
    Rng rng(seed);
    for (int i = 0; i < 5; i++) {
        float bx = x + rng.Range(-8, 8), lean = rng.Range(-6, 6), bh = h * rng.Range(0.6f, 1);
        Fill(c, Polygon({bx - 2.5f, 64, bx + lean, 64 - bh, bx + 2.5f, 64}), Mix(col, Hex(0xD8FFE0), rng.Range(0, 0.4f)));
    }
}

void Flower(Canvas& c, float x, float y, float r, Col petal)
{
    Fill(c, Segment(x, y, x, 64, 1.2f), Hex(0x2A9D6E));
    for (int i = 0; i < 5; i++) {
        float a = i * 1.2566f;
        Fill(c, Circle(x + std::cos(a) * r, y + std::sin(a) * r, r * 0.75f), petal);
    }
    Fill(c, Circle(x, y, r * 0.6f), GOLD);
}

void SmallCrystals(Canvas& c, float hue, uint32_t seed, bool hanging)
{
    Rng rng(seed);
    for (int i = 0; i < 3; i++) {
        float x = 16 + i * 14 + rng.Range(-3, 3), h = rng.Range(14, 28), w = rng.Range(5, 8);
        std::vector<float> v = {x - w, 64, x - w, 64 - h * 0.7f, x, 64 - h, x + w, 64 - h * 0.7f, x + w, 64};
        if (hanging)
            for (size_t k = 1; k < v.size(); k += 2)
                v[k] = 64 - v[k];
        Sdf cr = Polygon(v);
        Glow(c, cr, Hue(hue, 0.5f, 1), 6, 0.35f);
        Fill(c, Grow(cr, 1.2f), Hue(hue, 0.7f, 0.35f));
        Fill(c, cr, [hue, x](float px, float) { return Hue(hue, px < x ? 0.3f : 0.55f, px < x ? 1 : 0.85f); });
    }
}

void Mushroom(Canvas& c)
{
    Fill(c, Box(27, 40, 37, 64, 4), Hex(0xEDE6D8));
    Fill(c, Intersect(Ellipse(32, 42, 20, 16), Box(0, 0, 64, 42)), Hex(0x8B5CF6));
    for (auto [x, y] : {std::pair{24.f, 34.f}, {36.f, 30.f}, {43.f, 38.f}})
        Fill(c, Circle(x, y, 2.5f), Hex(0xE6DBFF));
}

void Vines(Canvas& c)
{
    for (int i = 0; i < 3; i++) {
        float x = 12 + i * 18, len = 34 + (i % 2) * 20;
        Fill(c, Segment(x, 0, x + 3, len, 1.6f), Hex(0x2A9D6E));
        for (float y = 8; y < len; y += 9)
            Fill(c, Ellipse(x + (int(y) % 2 ? 5 : -3), y, 4, 2.5f), Hex(0x4FD08A));
    }
}

void Lantern(Canvas& c)
{
    Fill(c, Box(30, 22, 34, 64), Hex(0x3A2E5C));
    Glow(c, Circle(32, 16, 6), GOLD, 12, 0.5f);
    Fill(c, Box(25, 8, 39, 24, 3), Hex(0x3A2E5C));
    Fill(c, Box(27, 10, 37, 22, 2), Hex(0xFFE08A));
}

void Sign(Canvas& c, bool up)
{
    Fill(c, Box(29, 30, 35, 64), Hex(0x8A5A3C));
    Sdf arrow = up ? Polygon({32, 4, 48, 20, 38, 20, 38, 32, 26, 32, 26, 20, 16, 20})
                   : Polygon({10, 12, 40, 12, 40, 4, 56, 20, 40, 36, 40, 28, 10, 28});
    Fill(c, Grow(arrow, 1.5f), Hex(0x5A3624));
    Fill(c, arrow, Hex(0xE8C48A));
}

void Pebbles(Canvas& c)
{
    Fill(c, Ellipse(20, 58, 10, 6), Hex(0x5C6A9E));
    Fill(c, Ellipse(40, 59, 8, 5), Hex(0x4A5688));
    Fill(c, Ellipse(52, 61, 5, 3), Hex(0x6E7CB0));
    Fill(c, Ellipse(18, 55, 4, 1.5f), Hex(0x8E9CD0));
}

void Fireflies(Canvas& c, uint32_t seed)
{
    Rng rng(seed);
    for (int i = 0; i < 5; i++) {
        float x = rng.Range(8, 56), y = rng.Range(8, 56);
        Glow(c, Circle(x, y, 1.5f), Hex(0xE8FF9A), 6, 0.5f);
        Fill(c, Circle(x, y, 1.8f), Hex(0xF8FFD0));
    }
}

void Bush(Canvas& c)
{
    for (auto [x, y, r] : {std::tuple{18.f, 50.f, 14.f}, {34.f, 42.f, 17.f}, {48.f, 52.f, 12.f}})
        Fill(c, Circle(x, y, r), [y](float, float py) { return Mix(Hex(0x5FD89A), Hex(0x1F7A5A), Clamp01((py - y + 14) / 28)); });
    Fill(c, Box(0, 56, 64, 64), Hex(0x1F7A5A));
}

void Chain(Canvas& c)
{
    for (float y = 2; y < 64; y += 10)
        Fill(c, Subtract(Ellipse(32, y + 4, 4, 6), Ellipse(32, y + 4, 2, 3.5f)), Hex(0x8A8FB8));
}

void Arch(Canvas& c)
{
    Col stone = Hex(0x3A3F66);
    Fill(c, Subtract(Box(4, 8, 60, 64, 3), Union(Box(16, 28, 48, 64), Circle(32, 28, 16))), stone, 0.9f);
    Fill(c, Subtract(Circle(32, 28, 19), Circle(32, 28, 16)), Hex(0x545A8A), 0.9f);
}

void Sapling(Canvas& c)
{
    Fill(c, Segment(32, 64, 32, 30, 2.2f), Hex(0x7A5236));
    Fill(c, Circle(32, 24, 15), Hex(0x3FC08A));
    Fill(c, Circle(26, 20, 7), Hex(0x7FE8B0));
}

void Sparkles(Canvas& c, uint32_t seed)
{
    Rng rng(seed);
    for (int i = 0; i < 4; i++) {
        float x = rng.Range(10, 54), y = rng.Range(10, 54), r = rng.Range(3, 6);
        Fill(c, Polygon({x, y - r, x + r * 0.25f, y, x, y + r, x - r * 0.25f, y}), Hue(rng.Uniform(), 0.3f, 1));
        Fill(c, Polygon({x - r, y, x, y - r * 0.25f, x + r, y, x, y + r * 0.25f}), Hue(rng.Uniform(), 0.3f, 1));
    }
}

void DrawTile(Canvas& c, int code)
{
    switch (code) {
    case 1:
        Block(c, Hex(0x6C76B0), Hex(0x353A70), 1, 0.5f,
              [](float x, float y, Col col) { return Vein(x, y, col, 17, Hex(0x7FE8F0)); });
        break;
    case 2: Hive(c, false); break;
    case 3: Hive(c, true); break;
    case 4: Checkpoint(c); break;
    case 5: Spikes(c, 0); break;
    case 6: Spikes(c, 1); break;
    case 7: Bramble(c); break;
    case 8: EnergyField(c); break;
    case 9: Tuft(c, 32, 26, Hex(0x3FC08A), 9); break;
    case 10:
        Flower(c, 22, 40, 4.5f, Hex(0xFF9BC8));
        Flower(c, 42, 46, 4, Hex(0xBFA8FF));
        break;
    case 11: Goal(c); break;
    case 12:
        Block(c, Hex(0x6C76B0), Hex(0x353A70), 12, 0.5f);
        GrassTop(c, 12);
        break;
    case 13:
        Block(c, Hex(0x646EA8), Hex(0x30356A), 13, 0.6f, [](float x, float y, Col col) {
            float crack = std::fabs(x - 20 - std::sin(y * 0.2f) * 6 - y * 0.35f);
            return crack < 1.2f && y > 8 && y < 50 ? Scale(col, 0.5f) : col;
        });
        break;
    case 14:
        Block(c, Hex(0x6C76B0), Hex(0x353A70), 14, 0.5f);
        for (auto [x, y, h] : {std::tuple{16.f, 20.f, 0.5f}, {44.f, 40.f, 0.85f}, {26.f, 48.f, 0.55f}})
            Fill(c, Polygon({x, y - 6, x + 4, y, x, y + 6, x - 4, y}), Hue(h, 0.5f, 1));
        break;
    case 15:
        Block(c, Hex(0x8A5E7A), Hex(0x4A2E4A), 15, 0.6f, [](float x, float y, Col col) {
            return Noise(x, y, 5, 64, 151) > 0.8f ? Add(col, C(0.12f, 0.1f, 0.1f)) : col;
        });
        break;
    case 16: Bricks(c, Hex(0x7A84BC), Hex(0x4A5088), Hex(0x2A2C55), 16); break;
    case 17: Bricks(c, Hex(0x5E8A9A), Hex(0x345A6E), Hex(0x1E3340), 17); break;
    case 18: CrystalBlock(c, 0.5f); break;
    case 19: CrystalBlock(c, 0.75f); break;
    case 20: CrystalBlock(c, 0.36f); break;
    case 21:
        Block(c, Hex(0x9AA0C8), Hex(0x5A6090), 21, 0.25f);
        for (float x : {8.f, 56.f})
            for (float y : {8.f, 56.f}) {
                Fill(c, Circle(x, y, 3), Hex(0x3A3F66));
                Fill(c, Circle(x - 0.7f, y - 0.7f, 1.6f), Hex(0xD8DCF0));
            }
        Fill(c, Box(14, 30, 50, 34, 1), Hex(0x6A709E));
        break;
    case 22:
        Block(c, Hex(0x6C76B0), Hex(0x353A70), 22, 0.5f, [](float x, float y, Col col) {
            float m = Fbm(x, y, 14, 2, 64, 222);
            return m > 0.58f ? Mix(col, Hex(0x3FA878), Clamp01((m - 0.58f) * 8)) : col;
        });
        break;
    case 23:
        Block(c, Hex(0x8A5E7A), Hex(0x4A2E4A), 23, 0.6f);
        GrassTop(c, 23);
        break;
    case 24: Block(c, Hex(0x3E3A5E), Hex(0x1E1A36), 24, 0.6f); break;
    case 25:
        Block(c, Hex(0xC08A58), Hex(0x7A4E2E), 25, 0.3f, [](float x, float y, Col col) {
            bool frame = x < 8 || y < 8 || x > 56 || y > 56;
            bool brace = std::fabs(x - y) < 4;
            return frame || brace ? Scale(col, 0.72f) : col;
        });
        break;
    case 26:
        Block(c, Hex(0xE8C46A), Hex(0x9A6A2A), 26, 0.4f);
        Fill(c, Subtract(Circle(32, 32, 13), Circle(32, 32, 10)), Hex(0x6A4418));
        Fill(c, Polygon({32, 24, 36, 32, 32, 40, 28, 32}), Hex(0x6A4418));
        break;
    case 27: SmallCrystals(c, 0.5f, 27, false); break;
    case 28: SmallCrystals(c, 0.75f, 28, false); break;
    case 29: Mushroom(c); break;
    case 30: Tuft(c, 32, 40, Hex(0x2FA878), 30); break;
    case 31: Vines(c); break;
    case 32: Lantern(c); break;
    case 33: Sign(c, false); break;
    case 34: Pebbles(c); break;
    case 35:
        Tuft(c, 18, 30, Hex(0x4FD08A), 35);
        Tuft(c, 46, 22, Hex(0x3FC08A), 36);
        break;
    case 36: Fireflies(c, 36); break;
    case 37: Bush(c); break;
    case 38: SmallCrystals(c, 0.55f, 38, true); break;
    case 39: Chain(c); break;
    case 40: Arch(c); break;
    case 41: Sapling(c); break;
    case 42: Flower(c, 32, 36, 6, Hex(0xFF8FB0)); break;
    case 43: SmallCrystals(c, 0.93f, 43, false); break;
    case 44: Sign(c, true); break;
    case 45: Sparkles(c, 45); break;
    case 46:
        Block(c, Hex(0x2E2A4E), Hex(0x141230), 46, 0.5f, [](float x, float y, Col col) {
            return std::fmod(x + y, 32.0f) < 3 ? Add(col, C(0.05f, 0.05f, 0.09f)) : col;
        });
        break;
    case 47: Fireflies(c, 47); break;
    default: Sparkles(c, uint32_t(code)); break;
    }
}

}  // namespace

Picture MakeHeldCheckpoint()
{
    Canvas c = MakeCanvas(64, 64);
    Checkpoint(c, true);
    return ToSprite(c, 0xFF00FF, 0xFFFFFF);
}

Picture MakeTileSheet()
{
    Picture sheet = MakePicture(TILE_SHEET_CELLS * 64, 64, 0xFF00FF);
    for (int code = 1; code <= TILE_SHEET_CELLS; code++) {
        Canvas c = MakeCanvas(64, 64);
        DrawTile(c, code);
        // Pure white would vanish in play (the stage picture's key), so it
        // is nudged off as well as magenta.
        Blit(sheet, ToSprite(c, 0xFF00FF, 0xFFFFFF), (code - 1) * 64, 0);
    }
    return sheet;
}
