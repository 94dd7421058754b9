// Sound synthesis for the generator: a handful of additive and FM voices,
// a tiny sequencer that wraps note tails around the loop's end (so the loop
// has no seam), a .wav writer and the MP3 encoding (see sound.h).
#include "sound.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr double TAU = 6.283185307179586;

struct Rand {
    uint64_t s;
    double Next()  // -1..1
    {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        return double(int64_t(s >> 11) - (int64_t(1) << 52)) / double(int64_t(1) << 52);
    }
};

double NoteHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// A stereo buffer whose length is the loop: writes past the end wrap.
struct Loop {
    std::vector<float> l, r;
    explicit Loop(size_t n) : l(n), r(n) {}
    size_t Size() const { return l.size(); }
    void Add(size_t i, double v, double pan)  // pan -1 left .. 1 right
    {
        i %= l.size();
        l[i] += float(v * std::sqrt(0.5 * (1 - pan)));
        r[i] += float(v * std::sqrt(0.5 * (1 + pan)));
    }
};

double Env(double t, double attack, double decay, double sustain, double length, double release)
{
    double a;
    if (t < attack)
        a = t / attack;
    else
        a = sustain + (1 - sustain) * std::exp(-(t - attack) / decay);
    if (t > length)
        a *= std::max(0.0, 1 - (t - length) / release);
    return a;
}

enum Voice { PAD, BELL, BASS, LEAD, PLUCK };

// One cycle of a saw with only its first five harmonics, from a table.
double SoftSaw(double phase)
{
    static const std::vector<double> table = [] {
        std::vector<double> t(4096);
        for (size_t i = 0; i < t.size(); i++)
            for (int h = 1; h <= 5; h++)
                t[i] += std::sin(TAU * h * double(i) / t.size()) / (h * 1.6);
        return t;
    }();
    return table[size_t(phase * table.size()) & (table.size() - 1)];
}

// brightness (0 ... 1) opens up a voice's upper partials where it has any.
void Note(Loop& out, Voice v, double startSec, double lenSec, double midi, double vol, double pan,
          double brightness = 0)
{
    double hz = NoteHz(midi);
    double release = v == PAD ? 0.8 : v == BASS ? 0.06 : v == LEAD ? 0.12 : 0.3;
    double total = lenSec + release;
    size_t n = size_t(total * SAMPLE_RATE);
    size_t start = size_t(startSec * SAMPLE_RATE);
    for (size_t k = 0; k < n; k++) {
        double t = double(k) / SAMPLE_RATE;
        double s = 0;
        switch (v) {
        case PAD: {
            // Three detuned soft saws (few harmonics), slow swell.
            double e = Env(t, 0.35, 1.0, 0.8, lenSec, release);
            const double detune[3] = {-0.12, 0.0, 0.13};
            for (int d = 0; d < 3; d++) {
                double cycles = hz * std::pow(2.0, detune[d] / 12) * t + d * 0.31;
                s += SoftSaw(cycles - std::floor(cycles));
            }
            s *= e * 0.22;
            break;
        }
        case BELL: {
            double e = Env(t, 0.004, 0.55, 0.0, lenSec, release);
            double idx = 2.2 * std::exp(-t * 5);
            s = std::sin(TAU * hz * t + idx * std::sin(TAU * hz * 3.5 * t)) * e;
            break;
        }
        case PLUCK: {
            double e = Env(t, 0.003, 0.16, 0.0, lenSec, release);
            double idx = 1.6 * std::exp(-t * 14) + brightness * 2.2 * std::exp(-t * 8);
            s = std::sin(TAU * hz * t + idx * std::sin(TAU * hz * 2 * t)) * e;
            break;
        }
        case BASS: {
            double e = Env(t, 0.006, 0.25, 0.55, lenSec, release);
            s = (std::sin(TAU * hz * t) + 0.35 * std::sin(TAU * hz * 2 * t + 0.5) +
                 0.12 * std::sin(TAU * hz * 3 * t)) * e;
            break;
        }
        case LEAD: {
            double e = Env(t, 0.02, 0.3, 0.7, lenSec, release);
            double vib = t > 0.15 ? 0.004 * std::sin(TAU * 5.5 * t) : 0;
            double ph = TAU * hz * t * (1 + vib);
            double idx = 0.9 * (0.6 + 0.4 * std::exp(-t * 6)) * (1 + brightness);
            s = std::sin(ph + idx * std::sin(ph)) * e;
            break;
        }
        }
        out.Add(start + k, s * vol, pan);
    }
}

