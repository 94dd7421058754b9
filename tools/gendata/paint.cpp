// The painting kit's shapes, noise and conversions (see paint.h).
#include "paint.h"

#include <algorithm>
#include <unordered_map>

Col Hue(float h, float s, float v)
{
    h = h - std::floor(h);
    float k[3] = {5, 3, 1};
    float out[3];
    for (int i = 0; i < 3; i++) {
        float kk = std::fmod(k[i] + h * 6, 6.0f);
        out[i] = v - v * s * std::max(0.0f, std::min({kk, 4 - kk, 1.0f}));
    }
    return {out[0], out[1], out[2]};
}

Col Screen(Col a, Col b)
{
    return {1 - (1 - a.r) * (1 - b.r), 1 - (1 - a.g) * (1 - b.g), 1 - (1 - a.b) * (1 - b.b)};
}

Canvas MakeCanvas(int w, int h)
{
    Canvas c;
    c.w = w;
    c.h = h;
    c.px.assign(size_t(w) * h, Px{});
    return c;
}

void SetClip(Canvas& c, float x0, float y0, float x1, float y1)
{
    c.clipX0 = std::max(0, int(std::floor(x0)));
    c.clipY0 = std::max(0, int(std::floor(y0)));
    c.clipX1 = int(std::ceil(x1));
    c.clipY1 = int(std::ceil(y1));
}

void ClearClip(Canvas& c)
{
    c.clipX0 = c.clipY0 = 0;
    c.clipX1 = c.clipY1 = 1 << 30;
}

void SetTurn(Canvas& c, float degrees, float cx, float cy)
{
    float r = degrees * 3.14159265f / 180;
    c.cosA = std::cos(r);
    c.sinA = std::sin(r);
    c.cx = cx;
    c.cy = cy;
}

void ResetFrame(Canvas& c)
{
    c.cosA = 1;
    c.sinA = 0;
    c.cx = c.cy = c.shiftX = c.shiftY = 0;
}

static void ToShape(const Canvas& c, int px, int py, float& x, float& y)
{
    float fx = px + 0.5f, fy = py + 0.5f;
    fx -= c.cx;
    fy -= c.cy;
    x = fx * c.cosA + fy * c.sinA + c.cx - c.shiftX;
    y = -fx * c.sinA + fy * c.cosA + c.cy - c.shiftY;
}

static void Over(Px& d, Col s, float a)
{
    if (a <= 0)
        return;
    d.r = s.r * a + d.r * (1 - a);
    d.g = s.g * a + d.g * (1 - a);
    d.b = s.b * a + d.b * (1 - a);
    d.a = a + d.a * (1 - a);
}

void Fill(Canvas& c, const Sdf& sdf, const Paint& paint, float opacity)
{
    for (int y = c.clipY0; y < std::min(c.h, c.clipY1); y++)
        for (int x = c.clipX0; x < std::min(c.w, c.clipX1); x++) {
            float sx, sy;
            ToShape(c, x, y, sx, sy);
            float d = sdf(sx, sy);
            if (d >= 0.5f)
                continue;
            float cover = Clamp01(0.5f - d) * opacity;
            Over(c.px[size_t(y) * c.w + x], paint(sx, sy), cover);
        }
}

void Fill(Canvas& c, const Sdf& sdf, Col colour, float opacity)
{
    Fill(c, sdf, [colour](float, float) { return colour; }, opacity);
}

void FillOutlined(Canvas& c, const Sdf& sdf, const Paint& paint, Col outline, float width)
{
    Fill(c, Grow(sdf, width), outline);
    Fill(c, sdf, paint);
}

void FillOutlined(Canvas& c, const Sdf& sdf, Col colour, Col outline, float width)
{
    Fill(c, Grow(sdf, width), outline);
    Fill(c, sdf, colour);
}

void Glow(Canvas& c, const Sdf& sdf, Col colour, float radius, float peak)
{
    for (int y = c.clipY0; y < std::min(c.h, c.clipY1); y++)
        for (int x = c.clipX0; x < std::min(c.w, c.clipX1); x++) {
            float sx, sy;
            ToShape(c, x, y, sx, sy);
            float d = std::max(0.0f, sdf(sx, sy));
            if (d >= radius)
                continue;
            float t = 1 - d / radius;
            Over(c.px[size_t(y) * c.w + x], colour, peak * t * t);
        }
}

