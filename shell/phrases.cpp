// The game's words in Japanese and English; see phrases.h.
#include "shell/phrases.h"

#include "game/settings.h"
#include "platform/platform.h"

namespace {

struct Words {
    const char* japanese;
    const char* english;
};

const Words PHRASES[PHRASE_COUNT] = {
    {"フルスクリーンにしますか？", "Play in full screen?"},
    {"確認", "Confirm"},
    {"本当に終了しますか？", "Do you really want to quit?"},
    {"終了確認です", "Quit"},
    {"エラー", "Error"},
    {"Bitmapロードエラー:", "Cannot load the picture: "},
    {"メモリが足りません", "Not enough memory"},
    {"再生できません:", "Cannot play the recording: "},
    {"ファイルオープンエラー", "Cannot open the stage file"},
    {"タイトルです", "Prismveldt"},
    {"未定", "Prismveldt"},
    {"保存していない変更があります。保存せずに終了しますか？",
     "The stage has changes that are not saved. Quit without saving them?"},
};

}  // namespace

const char* Said(int phrase)
{
    if (phrase < 0 || phrase >= PHRASE_COUNT) return "";
    const Words& words = PHRASES[phrase];
    return LanguageOf(settings) == PLATFORM_LANGUAGE_ENGLISH ? words.english : words.japanese;
}

void UseSettingsLanguage() { PlatformSetBoxLanguage(LanguageOf(settings)); }
