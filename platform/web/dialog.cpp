// Message boxes in the page, drawn like the desktop's: the game's own text
// renderer letters a box with a caption bar, the text, an icon and the
// buttons, shown over the middle of the canvas. Modal: the box's loop hands
// the tab back to the browser between looks at the page's clicks and keys,
// and whatever arrives for the game meanwhile waits for it.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "gfx/text.h"
#include "platform/web/web_internal.h"

// The page keeps what the canvas showed under the box and puts it back after.
EM_JS(void, PageOpenBox, (), { Module.web.openBox(); });
EM_JS(void, PageDrawBox, (const uint32_t* pixels, int width, int height), {
    Module.web.drawBox(pixels, width, height);
});
EM_JS(void, PageCloseBox, (), { Module.web.closeBox(); });
// The next click or key for the box: 0 none, 1 pointer moved, 2 left button
// released, 3 key pressed; the place in the box's pixels, the key as a
// virtual-key code.
EM_JS(int, PageNextBoxEvent, (int* x, int* y, int* key), {
    var event = Module.web.nextBoxEvent();
    if (!event) return 0;
    HEAP32[x >> 2] = event.x;
    HEAP32[y >> 2] = event.y;
    HEAP32[key >> 2] = event.key || 0;
    return event.type;
});

namespace {

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
constexpr Colour TEXT_BLACK = 0x000000, TEXT_WHITE = 0xFFFFFF;

struct Rect {
    int x, y, w, h;
};

struct Button {
    const char* label;
    bool answer;
    Rect rect;
};

struct Box {
    const char* text;
    const char* caption;
    int style;
    int width, height;
    int textX, textY, textWidth, textHeight;
    std::vector<Button> buttons;
    int focus = 0;      // the button Enter presses
    int hover = -1;     // the button under the pointer
    std::vector<uint32_t> pixels;
};

void Fill(Box& box, int x, int y, int w, int h, uint32_t pixel)
{
    for (int row = std::max(y, 0); row < std::min(y + h, box.height); row++)
        for (int col = std::max(x, 0); col < std::min(x + w, box.width); col++)
            box.pixels[row * box.width + col] = pixel;
}

void Frame(Box& box, int x, int y, int w, int h, uint32_t pixel)
{
    Fill(box, x, y, w, 1, pixel);
    Fill(box, x, y + h - 1, w, 1, pixel);
    Fill(box, x, y, 1, h, pixel);
    Fill(box, x + w - 1, y, 1, h, pixel);
}

void DrawIcon(Box& box, Surface surface, int left, int top)
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
        MeasureTextWithFace(BOX_FACE, 11, 22, "?", &w, &h);
        DrawTextWithFace(surface, cx - w / 2, cy - h / 2, TEXT_WHITE, COLOR_NONE, BOX_FACE, 11, 22, "?");
    }
}

