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

void Note(Loop& out, Voice v, double startSec, double lenSec, double midi, double vol, double pan)
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
            double idx = 1.6 * std::exp(-t * 14);
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
            s = std::sin(ph + 0.9 * std::sin(ph) * (0.6 + 0.4 * std::exp(-t * 6))) * e;
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

void Hat(Loop& out, double at, double vol, double pan, uint64_t seed)
{
    Rand rnd{seed};
    size_t n = size_t(0.06 * SAMPLE_RATE), start = size_t(at * SAMPLE_RATE);
    double lp = 0;
    for (size_t k = 0; k < n; k++) {
        double t = double(k) / SAMPLE_RATE;
        double noise = rnd.Next();
        lp += (noise - lp) * 0.2;
        double e = std::exp(-t * 70) * std::min(1.0, t * 2000);
        out.Add(start + k, (noise - lp) * e * vol, pan);
    }
}

// Soft limiter and a few milliseconds of fade at both ends, so that a
// player that leaves a gap between two passes of the loop never clicks.
std::vector<float> Finish(Loop& loop, double gain)
{
    std::vector<float> inter(loop.Size() * 2);
    size_t fade = SAMPLE_RATE / 200;
    for (size_t i = 0; i < loop.Size(); i++) {
        double f = 1;
        if (i < fade)
            f = double(i) / fade;
        if (loop.Size() - 1 - i < fade)
            f = double(loop.Size() - 1 - i) / fade;
        inter[2 * i] = float(std::tanh(loop.l[i] * gain) * f);
        inter[2 * i + 1] = float(std::tanh(loop.r[i] * gain) * f);
    }
    return inter;
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
    // The beam's hum: a bright zap falling into a pulsing drone. It restarts
    // every 30 firing frames, so it is built to chain.
    size_t n = size_t(0.5 * SAMPLE_RATE);
    std::vector<float> s(n);
    Rand rnd{7};
    double ph1 = 0, ph2 = 0, lp = 0;
    for (size_t k = 0; k < n; k++) {
        double t = double(k) / SAMPLE_RATE;
        double zapHz = 260 + 1500 * std::exp(-t * 22);
        ph1 += TAU * zapHz / SAMPLE_RATE;
        ph2 += TAU * 110 / SAMPLE_RATE;
        double zap = std::sin(ph1 + 1.8 * std::sin(ph1 * 0.5)) * std::exp(-t * 9);
        double drone = std::sin(ph2 + 2.4 * std::sin(ph2 * 2.01)) *
                       (0.6 + 0.4 * std::sin(TAU * 16 * t));
        lp += (rnd.Next() - lp) * 0.3;
        double crackle = lp * 0.25 * (0.5 + 0.5 * std::sin(TAU * 33 * t));
        // Silent from 0.475 s: the restart after 30 frames (at least 0.48 s)
        // never cuts the sound off mid-swing.
        double env = std::min(1.0, t * 400) * std::clamp((0.475 - t) / 0.04, 0.0, 1.0);
        s[k] = float((zap * 0.55 + drone * 0.3 + crackle) * env * 0.8);
    }
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
        s[k] = float(tone * e * 0.7);
    }
    return Wav(s);
}

std::vector<float> RenderTitleMusic()
{
    // 84 beats a minute, 16 bars: a dreamy loop of four chords with bell
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
    return Finish(loop, 2.4);
}

std::vector<float> RenderStageMusic()
{
    // 132 beats a minute, 20 bars in A minor: driving bass, drums, a
    // sixteenth-note arpeggio and a lead that enters after four bars.
    const double beat = 60.0 / 132;
    const int bars = 20;
    Loop loop(size_t(bars * 4 * beat * SAMPLE_RATE));
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
            if (b % 2 == 1)
                Snare(loop, t, 0.3, seed++);
            Hat(loop, t + beat / 2, 0.18, 0.3, seed++);
            if (!breakdown)
                Hat(loop, t + beat / 4 * 3, 0.08, -0.3, seed++);
        }
        for (int s = 0; s < 16; s++) {
            int idx = arpOrder[s];
            int note = idx < 3 ? chords[c][idx] + 12 : chords[c][0] + 24;
            Note(loop, PLUCK, t0 + s * beat / 4, beat / 4, note, 0.06, s % 2 ? 0.6 : -0.6);
        }
        Note(loop, PAD, t0, 4 * beat, chords[c][0], 0.03, -0.2);
        Note(loop, PAD, t0, 4 * beat, chords[c][2], 0.03, 0.2);
        if (bar >= 4 && !breakdown) {
            for (int e = 0; e < 8; e++) {
                int m = lead[c][e];
                if (m < 0)
                    continue;
                int len = (e + 1 < 8 && lead[c][e + 1] < 0) ? 2 : 1;
                Note(loop, LEAD, t0 + e * beat / 2, len * beat / 2 * 0.9, m + (bar >= 12 ? 12 : 0),
                     0.085, 0);
            }
        }
    }
    return Finish(loop, 1.5);
}

Bytes MakeTitleMusicMp3() { return EncodeMp3(RenderTitleMusic()); }
Bytes MakeStageMusicMp3() { return EncodeMp3(RenderStageMusic()); }
