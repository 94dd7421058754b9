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
