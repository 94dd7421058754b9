// Message boxes in the page, drawn like the desktop's (platform/boxes): the
// game's own text renderer letters a box with a caption bar, the text, an
// icon and the buttons, shown over the middle of the canvas. Nothing waits
// for them: a question is looked at once a frame (PlatformAskBox) until the
// player answers it, and whatever arrives for the game meanwhile waits for
// it; an error box stays up while the game ends behind it.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/boxes/box_picture.h"
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

// Handles one event meant for the box; true once it is answered.
bool HandleBoxEvent(BoxPicture& box, int type, int x, int y, int key, bool* answer, bool* redraw)
{
    switch (type) {
    case 1: {
        int hover = BoxButtonAt(box, x, y);
        if (hover != box.hover) *redraw = true;
        box.hover = hover;
        return false;
    }
    case 2: {
        int pressed = BoxButtonAt(box, x, y);
        if (pressed < 0) return false;
        *answer = box.buttons[pressed].answer;
        return true;
    }
    case 3:
        switch (key) {
        case 0x0D:  // Enter
        case 0x20:  // Space
            return PressBoxKey(box, BOX_KEY_PRESS, answer, redraw);
        case 'Y': return PressBoxKey(box, BOX_KEY_YES, answer, redraw);
        case 'N':
        case 0x1B:  // Escape
            return PressBoxKey(box, BOX_KEY_NO, answer, redraw);
        case 0x09:  // Tab
        case 0x25:  // Left
        case 0x27:  // Right
            return PressBoxKey(box, BOX_KEY_NEXT, answer, redraw);
        default:
            return false;
        }
    default:
        return false;
    }
}

}  // namespace

namespace {

BoxPicture box;       // the box up, if any
bool boxUp = false;

void PutUpBox(const char* text, const char* caption, int style)
{
    box = BoxPicture();
    box.text = text;
    box.caption = caption;
    box.style = style;
    LayOutBox(box);
    messageBoxOpen = true;
    boxUp = true;
    PageOpenBox();
    DrawBoxPicture(box);
    PageDrawBox(box.pixels.data(), box.width, box.height);
}

void TakeDownBox()
{
    PageCloseBox();
    messageBoxOpen = false;
    boxUp = false;
}

}  // namespace

int PlatformAskBox(const char* text, const char* caption, int style)
{
    bool scriptAnswer;
    if (!boxUp && ScriptAnswer(&scriptAnswer)) {
        printf("dialog %s: %s\n", scriptAnswer ? "yes" : "no", text);
        return scriptAnswer ? 1 : 0;
    }
    if (!boxUp) PutUpBox(text, caption, style);
    bool answer = false, redraw = false, done = false;
    int x, y, key, type;
    while (!done && (type = PageNextBoxEvent(&x, &y, &key)) != 0)
        done = HandleBoxEvent(box, type, x, y, key, &answer, &redraw);
    if (done) {
        TakeDownBox();
        return answer ? 1 : 0;
    }
    if (redraw) {
        DrawBoxPicture(box);
        PageDrawBox(box.pixels.data(), box.width, box.height);
    }
    return PLATFORM_BOX_WAITING;
}

bool PlatformMessageBox(const char* text, const char* caption, int style)
{
    if (style == PLATFORM_BOX_OK_ERROR) {
        // Said, and left up: the game ends after it, and the page keeps it
        // shown until the player clicks it away.
        fprintf(stderr, "prismveldt: %s: %s\n", caption, text);
        if (!boxUp) PutUpBox(text, caption, style);
        return true;
    }
    // A question nothing waits for: the script's answer, else No.
    bool scriptAnswer = false;
    if (ScriptAnswer(&scriptAnswer)) printf("dialog %s: %s\n", scriptAnswer ? "yes" : "no", text);
    return scriptAnswer;
}
