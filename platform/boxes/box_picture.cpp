// The picture of a message box drawn by the game itself: a caption bar, the
// text, an icon and the buttons, all lettered with the game's own text
// renderer (handed over by PlatformLetterBoxes), so the Japanese reads right
// whatever fonts the system offers. Shared by the desktop's boxes
// (platform/sdl) and the page's (platform/web).
#include "platform/boxes/box_picture.h"

#include <algorithm>

#include "platform/platform.h"

namespace {

void MeasureNothing(const char*, int, int, const char*, int* textWidth, int* textHeight)
{
    if (textWidth) *textWidth = 0;
    if (textHeight) *textHeight = 0;
}

void DrawNoLine(uint32_t*, int, int, int, int, uint32_t, const char*, int, int, const char*) {}

int DrawNoParagraphs(uint32_t*, int, int, int, int, int, uint32_t, const char*, int, int, const char*)
{
    return 1;
}

BoxLettering lettering = {MeasureNothing, DrawNoLine, DrawNoParagraphs};
bool buttonsInEnglish = false;

const char* const BOX_FACE = "ＭＳ 明朝";
constexpr int FONT_WIDTH = 9, FONT_HEIGHT = 18;
constexpr int CAPTION_HEIGHT = 28;
constexpr int MARGIN = 18;
constexpr int ICON_SIZE = 32;
constexpr int BUTTON_WIDTH = 100, BUTTON_HEIGHT = 28, BUTTON_GAP = 12;
constexpr int MAX_TEXT_WIDTH = 640, MAX_TEXT_HEIGHT = 480;

// Surface pixels are 0x00RRGGBB; text colours are 0x00BBGGRR.
constexpr uint32_t PIXEL_BODY = 0xF0F0F0, PIXEL_CAPTION = 0x2B4A7A, PIXEL_BORDER = 0x404040;
constexpr uint32_t PIXEL_BUTTON = 0xE1E1E1, PIXEL_BUTTON_HOVER = 0xE5F1FB, PIXEL_FOCUS = 0x0078D7;
constexpr uint32_t PIXEL_ERROR = 0xD03030, PIXEL_QUESTION = 0x2F6FCF, PIXEL_WHITE = 0xFFFFFF;
constexpr uint32_t TEXT_BLACK = 0x000000, TEXT_WHITE = 0xFFFFFF;

void Fill(BoxPicture& box, int x, int y, int w, int h, uint32_t pixel)
{
    for (int row = std::max(y, 0); row < std::min(y + h, box.height); row++)
        for (int col = std::max(x, 0); col < std::min(x + w, box.width); col++)
            box.pixels[row * box.width + col] = pixel;
}

void Frame(BoxPicture& box, int x, int y, int w, int h, uint32_t pixel)
{
    Fill(box, x, y, w, 1, pixel);
    Fill(box, x, y + h - 1, w, 1, pixel);
    Fill(box, x, y, 1, h, pixel);
    Fill(box, x + w - 1, y, 1, h, pixel);
}

void DrawIcon(BoxPicture& box, int left, int top)
{
    if (box.style == PLATFORM_BOX_YESNO) return;
    bool error = box.style == PLATFORM_BOX_OK_ERROR;
    int r = ICON_SIZE / 2, cx = left + r, cy = top + r;
    for (int y = -r; y < r; y++)
        for (int x = -r; x < r; x++)
            if ((x * 2 + 1) * (x * 2 + 1) + (y * 2 + 1) * (y * 2 + 1) <= 4 * r * r)
                Fill(box, cx + x, cy + y, 1, 1, error ? PIXEL_ERROR : PIXEL_QUESTION);
    if (error) {
        for (int i = -8; i <= 8; i++) {  // a white cross, three pixels thick
            Fill(box, cx + i - 1, cy + i, 3, 1, PIXEL_WHITE);
            Fill(box, cx - i - 1, cy + i, 3, 1, PIXEL_WHITE);
        }
    } else {
        int w, h;
        lettering.measure(BOX_FACE, 11, 22, "?", &w, &h);
        lettering.drawLine(box.pixels.data(), box.width, box.height, cx - w / 2, cy - h / 2, TEXT_WHITE,
                           BOX_FACE, 11, 22, "?");
    }
}

} // namespace

void PlatformSetBoxLanguage(int language) { buttonsInEnglish = language == PLATFORM_LANGUAGE_ENGLISH; }

void PlatformLetterBoxes(const BoxLettering& given)
{
    lettering.measure = given.measure ? given.measure : MeasureNothing;
    lettering.drawLine = given.drawLine ? given.drawLine : DrawNoLine;
    lettering.drawParagraphs = given.drawParagraphs ? given.drawParagraphs : DrawNoParagraphs;
}

