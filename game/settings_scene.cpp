// The settings page: its rows, the values' steps, and keeping what changed.
#include "game/settings_scene.h"

#include <algorithm>
#include <cstdio>

#include "audio/audio.h"
#include "game/assets.h"
#include "game/menu_draw.h"
#include "game/replay_files.h"
#include "game/scenes.h"
#include "game/score.h"
#include "gfx/blit.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/phrases.h"
#include "shell/shell.h"

namespace {

const char* const CLICK_SOUND = "./se/se_tavelkorinsu_system24.wav";
const char* const ROW_NAMES[SETTINGS_ROWS] = {
    "MUSIC", "EFFECTS", "AT START", "DISPLAY", "VSYNC", "GAME SPEED", "PAUSE ON FOCUS LOSS",
    "REDUCED FLASHING", "GHOST", "FEEDBACK SOUNDS", "LANGUAGE", "ONLINE RECORDS", "CONTROLS", "BACK",
};
constexpr int VALUE_X = 780;

// An arrow stops at the ends; a click (or Enter) goes round from the end to
// the start.
int Stepped(int value, int step, bool wrap, int low, int high, int by)
{
    value += step * by;
    if (value > high) return wrap ? low : high;
    if (value < low) return wrap ? high : low;
    return value;
}

const char* OnOff(bool on) { return on ? "< ON >" : "< OFF >"; }

}  // namespace

MenuLayout SettingsMenuLayout()
{
    // Rows a little over their lettering apart, from under the heading;
    // closer together when more rows would leave the screen.
    int rowHeight = std::min(52, (712 - 128) / SETTINGS_ROWS);
    return MenuLayout{240, 128, 800, rowHeight, SETTINGS_ROWS, std::min(48, rowHeight - 4)};  // x, y, width, row height, rows, letters
}

void StepSettingsValue(SettingsValues* v, int row, int step, bool wrap)
{
    Settings& s = v->settings;
    if (step == 0) return;
    switch (row) {
    case SETTINGS_ROW_MUSIC: s.musicVolume = Stepped(s.musicVolume, step, wrap, 0, 100, 10); break;
    case SETTINGS_ROW_EFFECTS: s.effectsVolume = Stepped(s.effectsVolume, step, wrap, 0, 100, 10); break;
    case SETTINGS_ROW_START:
        s.startDisplay =
            Stepped(s.startDisplay, step, wrap, START_DISPLAY_ASK, START_DISPLAY_FULLSCREEN, 1);
        break;
    case SETTINGS_ROW_DISPLAY: v->fullscreen = !v->fullscreen; break;
    case SETTINGS_ROW_VSYNC: s.vsync = !s.vsync; break;
    case SETTINGS_ROW_SPEED: s.gameSpeed = Stepped(s.gameSpeed, step, wrap, GAME_SPEED_MIN, 100, 10); break;
    case SETTINGS_ROW_FOCUS_PAUSE: s.pauseOnFocusLoss = !s.pauseOnFocusLoss; break;
    case SETTINGS_ROW_REDUCED_FLASHING: s.reducedFlashing = !s.reducedFlashing; break;
    case SETTINGS_ROW_GHOST: v->ghost = !v->ghost; break;
    case SETTINGS_ROW_FEEDBACK: s.feedbackSounds = !s.feedbackSounds; break;
    case SETTINGS_ROW_LANGUAGE:
        s.language = Stepped(s.language, step, wrap, LANGUAGE_SYSTEM, LANGUAGE_JAPANESE, 1);
        break;
    default: break;
    }
}

const char* SettingsValueText(const SettingsValues& v, int row)
{
    static char text[32];
    const Settings& s = v.settings;
    switch (row) {
    case SETTINGS_ROW_MUSIC: snprintf(text, sizeof text, "< %d %% >", s.musicVolume); return text;
    case SETTINGS_ROW_EFFECTS: snprintf(text, sizeof text, "< %d %% >", s.effectsVolume); return text;
    case SETTINGS_ROW_START:
        return s.startDisplay == START_DISPLAY_WINDOW       ? "< WINDOW >"
               : s.startDisplay == START_DISPLAY_FULLSCREEN ? "< FULL SCREEN >"
                                                            : "< ASK >";
    case SETTINGS_ROW_DISPLAY: return v.fullscreen ? "< FULL SCREEN >" : "< WINDOW >";
    case SETTINGS_ROW_VSYNC: return OnOff(s.vsync);
    case SETTINGS_ROW_SPEED: snprintf(text, sizeof text, "< %d %% >", s.gameSpeed); return text;
    case SETTINGS_ROW_FOCUS_PAUSE: return OnOff(s.pauseOnFocusLoss);
    case SETTINGS_ROW_REDUCED_FLASHING: return OnOff(s.reducedFlashing);
    case SETTINGS_ROW_GHOST: return OnOff(v.ghost);
    case SETTINGS_ROW_FEEDBACK: return OnOff(s.feedbackSounds);
    case SETTINGS_ROW_LANGUAGE:
        return s.language == LANGUAGE_ENGLISH    ? "< ENGLISH >"
               : s.language == LANGUAGE_JAPANESE ? "< JAPANESE >"
                                                 : "< SYSTEM >";
    case SETTINGS_ROW_ONLINE: return s.online ? "ON" : "OFF";
    default: return "";
    }
}