void Kick(Loop& out, double at, double vol)
{
    size_t n = size_t(0.35 * SAMPLE_RATE), start = size_t(at * SAMPLE_RATE);
    double phase = 0;
    for (size_t k = 0; k < n; k++) {
        double t = double(k) / SAMPLE_RATE;
        double f = 48 + 110 * std::exp(-t * 28);
        phase += TAU * f / SAMPLE_RATE;
        double e = std::exp(-t * 9) * std::min(1.0, t * 800);
        out.Add(start + k, std::sin(phase) * e * vol, 0);
    }
}

void Snare(Loop& out, double at, double vol, uint64_t seed)
{
    Rand rnd{seed};
    size_t n = size_t(0.22 * SAMPLE_RATE), start = size_t(at * SAMPLE_RATE);
    double lp = 0;
    for (size_t k = 0; k < n; k++) {
        double t = double(k) / SAMPLE_RATE;
        double noise = rnd.Next();
        lp += (noise - lp) * 0.45;
        double e = std::exp(-t * 18) * std::min(1.0, t * 1000);
        double tone = std::sin(TAU * 190 * t) * std::exp(-t * 30);
        out.Add(start + k, (lp * 0.8 + tone * 0.5) * e * vol, 0.1);
    }
}

// A closed hat: noise through two high-pass stages (about 6 kHz), short.
void Hat(Loop& out, double at, double vol, double pan, uint64_t seed, double length = 0.06)
{
    Rand rnd{seed};
    size_t n = size_t(length * SAMPLE_RATE), start = size_t(at * SAMPLE_RATE);
    double lp1 = 0, lp2 = 0, hp1;
    const double k = 1 - std::exp(-TAU * 6000.0 / SAMPLE_RATE);
    double decay = 4.2 / length;
    for (size_t j = 0; j < n; j++) {
        double t = double(j) / SAMPLE_RATE;
        double noise = rnd.Next();
        lp1 += (noise - lp1) * k;
        hp1 = noise - lp1;
        lp2 += (hp1 - lp2) * k;
        double e = std::exp(-t * decay) * std::min(1.0, t * 2000);
        out.Add(start + j, (hp1 - lp2) * e * vol, pan);
    }
}

// A wide, soft room for the loops: four combs per side with delays of their
// own (so left and right decorrelate), then two all-passes. Run over the loop
// twice and kept from the second time round, so the tail of the end rings
// on into the start and the loop still has no seam.
void RoomReverb(const Loop& send, Loop& out, double seconds, double wet)
{
    struct Comb {
        std::vector<float> buf;
        size_t i = 0;
        float lp = 0;
    };
    struct AllPass {
        std::vector<float> buf;
        size_t i = 0;
    };
    const int combL[4] = {1557, 1617, 1491, 1422}, combR[4] = {1580, 1640, 1514, 1445};
    const int apL[2] = {556, 441}, apR[2] = {579, 464};
    Comb cl[4], cr[4];
    AllPass al[2], ar[2];
    double feedback[4];
    for (int k = 0; k < 4; k++) {
        cl[k].buf.assign(combL[k], 0);
        cr[k].buf.assign(combR[k], 0);
        // Each comb decays by 60 dB in the given time.
        feedback[k] = std::pow(10.0, -3.0 * combL[k] / (seconds * SAMPLE_RATE));
    }
    for (int k = 0; k < 2; k++) {
        al[k].buf.assign(apL[k], 0);
        ar[k].buf.assign(apR[k], 0);
    }
    auto run = [&](Comb* c, AllPass* a, float in) {
        float sum = 0;
        for (int k = 0; k < 4; k++) {
            float y = c[k].buf[c[k].i];
            c[k].lp += (y - c[k].lp) * 0.55f;  // damping: the highs die first
            c[k].buf[c[k].i] = float(in + c[k].lp * feedback[k]);
            c[k].i = (c[k].i + 1) % c[k].buf.size();
            sum += y;
        }
        for (int k = 0; k < 2; k++) {
            float b = a[k].buf[a[k].i];
            float y = -sum * 0.5f + b;
            a[k].buf[a[k].i] = sum + b * 0.5f;
            a[k].i = (a[k].i + 1) % a[k].buf.size();
            sum = y;
        }
        return sum;
    };
    size_t n = send.Size();
    for (int pass = 0; pass < 2; pass++)
        for (size_t i = 0; i < n; i++) {
            float mid = (send.l[i] + send.r[i]) * 0.5f;
            float l = run(cl, al, send.l[i] * 0.7f + mid * 0.3f) * 0.25f;
            float r = run(cr, ar, send.r[i] * 0.7f + mid * 0.3f) * 0.25f;
            if (pass == 1) {
                out.l[i] += float(l * wet);
                out.r[i] += float(r * wet);
            }
        }
}