void Layout(Box& box)
{
    box.buttons.clear();
    if (box.style == PLATFORM_BOX_OK_ERROR) {
        box.buttons.push_back(Button{"OK", true, Rect{}});
    } else {
        box.buttons.push_back(Button{"はい(Y)", true, Rect{}});
        box.buttons.push_back(Button{"いいえ(N)", false, Rect{}});
    }

    int textWidth, lineHeight;
    MeasureTextWithFace(BOX_FACE, FONT_WIDTH, FONT_HEIGHT, box.text, &textWidth, &lineHeight);
    box.textWidth = std::clamp(textWidth, 1, MAX_TEXT_WIDTH);
    int lines = DrawTextBoxWithFace(nullptr, 0, 0, box.textWidth, TEXT_BLACK, COLOR_NONE, BOX_FACE,
                                    FONT_WIDTH, FONT_HEIGHT, box.text);
    int textHeight = std::min(std::max(lines, 1) * lineHeight, MAX_TEXT_HEIGHT);
    box.textHeight = textHeight;
    int captionWidth;
    MeasureTextWithFace(BOX_FACE, FONT_WIDTH, FONT_HEIGHT, box.caption, &captionWidth, &lineHeight);

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

void Draw(Box& box)
{
    SurfaceData surface{box.width, box.height, box.pixels.data()};
    std::fill(box.pixels.begin(), box.pixels.end(), PIXEL_BODY);
    Fill(box, 0, 0, box.width, CAPTION_HEIGHT, PIXEL_CAPTION);
    DrawTextWithFace(&surface, 10, (CAPTION_HEIGHT - FONT_HEIGHT) / 2, TEXT_WHITE, COLOR_NONE, BOX_FACE,
                     FONT_WIDTH, FONT_HEIGHT, box.caption);
    DrawIcon(box, &surface, MARGIN, CAPTION_HEIGHT + MARGIN);
    // The text goes through a surface of its own area, so a runaway text is
    // cut there instead of running over the buttons.
    std::vector<uint32_t> textPixels(static_cast<size_t>(box.textWidth) * box.textHeight, PIXEL_BODY);
    SurfaceData textArea{box.textWidth, box.textHeight, textPixels.data()};
    DrawTextBoxWithFace(&textArea, 0, 0, box.textWidth, TEXT_BLACK, COLOR_NONE, BOX_FACE, FONT_WIDTH,
                        FONT_HEIGHT, box.text);
    for (int row = 0; row < box.textHeight; row++)
        std::copy_n(&textPixels[static_cast<size_t>(row) * box.textWidth], box.textWidth,
                    &box.pixels[static_cast<size_t>(box.textY + row) * box.width + box.textX]);
    for (size_t i = 0; i < box.buttons.size(); i++) {
        const Button& button = box.buttons[i];
        const Rect& r = button.rect;
        bool focused = static_cast<int>(i) == box.focus;
        Fill(box, r.x, r.y, r.w, r.h, static_cast<int>(i) == box.hover ? PIXEL_BUTTON_HOVER : PIXEL_BUTTON);
        Frame(box, r.x, r.y, r.w, r.h, focused ? PIXEL_FOCUS : 0xADADAD);
        if (focused) Frame(box, r.x + 1, r.y + 1, r.w - 2, r.h - 2, PIXEL_FOCUS);
        int w, h;
        MeasureTextWithFace(BOX_FACE, FONT_WIDTH, FONT_HEIGHT, button.label, &w, &h);
        DrawTextWithFace(&surface, r.x + (r.w - w) / 2, r.y + (r.h - h) / 2, TEXT_BLACK, COLOR_NONE,
                         BOX_FACE, FONT_WIDTH, FONT_HEIGHT, button.label);
    }
    Frame(box, 0, 0, box.width, box.height, PIXEL_BORDER);
    PageDrawBox(box.pixels.data(), box.width, box.height);
}

int ButtonAt(const Box& box, int x, int y)
{
    for (size_t i = 0; i < box.buttons.size(); i++) {
        const Rect& r = box.buttons[i].rect;
        if (x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h) return static_cast<int>(i);
    }
    return -1;
}

// Handles one event meant for the box; true once it is answered.
bool HandleBoxEvent(Box& box, int type, int x, int y, int key, bool* answer, bool* redraw)
{
    bool yesNo = box.style != PLATFORM_BOX_OK_ERROR;
    switch (type) {
    case 1: {
        int hover = ButtonAt(box, x, y);
        if (hover != box.hover) *redraw = true;
        box.hover = hover;
        return false;
    }
    case 2: {
        int pressed = ButtonAt(box, x, y);
        if (pressed < 0) return false;
        *answer = box.buttons[pressed].answer;
        return true;
    }
    case 3:
        switch (key) {
        case 0x0D:  // Enter
        case 0x20:  // Space
            *answer = box.buttons[box.focus].answer;
            return true;
        case 'Y':
            if (!yesNo) return false;
            *answer = true;
            return true;
        case 'N':
        case 0x1B:  // Escape
            *answer = !yesNo;
            return true;
        case 0x09:  // Tab
        case 0x25:  // Left
        case 0x27:  // Right
            box.focus = (box.focus + 1) % static_cast<int>(box.buttons.size());
            *redraw = true;
            return false;
        default:
            return false;
        }
    default:
        return false;
    }
}

}  // namespace

bool PlatformMessageBox(const char* text, const char* caption, int style)
{
    if (style == PLATFORM_BOX_OK_ERROR) fprintf(stderr, "prismveldt: %s: %s\n", caption, text);
    bool scriptAnswer;
    if (style != PLATFORM_BOX_OK_ERROR && ScriptAnswer(&scriptAnswer)) {
        printf("dialog %s: %s\n", scriptAnswer ? "yes" : "no", text);
        return scriptAnswer;
    }
    Box box;
    box.text = text;
    box.caption = caption;
    box.style = style;
    Layout(box);

    messageBoxOpen = true;
    PageOpenBox();
    bool answer = false, redraw = true;
    for (bool done = false; !done;) {
        if (redraw) Draw(box);
        redraw = false;
        emscripten_sleep(16);
        int x, y, key, type;
        while (!done && (type = PageNextBoxEvent(&x, &y, &key)) != 0)
            done = HandleBoxEvent(box, type, x, y, key, &answer, &redraw);
    }
    PageCloseBox();
    messageBoxOpen = false;
    return answer;
}
