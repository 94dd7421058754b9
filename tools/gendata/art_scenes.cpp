// Backdrops and screens: the dusk sky and crystal hills behind the stage,
// the curtains, the title's background, logo and buttons, the results
// screen.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "lettering.h"

using namespace ink;

namespace {

constexpr float TAU = 6.2831853f;
constexpr int PANEL = 1920;

// One of n flat levels for an amount in 0..1 (rounded, so 0 stays 0).
float Step(float v, int n) { return std::round(Clamp01(v) * n) / n; }

// A shape with a hard edge: a pixel is in or out, never partly covered.
Sdf Crisp(Sdf shape)
{
    return [shape](float x, float y) { return shape(x, y) < 0 ? -1.0f : 1.0f; };
}

// The dusk sky's colour from the top (t = 0) down to the horizon (t = 1):
// deep indigo above, violet, rose at the horizon.
Col SkyColour(float t)
{
    if (t < 0.55f)
        return Mix(Hex(0x0A0A24), Hex(0x25195A), t / 0.55f);
    if (t < 0.85f)
        return Mix(Hex(0x25195A), Hex(0x7A3A86), (t - 0.55f) / 0.3f);
    return Mix(Hex(0x7A3A86), Hex(0xE07A8E), (t - 0.85f) / 0.15f);
}

// The painted dusk sky of the far backdrop and the results screen: the
// colour of SkyColour, a band of aurora, stars.
Col Sky(float x, float y, float horizon, int period, float auroraPhase)
{
    float t = Clamp01(y / horizon);
    Col col = SkyColour(t);
    // Aurora: a wavy curtain, brighter in vertical streaks.
    float w = TAU / period;
    float centre = horizon * 0.32f + 40 * std::sin(x * w * 2 + auroraPhase) + 25 * std::sin(x * w * 5 + 1.3f);
    float band = std::exp(-std::pow((y - centre) / 55, 2.0f));
    float streak = Fbm(x, 0, 40, 3, period, 808);
    float glowAmt = band * (0.25f + 0.6f * streak) * Smooth(0, 0.3f, t + 0.15f);
    float shade = Clamp01((y - centre + 40) / 110);
    Col aur = Mix(Hex(0x3FF0C0), Hex(0xA060FF), shade);
    col = Screen(col, Scale(aur, glowAmt * 0.55f));
    return col;
}

// Stars over the upper sky, repeating every period pixels. Crisp stars are
// whole pixels in three brightnesses.
void Stars(Canvas& c, int period, uint32_t seed, float maxY, int count, bool crisp = false)
{
    Rng rng(seed);
    for (int i = 0; i < count; i++) {
        float x = rng.Range(0, float(period)), y = rng.Range(0, maxY);
        float b = rng.Range(0.3f, 1), r = rng.Uniform() < 0.08f ? 1.5f : 0.8f;
        for (int copy = -1; copy <= 1; copy++) {
            float cx = x + copy * period;
            if (cx < -4 || cx > c.w + 4)
                continue;
            int x0 = int(cx) - 3, y0 = int(y) - 3;
            for (int py = y0; py <= y0 + 6; py++)
                for (int px = x0; px <= x0 + 6; px++) {
                    if (px < 0 || py < 0 || px >= c.w || py >= c.h)
                        continue;
                    float d = std::hypot(px + 0.5f - cx, py + 0.5f - y);
                    float a = Clamp01(r + 0.5f - d) * b * (1 - y / maxY * 0.6f);
                    if (crisp) {
                        // Three fixed star colours, whatever the sky behind.
                        if (Clamp01(r + 0.5f - d) >= 0.5f) {
                            float level = 0.55f + 0.45f * Step((a - 0.2f) / 0.8f, 2);
                            c.px[size_t(py) * c.w + px] = {0.95f * level, 0.95f * level, level, 1};
                        }
                        continue;
                    }
                    Px& p = c.px[size_t(py) * c.w + px];
                    p.r = p.r + (0.95f - p.r) * a;
                    p.g = p.g + (0.95f - p.g) * a;
                    p.b = p.b + (1.0f - p.b) * a;
                }
        }
    }
}

// Height of a periodic ridge line.
float Ridge(float x, int period, float base, float amp, float cell, uint32_t seed)
{
    return base - amp * Fbm(x, 0, cell, 4, period, seed);
}

// Crystal spires along a ridge: each a tall thin shard.
struct Spire {
    float x, top, w;
    float hue;
};
std::vector<Spire> Spires(int period, int count, float baseY, float minH, float maxH, uint32_t seed)
{
    Rng rng(seed);
    std::vector<Spire> s;
    for (int i = 0; i < count; i++) {
        float x = (i + rng.Range(0.1f, 0.9f)) * period / count;
        float h = rng.Range(minH, maxH), w = rng.Range(16, 30), hue = rng.Range(0.45f, 0.8f);
        // Smaller shards grow at the foot of each spire: a cluster.
        s.push_back({x - w * 1.25f, baseY - h * rng.Range(0.35f, 0.55f), w * 0.6f, hue + 0.04f});
        s.push_back({x + w * 1.35f, baseY - h * rng.Range(0.45f, 0.65f), w * 0.7f, hue - 0.04f});
        s.push_back({x, baseY - h, w, hue});
    }
    return s;
}

float SpireSdf(const Spire& s, float x, float y, float baseY, int period)
{
    // A six-sided crystal: straight, slightly tapering sides and a pointed
    // tip. Measured to the nearest copy across the repeat.
    float dx = x - s.x;
    dx -= std::round(dx / period) * period;
    float tipLen = s.w * 1.8f;
    float shoulder = s.top + tipLen;
    float t = Clamp01((y - shoulder) / std::max(1.0f, baseY - shoulder));
    float half = s.w * (0.8f + 0.2f * t);
    if (y < shoulder)
        half = s.w * 0.8f * Clamp01((y - s.top) / tipLen);
    return std::max((std::fabs(dx) - half) * 0.9f, s.top - y);
}

// Colour of a spire at a point: a lit face left of the ridge, a dark one
// right of it, brighter toward the tip.
Col SpireColour(const Spire& s, float x, float y, int period, float glowLen, int bands = 0)
{
    float dx = x - s.x;
    dx -= std::round(dx / period) * period;
    float ridge = s.w * 0.2f;
    float tip = Smooth(glowLen, 0, y - s.top);
    if (bands)
        tip = Step(tip, bands);
    Col face = dx < ridge ? Hue(s.hue, 0.5f, 0.5f) : Hue(s.hue, 0.6f, 0.28f);
    if (dx < -s.w * 0.45f)
        face = Hue(s.hue, 0.4f, 0.62f);
    return Mix(face, Hue(s.hue, 0.3f, 0.98f), tip * 0.7f);
}

void SetPx(Canvas& c, int x, int y, Col col)
{
    c.px[size_t(y) * c.w + x] = {col.r, col.g, col.b, 1};
}

// A soft blur (three box passes each way, radius r), wrapping round the
// picture's width so a repeating picture still repeats.
void BlurSoft(Canvas& c, int r)
{
    std::vector<Px> tmp(c.px.size());
    auto pass = [&](bool across) {
        int n = across ? c.w : c.h, lines = across ? c.h : c.w;
        for (int line = 0; line < lines; line++) {
            auto at = [&](int i) -> Px& {
                if (across) return c.px[size_t(line) * c.w + size_t((i % n + n) % n)];
                return c.px[size_t(std::clamp(i, 0, n - 1)) * c.w + line];
            };
            Px sum{};
            for (int i = -r; i <= r; i++) {
                Px& q = at(i);
                sum = {sum.r + q.r, sum.g + q.g, sum.b + q.b, sum.a + q.a};
            }
            float k = 1.0f / (2 * r + 1);
            for (int i = 0; i < n; i++) {
                size_t out = across ? size_t(line) * c.w + i : size_t(i) * c.w + line;
                tmp[out] = {sum.r * k, sum.g * k, sum.b * k, sum.a * k};
                Px& add = at(i + r + 1);
                Px& drop = at(i - r);
                sum = {sum.r + add.r - drop.r, sum.g + add.g - drop.g, sum.b + add.b - drop.b,
                       sum.a + add.a - drop.a};
            }
        }
        c.px.swap(tmp);
    };
    for (int k = 0; k < 3; k++) {
        pass(true);
        pass(false);
    }
}

}  // namespace