// An echo that bounces between the sides: taps every delay seconds, each
// weaker and on the other side, wrapping round the loop.
void PingPong(const Loop& send, Loop& out, double delay, int taps, double gain)
{
    size_t n = send.Size(), d = size_t(delay * SAMPLE_RATE);
    double g = gain;
    for (int t = 1; t <= taps; t++, g *= 0.55) {
        bool swap = t % 2 == 1;
        size_t shift = (d * t) % n;
        for (size_t i = 0; i < n; i++) {
            size_t from = (i + n - shift) % n;
            float mono = (send.l[from] + send.r[from]) * 0.5f;
            out.l[i] += float((swap ? mono * 0.2f : mono) * g * (swap ? 0.6 : 1.0));
            out.r[i] += float((swap ? mono : mono * 0.2f) * g * (swap ? 1.0 : 0.6));
        }
    }
}

// Lifts everything above about 3 kHz by the given factor: a one-pole split
// run round the loop twice, so the filter's memory at the start is the end's.
void HighShelf(Loop& loop, double lift)
{
    const double k = 1 - std::exp(-TAU * 3000.0 / SAMPLE_RATE);
    double lpl = 0, lpr = 0;
    size_t n = loop.Size();
    std::vector<float> l = loop.l, r = loop.r;
    for (int pass = 0; pass < 2; pass++)
        for (size_t i = 0; i < n; i++) {
            lpl += (l[i] - lpl) * k;
            lpr += (r[i] - lpr) * k;
            if (pass == 1) {
                loop.l[i] = float(lpl + (l[i] - lpl) * lift);
                loop.r[i] = float(lpr + (r[i] - lpr) * lift);
            }
        }
}

// The master: the soft limiter that gives the loops their weight, then the
// level set so the loudest sample sits at ceiling. The loop already wraps
// (every tail was written round its end), so the ends meet as they are.
std::vector<float> Finish(Loop& loop, double gain, double ceiling)
{
    std::vector<float> inter(loop.Size() * 2);
    float peak = 0;
    for (size_t i = 0; i < loop.Size(); i++) {
        inter[2 * i] = float(std::tanh(loop.l[i] * gain));
        inter[2 * i + 1] = float(std::tanh(loop.r[i] * gain));
        peak = std::max({peak, std::fabs(inter[2 * i]), std::fabs(inter[2 * i + 1])});
    }
    if (peak > 0)
        for (float& v : inter)
            v = float(v * ceiling / peak);
    return inter;
}

// Scales a sound so its loudest sample sits at ceiling.
void SetPeak(std::vector<float>& s, double ceiling)
{
    float peak = 0;
    for (float v : s)
        peak = std::max(peak, std::fabs(v));
    if (peak > 0)
        for (float& v : s)
            v = float(v * ceiling / peak);
}

