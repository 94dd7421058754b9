// The message boxes the desktop draws itself take their letters from the
// game's text only through the lettering the shell hands the platform: a box
// drawn before that is still a whole box, laid out for no text, and one drawn
// after shows its caption, its text and its buttons' labels where the layout
// put them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "platform/boxes/box_picture.h"
#include "platform/platform.h"
#include "gfx/text.h"
#include "shell/shell.h"

namespace {

// How many pixels of the box's w x h block at (x, y) are not `background`.
int Marked(const BoxPicture& box, BoxRect r, uint32_t background)
{
    int marked = 0;
    for (int y = r.y; y < r.y + r.h; y++)
        for (int x = r.x; x < r.x + r.w; x++) marked += box.pixels[size_t(y) * box.width + x] != background;
    return marked;
}

// The quit question's box, laid out and drawn.
BoxPicture QuitBox()
{
    BoxPicture box;
    box.text = "本当に終了しますか？";
    box.caption = "終了確認です";
    box.style = PLATFORM_BOX_YESNO_QUESTION;
    LayOutBox(box);
    DrawBoxPicture(box);
    return box;
}

TEST(BoxLettering, ABoxIsLetteredOnlyOnceTheShellHasHandedOverTheText)
{
    const uint32_t BODY = 0xF0F0F0, CAPTION = 0x2B4A7A, BUTTON = 0xE1E1E1;
    BoxPicture bare = QuitBox();
    ASSERT_EQ(bare.pixels.size(), size_t(bare.width) * bare.height);
    ASSERT_EQ(bare.buttons.size(), 2u);
    EXPECT_EQ(bare.width, 280);  // the narrowest box: nothing was measured
    EXPECT_EQ(Marked(bare, {bare.textX, bare.textY, bare.textWidth, bare.textHeight}, BODY), 0);
    EXPECT_EQ(Marked(bare, {1, 1, bare.width - 2, 26}, CAPTION), 0);

    InstallShellHooks();
    BoxPicture box = QuitBox();
    EXPECT_GT(box.textWidth, 100);
    EXPECT_GT(Marked(box, {box.textX, box.textY, box.textWidth, box.textHeight}, BODY), 100);
    EXPECT_GT(Marked(box, {1, 1, box.width - 2, 26}, CAPTION), 50);
    for (const BoxButton& button : box.buttons) {
        BoxRect inside{button.rect.x + 2, button.rect.y + 2, button.rect.w - 4, button.rect.h - 4};
        EXPECT_GT(Marked(box, inside, BUTTON), 20) << button.label;
    }
}

}  // namespace

namespace {

TEST(BoxLettering, TheButtonsSpeakTheBoxesLanguageAndHoldTheirLabels)
{
    InstallShellHooks();
    PlatformSetBoxLanguage(PLATFORM_LANGUAGE_ENGLISH);
    BoxPicture english = QuitBox();
    PlatformSetBoxLanguage(PLATFORM_LANGUAGE_JAPANESE);
    BoxPicture japanese = QuitBox();
    ASSERT_EQ(english.buttons.size(), 2u);
    ASSERT_EQ(japanese.buttons.size(), 2u);
    EXPECT_STREQ(english.buttons[0].label, "Yes (Y)");
    EXPECT_STREQ(english.buttons[1].label, "No (N)");
    EXPECT_STREQ(japanese.buttons[0].label, "はい(Y)");
    EXPECT_STREQ(japanese.buttons[1].label, "いいえ(N)");
    // Each label fits inside its button, with room to spare.
    for (const BoxButton& button : english.buttons) {
        int width = 0, height = 0;
        MeasureTextWithFace("ＭＳ 明朝", 9, 18, button.label, &width, &height);
        EXPECT_LT(width + 8, button.rect.w) << button.label;
    }
}

// The desktop's language is the session's locale, as the C library reads
// one for messages: LC_ALL over LC_MESSAGES over LANG, the empty ones skipped.
TEST(SystemLanguage, TheDesktopFollowsTheLocale)
{
    struct Case {
        const char *lcAll, *lcMessages, *lang;
        int language;
    } cases[] = {
        {nullptr, nullptr, "ja_JP.UTF-8", PLATFORM_LANGUAGE_JAPANESE},
        {nullptr, nullptr, "en_GB.UTF-8", PLATFORM_LANGUAGE_ENGLISH},
        {nullptr, "ja_JP.eucJP", "en_US.UTF-8", PLATFORM_LANGUAGE_JAPANESE},
        {"de_DE.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8", PLATFORM_LANGUAGE_ENGLISH},
        {"", "", "ja", PLATFORM_LANGUAGE_JAPANESE},
        {"C", nullptr, "ja_JP.UTF-8", PLATFORM_LANGUAGE_ENGLISH},
        {nullptr, nullptr, "jam_JM", PLATFORM_LANGUAGE_ENGLISH},  // not Japanese, though it starts so
        {nullptr, nullptr, "ja_JP@cjknarrow", PLATFORM_LANGUAGE_JAPANESE},
        {nullptr, nullptr, nullptr, PLATFORM_LANGUAGE_ENGLISH},
    };
    for (const Case& c : cases) {
        const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
        const char* values[] = {c.lcAll, c.lcMessages, c.lang};
        for (int i = 0; i < 3; i++) {
            if (values[i]) setenv(names[i], values[i], 1);
            else unsetenv(names[i]);
        }
        EXPECT_EQ(PlatformSystemLanguage(), c.language)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
            << (c.lang ? c.lang : "-");
    }
}

}  // namespace