Picture MakeFarBackdrop()
{
    Canvas c = MakeCanvas(PANEL, 720);
    const float horizon = 560;
    for (int y = 0; y < 720; y++)
        for (int x = 0; x < PANEL; x++)
            SetPx(c, x, y, Sky(x + 0.5f, y + 0.5f, horizon, PANEL, 0));
    Stars(c, PANEL, 31, 420, 420);
    // The moon, ringed like a prism's halo.
    // The moon, ringed like a prism's halo; low enough that it never passes
    // under the play clock (rows 10-110) as the backdrop drifts.
    const float moonY = 215;
    Glow(c, Circle(1380, moonY, 62), Hex(0xFFD6E8), 90, 0.35f);
    Fill(c, Circle(1380, moonY, 62), [moonY](float x, float y) {
        float n = Fbm(x, y, 18, 3, 0, 55);
        Col col = Mix(Hex(0xFFF3E6), Hex(0xE8C8D8), n);
        float rim = Clamp01((std::hypot(x - 1380, y - moonY) - 40) / 22);
        return Mix(col, Hex(0xF0B8D0), rim * 0.5f);
    });
    Fill(c, Subtract(Ellipse(1380, moonY, 118, 24), Ellipse(1380, moonY, 108, 17)),
         [](float x, float) { return Hue(0.9f + (x - 1262) / 236 * 0.7f, 0.35f, 1); }, 0.55f);
    // Clouds near the horizon and far mountains.
    for (int y = 300; y < 720; y++)
        for (int x = 0; x < PANEL; x++) {
            Px& p = c.px[size_t(y) * PANEL + x];
            Col col = {p.r, p.g, p.b};
            float n = Fbm(x, y * 3.0f, 160, 4, PANEL, 71);
            float band = Smooth(0.55f, 0.75f, n) * Smooth(300, 470, float(y)) * (1 - Smooth(520, 600, float(y)));
            col = Mix(col, Hex(0xF2A0B8), band * 0.45f);
            float m1 = Ridge(x, PANEL, 610, 170, 480, 91);
            float m2 = Ridge(x, PANEL, 680, 140, 300, 92);
            if (y > m1)
                col = Mix(Hex(0x5A3478), Hex(0x3A2358), Clamp01((y - m1) / 200));
            if (y > m2)
                col = Mix(Hex(0x2E1C4C), Hex(0x1C1236), Clamp01((y - m2) / 120));
            p = {col.r, col.g, col.b, 1};
        }
    return ToOpaque(c, Hex(0));
}