SceneChange EnterSettings(SettingsScene& page, FrameClock&)
{
    page.menu = StartMenu(SettingsMenuLayout());
    page.edited.settings = settings;
    page.edited.ghost = GhostWanted(scoreFilePath);
    // The same page over the title and over play.
    page.imgSky = DarkenedNightSky();
    return Stay();
}

void StepSettings(SettingsScene& page, const FrameClock&, FrameEnd* end)
{
    SetMouseCursor(1);
    CopySurface(backBuffer, 0, 0, 1280, 720, page.imgSky);
    // F11 and Alt+Enter switch the display on this page too.
    page.edited.fullscreen = displayMode == DISPLAY_FULLSCREEN;
    MenuInput in = ReadMenuInput(page.menu);
    int action = StepMenu(&page.menu, in);
    int row = page.menu.selected;
    page.leaving = action == MENU_BACK || (action == MENU_CHOSEN && row == SETTINGS_ROW_BACK);
    page.toControls = action == MENU_CHOSEN && row == SETTINGS_ROW_CONTROLS;
    page.toOnline = action == MENU_CHOSEN && row == SETTINGS_ROW_ONLINE;
    int step = action == MENU_LESS ? -1 : action == MENU_MORE || action == MENU_CHOSEN ? 1 : 0;
    SettingsValues before = page.edited;
    if (!page.leaving) StepSettingsValue(&page.edited, row, step, action == MENU_CHOSEN);
    page.switchDisplay = page.edited.fullscreen != before.fullscreen;
    if (page.edited.settings.vsync != before.settings.vsync) PlatformSetVsync(page.edited.settings.vsync);
    if (!(page.edited == before)) {
        SetAudioVolumes(page.edited.settings.musicVolume, page.edited.settings.effectsVolume);
        // The click, at the new loudness, says how loud the effects now are.
        PlaySoundEffect(CLICK_SOUND);
    }
    DrawMenuHeading(420, 0, "SETTINGS");
    for (int r = 0; r < SETTINGS_ROWS; r++) {
        DrawMenuRow(page.menu, r, ROW_NAMES[r]);
        DrawMenuValue(page.menu, r, VALUE_X, SettingsValueText(page.edited, r));
    }
    bool left = page.leaving || page.toControls || page.toOnline;
    *end = FrameEnd{left ? FRAME_TRACED : FRAME_SHOWN, "settings", SCENE_PLAYING, 0, ""};
}

SceneChange AfterSettingsFrame(SettingsScene& page, FrameClock&)
{
    if (page.toControls) {
        page.toControls = false;
        return Push(Scene{ControlsScene{}});
    }
    if (page.toOnline) {
        page.toOnline = false;
        return Push(Scene{OnlinePageScene{}});
    }
    // The next frame is drawn in the new display; it shows what the display
    // really is (a full screen refused stays a window).
    if (page.switchDisplay) SwitchDisplayMode(page.edited.fullscreen ? DISPLAY_FULLSCREEN : DISPLAY_WINDOWED);
    if (!page.leaving) return Stay();
    if (!(page.edited.settings == settings)) {
        settings = page.edited.settings;
        UseSettingsLanguage();
        SaveSettings(SettingsFilePath(), settings);
    }
    if (page.edited.ghost != GhostWanted(scoreFilePath)) KeepGhostWanted(scoreFilePath, page.edited.ghost);
    DeleteSurface(page.imgSky);
    page.imgSky = nullptr;
    SetMouseCursor(0);
    return Pop(SETTINGS_DONE);
}

SceneChange ResumeSettings(SettingsScene& page, int, FrameClock&)
{
    Settings& edited = page.edited.settings;
    edited.bindings = settings.bindings;
    edited.padDeadzone = settings.padDeadzone;
    edited.padLeftStickAims = settings.padLeftStickAims;
    edited.padRumble = settings.padRumble;
    edited.online = settings.online;
    edited.onlineName = settings.onlineName;
    edited.onlineServer = settings.onlineServer;
    HoldMenuInput(&page.menu);
    return Stay();
}