Sdf Circle(float cx, float cy, float r)
{
    return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

Sdf Ellipse(float cx, float cy, float rx, float ry)
{
    // Scaled distance: exact enough for drawing small shapes.
    return [=](float x, float y) {
        float dx = (x - cx) / rx, dy = (y - cy) / ry;
        float k = std::hypot(dx, dy);
        return (k - 1) * std::min(rx, ry);
    };
}

Sdf Box(float x0, float y0, float x1, float y1, float radius)
{
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    return [=](float x, float y) {
        float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
        float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
        return std::hypot(ox, oy) + std::min(std::max(qx, qy), 0.0f) - radius;
    };
}

Sdf Segment(float x0, float y0, float x1, float y1, float halfWidth)
{
    return [=](float x, float y) {
        float px = x - x0, py = y - y0, bx = x1 - x0, by = y1 - y0;
        float bb = bx * bx + by * by;
        float t = bb > 0 ? Clamp01((px * bx + py * by) / bb) : 0;
        return std::hypot(px - bx * t, py - by * t) - halfWidth;
    };
}

Sdf Polygon(std::vector<float> v)
{
    return [v](float x, float y) {
        size_t n = v.size() / 2;
        float d = 1e30f;
        bool inside = false;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            float xi = v[2 * i], yi = v[2 * i + 1], xj = v[2 * j], yj = v[2 * j + 1];
            float ex = xj - xi, ey = yj - yi, wx = x - xi, wy = y - yi;
            float ee = ex * ex + ey * ey;
            float t = ee > 0 ? Clamp01((wx * ex + wy * ey) / ee) : 0;
            d = std::min(d, std::hypot(wx - ex * t, wy - ey * t));
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                inside = !inside;
        }
        return inside ? -d : d;
    };
}

Sdf Union(Sdf a, Sdf b)
{
    return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}
Sdf Intersect(Sdf a, Sdf b)
{
    return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}
Sdf Subtract(Sdf a, Sdf b)
{
    return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}
Sdf Grow(Sdf a, float by)
{
    return [=](float x, float y) { return a(x, y) - by; };
}