Picture MakeMiddleLayer()
{
    // Hills and crystal spires in silhouette; the sky stays white so that
    // the far backdrop shows through.
    Canvas c = MakeCanvas(PANEL, 720);
    const float baseY = 540;
    std::vector<Spire> spires = Spires(PANEL, 9, baseY + 30, 140, 300, 404);
    for (int y = 0; y < 720; y++)
        for (int x = 0; x < PANEL; x++) {
            float fx = x + 0.5f, fy = y + 0.5f;
            float hill = Ridge(fx, PANEL, baseY + 40, 120, 360, 401);
            float dHill = fy - hill;
            float dSpire = 1e9f;
            const Spire* near = nullptr;
            for (const Spire& s : spires) {
                float d = SpireSdf(s, fx, fy, baseY + 60, PANEL);
                // Later shards stand in front of earlier ones.
                if (d <= 0 || (dSpire > 0 && d < dSpire)) {
                    dSpire = d;
                    near = &s;
                }
            }
            if (dHill < 0 && dSpire > 0)
                continue;
            Col col;
            if (dSpire <= 0) {
                // Spire: dark glassy shard, lit on its left edge, glowing tip.
                col = SpireColour(*near, fx, fy, PANEL, 110);
                if (dSpire > -2.0f)
                    col = Mix(col, Hue(near->hue, 0.3f, 0.95f), 0.5f);
            } else {
                float depth = Clamp01(dHill / 160);
                col = Mix(Hex(0x35306A), Hex(0x1A1840), depth);
                float grass = Fbm(fx, fy, 12, 2, PANEL, 402);
                col = Mix(col, Hex(0x2F6A78), Clamp01(1 - dHill / 10) * 0.8f);
                col = Add(col, Scale(C(0.05f, 0.08f, 0.1f), grass - 0.5f));
            }
            // A nearer, darker ridge in front of everything.
            float near2 = fy - Ridge(fx, PANEL, baseY + 150, 80, 260, 403);
            if (near2 >= 0) {
                col = Mix(Hex(0x1E1C4A), Hex(0x100E2A), Clamp01(near2 / 60));
                col = Mix(col, Hex(0x3F8A8A), Clamp01(1 - near2 / 5) * 0.7f);
            }
            SetPx(c, x, y, col);
        }
    // Glowing flowers scattered over the hills.
    Rng rng(405);
    for (int i = 0; i < 260; i++) {
        float x = rng.Range(0, PANEL), y = rng.Range(baseY + 30, 715);
        float r = rng.Range(1.2f, 2.6f);
        Col col = Hue(rng.Uniform() < 0.5f ? 0.48f : 0.9f, 0.45f, 1);
        for (int copy = -1; copy <= 1; copy++) {
            float cx = x + copy * PANEL;
            if (cx < -8 || cx > PANEL + 8)
                continue;
            int x0 = int(cx) - 3, y0 = int(y) - 3;
            for (int py = std::max(0, y0); py <= std::min(719, y0 + 6); py++)
                for (int px = std::max(0, x0); px <= std::min(PANEL - 1, x0 + 6); px++) {
                    Px& p = c.px[size_t(py) * PANEL + px];
                    float d = std::hypot(px + 0.5f - cx, py + 0.5f - y);
                    // Only on the hills, never on the sky (which must stay white).
                    if (p.a > 0 && d < r)
                        p = {Lerp(p.r, col.r, 0.8f), Lerp(p.g, col.g, 0.8f), Lerp(p.b, col.b, 0.8f), 1};
                }
        }
    }
    // Far away: every colour drawn toward the haze of the far backdrop's
    // horizon, with less saturation and contrast, and softened, so that only
    // the stage's own tiles look solid.
    for (Px& p : c.px) {
        if (p.a <= 0)
            continue;
        Col col = {p.r / p.a, p.g / p.a, p.b / p.a};
        float grey = 0.3f * col.r + 0.55f * col.g + 0.15f * col.b;
        col = Mix(col, C(grey, grey, grey), 0.35f);
        col = Mix(col, Hex(0x7A5A9C), 0.5f);
        p = {col.r * p.a, col.g * p.a, col.b * p.a, p.a};
    }
    BlurSoft(c, 3);
    return ToSprite(c, 0xFFFFFF, 0xFFFFFF);
}