Bytes Wav(const std::vector<float>& mono)
{
    Bytes b;
    auto put = [&b](uint32_t v, int n) {
        for (int i = 0; i < n; i++)
            b.push_back((v >> (8 * i)) & 255);
    };
    uint32_t dataBytes = uint32_t(mono.size() * 2);
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put(36 + dataBytes, 4);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);  // PCM
    put(1, 2);  // mono
    put(SAMPLE_RATE, 4);
    put(SAMPLE_RATE * 2, 4);
    put(2, 2);
    put(16, 2);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put(dataBytes, 4);
    for (float s : mono) {
        long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767);
        put(uint32_t(int16_t(v)) & 0xFFFF, 2);
    }
    return b;
}

Bytes EncodeMp3(const std::vector<float>& inter)
{
    Bytes out;
    lame_global_flags* gf = lame_init();
    if (!gf)
        return out;
    lame_set_num_channels(gf, 2);
    lame_set_in_samplerate(gf, SAMPLE_RATE);
    lame_set_out_samplerate(gf, SAMPLE_RATE);
    lame_set_brate(gf, 160);
    lame_set_mode(gf, JOINT_STEREO);
    lame_set_quality(gf, 5);
    lame_set_bWriteVbrTag(gf, 1);  // the LAME tag tells decoders the exact length
    lame_set_write_id3tag_automatic(gf, 0);
    if (lame_init_params(gf) < 0) {
        lame_close(gf);
        return out;
    }
    size_t frames = inter.size() / 2;
    std::vector<float> l(frames), r(frames);
    for (size_t i = 0; i < frames; i++) {
        l[i] = inter[2 * i];
        r[i] = inter[2 * i + 1];
    }
    const size_t chunk = 8192;
    std::vector<unsigned char> buf(chunk * 5 / 4 + 7200);
    bool ok = true;
    for (size_t i = 0; i < frames && ok; i += chunk) {
        int n = int(std::min(chunk, frames - i));
        int got = lame_encode_buffer_ieee_float(gf, &l[i], &r[i], n, buf.data(), int(buf.size()));
        if (got < 0)
            ok = false;
        else
            out.insert(out.end(), buf.begin(), buf.begin() + got);
    }
    int got = ok ? lame_encode_flush(gf, buf.data(), int(buf.size())) : -1;
    if (got < 0)
        ok = false;
    else
        out.insert(out.end(), buf.begin(), buf.begin() + got);
    if (ok) {
        unsigned char tag[4096];
        size_t n = lame_get_lametag_frame(gf, tag, sizeof tag);
        if (n > 0 && n <= out.size())
            std::copy(tag, tag + n, out.begin());
    }
    lame_close(gf);
    if (!ok)
        out.clear();
    return out;
}

}  // namespace

Bytes MakeShotWav()
{
    // The beam's hum, started again every 30 firing frames: a soft falling
    // chirp into a warm chord (A and E, the stage music's key) that swells a
    // little and dies away before the next start, so a held beam pulses
    // gently instead of buzzing. Sines only, a slow shimmer, no fast tremolo.
    size_t n = size_t(0.5 * SAMPLE_RATE);
    std::vector<float> s(n);
    Rand rnd{7};
    double chirp = 0, lp = 0, bp = 0;
    const double partials[4][3] = {  // Hz, level, shimmer rate
        {220.0, 0.55, 3.1}, {330.0, 0.35, 4.3}, {440.4, 0.22, 5.2}, {659.3, 0.10, 6.1}};
    for (size_t k = 0; k < n; k++) {
        double t = double(k) / SAMPLE_RATE;
        double chirpHz = 520 + 900 * std::exp(-t * 30);
        chirp += TAU * chirpHz / SAMPLE_RATE;
        double zap = std::sin(chirp) * std::exp(-t * 24) * 0.5;
        double hum = 0;
        for (const auto& p : partials)
            hum += std::sin(TAU * p[0] * t) * p[1] * (1 + 0.12 * std::sin(TAU * p[2] * t));
        // A breath of band-passed noise: the beam's rush, around 2-4 kHz.
        double noise = rnd.Next();
        lp += (noise - lp) * 0.35;
        bp += ((noise - lp) - bp) * 0.5;
        double rush = bp * 0.18 * std::exp(-t * 6);
        double swell = 0.75 + 0.25 * std::sin(TAU * 1.0 * t);
        // Silent from 0.475 s: the restart after 30 frames (at least 0.48 s)
        // never cuts the sound off mid-swing.
        double env = std::min(1.0, t / 0.012) * std::clamp((0.475 - t) / 0.12, 0.0, 1.0);
        s[k] = float((zap + hum * swell + rush) * env);
    }
    // Held, it is a steady sound: kept about as loud as the music under it.
    SetPeak(s, EFFECT_PEAK * 0.72);
    return Wav(s);
}

