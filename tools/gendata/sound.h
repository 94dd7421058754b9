// The game's sounds, synthesized: the shot and the menu click as 16-bit .wav,
// the title and stage music as seamless MP3 loops (encoded with LAME).
// Called by gendata's main; the Render* functions also by the generator's test.
#pragma once
#include <vector>

using Bytes = std::vector<unsigned char>;

Bytes MakeShotWav();
Bytes MakeClickWav();
// Empty on an encoder failure.
Bytes MakeTitleMusicMp3();
Bytes MakeStageMusicMp3();

// Exposed for the tests: the raw loops before encoding (interleaved stereo).
std::vector<float> RenderTitleMusic();
std::vector<float> RenderStageMusic();
constexpr int SAMPLE_RATE = 44100;
// The loudest sample of each music loop and of each effect (linear, 1 = full
// scale). The game plays one loop and one effect at a time and the mixer
// adds them, so their sum stays below full scale with room for the MP3's own
// overshoot: no combination the game plays can clip.
constexpr double MUSIC_PEAK = 0.5;    // -6.0 dBFS
constexpr double EFFECT_PEAK = 0.42;  // -7.5 dBFS
