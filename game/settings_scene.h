// The settings page, over the title or the pause: the music's and the
// effects' loudness (heard at once), what the game does at start-up (ask, a
// window, full screen), the display now (switched at once), vertical sync
// (at once), the game speed, pausing when the window loses the focus,
// reduced flashing, the ghost, the feedback sounds and the boxes' language.
// ONLINE RECORDS shows whether they are on and opens their page.
// Left and right (or a click) change the row's value; Escape or BACK goes
// back to the scene below, which is left as it was. CONTROLS opens the
// Controls page. What changed is kept in the settings file when the page is
// left (the display now is not: AT START says what a start does).
#pragma once
#include "game/menu.h"
#include "game/scene_frame.h"
#include "game/settings.h"
#include "gfx/surface.h"

struct SceneChange;

// What the page goes back with: apart from every other scene's result.
constexpr int SETTINGS_DONE = 21;

// The rows, top to bottom; a row added goes before CONTROLS and BACK,
// which stay last.
enum {
    SETTINGS_ROW_MUSIC,
    SETTINGS_ROW_EFFECTS,
    SETTINGS_ROW_START,
    SETTINGS_ROW_DISPLAY,
    SETTINGS_ROW_VSYNC,
    SETTINGS_ROW_SPEED,
    SETTINGS_ROW_FOCUS_PAUSE,
    SETTINGS_ROW_REDUCED_FLASHING,
    SETTINGS_ROW_GHOST,
    SETTINGS_ROW_FEEDBACK,
    SETTINGS_ROW_LANGUAGE,
    SETTINGS_ROW_ONLINE,
    SETTINGS_ROW_CONTROLS,
    SETTINGS_ROW_BACK,
    SETTINGS_ROWS
};

// What the page shows and changes: the settings, and beside them the ghost
// (kept beside the best times) and whether the display is full screen now
// (the display's own state, kept nowhere).
struct SettingsValues {
    Settings settings;
    bool ghost = false;
    bool fullscreen = false;
    bool operator==(const SettingsValues&) const = default;
};

struct SettingsScene {
    Menu menu;
    SettingsValues edited;  // the page's values; the game's settings once it is left
    // The night sky behind play, darkened once when the page is entered and
    // freed when it is left.
    Surface imgSky = nullptr;
    bool leaving = false;        // this frame's
    bool toControls = false;     // this frame's: CONTROLS chosen
    bool toOnline = false;       // this frame's: ONLINE RECORDS chosen
    bool switchDisplay = false;  // this frame's: the display is switched after it
};

// The page's rows on the 1280 x 720 screen.
MenuLayout SettingsMenuLayout();
// The row's value after one step (step +1 right, -1 left): held at its ends,
// or going round from one end to the other with wrap (a click); a row of two
// values (ON / OFF, WINDOW / FULL SCREEN) changes at any step. Rows without
// a value change nothing.
void StepSettingsValue(SettingsValues* values, int row, int step, bool wrap);
// The row's value as the page shows it ("< 70 % >", "< ASK >", "< ON >"),
// "" for none.
const char* SettingsValueText(const SettingsValues& values, int row);

SceneChange EnterSettings(SettingsScene& page, FrameClock& clock);
void StepSettings(SettingsScene& page, const FrameClock& clock, FrameEnd* end);
SceneChange AfterSettingsFrame(SettingsScene& page, FrameClock& clock);
// Back from the Controls or the online page: its changes, kept already, are
// the page's too.
SceneChange ResumeSettings(SettingsScene& page, int result, FrameClock& clock);
