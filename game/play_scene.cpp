// The play scene: stage after stage, frame by frame, with the curtains after a
// death, a clear and Escape. The character stays at the screen's centre and the
// camera moves; the stage is reloaded and its bees recreated after every death,
// but the run clock goes on.
#include "game/play_scene.h"
#include <cstdio>
#include <string>
#include "audio/audio.h"
#include "game/assets.h"
#include "game/bees.h"
#include "game/gun.h"
#include "game/motion.h"
#include "game/results_scene.h"
#include "game/score.h"
#include "game/stage.h"
#include "gfx/blit.h"
#include "gfx/rotate.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace {

constexpr int BACKDROP_BAND = 3840;     // the far backdrop repeats after this many frames
constexpr int CURSOR_SPIN_LIMIT = 720;  // twice a full turn
constexpr int KEY_E = 0x45;
constexpr uint32_t SPRITE_KEY = 0xFF00FF;
constexpr uint32_t WHITE_KEY = 0xFFFFFF;
constexpr uint32_t CURTAIN_KEY = 0x000000;

// Three panels side by side (0, 1, 1) seen through a window at the scroll
// position; parts of a copy outside its panel draw nothing.
void DrawFarBackdrop(const PlayState& s)
{
    CopyRect(backBuffer, 0, 0, 1280, 720, imgBackdrop[0], s.backdropScroll, 0);
    CopyRect(backBuffer, 0, 0, 1280, 720, imgBackdrop[1], s.backdropScroll - 1920, 0);
    CopyRect(backBuffer, 0, 0, 1280, 720, imgBackdrop[1], s.backdropScroll - 3840, 0);
}

// The middle layer moves at half the camera's horizontal speed.
void DrawMiddleLayer(const PlayState& s)
{
    DrawColorKeyed(backBuffer, 0, 0, 1280, 720, imgBackdropStrip, (int)(s.camX / 2), 0, WHITE_KEY);
}

// Beyond the stage's edges the copy reads outside imgLevel and paints black.
void DrawStageLayer(const PlayState& s)
{
    DrawColorKeyed(backBuffer, 0, 0, 1280, 720, imgLevel, (int)s.camX, (int)s.camY, WHITE_KEY);
}

void DrawCharacter(const PlayState& s)
{
    Surface picture = imgKyara;
    if (s.firing == 0) picture = (int)s.idleFrame == 0 ? imgKyara2 : imgKyara3;
    DrawColorKeyed(backBuffer, 600, 296, 80, 128, picture, s.facingLeft ? 80 : 0, 0, SPRITE_KEY);
}

void DrawCursor(const PlayState& s, int angle)
{
    DrawRotatedAboutPivot(backBuffer, s.cursorX, s.cursorY, 32, 32, imgCursor, 0, 0, 32, 32,
                          angle, SPRITE_KEY, 16, 16);
}

// The same digits as the results screen shows for the run.
void DrawClock(uint32_t t)
{
    TimeText text = FormatRunTime(t);
    SetFont(48, 96, "IMPACT");
    PrintOutlined(backBuffer, 544, 10, 0x649B9B, 0x64FFFF, "%s", text.clock);
    SetFont(24, 48, "IMPACT");
    PrintOutlined(backBuffer, 736, 38, 0x649B9B, 0x64FFFF, "%s", text.fraction);
    ReleaseFont();
}

void DrawCurtain(int picture)
{
    DrawStretchedColorKeyed(backBuffer, 0, 0, 1280, 720, imgCurtain[picture], 0, 0, 1280, 680,
                            CURTAIN_KEY);
}

void EndTransitionFrame(const char* traceName)
{
    PresentSurface(screenDC, backBuffer);
    TraceFrame(traceName);
    PumpMessages();
}

