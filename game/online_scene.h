// The online records page, over the settings page: online records on or
// off, the player's name on the board and the board's address, each typed
// on its row (letters, digits, space and . : / - _, Shift for capitals and
// : _, Backspace to take back), then BACK. Up and down (or the pointer)
// choose the row, left and right (or a click) turn online on and off;
// Escape or BACK goes back to the settings page. What changed is kept in the
// settings file when the page is left; a name or an address that is no
// good one then counts as none.
#pragma once
#include <string>
#include "game/menu.h"
#include "game/scene_frame.h"
#include "game/settings.h"
#include "gfx/surface.h"

struct SceneChange;

enum { ONLINE_ROW_SWITCH, ONLINE_ROW_NAME, ONLINE_ROW_SERVER, ONLINE_ROW_BACK, ONLINE_ROWS };

struct OnlinePageScene {
    Menu menu;
    Settings edited;     // the page's values; the game's settings once it is left
    Surface imgSky = nullptr;
    bool leaving = false;  // this frame's
};

// What the row's typing makes of text: the keys typed this frame
// (TakeKeyPresses) appended, Backspace taking the last off, held to the
// row's longest.
void TypeOnlineText(std::string* text, int row);
// The row's value as the page shows it: "< ON >", the name or address with
// a cursor on the row chosen ("_"), "(NONE)" for nothing.
std::string OnlineValueText(const Settings& settings, int row, bool chosen);

SceneChange EnterOnlinePage(OnlinePageScene& page, FrameClock& clock);
void StepOnlinePage(OnlinePageScene& page, const FrameClock& clock, FrameEnd* end);
SceneChange AfterOnlinePageFrame(OnlinePageScene& page, FrameClock& clock);
