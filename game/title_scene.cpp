// The title scene: its own pictures, the menu loop with the hover boxes and the
// turning cursor, and the start of a game at stage 1.
#include "game/title_scene.h"


#include "audio/audio.h"
#include "game/assets.h"
#include "game/scene_rules.h"
#include "game/stage.h"
#include "game/start_sequence.h"
#include "gfx/blit.h"
#include "gfx/rotate.h"
#include "gfx/screen.h"
#include "gfx/surface.h"
#include "input/input.h"
#include "platform/platform.h"
#include "game/scenes.h"
#include "game/frame.h"
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

}  // namespace

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

void RunTitleScene()
{
    LoadTitleSurfaces();

    float curtainPos = 0.0f;
    int curtainDir = 0;
    int cursorAngle = 0;
    MenuBox startBox = START_BOX_FIRST;
    MenuBox endBox = END_BOX_FIRST;
    int startChosen = 0;
    uint32_t frameStart = PlatformTimeMs();

    SetMousePos(650, 500);
    PlayMusic(TITLE_MUSIC);

    while (!startChosen) {
        frameStart = WaitNextFrame(frameStart);
        SetMouseCursor(0);

        StepTitleCurtain(&curtainPos, &curtainDir);
        Surface frame = imgTitleCurtain[static_cast<int>(curtainPos)];
        if (!CoversScreen(frame)) FillSurface(backBuffer, 0);
        DrawStretchedColorKeyed(backBuffer, 0, 0, 1280, 720, frame, 0, 0, 1280, 680,
                                static_cast<uint32_t>(-1));
        DrawBlended(backBuffer, 60, 0, 1100, 650, imgTitleLogo, 0, 0, 793, 487, 100, 0xFF00FF);
        // The buttons are drawn with last frame's hover state, so they grow one
        // frame after the pointer enters them.
        DrawButton(startBox, imgStartButton, 537, 248);
        DrawButton(endBox, imgEndButton, 397, 248);

        int mx, my, buttons;
        GetMousePos(&mx, &my);
        GetMouseButtons(&buttons);
        cursorAngle = NextCursorAngle(cursorAngle);
        DrawRotated(backBuffer, mx, my, 32, 32, imgCursor, 0, 0, 32, 32, cursorAngle, 0xFF00FF);

        startBox = HoverMenuBox(START_BOX_NORMAL, START_BOX_HOVERED, mx, my);
        endBox = HoverMenuBox(END_BOX_NORMAL, END_BOX_HOVERED, mx, my);

        TitleClick click = TitleClickOf(buttons, startBox, endBox);
        if (click.clickSound)
            PlaySoundEffect(CLICK_SOUND);  // again on every frame the button is held
        if (click.quit || (!click.start && IsKeyDown(VK_ESCAPE))) {
            FreeTitleSurfaces();
            sceneId = SCENE_QUIT;
            TraceFrame("title");
            return;
        }
        if (click.start) {
            startChosen = 1;  // this frame is not shown: the start sequence follows
            TraceFrame("title");
            break;
        }
        FinishFrame("title");
    }

    stageNo = 1;
    LoadStage();
    StopMusic("bgm");
    PlayMusic(STAGE_MUSIC);
    RunOpeningCurtain(&frameStart, "start-curtain");
    RunCountdown(&frameStart, "countdown");
    FreeTitleSurfaces();
}