// The state after a play frame's updates, for the replay trace.
void TracePlayFrame(const PlayState& s)
{
    if (!PlatformTracing()) {
        TraceFrame("play");
        return;
    }
    char head[512];
    snprintf(head, sizeof head,
             "\"camX\":%.9g,\"camY\":%.9g,\"velX\":%.9g,\"velY\":%.9g,\"thrust\":%.9g,"
             "\"fallSpeed\":%.9g,\"firing\":%d,\"beamLength\":%d,\"respawnX\":%d,"
             "\"respawnY\":%d,\"beeSteps\":%d,\"clockMs\":%u,\"bees\":[",
             s.camX, s.camY, s.velX, s.velY, s.thrust, s.fallSpeed, s.firing, s.beamLength,
             respawnCamX, respawnCamY, beeStepsPerFrame, (unsigned)(s.frameStart - s.runStart));
    std::string fields = head;
    for (int i = 0; i < beeCount; ++i) {
        char bee[48];
        snprintf(bee, sizeof bee, "%s[%d,%d,%d]", i ? "," : "", bees[i].x, bees[i].y, bees[i].state);
        fields += bee;
    }
    fields += "]";
    TraceFrame("play", fields.c_str());
}

// Escape: the curtain closes over the frozen stage (49, 47, ..., 1).
void RunLeaveCurtain(PlayState& s)
{
    for (int picture = 49; picture >= 1; picture -= 2) {
        s.frameStart = WaitNextFrame(s.frameStart);
        DrawGunAndBeam(s.mouseX, s.mouseY, &s.beamLength, s.thrust, s.camX, s.camY, s.firing,
                       &s.cursorX, &s.cursorY);
        DrawStageLayer(s);
        DrawCharacter(s);
        DrawCurtain(picture);
        EndTransitionFrame("leave-curtain");
    }
}

// The goal: as leaving, but the stage is drawn under the gun this time.
void RunClearCurtain(PlayState& s)
{
    for (int picture = 49; picture >= 1; picture -= 2) {
        s.frameStart = WaitNextFrame(s.frameStart);
        DrawStageLayer(s);
        DrawGunAndBeam(s.mouseX, s.mouseY, &s.beamLength, s.thrust, s.camX, s.camY, s.firing,
                       &s.cursorX, &s.cursorY);
        DrawCharacter(s);
        DrawCurtain(picture);
        EndTransitionFrame("clear-curtain");
    }
}

// A death: the curtain closes (47 ... 3, 1), the camera jumps to the respawn
// point behind it, and it opens again (3 ... 47): 47 frames.
void RunDeathCurtain(PlayState& s)
{
    int picture = 47;
    int phase = 0;
    bool respawned = false;
    while (phase <= 1) {
        s.frameStart = WaitNextFrame(s.frameStart);
        DrawFarBackdrop(s);
        DrawMiddleLayer(s);
        DrawGunAndBeam(s.mouseX, s.mouseY, &s.beamLength, s.thrust, s.camX, s.camY, s.firing,
                       &s.cursorX, &s.cursorY);
        DrawStageLayer(s);
        DrawCursor(s, 10);
        DrawCharacter(s);
        DrawCurtain(picture);
        if (phase == 0) {
            picture -= 2;
        } else {
            if (!respawned) {
                respawned = true;
                s.backdropScroll = 0;
                s.fallSpeed = 0;
                s.thrust = 0;
                s.camX = (float)respawnCamX;
                s.camY = (float)respawnCamY;
                sceneId = SCENE_PLAYING;
            }
            s.firing = 0;
            picture += 2;
        }
        if (picture <= 1 || picture >= 48) phase += 1;
        EndTransitionFrame("death-curtain");
    }
}

}  // namespace

void ReadPlayInput(PlayState& s)
{
    GetMousePos(&s.mouseX, &s.mouseY);
    GetMouseButtons(&s.firing);
}

