// Sound effects, the feedback sounds and the music through the page's Web
// Audio. One effect plays at a time, as on the desktop's effect channel, and
// one feedback sound beside it. A notified play of the
// music loops inside Web Audio with no gap at the seam; the end of each pass is
// still reported to the game, whose window procedure answers it with a new
// play, and that answer carries on the pass already under way.
#include <emscripten.h>

#include <map>
#include <string>

#include "platform/web/web_internal.h"

// The page decodes every sound of the game's folder before the game starts
// (Web Audio decodes only asynchronously, and the game never waits) and
// keeps each under a number: 0 for a file it does not have.
EM_JS(int, PageDecodeSound, (const char* path), {
    return Module.web.soundNumber(UTF8ToString(path));
});
EM_JS(int, PageAudioReady, (), { return Module.web.audioReady() ? 1 : 0; });
EM_JS(void, PagePlayEffect, (int sound), { Module.web.playEffect(sound); });
EM_JS(void, PageStopEffect, (), { Module.web.stopEffect(); });
EM_JS(void, PagePlayFeedback, (int sound), { Module.web.playFeedback(sound); });
EM_JS(void, PageStopFeedback, (), { Module.web.stopFeedback(); });
EM_JS(void, PagePlayMusic, (int sound, int loop), { Module.web.playMusic(sound, loop !== 0); });
EM_JS(void, PageStopMusic, (), { Module.web.stopMusic(); });
EM_JS(int, PageMusicPlaying, (), { return Module.web.musicPlaying() ? 1 : 0; });
EM_JS(int, PageMusicPasses, (), { return Module.web.musicPasses(); });
EM_JS(void, PageSetVolumes, (int music, int effects), { Module.web.setVolumes(music, effects); });

static std::map<std::string, int> effects;  // decoded once, then reused
static int music = 0;                       // the open stream's sound, 0: none
static bool notifyPending = false;
static int passesSeen = 0;            // passes of the play under way already looked at
static int passesAwaitingAnswer = 0;  // reported to the game, not yet answered

// The page's number for the decoded .wav at path, 0 when it has none.
static int EffectSound(const char* path)
{
    auto found = effects.find(path);
    int sound = found != effects.end() ? found->second : PageDecodeSound(path);
    if (sound > 0) effects[path] = sound;  // missing: silence, and look again next time
    return sound;
}

bool PlatformPlaySound(const char* path)
{
    if (!PageAudioReady()) return false;
    int sound = EffectSound(path);
    if (sound <= 0) return false;
    PagePlayEffect(sound);
    return true;
}

bool PlatformPlayFeedback(const char* path)
{
    if (!PageAudioReady()) return false;
    int sound = EffectSound(path);
    if (sound <= 0) return false;
    PagePlayFeedback(sound);
    return true;
}

void PlatformStopFeedback()
{
    if (PageAudioReady()) PageStopFeedback();
}

void PlatformSetVolumes(int musicPercent, int effectsPercent)
{
    auto held = [](int percent) { return percent < 0 ? 0 : percent > 100 ? 100 : percent; };
    PageSetVolumes(held(musicPercent), held(effectsPercent));
}

void PlatformStopSound()
{
    if (PageAudioReady()) PageStopEffect();
}

bool PlatformOpenMusic(const char* path)
{
    if (!PageAudioReady() || music != 0) return false;  // one stream, already taken
    int sound = PageDecodeSound(path);
    if (sound <= 0) return false;
    music = sound;
    return true;
}

void PlatformPlayMusic(bool notify)
{
    if (music == 0) return;
    if (notify && passesAwaitingAnswer > 0 && PageMusicPlaying()) {
        // The answer to a finished pass: the next one is already playing.
        passesAwaitingAnswer--;
        notifyPending = true;
        return;
    }
    notifyPending = notify;
    passesAwaitingAnswer = 0;
    passesSeen = 0;
    PagePlayMusic(music, notify);
}

void CheckMusic()
{
    if (music == 0) return;
    int passes = PageMusicPasses();
    if (passes <= passesSeen) return;
    passesSeen = passes;  // passes nobody waited for are not reported
    if (!notifyPending) return;
    notifyPending = false;
    passesAwaitingAnswer++;
    QueueEvent(PLATFORM_EVENT_MUSIC_DONE, MUSIC_DONE_SUCCESSFUL);
}

void PlatformStopMusic()
{
    if (music == 0) return;
    if (notifyPending) QueueEvent(PLATFORM_EVENT_MUSIC_DONE, MUSIC_DONE_ABORTED);
    notifyPending = false;
    passesAwaitingAnswer = 0;
    passesSeen = 0;
    PageStopMusic();
}

void PlatformCloseMusic()
{
    notifyPending = false;
    passesAwaitingAnswer = 0;
    passesSeen = 0;
    if (music != 0) PageStopMusic();
    music = 0;  // the page keeps the decoded song for the next open of it
}