Bytes MakeClickWav()
{
    size_t n = size_t(0.07 * SAMPLE_RATE);
    std::vector<float> s(n);
    for (size_t k = 0; k < n; k++) {
        double t = double(k) / SAMPLE_RATE;
        double e = std::min(1.0, t * 1500) * std::exp(-t * 60);
        double tone = std::sin(TAU * 1320 * t) * 0.6 + std::sin(TAU * 1980 * t) * 0.35 +
                      std::sin(TAU * 660 * t + 2 * std::sin(TAU * 1320 * t) * std::exp(-t * 80)) * 0.3;
        s[k] = float(tone * e);
    }
    SetPeak(s, EFFECT_PEAK);
    return Wav(s);
}

namespace {

// A struck bell at hz from the start of s, as the title's arpeggios ring: an
// FM tone whose brightness falls faster than its loudness.
void AddChime(std::vector<float>& s, double startSec, double hz, double level, double decay)
{
    size_t start = size_t(startSec * SAMPLE_RATE);
    for (size_t k = start; k < s.size(); k++) {
        double t = double(k - start) / SAMPLE_RATE;
        double e = std::min(1.0, t / 0.003) * std::exp(-t / decay);
        double idx = 1.4 * std::exp(-t * 9);
        double tone = std::sin(TAU * hz * t + idx * std::sin(TAU * hz * 2 * t)) +
                      0.25 * std::sin(TAU * hz * 2.005 * t) * std::exp(-t * 6);
        s[k] += float(tone * e * level);
    }
}

// The feedback master: the last stretch faded to silence (no click at the
// end), a soft limiter for loudness, then the level at FEEDBACK_PEAK.
Bytes FinishFeedback(std::vector<float>& s, double fadeSec)
{
    size_t fade = size_t(fadeSec * SAMPLE_RATE);
    for (size_t k = 0; k < s.size(); k++) {
        size_t left = s.size() - 1 - k;
        double f = left < fade ? double(left) / fade : 1.0;
        s[k] = float(std::tanh(s[k] * 1.8) * f);
    }
    SetPeak(s, FEEDBACK_PEAK);
    return Wav(s);
}

}  // namespace

Bytes MakeCheckpointWav()
{
    // A crystal lights up: A and then E above it (the stage music's key),
    // struck a sixteenth apart, with an A an octave up as the shimmer.
    std::vector<float> s(size_t(0.6 * SAMPLE_RATE));
    AddChime(s, 0.0, NoteHz(81), 0.8, 0.16);
    AddChime(s, 0.085, NoteHz(88), 1.0, 0.2);
    AddChime(s, 0.085, NoteHz(93), 0.25, 0.12);
    return FinishFeedback(s, 0.15);
}

Bytes MakeDeathWav()
{
    // The character is lost: a soft tone falling two octaves and fading, with
    // a breath of low noise at its start. No harsh buzz: it comes often.
    std::vector<float> s(size_t(0.6 * SAMPLE_RATE));
    Rand rnd{29};
    double phase = 0, lp = 0;
    for (size_t k = 0; k < s.size(); k++) {
        double t = double(k) / SAMPLE_RATE;
        double hz = 110 + 550 * std::exp(-t * 6);
        phase += TAU * hz / SAMPLE_RATE;
        double e = std::min(1.0, t / 0.005) * std::exp(-t * 4.5);
        double tone = std::sin(phase + 0.8 * std::sin(phase * 0.5)) + 0.3 * std::sin(phase * 2);
        lp += (rnd.Next() - lp) * 0.08;
        double puff = lp * 2.2 * std::exp(-t * 30) * std::min(1.0, t / 0.002);
        s[k] = float(tone * e * 0.8 + puff);
    }
    return FinishFeedback(s, 0.2);
}