uint64_t Rng::Next()
{
    s += 0x9E3779B97F4A7C15ull;
    uint64_t z = s;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

static float Lattice(int x, int y, uint32_t seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777215.0f;
}

float Noise(float x, float y, float cell, int periodX, uint32_t seed)
{
    float fx = x / cell, fy = y / cell;
    int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    float tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    int cells = periodX > 0 ? std::max(1, int(std::lround(periodX / cell))) : 0;
    auto wrap = [cells](int v) { return cells ? ((v % cells) + cells) % cells : v; };
    float a = Lattice(wrap(ix), iy, seed), b = Lattice(wrap(ix + 1), iy, seed);
    float c = Lattice(wrap(ix), iy + 1, seed), d = Lattice(wrap(ix + 1), iy + 1, seed);
    return Lerp(Lerp(a, b, tx), Lerp(c, d, tx), ty);
}

float Fbm(float x, float y, float cell, int octaves, int periodX, uint32_t seed)
{
    float sum = 0, amp = 1, total = 0;
    for (int i = 0; i < octaves; i++) {
        sum += Noise(x, y, cell, periodX, seed + i * 101) * amp;
        total += amp;
        amp *= 0.5f;
        cell *= 0.5f;
    }
    return sum / total;
}

Picture MakePicture(int w, int h, uint32_t fill)
{
    Picture p;
    p.w = w;
    p.h = h;
    p.px.assign(size_t(w) * h, fill);
    return p;
}

uint32_t Pack(Col c)
{
    auto q = [](float v) { return uint32_t(std::lround(Clamp01(v) * 255)); };
    return (q(c.r) << 16) | (q(c.g) << 8) | q(c.b);
}

static uint32_t Nudge(uint32_t v, uint32_t key, uint32_t avoid)
{
    // Move a colour off the key by one step of green (invisible to the eye).
    while (v == key || v == avoid)
        v = (v & 0xFF00FF) | (((v >> 8) & 255) == 0 ? 0x000100 : ((((v >> 8) & 255) - 1) << 8));
    return v;
}

Picture ToSprite(const Canvas& c, uint32_t key, uint32_t avoid)
{
    Picture p = MakePicture(c.w, c.h, key);
    for (size_t i = 0; i < p.px.size(); i++) {
        const Px& s = c.px[i];
        if (s.a < 0.5f)
            continue;
        p.px[i] = Nudge(Pack({s.r / s.a, s.g / s.a, s.b / s.a}), key, avoid);
    }
    return p;
}

Picture ToOpaque(const Canvas& c, Col bg)
{
    Picture p = MakePicture(c.w, c.h, 0);
    for (size_t i = 0; i < p.px.size(); i++) {
        const Px& s = c.px[i];
        p.px[i] = Pack({s.r + bg.r * (1 - s.a), s.g + bg.g * (1 - s.a), s.b + bg.b * (1 - s.a)});
    }
    return p;
}

void Blit(Picture& dst, const Picture& src, int ox, int oy)
{
    for (int y = 0; y < src.h; y++)
        for (int x = 0; x < src.w; x++) {
            int dx = x + ox, dy = y + oy;
            if (dx >= 0 && dy >= 0 && dx < dst.w && dy < dst.h)
                dst.px[size_t(dy) * dst.w + dx] = src.px[size_t(y) * src.w + x];
        }
}

void ReduceColours(std::vector<Picture>& pictures, int colours)
{
    std::unordered_map<uint32_t, uint64_t> seen;
    for (const Picture& p : pictures)
        for (uint32_t v : p.px)
            seen[v]++;
    if (seen.size() <= size_t(colours))
        return;
    // Sorted, so the result does not depend on the hash map's order.
    struct Entry {
        uint32_t colour;
        uint64_t count;
    };
    std::vector<Entry> all;
    for (const auto& [colour, count] : seen)
        all.push_back({colour, count});
    std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) { return a.colour < b.colour; });
    auto channel = [](uint32_t v, int ch) { return int((v >> (16 - 8 * ch)) & 255); };
    struct BoxRange {
        size_t begin, end;
        int widest, range;
        double weight;
    };
    auto measure = [&](size_t begin, size_t end) {
        BoxRange box{begin, end, 0, 0, 0};
        for (int ch = 0; ch < 3; ch++) {
            int lo = 255, hi = 0;
            for (size_t i = begin; i < end; i++) {
                lo = std::min(lo, channel(all[i].colour, ch));
                hi = std::max(hi, channel(all[i].colour, ch));
            }
            if (hi - lo > box.range) {
                box.range = hi - lo;
                box.widest = ch;
            }
        }
        for (size_t i = begin; i < end; i++)
            box.weight += double(all[i].count);
        return box;
    };
    std::vector<BoxRange> boxes{measure(0, all.size())};
    while (boxes.size() < size_t(colours)) {
        // Split the box whose colours are both far apart and common.
        size_t pick = boxes.size();
        double best = 0;
        for (size_t b = 0; b < boxes.size(); b++) {
            double score = boxes[b].range * std::sqrt(boxes[b].weight);
            if (boxes[b].end - boxes[b].begin > 1 && score > best) {
                best = score;
                pick = b;
            }
        }
        if (pick == boxes.size())
            break;
        BoxRange box = boxes[pick];
        int ch = box.widest;
        std::sort(all.begin() + box.begin, all.begin() + box.end, [&](const Entry& a, const Entry& b) {
            return channel(a.colour, ch) != channel(b.colour, ch) ? channel(a.colour, ch) < channel(b.colour, ch)
                                                                  : a.colour < b.colour;
        });
        double half = 0;
        size_t cut = box.begin + 1;
        for (size_t i = box.begin; i + 1 < box.end; i++) {
            half += double(all[i].count);
            cut = i + 1;
            if (half * 2 >= box.weight)
                break;
        }
        boxes[pick] = measure(box.begin, cut);
        boxes.push_back(measure(cut, box.end));
    }
    std::vector<uint32_t> palette;
    for (const BoxRange& box : boxes) {
        double sum[3] = {0, 0, 0};
        for (size_t i = box.begin; i < box.end; i++)
            for (int ch = 0; ch < 3; ch++)
                sum[ch] += double(channel(all[i].colour, ch)) * double(all[i].count);
        uint32_t v = 0;
        for (int ch = 0; ch < 3; ch++)
            v |= uint32_t(std::lround(sum[ch] / box.weight)) << (16 - 8 * ch);
        palette.push_back(v);
    }
    std::unordered_map<uint32_t, uint32_t> nearest;
    for (const Entry& e : all) {
        long best = -1;
        uint32_t pick = 0;
        for (uint32_t q : palette) {
            long d = 0;
            for (int ch = 0; ch < 3; ch++) {
                long k = channel(e.colour, ch) - channel(q, ch);
                d += k * k;
            }
            if (best < 0 || d < best) {
                best = d;
                pick = q;
            }
        }
        nearest[e.colour] = pick;
    }
    for (Picture& p : pictures)
        for (uint32_t& v : p.px)
            v = nearest[v];
}
