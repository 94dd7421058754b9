// Sound effects, the feedback sounds and the music stream through SDL2_mixer:
// the effect on channel 0, the feedback on channel 1. A notified play
// loops inside the mixer, sample for sample with no gap at the seam, and the
// end of each pass is still reported to the game, whose window procedure
// answers it with a new play; that answer carries on the pass already under
// way instead of starting the song again.
#include <SDL_mixer.h>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <map>

#include "platform/sdl/sdl_internal.h"

static bool audioReady = false;
uint32_t musicDoneEventType = static_cast<uint32_t>(-1);
static Mix_Music* music = nullptr;
// Each play gets a number; the reports carry the one that was playing, so a
// late report of an earlier play is recognised and dropped.
static std::atomic<int> playNumber{0};
static bool notifyPending = false;
static std::map<std::string, Mix_Chunk*> chunks;  // effects are read once, then reused
constexpr int EFFECT_CHANNEL = 0, FEEDBACK_CHANNEL = 1;

// The seamless loop's bookkeeping. The audio thread counts the frames of
// music it has mixed since the play began and reports each time another whole
// pass has gone out; the game thread sets the counts only while no music
// plays, and counts the reports it has passed on but not yet seen answered.
static std::atomic<int64_t> loopFrames{0};  // frames in one pass; 0: the song plays once
static std::atomic<int64_t> framesMixed{0};
static std::atomic<int64_t> passesReported{0};
static int passesAwaitingAnswer = 0;  // game thread
static int bytesPerFrame = 4;

static void PostMusicDone()
{
    SDL_Event event{};
    event.type = musicDoneEventType;
    event.user.code = playNumber.load();
    SDL_PushEvent(&event);
}

// Runs on the audio thread after every mixed buffer (the mixer's lock is
// held, so the music cannot start or stop meanwhile). A play begins at the top
// of a buffer and, looping, fills every buffer to the end.
static void CountLoopPasses(void*, Uint8*, int bytes)
{
    if (loopFrames <= 0 || !Mix_PlayingMusic()) return;
    framesMixed += bytes / bytesPerFrame;
    while (framesMixed >= (passesReported + 1) * loopFrames) {
        passesReported++;
        PostMusicDone();
    }
}

// Runs on the audio thread when a play ends for good: a play without
// notification at its end, or a looping one whose decoder failed.
static void MusicFinished() { PostMusicDone(); }

// The sound libraries under SDL report a missing sound card at length on
// standard error; a game without sound just runs in silence, so they are
// quietened while the device is looked for.
static bool OpenDeviceQuietly()
{
    fflush(stderr);
    int savedError = dup(2);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 2);
    bool ready = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (ready) {
        Mix_Init(MIX_INIT_MP3);
        ready = Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) == 0;
        if (!ready) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    fflush(stderr);
    if (savedError >= 0) {
        dup2(savedError, 2);
        close(savedError);
    }
    if (null >= 0) close(null);
    return ready;
}

static int musicVolume = MIX_MAX_VOLUME, effectsVolume = MIX_MAX_VOLUME;

static int MixerVolume(int percent)
{
    percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    return (MIX_MAX_VOLUME * percent + 50) / 100;
}

void PlatformSetVolumes(int musicPercent, int effectsPercent)
{
    musicVolume = MixerVolume(musicPercent);
    effectsVolume = MixerVolume(effectsPercent);
    if (!audioReady) return;
    Mix_VolumeMusic(musicVolume);
    Mix_Volume(-1, effectsVolume);
}

void OpenAudio()
{
    if (!OpenDeviceQuietly()) return;  // no device: the game runs in silence
    Mix_AllocateChannels(2);  // the effect's and the feedback's
    musicDoneEventType = SDL_RegisterEvents(1);
    Mix_HookMusicFinished(MusicFinished);
    Mix_SetPostMix(CountLoopPasses, nullptr);
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&frequency, &format, &channels))
        bytesPerFrame = SDL_AUDIO_BITSIZE(format) / 8 * channels;
    audioReady = true;
    Mix_VolumeMusic(musicVolume);
    Mix_Volume(-1, effectsVolume);
}

bool TakeMusicDone(const SDL_Event& event, int* reason)
{
    if (!audioReady || event.type != musicDoneEventType) return false;
    if (event.user.code != playNumber.load() || !notifyPending) return false;
    notifyPending = false;
    passesAwaitingAnswer++;
    *reason = MUSIC_DONE_SUCCESSFUL;
    return true;
}

// Plays path on channel, cutting off what that channel played.
static bool PlayOnChannel(int channel, const char* path)
{
    if (!audioReady) return false;
    Mix_Chunk*& chunk = chunks[path];
    if (chunk == nullptr) chunk = Mix_LoadWAV(path);
    if (chunk == nullptr) {
        chunks.erase(path);  // missing: silence, and look again next time
        return false;
    }
    return Mix_PlayChannel(channel, chunk, 0) == channel;
}

bool PlatformPlaySound(const char* path) { return PlayOnChannel(EFFECT_CHANNEL, path); }

void PlatformStopSound()
{
    if (audioReady) Mix_HaltChannel(EFFECT_CHANNEL);
}

bool PlatformPlayFeedback(const char* path) { return PlayOnChannel(FEEDBACK_CHANNEL, path); }

void PlatformStopFeedback()
{
    if (audioReady) Mix_HaltChannel(FEEDBACK_CHANNEL);
}

bool PlatformOpenMusic(const char* path)
{
    if (!audioReady || music != nullptr) return false;  // one stream, already taken
    music = Mix_LoadMUS(path);
    return music != nullptr;
}

// One pass of the open song in output frames, 0 when the decoder cannot tell.
static int64_t PassFrames()
{
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    double seconds = Mix_MusicDuration(music);
    if (seconds <= 0 || !Mix_QuerySpec(&frequency, &format, &channels)) return 0;
    return std::llround(seconds * frequency);
}

void PlatformPlayMusic(bool notify)
{
    if (!audioReady || music == nullptr) return;
    if (notify && passesAwaitingAnswer > 0 && Mix_PlayingMusic()) {
        // The answer to a finished pass: the next one is already playing.
        passesAwaitingAnswer--;
        notifyPending = true;
        return;
    }
    Mix_HaltMusic();
    playNumber++;
    notifyPending = notify;
    passesAwaitingAnswer = 0;
    int64_t pass = notify ? PassFrames() : 0;
    loopFrames = pass;
    framesMixed = 0;
    passesReported = 0;
    Mix_PlayMusic(music, pass > 0 ? -1 : 1);
}

void PlatformStopMusic()
{
    if (!audioReady) return;
    if (notifyPending) QueueEvent(PLATFORM_EVENT_MUSIC_DONE, MUSIC_DONE_ABORTED);
    notifyPending = false;
    playNumber++;  // whatever the mixer reports for this play now is stale
    passesAwaitingAnswer = 0;
    Mix_HaltMusic();
    loopFrames = 0;
}

void PlatformCloseMusic()
{
    if (!audioReady) return;
    notifyPending = false;
    passesAwaitingAnswer = 0;
    playNumber++;
    loopFrames = 0;
    if (music != nullptr) {
        Mix_HaltMusic();
        Mix_FreeMusic(music);
    }
    music = nullptr;
}

void CloseAudio()
{
    if (!audioReady) return;
    PlatformCloseMusic();
    Mix_HaltChannel(-1);
    for (auto& [path, chunk] : chunks) Mix_FreeChunk(chunk);
    chunks.clear();
    Mix_HookMusicFinished(nullptr);
    Mix_SetPostMix(nullptr, nullptr);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioReady = false;
}
