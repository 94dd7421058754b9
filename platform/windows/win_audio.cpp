// Sound on Windows: one-shot effects through the wave player (sndPlaySoundA)
// and the one music stream through MCI string commands under the alias "bgm",
// whose end the MCI reports to the game window as MM_MCINOTIFY.
#include "platform/windows/win_internal.h"

#include <cstdio>
#include <mmsystem.h>

// 256 bytes hold "open %s alias bgm" with a path of up to 240 bytes; a longer
// path is refused rather than cut into a different one.
static bool SendMci(const char* command, HWND notifyWindow) {
    return mciSendStringA(command, nullptr, 0, notifyWindow) == 0;
}

static int musicPercent = 100;

static int Held(int percent) { return percent < 0 ? 0 : percent > 100 ? 100 : percent; }

// The music's loudness goes to MCI (0..1000) each time the stream opens, and
// at once to the one open; the effects' to the wave player, whose volume is
// this program's own since Windows Vista.
static void SendMusicVolume() {
    char command[64];
    std::snprintf(command, sizeof command, "setaudio bgm volume to %d", musicPercent * 10);
    SendMci(command, nullptr);
}

void PlatformSetVolumes(int music, int effects) {
    musicPercent = Held(music);
    DWORD level = static_cast<DWORD>(Held(effects) * 0xFFFF / 100);
    waveOutSetVolume(nullptr, level | (level << 16));
    SendMusicVolume();
}

bool PlatformPlaySound(const char* path) {
    return sndPlaySoundA(path, SND_ASYNC) != FALSE;
}

void PlatformStopSound() {
    sndPlaySoundA(nullptr, SND_ASYNC);
}

bool PlatformOpenMusic(const char* path) {
    char command[256];
    int length = std::snprintf(command, sizeof command, "open %s alias bgm", path);
    if (length < 0 || length >= static_cast<int>(sizeof command)) return false;
    if (!SendMci(command, nullptr)) return false;
    if (musicPercent != 100) SendMusicVolume();
    return true;
}

void PlatformPlayMusic(bool notify) {
    if (notify) SendMci("play bgm from 0 notify", mainWindow);
    else SendMci("play bgm from 0", nullptr);
}

void PlatformStopMusic() {
    SendMci("stop bgm", nullptr);
}

void PlatformCloseMusic() {
    SendMci("close bgm", nullptr);
}