void LayOutBox(BoxPicture& box)
{
    box.buttons.clear();
    if (box.style == PLATFORM_BOX_OK_ERROR) {
        box.buttons.push_back(BoxButton{"OK", true, BoxRect{}});
    } else {
        box.buttons.push_back(BoxButton{buttonsInEnglish ? "Yes (Y)" : "はい(Y)", true, BoxRect{}});
        box.buttons.push_back(BoxButton{buttonsInEnglish ? "No (N)" : "いいえ(N)", false, BoxRect{}});
    }

    int textWidth, lineHeight;
    lettering.measure(BOX_FACE, FONT_WIDTH, FONT_HEIGHT, box.text, &textWidth, &lineHeight);
    box.textWidth = std::clamp(textWidth, 1, MAX_TEXT_WIDTH);
    int lines = lettering.drawParagraphs(nullptr, 0, 0, 0, 0, box.textWidth, TEXT_BLACK, BOX_FACE,
                                         FONT_WIDTH, FONT_HEIGHT, box.text);
    int textHeight = std::min(std::max(lines, 1) * lineHeight, MAX_TEXT_HEIGHT);
    box.textHeight = textHeight;
    int captionWidth;
    lettering.measure(BOX_FACE, FONT_WIDTH, FONT_HEIGHT, box.caption, &captionWidth, &lineHeight);

    bool icon = box.style != PLATFORM_BOX_YESNO;
    box.textX = MARGIN + (icon ? ICON_SIZE + MARGIN : 0);
    int buttonsWidth = static_cast<int>(box.buttons.size()) * (BUTTON_WIDTH + BUTTON_GAP) - BUTTON_GAP;
    box.width = std::max({box.textX + box.textWidth + MARGIN, buttonsWidth + 2 * MARGIN,
                          std::min(captionWidth, MAX_TEXT_WIDTH) + 2 * 10, 280});
    int bodyHeight = std::max(textHeight, icon ? ICON_SIZE : 0);
    box.textY = CAPTION_HEIGHT + MARGIN + (bodyHeight - textHeight) / 2;
    int buttonsTop = CAPTION_HEIGHT + MARGIN + bodyHeight + MARGIN;
    box.height = buttonsTop + BUTTON_HEIGHT + MARGIN - 4;
    int x = box.width - MARGIN - buttonsWidth;
    for (auto& button : box.buttons) {
        button.rect = {x, buttonsTop, BUTTON_WIDTH, BUTTON_HEIGHT};
        x += BUTTON_WIDTH + BUTTON_GAP;
    }
    box.pixels.assign(static_cast<size_t>(box.width) * box.height, PIXEL_BODY);
}

void DrawBoxPicture(BoxPicture& box)
{
    std::fill(box.pixels.begin(), box.pixels.end(), PIXEL_BODY);
    Fill(box, 0, 0, box.width, CAPTION_HEIGHT, PIXEL_CAPTION);
    lettering.drawLine(box.pixels.data(), box.width, box.height, 10, (CAPTION_HEIGHT - FONT_HEIGHT) / 2,
                       TEXT_WHITE, BOX_FACE, FONT_WIDTH, FONT_HEIGHT, box.caption);
    DrawIcon(box, MARGIN, CAPTION_HEIGHT + MARGIN);
    // The text goes into a picture of its own area, so a runaway text is
    // cut there instead of running over the buttons.
    std::vector<uint32_t> textPixels(static_cast<size_t>(box.textWidth) * box.textHeight, PIXEL_BODY);
    lettering.drawParagraphs(textPixels.data(), box.textWidth, box.textHeight, 0, 0, box.textWidth, TEXT_BLACK,
                             BOX_FACE, FONT_WIDTH, FONT_HEIGHT, box.text);
    for (int row = 0; row < box.textHeight; row++)
        std::copy_n(&textPixels[static_cast<size_t>(row) * box.textWidth], box.textWidth,
                    &box.pixels[static_cast<size_t>(box.textY + row) * box.width + box.textX]);
    for (size_t i = 0; i < box.buttons.size(); i++) {
        const BoxButton& button = box.buttons[i];
        const BoxRect& r = button.rect;
        bool focused = static_cast<int>(i) == box.focus;
        Fill(box, r.x, r.y, r.w, r.h, static_cast<int>(i) == box.hover ? PIXEL_BUTTON_HOVER : PIXEL_BUTTON);
        Frame(box, r.x, r.y, r.w, r.h, focused ? PIXEL_FOCUS : 0xADADAD);
        if (focused) Frame(box, r.x + 1, r.y + 1, r.w - 2, r.h - 2, PIXEL_FOCUS);
        int w, h;
        lettering.measure(BOX_FACE, FONT_WIDTH, FONT_HEIGHT, button.label, &w, &h);
        lettering.drawLine(box.pixels.data(), box.width, box.height, r.x + (r.w - w) / 2, r.y + (r.h - h) / 2,
                           TEXT_BLACK, BOX_FACE, FONT_WIDTH, FONT_HEIGHT, button.label);
    }
    Frame(box, 0, 0, box.width, box.height, PIXEL_BORDER);
}

int BoxButtonAt(const BoxPicture& box, int x, int y)
{
    for (size_t i = 0; i < box.buttons.size(); i++) {
        const BoxRect& r = box.buttons[i].rect;
        if (x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h) return static_cast<int>(i);
    }
    return -1;
}

bool PressBoxKey(BoxPicture& box, BoxKey key, bool* answer, bool* redraw)
{
    bool yesNo = box.style != PLATFORM_BOX_OK_ERROR;
    switch (key) {
    case BOX_KEY_PRESS:
        *answer = box.buttons[box.focus].answer;
        return true;
    case BOX_KEY_YES:
        if (!yesNo) return false;
        *answer = true;
        return true;
    case BOX_KEY_NO:
        *answer = !yesNo;
        return true;
    case BOX_KEY_NEXT:
        box.focus = (box.focus + 1) % static_cast<int>(box.buttons.size());
        *redraw = true;
        return false;
    }
    return false;
}
