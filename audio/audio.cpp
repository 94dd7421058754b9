// Sound effects and the looping music stream "bgm" over the platform layer.
// The loop itself lives in the window procedure: each finished play that was
// not stopped on purpose is started again from its beginning.
#include "audio/audio.h"

#include <strings.h>

#include "platform/platform.h"

// The one music stream answers to the alias the game opens it under; like the
// system's device names, the alias ignores case.
static bool IsMusicAlias(const char* device)
{
    return device != nullptr && strcasecmp(device, "bgm") == 0;
}

// A pipe or a device put in a sound's place would block or never end in the
// sound library; such a sound is silence, as a missing one is.
static bool IsNoSoundFile(const char* path)
{
    PlatformFile* file = nullptr;
    uint64_t size = 0;
    int state = PlatformOpenFile(path, &file, &size);
    PlatformCloseFile(file);
    return state == PLATFORM_FILE_NOT_REGULAR;
}

int PlaySoundEffect(const char* path)
{
    if (path == nullptr || IsNoSoundFile(path)) return 0;
    return PlatformPlaySound(path) ? 1 : 0;
}

int PlayFeedbackSound(const char* path)
{
    if (path == nullptr || IsNoSoundFile(path)) return 0;
    return PlatformPlayFeedback(path) ? 1 : 0;
}

void StopFeedbackSound()
{
    PlatformStopFeedback();
}

void SetAudioVolumes(int musicPercent, int effectsPercent)
{
    PlatformSetVolumes(musicPercent, effectsPercent);
}

void StopSoundEffect()
{
    PlatformStopSound();
}

void PlayMusic(const char* path)
{
    if (path == nullptr || IsNoSoundFile(path)) return;
    // A missing file leaves nothing open, and the play that follows does nothing.
    PlatformOpenMusic(path);
    PlatformPlayMusic(true);
}

void StopMusic(const char* device)
{
    if (!IsMusicAlias(device)) return;
    PlatformStopMusic();   // stop first: the pending notification becomes an abort
    PlatformCloseMusic();
}

int PlayMciFromStart(const char* device)
{
    if (!IsMusicAlias(device)) return MCIERR_INVALID_DEVICE_NAME;
    PlatformPlayMusic(false);
    return 0;
}