Picture MakeCurtain(int k)
{
    // A lattice of diamonds that shrink from left to right as k grows: all
    // of them overlap at 0, none is left from 48 on. Black is see-through.
    Picture pic = MakePicture(1280, 680, 0);
    const float pitch = 80, spread = 1.2f;
    float p = std::min(1.0f, k / 48.0f) * (1 + spread);
    for (int y = 0; y < 680; y++)
        for (int x = 0; x < 1280; x++) {
            float fx = x + 0.5f, fy = y + 0.5f;
            // Nearest lattice centre of the staggered grid.
            float best = 1e9f, bx = 0, by = 0;
            for (int s = 0; s < 2; s++) {
                float off = s * pitch / 2;
                float cx = std::round((fx - off) / pitch) * pitch + off;
                float cy = std::round((fy - off) / pitch) * pitch + off;
                float d = std::fabs(fx - cx) + std::fabs(fy - cy);
                if (d < best) {
                    best = d;
                    bx = cx;
                    by = cy;
                }
            }
            float u = Clamp01((bx + by * 0.35f) / (1280 + 680 * 0.35f));
            float local = Clamp01(p - spread * u);
            float radius = pitch / 2 * 1.03f * (1 - local);
            if (best >= radius)
                continue;
            float hue = 0.68f + 0.12f * (bx / 1280.0f) - 0.05f * (by / 680.0f);
            float facet = (fx - bx) + (fy - by) < 0 ? 1.0f : 0.8f;
            Col col = Hue(hue, 0.65f, 0.34f * facet);
            if (radius - best < 2.5f)
                col = Hue(hue - 0.08f, 0.45f, 0.62f);
            uint32_t v = Pack(col);
            pic.px[size_t(y) * 1280 + x] = v ? v : 0x010101;
        }
    return pic;
}

namespace {

// The title's sky, cut from paper: flat sheets laid from the top down, each
// one colour of the dusk sky with a gently waving cut edge, and each casting
// a thin shadow on the sheet below it. The sheets are narrower toward the
// horizon, where the sky's colour changes fastest, so no step between two
// neighbours is large; and each edge is a shape of its own, so the sky reads
// as layers of paper rather than as a gradient cut into stripes.
struct PaperSky {
    struct Edge {
        float y, amp, wave, phase;
    };
    std::vector<Edge> edges;     // top to bottom
    std::vector<Col> sheets;     // edges.size() + 1 colours, top to bottom
    std::vector<Col> shadows;    // the same sheets in the shadow of the one above

