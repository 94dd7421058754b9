// Sound on Windows: one-shot effects through the wave player (sndPlaySoundA),
// the feedback sounds beside them through MCI under the alias "feedback", and
// the one music stream through MCI string commands under the alias "bgm",
// whose end the MCI reports to the game window as MM_MCINOTIFY.
#include "platform/windows/win_internal.h"

#include <cstdio>
#include <mmsystem.h>

// 256 bytes hold "open %s alias bgm" with a path of up to 240 bytes; a longer
// path is refused rather than cut into a different one.
static bool SendMci(const char* command, HWND notifyWindow) {
    return mciSendStringA(command, nullptr, 0, notifyWindow) == 0;
}

static int musicPercent = 100, effectsPercent = 100;

static int Held(int percent) { return percent < 0 ? 0 : percent > 100 ? 100 : percent; }

// The music's loudness goes to MCI (0..1000) each time the stream opens, and
// at once to the one open; the effects' to the wave player, whose volume is
// this program's own since Windows Vista.
static void SendMusicVolume() {
    char command[64];
    std::snprintf(command, sizeof command, "setaudio bgm volume to %d", musicPercent * 10);
    SendMci(command, nullptr);
}

// Harmless while no feedback sound is open: the command just fails.
static void SendFeedbackVolume() {
    char command[64];
    std::snprintf(command, sizeof command, "setaudio feedback volume to %d", effectsPercent * 10);
    SendMci(command, nullptr);
}

void PlatformSetVolumes(int music, int effects) {
    musicPercent = Held(music);
    effectsPercent = Held(effects);
    DWORD level = static_cast<DWORD>(Held(effects) * 0xFFFF / 100);
    waveOutSetVolume(nullptr, level | (level << 16));
    SendMusicVolume();
    SendFeedbackVolume();
}

bool PlatformPlaySound(const char* path) {
    return sndPlaySoundA(path, SND_ASYNC) != FALSE;
}

void PlatformStopSound() {
    sndPlaySoundA(nullptr, SND_ASYNC);
}

// The wave player plays one sound at a time for the whole program, so the
// feedback sounds go through MCI's DirectShow device, which mixes beside it
// and takes a loudness of its own (0..1000): the effects'. A missing file
// fails the open, and nothing plays: no default sound.
bool PlatformPlayFeedback(const char* path) {
    SendMci("close feedback", nullptr);
    char command[300];
    int length = std::snprintf(command, sizeof command, "open \"%s\" type mpegvideo alias feedback", path);
    if (length < 0 || length >= static_cast<int>(sizeof command)) return false;
    if (!SendMci(command, nullptr)) return false;
    SendFeedbackVolume();
    return SendMci("play feedback from 0", nullptr);
}

void PlatformStopFeedback() {
    SendMci("close feedback", nullptr);
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
