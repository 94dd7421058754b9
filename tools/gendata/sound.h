// The game's sounds, synthesized: the shot, the menu click and the feedback
// sounds (a checkpoint taken, a death, the goal) as 16-bit .wav,
// the title and stage music as seamless MP3 loops (encoded with LAME). Each
// function makes its sound afresh on every call, from fixed seeds, and
// returns it by value; nothing is kept between calls.
#pragma once
#include <vector>

using Bytes = std::vector<unsigned char>;

// Whole .wav files, 16-bit PCM, mono, SAMPLE_RATE. The shot: 0.5 s, silent
// from 0.475 s, so that starting it again every 30 firing frames never cuts
// it off mid-swing, peaking at 0.72 of EFFECT_PEAK; the click: 70 ms at
// EFFECT_PEAK.
Bytes MakeShotWav();
Bytes MakeClickWav();
// The feedback sounds, each a short chime that dies away to silence before
// its end, peaking at FEEDBACK_PEAK: a checkpoint taken (0.6 s, two notes
// rising), a death (0.6 s, a tone falling away), the goal (1 s, a rising
// arpeggio into a held chord).
Bytes MakeCheckpointWav();
Bytes MakeDeathWav();
Bytes MakeGoalWav();
// Whole MP3 files (160 kbit/s joint stereo, SAMPLE_RATE, with the LAME tag
// that gives decoders the exact length) of the loops below. Empty on an
// encoder failure.
Bytes MakeTitleMusicMp3();
Bytes MakeStageMusicMp3();

// The raw loops before encoding: interleaved stereo at SAMPLE_RATE, as long
// as their bars (the title 12 bars at 84 beats a minute, the stage 20 at
// 132), every tail written round the end so that the end runs on into the
// start; the loudest sample at MUSIC_PEAK for the stage, 0.85 of it for the
// title (which sounds as loud).
std::vector<float> RenderTitleMusic();
std::vector<float> RenderStageMusic();
constexpr int SAMPLE_RATE = 44100;
// The loudest sample of each music loop and of each effect (linear, 1 = full
// scale). The game plays one loop and one effect at a time and the mixer
// adds them, so their sum stays below full scale with room for the MP3's own
// overshoot: no combination the game plays can clip.
constexpr double MUSIC_PEAK = 0.5;    // -6.0 dBFS
constexpr double EFFECT_PEAK = 0.42;  // -7.5 dBFS
// The feedback sounds play on a path of their own, one at a time, over the
// stage music and whatever shot is ringing (the shot at 0.72 of EFFECT_PEAK):
// 0.5 + 0.3024 + 0.18 stays under full scale. Their mastering (a soft
// limiter before the level is set) keeps them as loud as that allows.
constexpr double FEEDBACK_PEAK = 0.18;  // -14.9 dBFS