Bytes MakeGoalWav()
{
    // The way out: A major rising (A, C sharp, E, A), each note a little
    // longer, the top A held with the E under it.
    std::vector<float> s(size_t(1.0 * SAMPLE_RATE));
    const double notes[4] = {81, 85, 88, 93};
    for (int i = 0; i < 4; i++)
        AddChime(s, i * 0.075, NoteHz(notes[i]), i == 3 ? 1.0 : 0.7, i == 3 ? 0.32 : 0.14);
    AddChime(s, 0.225, NoteHz(88), 0.45, 0.3);
    return FinishFeedback(s, 0.3);
}

std::vector<float> RenderTitleMusic()
{
    // 84 beats a minute, 12 bars: a dreamy loop of four chords with bell
    // arpeggios over a slow pad.
    const double beat = 60.0 / 84;
    const int bars = 12;
    Loop loop(size_t(bars * 4 * beat * SAMPLE_RATE));
    // Fmaj7, G6, Em7, Am7 (in C), as MIDI chord tones.
    const int chords[4][4] = {{53, 57, 60, 64}, {55, 59, 62, 64}, {52, 55, 59, 62}, {57, 60, 64, 67}};
    const int roots[4] = {41, 43, 40, 45};
    const int arp[8] = {0, 1, 2, 3, 2, 1, 2, 3};
    // A slow melody, one note per two beats, over twelve bars (24 notes).
    const int melody[24] = {76, 74, 72, 74, 76, 79, 76, 74, 72, 71, 72, 76,
                            77, 76, 74, 72, 74, 76, 79, 81, 79, 76, 74, 72};
    for (int bar = 0; bar < bars; bar++) {
        int c = bar % 4;
        double t0 = bar * 4 * beat;
        for (int i = 0; i < 4; i++)
            Note(loop, PAD, t0, 4 * beat - 0.05, chords[c][i], 0.045, (i - 1.5) * 0.3);
        Note(loop, BASS, t0, 2 * beat, roots[c], 0.16, 0);
        Note(loop, BASS, t0 + 2.5 * beat, 1.4 * beat, roots[c] + 7, 0.1, 0);
        for (int s = 0; s < 8; s++)
            Note(loop, BELL, t0 + s * beat / 2, beat / 2, chords[c][arp[s]] + 12, 0.07,
                 s % 2 ? 0.5 : -0.5);
        if (bar >= 4) {
            for (int h = 0; h < 2; h++)
                Note(loop, LEAD, t0 + h * 2 * beat, 1.8 * beat, melody[(bar - 4) * 2 % 24 + h], 0.07, 0.1);
        }
    }
    // A little under the stage music's peak: the two songs sound equally loud.
    return Finish(loop, 2.4, MUSIC_PEAK * 0.85);
}

