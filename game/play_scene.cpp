// The play scene: stage after stage, frame by frame, with the curtains after a
// death, a clear and Escape, and between stages the results screen and the
// next stage's start. The character stays at the screen's centre and the
// camera moves; the stage is reloaded and its bees recreated after every
// death, but the run clock goes on.
#include "game/play_scene.h"

#include <cstdio>
#include <string>

#include "audio/audio.h"
#include "game/frame.h"
#include "game/ghost.h"
#include "game/motion.h"
#include "game/play_step.h"
#include "game/recording.h"
#include "game/replay_files.h"
#include "game/score.h"
#include "game/results_scene.h"
#include "game/scenes.h"
#include "game/stage.h"
#include "game/stage_view.h"
#include "game/start_sequence.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace {

constexpr int KEY_E = 0x45;
constexpr int KEY_G = 0x47;
const char* const SHOT_SOUND = "./se/newSE.wav";

// The bees' speed is the one thing a play scene takes over from the last:
// it is only set by the character's probes, and a frame without any keeps it.
int inheritedBeeSteps = 0;

// The ghost of the stage's best run, on or off as the player last chose.
bool ghostOn = false;
bool keyGWas = false;

// G turns the ghost on and off; the choice is kept beside the best times.
void ToggleGhostOnG()
{
    bool keyG = IsKeyDown(KEY_G);
    if (keyG && !keyGWas) {
        ghostOn = !ghostOn;
        KeepGhostWanted(scoreFilePath, ghostOn);
        if (ghostOn) LoadGhost(scoreFilePath, stageNo);
    }
    keyGWas = keyG;
}

// The run of the stage being played, frame by frame, for its replay.
Recording run;
bool recording = false;  // false once a run outgrows what a recording holds

void StartRecording(const PlayState& s)
{
    run = Recording();
    run.stage = stageNo;
    run.stageHash = StageHash();
    run.beeSteps = s.beeStepsPerFrame;
    run.beamLength = s.beamLength;
    run.shotFrames = s.shotFrames;
    run.cursorSpin = s.cursorSpin;
    recording = true;
}

void RecordFrame(const PlayState& s, bool curtain, int mouseX, int mouseY, int buttons, int keys)
{
    if (!recording) return;
    if (run.frames.size() >= RECORDING_MAX_FRAMES) {
        recording = false;
        run.frames.clear();
        return;
    }
    run.frames.push_back({curtain, s.frameStart - s.runStart, mouseX, mouseY, buttons, keys});
    if (!curtain) run.playFrames++;
}

// The state after a play frame's updates, for the replay trace.
std::string PlayTraceFields(const PlayState& s)
{
    char head[512];
    snprintf(head, sizeof head,
             "\"camX\":%.9g,\"camY\":%.9g,\"velX\":%.9g,\"velY\":%.9g,\"thrust\":%.9g,"
             "\"fallSpeed\":%.9g,\"firing\":%d,\"beamLength\":%d,\"respawnX\":%d,"
             "\"respawnY\":%d,\"beeSteps\":%d,\"clockMs\":%u,\"bees\":[",
             s.camX, s.camY, s.velX, s.velY, s.thrust, s.fallSpeed, s.firing, s.beamLength,
             s.respawnCamX, s.respawnCamY, s.beeStepsPerFrame, (unsigned)(s.frameStart - s.runStart));
    std::string fields = head;
    for (int i = 0; i < s.beeCount; ++i) {
        char bee[48];
        snprintf(bee, sizeof bee, "%s[%d,%d,%d]", i ? "," : "", s.bees[i].x, s.bees[i].y,
                 s.bees[i].state);
        fields += bee;
    }
    fields += "]";
    return fields;
}

void TracePlayFrame(const PlayState& s)
{
    TraceFrame("play", PlatformTracing() ? PlayTraceFields(s).c_str() : nullptr);
}

// The gun, aimed again for this frame of a curtain and drawn.
void DrawGunOfState(PlayState& s, int* cursorX = nullptr, int* cursorY = nullptr)
{
    GunView gun;
    int x, y;
    AimGun(s, &gun, cursorX ? cursorX : &x, cursorY ? cursorY : &y);
    SetMouseCursor(0);
    DrawGunAndBeam(gun);
}

// Escape: the curtain closes over the frozen stage (49, 47, ..., 1).
void RunLeaveCurtain(PlayState& s)
{
    for (int picture = 49; picture >= 1; picture -= 2) {
        s.frameStart = WaitNextFrame(s.frameStart);
        DrawGunOfState(s);
        DrawStageLayer((int)s.camX, (int)s.camY);
        DrawCharacter(CharacterPicture(s), s.facingLeft);
        DrawCurtain(picture);
        FinishFrame("leave-curtain");
    }
}

// The goal: as leaving, but the stage is drawn under the gun this time.
void RunClearCurtain(PlayState& s)
{
    for (int k = 0; k < CLEAR_CURTAIN_FRAMES; k++) {
        s.frameStart = WaitNextFrame(s.frameStart);
        RecordFrame(s, true, 0, 0, 0, 0);  // the run's time ends with the curtain
        DrawClearCurtainFrame(s, k);
        FinishFrame("clear-curtain");
    }
}

