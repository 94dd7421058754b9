// The title scene: its own pictures, the menu frame with the hover boxes and
// the turning cursor, and the start of a game at stage 1.
#include "game/title_scene.h"

#include "audio/audio.h"
#include "game/assets.h"
#include "game/scenes.h"
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

// The title's frame, 1280 x 680, is stretched over 1280 x 720 and copied
// whole, without a key: unless it is smaller (a modder's frame), it covers
// every pixel of the screen and clearing to black first would be wasted.
bool CoversScreen(Surface frame)
{
    int s = PixelScale();
    return frame && frame->width >= 1280 * s && frame->height >= 680 * s &&
           backBuffer->width <= 1280 * s && backBuffer->height <= 720 * s;
}

void DrawButton(MenuBox box, Surface picture, int width, int height)
{
    DrawBlended(backBuffer, box.x, box.y, box.w, box.h, picture, 0, 0, width, height, 100, 0xFF00FF);
}

// SETTINGS in the top right corner, lit while the pointer is over it.
void DrawSettingsChoice(bool lit)
{
    SetFont(24, 48, "IMPACT");
    if (lit)
        PrintOutlined(backBuffer, SETTINGS_BOX.x + 10, SETTINGS_BOX.y + 6, 0x649B64, 0xC8FFC8, "SETTINGS");
    else
        PrintOutlined(backBuffer, SETTINGS_BOX.x + 10, SETTINGS_BOX.y + 6, 0x3C3C3C, 0xDCDCDC, "SETTINGS");
    ReleaseFont();
}

}  // namespace

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
    DrawStretchedColorKeyed(backBuffer, 0, 0, 1280, 720, frame, 0, 0, 1280, 680,
                            static_cast<uint32_t>(-1));
    DrawBlended(backBuffer, 60, 0, 1100, 650, imgTitleLogo, 0, 0, 793, 487, 100, 0xFF00FF);
    // The buttons are drawn with last frame's hover state, so they grow one
    // frame after the pointer enters them.
    const TitleHover* lastHover = t.hoverTested ? &t.hover : nullptr;
    DrawButton(StartBoxOf(lastHover), imgStartButton, 537, 248);
    DrawButton(EndBoxOf(lastHover), imgEndButton, 397, 248);
    DrawSettingsChoice(lastHover && lastHover->settings);

    int mx, my, buttons;
    GetMousePos(&mx, &my);
    GetMouseButtons(&buttons);
    t.cursorAngle = NextCursorAngle(t.cursorAngle);
    DrawRotated(backBuffer, mx, my, 32, 32, imgCursor, 0, 0, 32, 32, t.cursorAngle, 0xFF00FF);

    t.hover = TitleHoverAt(mx, my);
    t.hoverTested = true;

    TitleClick click = TitleClickOf(buttons, t.hover);
    if (click.clickSound) PlaySoundEffect(CLICK_SOUND);  // again on every frame the button is held
    bool escape = IsKeyDown(VK_ESCAPE);
    if (!escape) t.escapeStillHeld = false;
    escape = escape && !t.escapeStillHeld;
    t.choice = click.quit || (!click.start && !click.settings && escape) ? 2
               : click.start                                            ? 1
               : click.settings                                         ? 3
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
    LoadStage(1);
    StopMusic("bgm");
    PlayMusic(STAGE_MUSIC);
    OpeningCurtainScene curtain;
    curtain.name = "start-curtain";
    curtain.countdownName = "countdown";
    curtain.selector = t.selector;
    curtain.stage = 1;
    return Push(Scene{curtain});
}

SceneChange ResumeTitle(TitleScene& t, int result, FrameClock&)
{
    if (result == SETTINGS_DONE) {
        t.escapeStillHeld = true;
        return Stay();
    }
    FreeTitleSurfaces();
    PlayScene play;
    play.stage = 1;
    play.beeSteps = t.beeSteps;
    return Replace(Scene{play});
}
