// The title scene: its own pictures, the menu frame with the hover boxes and
// the turning cursor, and the start of a game at stage 1 (or of the one stage
// chosen on the stage select).
#include "game/title_scene.h"

#include "audio/audio.h"
#include "game/assets.h"
#include "game/checkpoints.h"
#include "game/controls.h"
#include "game/menu.h"
#include "game/scenes.h"
#include "game/stage_select_scene.h"
#include "gfx/text.h"
#include "game/stage.h"
#include "gfx/blit.h"
#include "gfx/rotate.h"
#include "gfx/screen.h"
#include "gfx/surface.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace {

// Loaded on every entry to the scene and freed whenever it leaves; only ever
// copied from, so held compactly where that pays.
Surface imgWhite;  // loaded and freed, never drawn
Surface imgTitleLogo;
Surface imgStartButton;
Surface imgEndButton;
Surface imgTitleCurtain[TITLE_CURTAIN_COUNT];

const char* const TITLE_MUSIC = "./se/tw044.mp3";
const char* const STAGE_MUSIC = "./se/nv_24.mp3";
const char* const CLICK_SOUND = "./se/se_tavelkorinsu_system24.wav";

void LoadTitleSurfaces()
{
    imgWhite = LoadCompactBitmapSurface("./bmp/curtain/white.bmp");
    imgTitleLogo = LoadCompactBitmapSurface("./bmp/curtain/a.bmp");
    imgStartButton = LoadCompactBitmapSurface("./bmp/curtain/start.bmp");
    imgEndButton = LoadCompactBitmapSurface("./bmp/curtain/END.bmp");
    LoadCurtainSurfaces(imgTitleCurtain, TITLE_CURTAIN_COUNT, 51);
}

// White, the buttons, the logo, then the 70 background pictures.
void FreeTitleSurfaces()
{
    DeleteSurface(imgWhite);
    DeleteSurface(imgStartButton);
    DeleteSurface(imgEndButton);
    DeleteSurface(imgTitleLogo);
    imgWhite = imgStartButton = imgEndButton = imgTitleLogo = nullptr;
    for (Surface& picture : imgTitleCurtain) {
        DeleteSurface(picture);
        picture = nullptr;
    }
}

// The title's frame is copied whole, without a key: unless it is smaller (a
// modder's frame), it covers every pixel of the screen and clearing to black
// first would be wasted.
bool CoversScreen(Surface frame)
{
    int s = PixelScale();
    return frame && frame->width >= 1280 * s && frame->height >= 680 * s &&
           backBuffer->width <= 1280 * s && backBuffer->height <= 720 * s;
}

// The rows of the frame shown over the screen's 720: a frame as tall as the
// screen is shown as it is; a shorter one (an older data folder's 680 rows)
// has its top 680 rows stretched over the screen.
int FrameRows(Surface frame)
{
    return frame && frame->height >= 720 * PixelScale() ? 720 : 680;
}

void DrawButton(MenuBox box, Surface picture, int width, int height)
{
    DrawBlended(backBuffer, box.x, box.y, box.w, box.h, picture, 0, 0, width, height, 100, 0xFF00FF);
}

// SETTINGS in the top right corner and STAGES in the top left, each lit
// while the pointer is over it.
void DrawCornerChoice(MenuBox box, const char* label, bool lit)
{
    SetFont(24, 48, "IMPACT");
    if (lit)
        PrintOutlined(backBuffer, box.x + 10, box.y + 6, 0x649B64, 0xC8FFC8, "%s", label);
    else
        PrintOutlined(backBuffer, box.x + 10, box.y + 6, 0x3C3C3C, 0xDCDCDC, "%s", label);
    ReleaseFont();
}

TitleHover PickedHover(int picked)
{
    TitleHover hover;
    hover.start = picked == TITLE_PICK_START;
    hover.end = picked == TITLE_PICK_END;
    hover.settings = picked == TITLE_PICK_SETTINGS;
    hover.stages = picked == TITLE_PICK_STAGES;
    return hover;
}