    float EdgeY(size_t i, float x) const
    {
        const Edge& e = edges[i];
        return e.y + e.amp * (std::sin(x * TAU / e.wave + e.phase) +
                              0.35f * std::sin(x * TAU / (e.wave * 0.41f) + 2.1f * e.phase));
    }
    Col At(float x, float y) const
    {
        size_t sheet = 0;
        float above = -1e9f;
        for (size_t i = 0; i < edges.size(); i++) {
            float e = EdgeY(i, x);
            if (y >= e) {
                sheet = i + 1;
                above = e;
            }
        }
        return y - above < 3 ? shadows[sheet] : sheets[sheet];
    }
};

PaperSky MakePaperSky(float horizon)
{
    // The rows of the cut edges on the screen.
    const float rows[] = {62, 128, 190, 248, 302, 352, 398, 440, 478, 512, 542, 568};
    PaperSky sky;
    Rng rng(909);
    float top = 0;
    for (float y : rows) {
        sky.edges.push_back({y, rng.Range(3.5f, 7.5f), rng.Range(380, 820), rng.Range(0, TAU)});
        sky.sheets.push_back(SkyColour(Clamp01((top + y) / 2 / horizon)));
        top = y;
    }
    sky.sheets.push_back(SkyColour(Clamp01((top + horizon) / 2 / horizon)));
    for (Col c : sky.sheets)
        sky.shadows.push_back(Scale(c, 0.8f));
    return sky;
}

// The aurora over the title, a ribbon of paper folded into slanting pleats:
// a bright green cut edge along its ragged top, green above and violet below,
// every other pleat a shade deeper, and a faint violet fringe under it. It
// gives the amount of each tint at a point (0 outside the ribbon).
struct AuroraTint {
    float green = 0, violet = 0;
};
AuroraTint Aurora(float x, float y, int width)
{
    float w = TAU / width;
    float centre = 200 + 42 * std::sin(x * w * 2 + 1.0f) + 26 * std::sin(x * w * 5 + 1.3f);
    float top = centre - 36 - 44 * Fbm(x, 0, 56, 2, width, 808);
    float bottom = centre + 24 + 6 * std::sin(x * w * 9 + 0.4f);
    float fringe = bottom + 16 + 8 * std::sin(x * w * 7 + 2.0f);
    AuroraTint tint;
    if (y < top || y >= fringe)
        return tint;
    if (y >= bottom) {
        tint.violet = 0.12f;
        return tint;
    }
    bool deep = int(std::floor((x - 0.3f * (y - centre)) / 34)) % 2 != 0;
    float fold = deep ? 0.7f : 1.0f;
    if (y - top < 3)
        tint.green = 0.5f;
    else if (y < top + 0.45f * (bottom - top))
        tint.green = 0.3f * fold;
    else
        tint.violet = 0.26f * fold;
    return tint;
}

// A shaft of light from above the screen, cut as a long lens: it widens from
// its top end and narrows to a point at its foot, a flat pale tint with a
// brighter core.
struct LightShaft {
    float angle, halfWidth, near, far, hue;
};

}  // namespace