// A death: the curtain closes (47 ... 3, 1), the camera jumps to the respawn
// point behind it, and it opens again (3 ... 47): 47 frames.
void RunDeathCurtain(PlayState& s)
{
    for (int k = 0; k < DEATH_CURTAIN_FRAMES; k++) {
        s.frameStart = WaitNextFrame(s.frameStart);
        RecordFrame(s, true, 0, 0, 0, 0);
        DrawDeathCurtainFrame(s, k);
        FinishFrame("death-curtain");
    }
}

// One play frame. Returns false when the frame ended the stage attempt (its
// curtain has run by then, and after a clear the results and the next stage's
// start too).
bool RunPlayFrame(PlayState& s)
{
    static PlayView view;
    s.frameStart = WaitNextFrame(s.frameStart);
    int mouseX, mouseY, buttons;
    GetMousePos(&mouseX, &mouseY);
    GetMouseButtons(&buttons);
    sceneId = StepPlay(s, mouseX, mouseY, buttons, &view);
    ToggleGhostOnG();
    if (ghostOn)
        PlaceGhost(view.clockMs, s.camX, s.camY, &view);
    else
        view.ghost = false;
    if (view.shotSound == SHOT_SOUND_PLAY) PlaySoundEffect(SHOT_SOUND);
    if (view.shotSound == SHOT_SOUND_STOP) StopSoundEffect();
    DrawPlayFrame(view);

    // Later writers win: E overrides a death, Escape overrides everything.
    bool keyE = IsKeyDown(KEY_E), keyEscape = IsKeyDown(VK_ESCAPE);
    RecordFrame(s, false, mouseX, mouseY, buttons,
                (keyE ? RECORDED_KEY_E : 0) | (keyEscape ? RECORDED_KEY_ESCAPE : 0));
    if (keyE) sceneId = SCENE_GOAL;
    if (keyEscape) {
        sceneId = SCENE_TO_TITLE;
        TracePlayFrame(s);
        RunLeaveCurtain(s);
        return false;
    }
    if (sceneId == SCENE_GOAL) {
        TracePlayFrame(s);
        RunClearCurtain(s);
        run.timeMs = s.frameStart - s.runStart;
        RunResultsScene(run.timeMs, stageNo, &s.frameStart, recording ? &run : nullptr);
        if (sceneId == SCENE_NEXT_STAGE) {
            LoadStage();
            RunOpeningCurtain(&s.frameStart, "next-curtain");
            RunCountdown(&s.frameStart, "next-countdown");
        }
        return false;
    }
    if (sceneId == SCENE_DIED) {
        TracePlayFrame(s);
        RunDeathCurtain(s);
        return false;
    }
    FinishFrame("play", PlatformTracing() ? PlayTraceFields(s).c_str() : nullptr);
    return true;
}

}  // namespace

void DrawClearCurtainFrame(PlayState& s, int k)
{
    DrawStageLayer((int)s.camX, (int)s.camY);
    DrawGunOfState(s);
    DrawCharacter(CharacterPicture(s), s.facingLeft);
    DrawCurtain(49 - 2 * k);  // 49, 47, ..., 1
}

void DrawDeathCurtainFrame(PlayState& s, int k)
{
    // Closing over 23 frames (47, 45, ..., 3), then opening over 24 (1, ..., 47);
    // the camera is at the respawn point from the first opening frame on.
    int picture = k < 23 ? 47 - 2 * k : 1 + 2 * (k - 23);
    DrawFarBackdrop(s.backdropScroll);
    DrawMiddleLayer((int)(s.camX / 2));
    int cursorX, cursorY;
    DrawGunOfState(s, &cursorX, &cursorY);
    DrawStageLayer((int)s.camX, (int)s.camY);
    DrawCursor(cursorX, cursorY, 10);
    DrawCharacter(CharacterPicture(s), s.facingLeft);
    DrawCurtain(picture);
    if (k >= 23) {
        if (k == 23) {
            RespawnAfterDeath(s);
            sceneId = SCENE_PLAYING;
        }
        s.firing = 0;
    }
}

void RunPlayScene()
{
    SetMouseCursor(0);
    PlayState s;
    s.beeStepsPerFrame = inheritedBeeSteps;
    ghostOn = GhostWanted(scoreFilePath);
    // The ghost is worked out before the clock starts, from the stage the
    // title's countdown (or the next stage's start) has loaded: it never costs
    // the player time.
    if (ghostOn) LoadGhost(scoreFilePath, stageNo);
    // One reading for both: the first frame's clock is then a whole frame.
    s.frameStart = s.runStart = PlatformTimeMs();
    bool newStage = true;

    for (;;) {
        if (sceneId == SCENE_NEXT_STAGE) {
            if (ghostOn) LoadGhost(scoreFilePath, stageNo);
            s.camX = START_CAM_X;
            s.camY = START_CAM_Y;
            s.respawnCamX = (int)START_CAM_X;
            s.respawnCamY = (int)START_CAM_Y;
            s.frameStart = s.runStart = PlatformTimeMs();
            newStage = true;
        }
        // After a death the camera is already at the respawn point.
        LoadStage();
        StartPlayAttempt(s);
        if (newStage) StartRecording(s);
        newStage = false;
        sceneId = SCENE_PLAYING;

        while (RunPlayFrame(s)) {
        }

        if (sceneId == SCENE_TO_TITLE) {
            inheritedBeeSteps = s.beeStepsPerFrame;
            StopMusic("bgm");
            return;
        }
        PumpMessages();
    }
}