// The keys and the pad pick a button: left START, right END, up SETTINGS,
// down STAGES; the first press only shows where the pick is. The
// mouse moving hands the buttons back to the pointer. True when the picked
// button is chosen this frame; *backPressed when going back (the pad's B)
// was pressed, which leaves the title as Escape does.
bool StepTitlePick(TitleScene& t, int mouseX, int mouseY, bool* backPressed)
{
    MenuInput in = ReadMenuInput(Menu{});
    bool now[6] = {in.left, in.right, in.up, in.down, in.accept, in.back};
    bool pressed[6];
    for (int i = 0; i < 6; i++) {
        pressed[i] = now[i] && !t.menuWas[i];
        t.menuWas[i] = now[i];
    }
    *backPressed = pressed[5];
    if (mouseX != t.mouseWasX || mouseY != t.mouseWasY) t.picked = TITLE_PICK_NONE;
    t.mouseWasX = mouseX;
    t.mouseWasY = mouseY;
    bool first = t.picked == TITLE_PICK_NONE;
    if (pressed[0]) t.picked = TITLE_PICK_START;
    if (pressed[3]) t.picked = TITLE_PICK_STAGES;
    if (pressed[1]) t.picked = TITLE_PICK_END;
    if (pressed[2]) t.picked = TITLE_PICK_SETTINGS;
    if (pressed[4] && first) t.picked = TITLE_PICK_START;
    return pressed[4] && !first;
}

// The stage's curtain and countdown over the title, the stage loaded behind
// them and its music on: the whole game from stage 1, or one stage alone,
// from its start or practised from a checkpoint (1..), which the curtain
// and countdown then show.
SceneChange StartFrom(TitleScene& t, int stage, bool alone, int checkpoint = 0)
{
    t.startStage = stage;
    t.singleStage = alone;
    t.practiceCheckpoint = 0;
    LoadStage(stage);
    StopMusic("bgm");
    PlayMusic(STAGE_MUSIC);
    OpeningCurtainScene curtain;
    std::vector<CrystalSpan> crystals = StageCrystals();
    if (checkpoint >= 1 && checkpoint <= (int)crystals.size()) {
        t.practiceCheckpoint = checkpoint;
        CrystalStandPoint(crystals[checkpoint - 1], &curtain.camX, &curtain.camY);
    }
    curtain.name = "start-curtain";
    curtain.countdownName = "countdown";
    curtain.selector = t.selector;
    curtain.stage = stage;
    return Push(Scene{curtain});
}

}  // namespace

TitleScene TitleAfterGame(int stage, int beeSteps)
{
    TitleScene title;
    title.selector = SCENE_TO_TITLE;
    title.stage = stage;
    title.beeSteps = beeSteps;
    title.leftWasDown = true;
    return title;
}

SceneChange EnterTitle(TitleScene&, FrameClock& clock)
{
    LoadTitleSurfaces();
    clock.frameStart = GameTimeMs();
    SetMousePos(650, 500);
    PlayMusic(TITLE_MUSIC);
    return Stay();
}

