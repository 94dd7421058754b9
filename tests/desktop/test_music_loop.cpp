// The music as a player hears it: the desktop backend's real mixer (SDL2_mixer
// and its MP3 decoder) plays each song into SDL's disk audio driver while the
// game's own window procedure answers every end-of-pass notification, and the
// recorded output must be the song repeated with no gap, no step and no clip.
//
// The recording runs as fast as the decoder can go, far ahead of the 16-ms
// pump, which is the hardest case for the loop: a restart that waited for the
// game would leave seconds of silence. MUSIC_CAPTURE_REALTIME=1 paces the
// driver like a sound card instead. Each recording is kept in the build folder
// (music-capture-*.raw: 16-bit stereo at 44.1 kHz) for measuring with sox.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_internal.h"
#include "shell/shell.h"

namespace {

const std::string DATA = std::string(BUILD_DIR) + "/data/se/";

struct Capture {
    std::vector<int16_t> samples;  // interleaved left, right
    std::vector<int16_t> song;     // the file decoded in one go by the same decoder
    int passesReported = 0;
};

long FileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

bool Realtime() { return std::getenv("MUSIC_CAPTURE_REALTIME") != nullptr; }

// Plays file through the game's PlayMusic and pump until the song has ended
// twice and half a pass more is recorded, then stops it as the game does.
Capture Record(const std::string& file, const std::string& name)
{
    Capture cap;
    std::string out = std::string(BUILD_DIR) + "/music-capture-" + name + ".raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    if (Realtime())
        unsetenv("SDL_DISKAUDIODELAY");
    else
        setenv("SDL_DISKAUDIODELAY", "0", 1);
    SDL_InitSubSystem(SDL_INIT_EVENTS);
    OpenAudio();
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    if (!Mix_QuerySpec(&frequency, &format, &channels) || frequency != 44100 ||
        format != AUDIO_S16SYS || channels != 2) {
        ADD_FAILURE() << "the disk driver did not open as 44.1 kHz 16-bit stereo";
        return cap;
    }
    if (Mix_Chunk* whole = Mix_LoadWAV((DATA + file).c_str())) {
        const int16_t* s = reinterpret_cast<const int16_t*>(whole->abuf);
        cap.song.assign(s, s + whole->alen / 2);
        Mix_FreeChunk(whole);
    }
    PlayMusic((DATA + file).c_str());
    long songBytes = static_cast<long>(cap.song.size()) * 2;
    long stopAt = -1;
    uint32_t started = SDL_GetTicks();
    uint32_t limitMs = Realtime() ? 200000 : 60000;
    while (SDL_GetTicks() - started < limitMs) {
        SDL_Delay(16);
        PlatformEvent event;
        while (PlatformPollEvent(&event)) {
            if (event.type == PLATFORM_EVENT_MUSIC_DONE && event.musicReason != MUSIC_DONE_ABORTED)
                cap.passesReported++;
            WindowProc(&event);
        }
        if (cap.passesReported >= 2 && stopAt < 0) stopAt = FileSize(out) + songBytes / 2;
        if (stopAt >= 0 && FileSize(out) >= stopAt) break;
    }
    StopMusic("bgm");
    PlatformEvent event;
    while (PlatformPollEvent(&event)) WindowProc(&event);  // the stop's own report
    CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    FILE* f = std::fopen(out.c_str(), "rb");
    if (f != nullptr) {
        cap.samples.resize(static_cast<size_t>(FileSize(out)) / 2);
        cap.samples.resize(std::fread(cap.samples.data(), 2, cap.samples.size(), f));
        std::fclose(f);
    }
    return cap;
}

// Sum of differences between the recording from frame at and the song from
// frame from, over n frames.
double Mismatch(const Capture& cap, size_t at, size_t from, size_t n)
{
    double sum = 0;
    for (size_t k = 0; k < 2 * n; k++) sum += std::abs(cap.samples[2 * at + k] - cap.song[2 * from + k]);
    return sum;
}

// Where the recording starts the song: the device plays silence until the
// first pass begins.
size_t FindStart(const Capture& cap)
{
    size_t first = 0;
    while (2 * first < cap.samples.size() && cap.samples[2 * first] == 0 && cap.samples[2 * first + 1] == 0)
        first++;
    size_t best = first;
    double bestSum = 1e300;
    for (size_t at = first > 4096 ? first - 4096 : 0; at <= first; at++) {
        double sum = Mismatch(cap, at, 0, 4096);
        if (sum < bestSum) bestSum = sum, best = at;
    }
    return best;
}

struct SeamFigures {
    size_t frames = 0;          // recorded frames from the first pass on
    double worstErrorDb = -200; // largest difference from the song repeated, dBFS
    double longestSilenceMs = 0;  // below -60 dBFS in both channels
    double gapMs = 0;           // how late the second pass began
    long clipped = 0;           // samples at full scale
};

double Db(double amplitude) { return amplitude <= 0 ? -200 : 20 * std::log10(amplitude); }

SeamFigures Measure(const Capture& cap)
{
    SeamFigures fig;
    size_t loop = cap.song.size() / 2;
    size_t start = FindStart(cap);
    // Two passes and a quarter: the recording goes on for a little while
    // after the game stops the song.
    fig.frames = std::min(cap.samples.size() / 2 - start, 2 * loop + loop / 4);
    // How late the second pass came: the recording after one song length
    // matched against the song's opening.
    if (fig.frames > loop + 48000) {
        size_t gap = 0;
        double bestSum = 1e300;
        for (size_t g = 0; g < 44100; g++) {
            double sum = Mismatch(cap, start + loop + g, 0, 2048);
            if (sum < bestSum) bestSum = sum, gap = g;
        }
        fig.gapMs = gap * 1000.0 / 44100;
    }
    int worst = 0;
    size_t silent = 0, longest = 0;
    for (size_t k = 0; k < fig.frames; k++) {
        int l = cap.samples[2 * (start + k)], r = cap.samples[2 * (start + k) + 1];
        worst = std::max({worst, std::abs(l - cap.song[2 * (k % loop)]),
                          std::abs(r - cap.song[2 * (k % loop) + 1])});
        fig.clipped += (std::abs(l) >= 32767) + (std::abs(r) >= 32767);
        silent = std::abs(l) < 33 && std::abs(r) < 33 ? silent + 1 : 0;
        longest = std::max(longest, silent);
    }
    fig.worstErrorDb = Db(worst / 32768.0);
    fig.longestSilenceMs = longest * 1000.0 / 44100;
    return fig;
}

void CheckSong(const std::string& file, const std::string& name)
{
    Capture cap = Record(file, name);
    ASSERT_FALSE(cap.song.empty()) << file << " could not be decoded";
    ASSERT_GT(cap.samples.size(), cap.song.size() * 2) << "the recording is shorter than two passes";
    SeamFigures fig = Measure(cap);
    std::printf("%s: %d passes reported, %.2f s measured, second pass %.2f ms late, longest "
                "silence %.2f ms, worst difference from the song repeated %.1f dBFS, %ld clipped "
                "samples\n",
                name.c_str(), cap.passesReported, fig.frames / 44100.0, fig.gapMs, fig.longestSilenceMs,
                fig.worstErrorDb, fig.clipped);
    EXPECT_GE(cap.passesReported, 2);
    EXPECT_EQ(fig.frames, cap.song.size() / 2 * 9 / 4) << "two whole passes and more were heard";
    EXPECT_EQ(fig.gapMs, 0);
    EXPECT_LT(fig.longestSilenceMs, 5);
    EXPECT_LT(fig.worstErrorDb, -40);
    EXPECT_EQ(fig.clipped, 0);
}

}  // namespace

