// The settings page: its rows, the values' steps, and keeping what changed.
#include "game/settings_scene.h"

#include <cstdio>

#include "audio/audio.h"
#include "game/assets.h"
#include "game/menu_draw.h"
#include "game/replay_files.h"
#include "game/scenes.h"
#include "game/score.h"
#include "gfx/blit.h"
#include "input/input.h"

namespace {

const char* const CLICK_SOUND = "./se/se_tavelkorinsu_system24.wav";
const char* const ROW_NAMES[SETTINGS_ROWS] = {"MUSIC", "EFFECTS", "AT START", "GHOST", "CONTROLS",
                                              "BACK"};
constexpr int VALUE_X = 760;

// An arrow stops at the ends; a click (or Enter) goes round from the end to
// the start.
int Stepped(int value, int step, bool wrap, int low, int high, int by)
{
    value += step * by;
    if (value > high) return wrap ? low : high;
    if (value < low) return wrap ? high : low;
    return value;
}

}  // namespace

MenuLayout SettingsMenuLayout()
{
    return MenuLayout{300, 190, 700, 85, SETTINGS_ROWS};  // x, y, width, row height, rows
}

void StepSettingsValue(Settings* s, bool* ghost, int row, int step, bool wrap)
{
    switch (row) {
    case SETTINGS_ROW_MUSIC: s->musicVolume = Stepped(s->musicVolume, step, wrap, 0, 100, 10); break;
    case SETTINGS_ROW_EFFECTS: s->effectsVolume = Stepped(s->effectsVolume, step, wrap, 0, 100, 10); break;
    case SETTINGS_ROW_START:
        s->startDisplay =
            Stepped(s->startDisplay, step, wrap, START_DISPLAY_ASK, START_DISPLAY_FULLSCREEN, 1);
        break;
    case SETTINGS_ROW_GHOST: *ghost = !*ghost; break;
    default: break;
    }
}

const char* SettingsValueText(const Settings& s, bool ghost, int row)
{
    static char text[32];
    switch (row) {
    case SETTINGS_ROW_MUSIC: snprintf(text, sizeof text, "< %d %% >", s.musicVolume); return text;
    case SETTINGS_ROW_EFFECTS: snprintf(text, sizeof text, "< %d %% >", s.effectsVolume); return text;
    case SETTINGS_ROW_START:
        return s.startDisplay == START_DISPLAY_WINDOW       ? "< WINDOW >"
               : s.startDisplay == START_DISPLAY_FULLSCREEN ? "< FULL SCREEN >"
                                                            : "< ASK >";
    case SETTINGS_ROW_GHOST: return ghost ? "< ON >" : "< OFF >";
    default: return "";
    }
}

SceneChange EnterSettings(SettingsScene& page, FrameClock&)
{
    page.menu = StartMenu(SettingsMenuLayout());
    page.edited = settings;
    page.ghost = GhostWanted(scoreFilePath);
    // The same page over the title and over play.
    page.imgSky = DarkenedNightSky();
    return Stay();
}

void StepSettings(SettingsScene& page, const FrameClock&, FrameEnd* end)
{
    SetMouseCursor(1);
    CopySurface(backBuffer, 0, 0, 1280, 720, page.imgSky);
    MenuInput in = ReadMenuInput(page.menu);
    int action = StepMenu(&page.menu, in);
    int row = page.menu.selected;
    page.leaving = action == MENU_BACK || (action == MENU_CHOSEN && row == SETTINGS_ROW_BACK);
    page.toControls = action == MENU_CHOSEN && row == SETTINGS_ROW_CONTROLS;
    int step = action == MENU_LESS ? -1 : action == MENU_MORE || action == MENU_CHOSEN ? 1 : 0;
    Settings before = page.edited;
    bool ghostBefore = page.ghost;
    if (!page.leaving && step != 0) StepSettingsValue(&page.edited, &page.ghost, row, step, action == MENU_CHOSEN);
    if (!(page.edited == before) || page.ghost != ghostBefore) {
        SetAudioVolumes(page.edited.musicVolume, page.edited.effectsVolume);
        // The click, at the new loudness, says how loud the effects now are.
        PlaySoundEffect(CLICK_SOUND);
    }
    DrawMenuHeading(420, 40, "SETTINGS");
    for (int r = 0; r < SETTINGS_ROWS; r++) {
        DrawMenuRow(page.menu, r, ROW_NAMES[r]);
        DrawMenuValue(page.menu, r, VALUE_X, SettingsValueText(page.edited, page.ghost, r));
    }
    bool left = page.leaving || page.toControls;
    *end = FrameEnd{left ? FRAME_TRACED : FRAME_SHOWN, "settings", SCENE_PLAYING, 0, ""};
}

SceneChange AfterSettingsFrame(SettingsScene& page, FrameClock&)
{
    if (page.toControls) {
        page.toControls = false;
        return Push(Scene{ControlsScene{}});
    }
    if (!page.leaving) return Stay();
    if (!(page.edited == settings)) {
        settings = page.edited;
        SaveSettings(SettingsFilePath(), settings);
    }
    if (page.ghost != GhostWanted(scoreFilePath)) KeepGhostWanted(scoreFilePath, page.ghost);
    DeleteSurface(page.imgSky);
    page.imgSky = nullptr;
    SetMouseCursor(0);
    return Pop(SETTINGS_DONE);
}

SceneChange ResumeSettings(SettingsScene& page, int, FrameClock&)
{
    page.edited.bindings = settings.bindings;
    page.edited.padDeadzone = settings.padDeadzone;
    page.edited.padLeftStickAims = settings.padLeftStickAims;
    page.edited.padRumble = settings.padRumble;
    HoldMenuInput(&page.menu);
    return Stay();
}
