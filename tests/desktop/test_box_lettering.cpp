// The message boxes the desktop draws itself take their letters from the
// game's text only through the lettering the shell hands the platform: a box
// drawn before that is still a whole box, laid out for no text, and one drawn
// after shows its caption, its text and its buttons' labels where the layout
// put them.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/boxes/box_picture.h"
#include "platform/platform.h"
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