TEST(MusicLoop, TitleSongRepeatsWithoutGap) { CheckSong("tw044.mp3", "title"); }
TEST(MusicLoop, StageSongRepeatsWithoutGap) { CheckSong("nv_24.mp3", "stage"); }

// The mixer adds the one effect channel to the music and clips the sum. The
// game plays either song with either effect (the click still rings when START
// changes the song; the beam only plays over the stage song), so every pair's
// loudest samples, as the decoder gives them, must add up to less than full
// scale: then no moment of any pairing can clip.
TEST(MusicMix, NoSongAndEffectTogetherClip)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SDL_InitSubSystem(SDL_INIT_EVENTS);
    OpenAudio();
    auto peak = [](const std::string& file) {
        Mix_Chunk* chunk = Mix_LoadWAV((DATA + file).c_str());
        int loudest = -1;
        if (chunk == nullptr) return loudest;
        const int16_t* s = reinterpret_cast<const int16_t*>(chunk->abuf);
        for (Uint32 i = 0; i < chunk->alen / 2; i++) loudest = std::max(loudest, std::abs(int(s[i])));
        Mix_FreeChunk(chunk);
        return loudest;
    };
    for (const char* song : {"tw044.mp3", "nv_24.mp3"}) {
        int music = peak(song);
        ASSERT_GT(music, 0) << song;
        for (const char* effect : {"newSE.wav", "se_tavelkorinsu_system24.wav"}) {
            int sound = peak(effect);
            ASSERT_GT(sound, 0) << effect;
            std::printf("%s %.2f dBFS + %s %.2f dBFS: at most %.2f dBFS\n", song, Db(music / 32768.0),
                        effect, Db(sound / 32768.0), Db((music + sound) / 32768.0));
            EXPECT_LT(music + sound, 32767 * 0.97) << song << " with " << effect;
        }
    }
    CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}
