// The settings' loudness as a player hears it: the desktop backend's real
// mixer plays the game's click and its title music into SDL's disk audio
// driver at full loudness and at the settings' lower ones, and the recorded
// peaks must fall by the setting's share. The feedback sounds play on their
// own channel: the shot's stop leaves them ringing, at the effects' loudness.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_internal.h"

namespace {

const std::string DATA = std::string(BUILD_DIR) + "/data/se/";

long FileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

// The loudest sample of what the mixer put out while the click (or the
// music) played at the given loudness, with the loudness set before the
// device opened (as at start-up) or after (as on the settings page).
int RecordedPeak(bool music, int percent, bool setAfterOpening)
{
    std::string out = std::string(BUILD_DIR) + "/volume-capture.raw";
    std::remove(out.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    SDL_InitSubSystem(SDL_INIT_EVENTS);
    if (!setAfterOpening) SetAudioVolumes(music ? percent : 100, music ? 100 : percent);
    OpenAudio();
    if (setAfterOpening) SetAudioVolumes(music ? percent : 100, music ? 100 : percent);
    if (music)
        PlayMusic((DATA + "tw044.mp3").c_str());
    else
        PlaySoundEffect((DATA + "se_tavelkorinsu_system24.wav").c_str());
    // The driver runs far ahead of real time: two seconds of sound come in
    // a moment.
    uint32_t started = SDL_GetTicks();
    while (FileSize(out) < 44100 * 4 * 2 && SDL_GetTicks() - started < 20000) SDL_Delay(5);
    if (music) StopMusic("bgm");
    CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    std::vector<int16_t> samples(static_cast<size_t>(std::min<long>(FileSize(out), 44100 * 4 * 2)) / 2);
    FILE* f = std::fopen(out.c_str(), "rb");
    if (f == nullptr) return -1;
    samples.resize(std::fread(samples.data(), 2, samples.size(), f));
    std::fclose(f);
    std::remove(out.c_str());
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

// What the mixer put out over the second after the goal's sound began on
// the feedback path at the effects' percent, the shot started beside it when
// withShot, and the shot's stop sent straight after.
std::vector<int16_t> FeedbackCapture(int percent, bool withShot)
{
    std::string out = std::string(BUILD_DIR) + "/feedback-capture.raw";
    std::remove(out.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    // 5 ms a buffer of 23 ms: well ahead of real time, yet not so far that
    // the driver has written seconds of silence before the sounds start.
    setenv("SDL_DISKAUDIODELAY", "5", 1);
    SDL_InitSubSystem(SDL_INIT_EVENTS);
    SetAudioVolumes(100, percent);
    OpenAudio();
    if (withShot) PlaySoundEffect((DATA + "newSE.wav").c_str());
    EXPECT_EQ(PlayFeedbackSound((DATA + "goal.wav").c_str()), 1);
    if (!withShot) StopSoundEffect();
    uint32_t started = SDL_GetTicks();
    while (FileSize(out) < 44100 * 4 * 2 && SDL_GetTicks() - started < 20000) SDL_Delay(5);
    CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    std::vector<int16_t> samples(static_cast<size_t>(std::min<long>(FileSize(out), 44100 * 4 * 2)) / 2);
    FILE* f = std::fopen(out.c_str(), "rb");
    if (f == nullptr) return {};
    samples.resize(std::fread(samples.data(), 2, samples.size(), f));
    std::fclose(f);
    std::remove(out.c_str());
    // From the first sound on: the buffers mixed before the calls are silence.
    size_t first = 0;
    while (first < samples.size() && samples[first] == 0) first++;
    samples.erase(samples.begin(), samples.begin() + std::min(first, samples.size()));
    return samples;
}

int Peak(const std::vector<int16_t>& samples, size_t from = 0)
{
    int peak = 0;
    for (size_t i = from; i < samples.size(); i++) peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    return peak;
}

}  // namespace

TEST(Volumes, AFeedbackSoundOutlivesTheShotsStopAtTheEffectsLoudness)
{
    std::vector<int16_t> alone = FeedbackCapture(100, false);
    ASSERT_GE(alone.size(), size_t(44100 * 2 / 2));
    // The goal's sound peaks at 0.18 of full scale, and the shot's stop left
    // it ringing: still heard 0.4 s on (stereo frames).
    EXPECT_NEAR(Peak(alone), 0.18 * 32767, 0.02 * 32767);
    EXPECT_GT(Peak(alone, 2 * 44100 * 4 / 10), 300);
    std::vector<int16_t> withShot = FeedbackCapture(100, true);
    EXPECT_GT(Peak(withShot), Peak(alone));
    EXPECT_LT(Peak(withShot), 32767 * 0.55) << "the shot and the goal together keep their headroom";
    EXPECT_NEAR(double(Peak(FeedbackCapture(50, false))) / Peak(alone), 64.0 / 128, 0.02);
    EXPECT_EQ(Peak(FeedbackCapture(0, false)), 0);
    SetAudioVolumes(100, 100);
}

TEST(Volumes, TheEffectsAndTheMusicFallByTheSettingsShare)
{
    for (bool music : {false, true}) {
        SCOPED_TRACE(music ? "music" : "effects");
        int full = RecordedPeak(music, 100, false);
        ASSERT_GT(full, 1000) << "nothing was heard at full loudness";
        for (bool after : {false, true}) {
            SCOPED_TRACE(after ? "set on the page" : "set at start-up");
            int half = RecordedPeak(music, 50, after);
            int tenth = RecordedPeak(music, 10, after);
            // SDL_mixer's scale is 0..128: 50 % is 64, 10 % is 13.
            EXPECT_NEAR(double(half) / full, 64.0 / 128, 0.02) << half << " of " << full;
            EXPECT_NEAR(double(tenth) / full, 13.0 / 128, 0.02) << tenth << " of " << full;
            EXPECT_EQ(RecordedPeak(music, 0, after), 0);
        }
    }
    SetAudioVolumes(100, 100);
}