void StepTitle(TitleScene& t, const FrameClock&, FrameEnd* end)
{
    SetMouseCursor(0);

    StepTitleCurtain(&t.curtainPos, &t.curtainDir);
    Surface frame = imgTitleCurtain[static_cast<int>(t.curtainPos)];
    if (!CoversScreen(frame)) FillSurface(backBuffer, 0);
    DrawStretchedColorKeyed(backBuffer, 0, 0, 1280, 720, frame, 0, 0, 1280, FrameRows(frame),
                            static_cast<uint32_t>(-1));
    DrawBlended(backBuffer, 60, 0, 1100, 650, imgTitleLogo, 0, 0, 793, 487, 100, 0xFF00FF);
    // The buttons are drawn with last frame's hover state, so they grow one
    // frame after the pointer enters them.
    const TitleHover* lastHover = t.hoverTested ? &t.hover : nullptr;
    DrawButton(StartBoxOf(lastHover), imgStartButton, 537, 248);
    DrawButton(EndBoxOf(lastHover), imgEndButton, 397, 248);
    DrawCornerChoice(SETTINGS_BOX, "SETTINGS", lastHover && lastHover->settings);
    DrawCornerChoice(STAGES_BOX, "STAGES", lastHover && lastHover->stages);

    int mx, my, buttons;
    GetMousePos(&mx, &my);
    GetMouseButtons(&buttons);
    t.cursorAngle = NextCursorAngle(t.cursorAngle);
    // The turning cursor is centred on the pointer's hot spot.
    DrawRotated(backBuffer, mx - 16, my - 16, 32, 32, imgCursor, 0, 0, 32, 32, t.cursorAngle, 0xFF00FF);

    TitleHover mouseHover = TitleHoverAt(mx, my);
    bool backPressed = false;
    bool accepted = StepTitlePick(t, mx, my, &backPressed);
    t.hover = t.picked ? PickedHover(t.picked) : mouseHover;
    t.hoverTested = true;

    // A press acts once, in the frame it starts, on the button it starts
    // over: held on, it clicks no more, and dragged onto a button it does
    // nothing there.
    bool leftDown = (buttons & MOUSE_LEFT) != 0;
    bool pressStarts = leftDown && !t.leftWasDown;
    t.leftWasDown = leftDown;
    TitleClick click = pressStarts ? TitleClickOf(buttons, mouseHover) : TitleClick{false, false, false, false, false};
    if (accepted) {
        click.clickSound = true;
        click.quit = t.picked == TITLE_PICK_END;
        click.start = t.picked == TITLE_PICK_START;
        click.settings = t.picked == TITLE_PICK_SETTINGS;
        click.stages = t.picked == TITLE_PICK_STAGES;
    }
    if (click.clickSound) PlaySoundEffect(CLICK_SOUND);
    bool escape = IsKeyDown(VK_ESCAPE);
    if (!escape) t.escapeStillHeld = false;
    escape = (escape && !t.escapeStillHeld) || backPressed;
    bool otherChoice = click.start || click.settings || click.stages;
    t.choice = click.quit || (!otherChoice && escape) ? 2
               : click.start                          ? 1
               : click.settings                       ? 3
               : click.stages                         ? 4
                                                      : 0;
    end->name = "title";
    end->selector = t.choice == 2 ? SCENE_QUIT : t.selector;
    end->stage = t.stage;
    // A frame that leaves the title is not shown: the game ends, or the
    // start's curtain follows.
    end->kind = t.choice != 0 ? FRAME_TRACED : FRAME_SHOWN;
    if (t.choice == 2) FreeTitleSurfaces();
}

SceneChange AfterTitleFrame(TitleScene& t, FrameClock&)
{
    if (t.choice == 2) return EndScenes();
    if (t.choice == 0) return Stay();
    if (t.choice == 3) return Push(Scene{SettingsScene{}});
    if (t.choice == 4) {
        // The page holding the stage last played (the first before any).
        StageSelectScene page;
        page.firstStage = t.stage;
        return Push(Scene{page});
    }
    return StartFrom(t, 1, false);
}

SceneChange ResumeTitle(TitleScene& t, int result, FrameClock&)
{
    if (StageChosen(result) > 0) return StartFrom(t, StageChosen(result), true, PracticeCheckpointChosen(result));
    if (result == SETTINGS_DONE || result == STAGE_SELECT_BACK) {
        t.escapeStillHeld = true;
        for (bool& held : t.menuWas) held = true;  // what left the settings is not a press here
        t.leftWasDown = true;
        return Stay();
    }
    FreeTitleSurfaces();
    PlayScene play;
    play.stage = t.startStage;
    play.singleStage = t.singleStage;
    play.practiceCheckpoint = t.practiceCheckpoint;
    play.beeSteps = t.beeSteps;
    return Replace(Scene{play});
}