std::vector<float> RenderStageMusic()
{
    // 132 beats a minute, 20 bars in A minor: driving bass, drums, a
    // sixteenth-note arpeggio and a lead that enters after four bars. The
    // arpeggio and the lead echo from side to side, the pads are spread
    // wide, hats and a shaker give the top its air, and a room ties it up.
    const double beat = 60.0 / 132;
    const int bars = 20;
    size_t frames = size_t(bars * 4 * beat * SAMPLE_RATE);
    Loop loop(frames), echoSend(frames), roomSend(frames);
    // Am, F, C, G.
    const int chords[4][3] = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}};
    const int roots[4] = {33, 29, 36, 31};
    const int arpOrder[16] = {0, 1, 2, 1, 0, 1, 2, 3, 0, 1, 2, 1, 0, 2, 1, 3};
    // Lead phrase of two bars per chord pair, eighth-note grid (-1 rest).
    const int lead[4][8] = {
        {69, -1, 72, 74, 76, -1, 74, 72},
        {72, -1, 69, -1, 72, 74, 72, -1},
        {67, -1, 72, 76, 79, -1, 76, 74},
        {74, -1, 71, -1, 74, 76, 74, 71},
    };
    uint64_t seed = 11;
    for (int bar = 0; bar < bars; bar++) {
        int c = bar % 4;
        double t0 = bar * 4 * beat;
        bool breakdown = bar >= 16;  // last four bars thin out, then the loop restarts
        for (int e = 0; e < 8; e++) {
            double t = t0 + e * beat / 2;
            int note = roots[c] + (e % 2 ? 12 : 0);
            Note(loop, BASS, t, beat * 0.42, note, 0.2, 0);
        }
        for (int b = 0; b < 4; b++) {
            double t = t0 + b * beat;
            if (!breakdown || b % 2 == 0)
                Kick(loop, t, 0.55);
            if (b % 2 == 1) {
                Snare(loop, t, 0.3, seed);
                Snare(roomSend, t, 0.3, seed++);
            }
            Hat(loop, t + beat / 2, 0.4, 0.45, seed++, 0.09);
            if (!breakdown)
                Hat(loop, t + beat / 4 * 3, 0.2, -0.45, seed++);
        }
        // The shaker: soft sixteenths from side to side, a longer one on the
        // off-beats.
        for (int q = 0; q < 16; q++) {
            double vol = (q % 4 == 2 ? 0.14 : 0.08) * (breakdown ? 0.6 : 1);
            Hat(loop, t0 + q * beat / 4, vol, q % 2 ? 0.7 : -0.7, seed++, q % 4 == 2 ? 0.11 : 0.05);
        }
        for (int s = 0; s < 16; s++) {
            int idx = arpOrder[s];
            int note = idx < 3 ? chords[c][idx] + 12 : chords[c][0] + 24;
            double pan = s % 2 ? 0.75 : -0.75;
            Note(loop, PLUCK, t0 + s * beat / 4, beat / 4, note, 0.055, pan, 1);
            Note(echoSend, PLUCK, t0 + s * beat / 4, beat / 4, note, 0.055, pan, 1);
        }
        // Sparkle: a high bell on the last sixteenth of every other beat.
        for (int b = 1; b < 4; b += 2) {
            int note = chords[c][(bar + b) % 3] + 24;
            double pan = (bar + b) % 4 < 2 ? -0.6 : 0.6;
            Note(loop, BELL, t0 + (b + 0.75) * beat, beat / 4, note, 0.025, pan);
            Note(roomSend, BELL, t0 + (b + 0.75) * beat, beat / 4, note, 0.03, pan);
        }
        // Pads, each voice doubled and spread to both sides.
        for (int v = 0; v < 2; v++) {
            int note = chords[c][v * 2];
            Note(loop, PAD, t0, 4 * beat, note, 0.024, v ? 0.7 : -0.7);
            Note(loop, PAD, t0, 4 * beat, note + 0.07 * (v ? -1 : 1), 0.018, v ? -0.5 : 0.5);
            Note(roomSend, PAD, t0, 4 * beat, note, 0.03, v ? 0.7 : -0.7);
        }
        if (bar >= 4 && !breakdown) {
            for (int e = 0; e < 8; e++) {
                int m = lead[c][e];
                if (m < 0)
                    continue;
                int len = (e + 1 < 8 && lead[c][e + 1] < 0) ? 2 : 1;
                double at = t0 + e * beat / 2, length = len * beat / 2 * 0.9;
                int midi = m + (bar >= 12 ? 12 : 0);
                Note(loop, LEAD, at, length, midi, 0.08, 0, 0.6);
                Note(echoSend, LEAD, at, length, midi, 0.05, 0, 0.6);
                Note(roomSend, LEAD, at, length, midi, 0.06, 0, 0.6);
            }
        }
    }
    // Dotted eighths, the echo of a driving arpeggio.
    PingPong(echoSend, loop, beat * 0.75, 3, 0.45);
    RoomReverb(roomSend, loop, 1.6, 0.9);
    HighShelf(loop, 2.0);
    return Finish(loop, 1.5, MUSIC_PEAK);
}

Bytes MakeTitleMusicMp3() { return EncodeMp3(RenderTitleMusic()); }
Bytes MakeStageMusicMp3() { return EncodeMp3(RenderStageMusic()); }
