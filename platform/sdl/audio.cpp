// Sound effects and the music stream through SDL2_mixer. The music plays once
// per call; the game's window procedure starts it again when it hears it ended.
#include <SDL_mixer.h>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <map>

#include "platform/sdl/sdl_internal.h"

static bool audioReady = false;
uint32_t musicDoneEventType = static_cast<uint32_t>(-1);
static Mix_Music* music = nullptr;
// Each play gets a number; the mixer's hook reports the one that was playing,
// so a late report of an earlier play is recognised and dropped.
static std::atomic<int> playNumber{0};
static bool notifyPending = false;
static std::map<std::string, Mix_Chunk*> chunks;  // effects are read once, then reused

static void MusicFinished()
{
    // Runs on the audio thread: only post an event for the game's pump.
    SDL_Event event{};
    event.type = musicDoneEventType;
    event.user.code = playNumber.load();
    SDL_PushEvent(&event);
}

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

void OpenAudio()
{
    if (!OpenDeviceQuietly()) return;  // no device: the game runs in silence
    Mix_AllocateChannels(1);
    musicDoneEventType = SDL_RegisterEvents(1);
    Mix_HookMusicFinished(MusicFinished);
    audioReady = true;
}

bool TakeMusicDone(const SDL_Event& event, int* reason)
{
    if (!audioReady || event.type != musicDoneEventType) return false;
    if (event.user.code != playNumber.load() || !notifyPending) return false;
    notifyPending = false;
    *reason = MUSIC_DONE_SUCCESSFUL;
    return true;
}

bool PlatformPlaySound(const char* path)
{
    if (!audioReady) return false;
    Mix_Chunk*& chunk = chunks[path];
    if (chunk == nullptr) chunk = Mix_LoadWAV(path);
    if (chunk == nullptr) {
        chunks.erase(path);  // missing: silence, and look again next time
        return false;
    }
    return Mix_PlayChannel(0, chunk, 0) == 0;  // the one channel: cuts off the last effect
}

void PlatformStopSound()
{
    if (audioReady) Mix_HaltChannel(0);
}

bool PlatformOpenMusic(const char* path)
{
    if (!audioReady || music != nullptr) return false;  // one stream, already taken
    music = Mix_LoadMUS(path);
    return music != nullptr;
}

void PlatformPlayMusic(bool notify)
{
    if (!audioReady || music == nullptr) return;
    Mix_HaltMusic();
    playNumber++;
    notifyPending = notify;
    Mix_PlayMusic(music, 1);
}

void PlatformStopMusic()
{
    if (!audioReady) return;
    if (notifyPending) QueueEvent(PLATFORM_EVENT_MUSIC_DONE, MUSIC_DONE_ABORTED);
    notifyPending = false;
    playNumber++;  // whatever the mixer reports for this play now is stale
    Mix_HaltMusic();
}

void PlatformCloseMusic()
{
    if (!audioReady) return;
    notifyPending = false;
    playNumber++;
    if (music != nullptr) {
        Mix_HaltMusic();
        Mix_FreeMusic(music);
    }
    music = nullptr;
}