void MakeTitleFrames(const std::function<void(int, const Picture&)>& sink)
{
    // The title's background is the meadow in a cut-paper style: sheets of
    // sky, a folded ribbon of aurora, shafts of light, crisp stars, all in
    // flat colours with crisp edges. Besides the look, it keeps the 70 frames
    // small: each is a few hundred colours in long runs, which an 8-bit
    // run-length picture holds in a tenth of the space of a painted one, and
    // which the title copies run by run. The frames are as tall as the
    // screen, so the title shows them as they are.
    const int W = 1280, H = 720;
    const float horizon = 593;
    // The still part: sky, aurora, stars, hills and spires.
    PaperSky sky = MakePaperSky(horizon);
    Canvas base = MakeCanvas(W, H);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            float fx = x + 0.5f, fy = y + 0.5f;
            Col col = sky.At(fx, fy);
            AuroraTint a = Aurora(fx, fy, W);
            col = Screen(col, Add(Scale(Hex(0x3FF0C0), a.green), Scale(Hex(0xA060FF), a.violet)));
            SetPx(base, x, y, col);
        }
    Stars(base, W, 131, 402, 300, true);
    std::vector<Spire> spires = Spires(W, 7, 656, 127, 349, 505);
    for (int y = 318; y < H; y++)
        for (int x = 0; x < W; x++) {
            float fx = x + 0.5f, fy = y + 0.5f;
            float hill = Ridge(fx, W, 678, 95, 300, 501);
            float ds = 1e9f;
            const Spire* near = nullptr;
            for (const Spire& s : spires) {
                float d = SpireSdf(s, fx, fy, 699, W);
                if (d <= 0.5f || (ds > 0.5f && d < ds)) {
                    ds = d;
                    near = &s;
                }
            }
            if (ds <= 0.5f) {
                Col col = SpireColour(*near, fx, fy, W, 138, 4);
                Px& p = base.px[size_t(y) * W + x];
                float a = Step(0.5f - ds, 2);
                p = {Lerp(p.r, col.r, a), Lerp(p.g, col.g, a), Lerp(p.b, col.b, a), 1};
            }
            if (fy > hill) {
                Col col = Mix(Hex(0x2A2660), Hex(0x141233), Step((fy - hill) / 95, 5));
                col = Mix(col, Hex(0x3F8A90), fy - hill < 4 ? 0.8f : 0.0f);
                SetPx(base, x, y, col);
            }
        }
    // Floating motes that rise as the frames advance (and sink back on the
    // way down of the ping-pong): a bright core in a flat halo.
    Rng rng(606);
    struct Mote {
        float x, y, r, hue;
    };
    std::vector<Mote> motes;
    for (int i = 0; i < 90; i++)
        motes.push_back({rng.Range(0, W), rng.Range(85, H), rng.Range(1.5f, 4), rng.Uniform()});
    // Shafts of light fanning down from a light above the screen's top edge,
    // each of one hue, swaying a little as the frames advance.
    const float sx = 640, sy = -130;
    const LightShaft shafts[] = {
        {-0.98f, 0.050f, 150, 560, 0.83f}, {-0.64f, 0.062f, 160, 700, 0.62f}, {-0.30f, 0.045f, 140, 820, 0.50f},
        {-0.04f, 0.070f, 150, 880, 0.55f}, {0.14f, 0.040f, 220, 760, 0.72f},  {0.44f, 0.058f, 150, 720, 0.90f},
        {0.80f, 0.050f, 170, 600, 0.66f},
    };
    std::vector<Picture> frames;
    for (int k = 0; k < TITLE_FRAMES; k++) {
        float phase = k / float(TITLE_FRAMES - 1);  // 0..1
        Canvas c = base;
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++) {
                float dx = x + 0.5f - sx, dy = y + 0.5f - sy;
                float a = std::atan2(dx, dy), r = std::hypot(dx, dy);
                Col tint{};
                for (int i = 0; i < int(std::size(shafts)); i++) {
                    const LightShaft& s = shafts[i];
                    float u = (r - s.near) / (s.far - s.near);
                    if (u <= 0 || u >= 1)
                        continue;
                    float half = s.halfWidth * std::sqrt(std::sin(3.1415927f * u));
                    float off = std::fabs(a - s.angle - 0.06f * std::sin(phase * 2.5f + i * 1.3f));
                    if (off >= half)
                        continue;
                    float amt = off < half * 0.45f ? 0.22f : 0.11f;
                    tint = Add(tint, Scale(Hue(s.hue, 0.45f, 1), amt));
                }
                if (tint.r <= 0 && tint.g <= 0 && tint.b <= 0)
                    continue;
                Px& p = c.px[size_t(y) * W + x];
                Col col = Screen({p.r, p.g, p.b}, tint);
                p = {col.r, col.g, col.b, 1};
            }
        for (const Mote& m : motes) {
            float y = m.y - phase * 148 * (0.5f + m.r / 4);
            float x = m.x + 18 * std::sin(phase * 3 + m.hue * TAU);
            float bright = 0.5f + 0.5f * std::sin(phase * 5 + m.hue * 20);
            SetClip(c, x - m.r * 5, y - m.r * 5, x + m.r * 5, y + m.r * 5);
            float hue = std::round(m.hue * 6) / 6;
            Fill(c, Crisp(Circle(x, y, m.r * 2.2f)), Hue(hue, 0.35f, 1), 0.15f + 0.15f * Step(bright, 1));
            Fill(c, Crisp(Circle(x, y, m.r * 0.8f)), Hue(hue, 0.15f, 1), 1);
            ClearClip(c);
        }
        frames.push_back(ToOpaque(c, Hex(0)));
    }
    // One palette for the whole animation, so no colour flickers between
    // neighbouring frames.
    ReduceColours(frames, 256);
    for (int k = 0; k < TITLE_FRAMES; k++)
        sink(k, frames[k]);
}