void AdvancePlayFrame(PlayState& s)
{
    FillSurface(backBuffer, 0);
    s.facingLeft = s.mouseX < PLAYER_SCREEN_X ? 1 : 0;

    DrawFarBackdrop(s);
    s.backdropScroll += 1;
    if (s.backdropScroll == BACKDROP_BAND) s.backdropScroll = 0;
    DrawMiddleLayer(s);

    // The right button alone does not fire; both together do.
    if (s.firing == MOUSE_RIGHT) s.firing = 0;
    if (s.firing == (MOUSE_LEFT | MOUSE_RIGHT)) s.firing = 1;

    // The strengths change after the move: a frame moves with the previous frame's.
    MovePlayer(s.camX, s.camY, s.mouseX, s.mouseY, s.thrust, s.fallSpeed, s.firing, s.velX, s.velY);
    int sound = ApplyFiringState(s.firing, s.thrust, s.fallSpeed, s.beamLength, s.shotFrames);
    if (sound == SHOT_SOUND_PLAY) PlaySoundEffect("./se/newSE.wav");
    if (sound == SHOT_SOUND_STOP) StopSoundEffect();

    DrawGunAndBeam(s.mouseX, s.mouseY, &s.beamLength, s.thrust, s.camX, s.camY, s.firing,
                   &s.cursorX, &s.cursorY);
    DrawStageLayer(s);
    DrawCharacter(s);
    // The idle pictures alternate only while the character stands still.
    if (s.firing == 0 && (int)s.fallSpeed == 0 && (int)s.thrust == 0) {
        s.idleFrame = (float)((double)s.idleFrame + 0.1);
        if (s.idleFrame >= 2.0f) s.idleFrame = 0;
    }
    UpdateBees((int)s.camX, (int)s.camY, s.mouseX, s.mouseY, &s.beamLength, s.firing);
    DrawClock(s.frameStart - s.runStart);
    s.cursorSpin += 2;
    if (s.cursorSpin > CURSOR_SPIN_LIMIT) s.cursorSpin = 0;
    DrawCursor(s, s.cursorSpin / 2);
}

namespace {

// One play frame. Returns false when the frame ended the stage attempt (its
// curtain has run by then).
bool RunPlayFrame(PlayState& s)
{
    s.frameStart = WaitNextFrame(s.frameStart);
    ReadPlayInput(s);
    AdvancePlayFrame(s);

    // Later writers win: E overrides a death, Escape overrides everything.
    if (IsKeyDown(KEY_E)) sceneId = SCENE_GOAL;
    if (IsKeyDown(VK_ESCAPE)) {
        sceneId = SCENE_TO_TITLE;
        TracePlayFrame(s);
        RunLeaveCurtain(s);
        return false;
    }
    if (sceneId == SCENE_GOAL) {
        TracePlayFrame(s);
        RunClearCurtain(s);
        RunResultsScene(s.frameStart - s.runStart, stageNo);
        return false;
    }
    if (sceneId == SCENE_DIED) {
        TracePlayFrame(s);
        RunDeathCurtain(s);
        return false;
    }
    PresentSurface(screenDC, backBuffer);
    TracePlayFrame(s);
    PumpMessages();
    return true;
}

}  // namespace

void RunPlayScene()
{
    SetMouseCursor(0);
    PlayState s;
    s.frameStart = PlatformTimeMs();
    s.runStart = PlatformTimeMs();
    respawnCamX = (int)START_CAM_X;
    respawnCamY = (int)START_CAM_Y;

    for (;;) {
        if (sceneId == SCENE_NEXT_STAGE) {
            s.camX = START_CAM_X;
            s.camY = START_CAM_Y;
            respawnCamX = (int)START_CAM_X;
            respawnCamY = (int)START_CAM_Y;
            s.frameStart = PlatformTimeMs();
            s.runStart = PlatformTimeMs();
        }
        // After a death the camera is already at the respawn point.
        LoadStage();
        s.idleFrame = 0;
        SpawnBees();
        s.backdropScroll = 0;
        s.fallSpeed = 0;
        s.thrust = 0;
        sceneId = SCENE_PLAYING;

        while (RunPlayFrame(s)) {
        }

        if (sceneId == SCENE_TO_TITLE) {
            StopMusic("bgm");
            return;
        }
        PumpMessages();
    }
}
