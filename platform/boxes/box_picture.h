// A message box as a picture of its own, laid out and drawn with the game's
// text renderer (as PlatformLetterBoxes handed it over), and answered by
// clicks and keys: what the desktop's boxes
// (platform/sdl) and the page's (platform/web) share. Each backend shows the
// picture and turns its own events into the calls below.
#pragma once
#include <cstdint>
#include <vector>

struct BoxRect {
    int x, y, w, h;
};

struct BoxButton {
    const char* label;
    bool answer;
    BoxRect rect;
};

struct BoxPicture {
    const char* text;
    const char* caption;
    int style;          // PLATFORM_BOX_*
    int width, height;
    int textX, textY, textWidth, textHeight;
    std::vector<BoxButton> buttons;
    int focus = 0;      // the button Enter presses
    int hover = -1;     // the button under the pointer
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, width x height
};

// Sizes the box for its text, caption and style and places its buttons.
void LayOutBox(BoxPicture& box);
// Draws the whole box into its pixels (focus and hover as they are).
void DrawBoxPicture(BoxPicture& box);
// The button at (x, y) in the box's pixels, or -1.
int BoxButtonAt(const BoxPicture& box, int x, int y);

enum BoxKey {
    BOX_KEY_PRESS,  // Enter, Space: the focused button
    BOX_KEY_YES,    // Y
    BOX_KEY_NO,     // N, Escape: No, or OK in a box with one button
    BOX_KEY_NEXT    // Tab, Left, Right: the focus moves on
};
// A key pressed in the box; true, with the answer, once it is answered.
bool PressBoxKey(BoxPicture& box, BoxKey key, bool* answer, bool* redraw);