namespace {

// Dilates a text mask: coverage of the glyphs grown by radius pixels.
std::vector<float> Dilate(const TextMask& m, int radius)
{
    std::vector<float> out(m.cover.size(), 0);
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++) {
            float best = 0;
            for (int dy = -radius; dy <= radius && best < 1; dy++)
                for (int dx = -radius; dx <= radius; dx++) {
                    float d = std::hypot(float(dx), float(dy));
                    if (d > radius + 0.5f)
                        continue;
                    float v = m.At(x + dx, y + dy) * Clamp01(radius + 0.5f - d);
                    best = std::max(best, v);
                }
            out[size_t(y) * m.w + x] = best;
        }
    return out;
}

// Paints lettering into c with its top-left at (ox, oy): an outer dark
// outline, a coloured rim and the face.
void Letter(Canvas& c, const TextMask& m, int ox, int oy, int outline, const Paint& face, Col rim, Col dark)
{
    std::vector<float> outer = Dilate(m, outline);
    std::vector<float> inner = Dilate(m, std::max(1, outline / 3));
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++) {
            int cx = x + ox, cy = y + oy;
            if (cx < 0 || cy < 0 || cx >= c.w || cy >= c.h)
                continue;
            size_t i = size_t(y) * m.w + x;
            Px& p = c.px[size_t(cy) * c.w + cx];
            auto over = [&p](Col col, float a) {
                p.r = col.r * a + p.r * (1 - a);
                p.g = col.g * a + p.g * (1 - a);
                p.b = col.b * a + p.b * (1 - a);
                p.a = a + p.a * (1 - a);
            };
            over(dark, outer[i]);
            over(rim, inner[i]);
            over(face(float(x), float(y)), m.cover[i]);
        }
}

Picture Button(int w, int h, const char* label, float hue)
{
    Canvas c = MakeCanvas(w, h);
    Sdf pill = Box(14, 26, w - 14, h - 26, (h - 52) / 2.0f);
    Glow(c, pill, Hue(hue, 0.4f, 1), 12, 0.5f);
    Fill(c, Grow(pill, 5), OUTLINE);
    Fill(c, pill, [h, hue](float, float y) {
        float t = Clamp01((y - 26) / (h - 52));
        return t < 0.5f ? Mix(Hue(hue, 0.35f, 1), Hue(hue, 0.7f, 0.8f), t * 2)
                        : Mix(Hue(hue, 0.75f, 0.55f), Hue(hue + 0.05f, 0.8f, 0.35f), (t - 0.5f) * 2);
    });
    Fill(c, Box(40, 36, w - 40, 58, 11), Hex(0xFFFFFE), 0.25f);
    TextMask m = RenderText("Bebas Neue:style=Bold", label, 150, 8);
    if (m.w > 0)
        Letter(c, m, (w - m.w) / 2, (h - m.h) / 2 + 12, 7,
               [&m](float, float y) { return Mix(Hex(0xFFFFFE), Hex(0xDDE6FF), y / m.h); },
               Hex(0x3A2E6A), OUTLINE);
    return ToSprite(c, 0xFF00FF);
}

}  // namespace

Picture MakeTitleLogo()
{
    const int W = 793, H = 487;
    Canvas c = MakeCanvas(W, H);
    // A cut gem above the name, with short glints of every colour.
    float gx = W / 2.0f, gy = 96;
    for (int i = 0; i < 12; i++) {
        float a = i * TAU / 12 + 0.13f;
        float r0 = 50, r1 = i % 2 ? 70 : 88;
        Sdf glint = Polygon({gx + std::cos(a) * r1, gy + std::sin(a) * r1 * 0.8f, gx + std::cos(a + 0.07f) * r0,
                             gy + std::sin(a + 0.07f) * r0 * 0.8f, gx + std::cos(a - 0.07f) * r0,
                             gy + std::sin(a - 0.07f) * r0 * 0.8f});
        Fill(c, Grow(glint, 2), OUTLINE);
        Fill(c, glint, Hue(i / 12.0f, 0.55f, 1));
    }
    Sdf gem = Polygon({gx - 44, gy - 14, gx - 24, gy - 36, gx + 24, gy - 36, gx + 44, gy - 14, gx, gy + 40});
    Glow(c, gem, Hex(0xBFEFFF), 18, 0.5f);
    Fill(c, Grow(gem, 5), OUTLINE);
    Fill(c, gem, [gx, gy](float x, float y) {
        if (y < gy - 14)  // crown facets
            return x < gx - 12 ? Hex(0xE8FBFF) : x < gx + 12 ? Hex(0xC8F2FF) : Hex(0x9FD9F0);
        float f = (x - gx) / 44;
        return f < -0.33f ? Hex(0x8FE8E0) : f < 0.33f ? Hex(0x6FC8F0) : Hex(0x7A7AE8);
    });
    Fill(c, Segment(gx - 44, gy - 14, gx + 44, gy - 14, 1.2f), Hex(0xF4FCFF));
    // The name, as large as fits between the margins.
    TextMask m;
    for (int size = 190; size >= 60; size -= 6) {
        m = RenderText("URW Gothic:style=Demi", "Prismveldt", size, 2);
        if (m.w <= W - 30)
            break;
    }
    if (m.w > 0) {
        int ox = (W - m.w) / 2, oy = 250 - m.baseline + 40;
        Letter(c, m, ox, oy, 12,
               [&m](float x, float y) {
                   float t = y / m.h;
                   Col face = Mix(Hex(0xFFFFFE), Hex(0x9FE8FF), Clamp01((t - 0.3f) * 2));
                   Col sheen = Hue(x / m.w * 0.85f, 0.55f, 1);
                   return Mix(face, sheen, Clamp01((t - 0.45f) * 2.2f));
               },
               Hex(0x5A3FA0), OUTLINE);
    }
    // A spectrum underline.
    Sdf line = Box(130, 338, W - 130, 350, 6);
    Fill(c, Grow(line, 4), OUTLINE);
    Fill(c, line, [W](float x, float) { return Hue((x - 120) / (W - 240.0f) * 0.8f, 0.6f, 1); });
    return ToSprite(c, 0xFF00FF);
}

Picture MakeStartButton() { return Button(537, 248, "START", 0.47f); }
Picture MakeEndButton() { return Button(397, 248, "END", 0.93f); }

Picture MakeResultsBackground()
{
    const int W = 1280, H = 680;
    Canvas c = MakeCanvas(W, H);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            SetPx(c, x, y, Scale(Sky(x + 0.5f, y + 0.5f, 700, W, 2.0f), 0.8f));
    Stars(c, W, 231, 600, 260);
    // Glass panels behind the texts, each placed round the captions it holds
    // with room to spare: given here in screen rows, and drawn into the
    // picture's 680 rows, which the screen stretches to 720.
    const float toPicture = 680.0f / 720.0f;
    auto panel = [&c, toPicture](float x0, float y0, float x1, float y1, float hue) {
        y0 *= toPicture;
        y1 *= toPicture;
        Sdf s = Box(x0, y0, x1, y1, 22);
        Fill(c, Grow(s, 3), Hue(hue, 0.45f, 0.9f), 0.8f);
        Fill(c, s, [y0, y1](float, float y) { return Mix(Hex(0x1E1A4A), Hex(0x0E0C28), (y - y0) / (y1 - y0)); }, 0.82f);
    };
    // A soft light behind "SCORE" (its letters cover x 487-730, rows 40-118);
    // the panels start 16 rows below it.
    Glow(c, Ellipse(608, 79 * toPicture, 170, 34), Hex(0x8B7CF6), 60, 0.35f);
    // "MAP1" and the run's time: x 222-528, rows 149-374.
    panel(190, 134, 600, 394, 0.83f);
    // "RANKING" and the five rows: x 765-1103, rows 150-552.
    panel(735, 134, 1135, 564, 0.55f);
    // The pill of "CLICK START", clear of the panel above: its letters cover
    // x 256-977, rows 584-630.
    Fill(c, Box(226, 573 * toPicture, 1007, 641 * toPicture, 30), Hex(0x0E0C28), 0.6f);
    return ToOpaque(c, Hex(0));
}

Picture MakeWhite() { return MakePicture(64, 64, 0xFFFFFF); }
