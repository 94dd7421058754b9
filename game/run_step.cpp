// A run of one stage, frame by frame; see run_step.h.
#include "game/run_step.h"

#include "game/scene_frame.h"
#include "game/stage_view.h"

namespace {

// The gun aimed again for a curtain frame, as the frame before left it.
void AimForCurtain(PlayState& s, CurtainView* view)
{
    AimGun(s, &view->gun, &view->cursorX, &view->cursorY);
    view->stageX = (int)s.camX;
    view->stageY = (int)s.camY;
    view->heldCrystal = HeldCrystal(s.respawnCamX, s.respawnCamY);
    view->farScroll = s.backdropScroll;
    view->middleX = (int)(s.camX / 2);
    view->character = CharacterPicture(s);
    view->facingLeft = s.facingLeft;
}

void StepPlayFrame(Run& run, const RunInput& input, RunFrame* frame)
{
    PlayState& s = run.play;
    if (run.newAttempt) {
        StartPlayAttempt(s);
        run.newAttempt = false;
    }
    s.frameStart = input.frameStart;
    frame->kind = RUN_FRAME_PLAY;
    int outcome = StepPlay(s, input.mouseX, input.mouseY, input.buttons, &frame->play);
    // Later judgements win: E overrides a death, Escape overrides everything.
    if (input.keyE) outcome = SCENE_GOAL;
    frame->selector = input.keyEscape ? SCENE_TO_TITLE : outcome;
    run.curtainFrame = 0;
    if (input.keyEscape) {
        run.phase = RUN_LEAVING;
        frame->event = RUN_EVENT_LEFT;
    } else if (outcome == SCENE_GOAL) {
        run.phase = RUN_CLEARING;
        frame->event = RUN_EVENT_GOAL;
    } else if (outcome == SCENE_DIED) {
        run.phase = RUN_DYING;
        frame->event = RUN_EVENT_DIED;
    } else {
        frame->event = RUN_EVENT_NONE;
    }
}

// A death: the curtain closes (47, 45, ..., 3) over the frozen stage, shows
// shut (1), and the character is put back at the respawn point behind it;
// then it opens again (3, ..., 47) on the respawn point.
void StepDeathCurtain(Run& run, RunFrame* frame)
{
    PlayState& s = run.play;
    int k = run.curtainFrame++;
    frame->kind = RUN_FRAME_DEATH_CURTAIN;
    frame->curtain.picture = k < DEATH_CURTAIN_CLOSED ? 47 - 2 * k : 1 + 2 * (k - DEATH_CURTAIN_CLOSED);
    AimForCurtain(s, &frame->curtain);
    frame->selector = k < DEATH_CURTAIN_CLOSED ? SCENE_DIED : SCENE_PLAYING;
    frame->event = RUN_EVENT_NONE;
    if (k == DEATH_CURTAIN_CLOSED) RespawnAfterDeath(s);
    if (k >= DEATH_CURTAIN_CLOSED) s.firing = 0;  // the button is let go behind the curtain
    if (run.curtainFrame == DEATH_CURTAIN_FRAMES) {
        run.phase = RUN_PLAYING;
        run.newAttempt = true;
        frame->event = RUN_EVENT_RESPAWNED;
    }
}

// The goal and Escape: the curtain closes (49, 47, ..., 1) over the frozen stage.
void StepClosingCurtain(Run& run, RunFrame* frame, bool clearing)
{
    int k = run.curtainFrame++;
    frame->kind = clearing ? RUN_FRAME_CLEAR_CURTAIN : RUN_FRAME_LEAVE_CURTAIN;
    frame->curtain.picture = 49 - 2 * k;
    AimForCurtain(run.play, &frame->curtain);
    frame->curtain.showClock = clearing;
    frame->curtain.clockMs = run.play.frameStart - run.play.runStart;
    frame->selector = clearing ? SCENE_GOAL : SCENE_TO_TITLE;
    frame->event = RUN_EVENT_NONE;
    if (run.curtainFrame == (clearing ? CLEAR_CURTAIN_FRAMES : LEAVE_CURTAIN_FRAMES)) {
        run.phase = clearing ? RUN_CLEARED : RUN_LEFT;
        frame->event = clearing ? RUN_EVENT_CLEARED : RUN_EVENT_GONE;
    }
}

}  // namespace

void BeginRun(Run& run, const PlayState& state)
{
    run.phase = RUN_PLAYING;
    run.curtainFrame = 0;
    run.newAttempt = false;
    run.play = state;
    StartPlayAttempt(run.play);
}

void StepRun(Run& run, const RunInput& input, RunFrame* frame)
{
    switch (run.phase) {
    case RUN_PLAYING: StepPlayFrame(run, input, frame); break;
    case RUN_DYING:
        run.play.frameStart = input.frameStart;
        StepDeathCurtain(run, frame);
        break;
    case RUN_CLEARING:
    case RUN_LEAVING:
        run.play.frameStart = input.frameStart;
        StepClosingCurtain(run, frame, run.phase == RUN_CLEARING);
        break;
    default: break;  // over: nothing more happens
    }
}

bool RunInCurtain(const Run& run)
{
    return run.phase == RUN_DYING || run.phase == RUN_CLEARING || run.phase == RUN_LEAVING;
}

bool RunOver(const Run& run) { return run.phase == RUN_CLEARED || run.phase == RUN_LEFT; }

void DrawRunFrame(const RunFrame& frame)
{
    const CurtainView& c = frame.curtain;
    switch (frame.kind) {
    case RUN_FRAME_PLAY: DrawPlayFrame(frame.play); break;
    case RUN_FRAME_DEATH_CURTAIN:
        DrawFarBackdrop(c.farScroll);
        DrawMiddleLayer(c.middleX);
        DrawGunAndBeam(c.gun);
        DrawStageLayer(c.stageX, c.stageY, c.heldCrystal);
        DrawCursor(c.cursorX, c.cursorY, 10);
        DrawCharacter(c.character, c.facingLeft);
        DrawCurtain(c.picture);
        break;
    case RUN_FRAME_CLEAR_CURTAIN:
        // The stage under the gun this time.
        DrawStageLayer(c.stageX, c.stageY, c.heldCrystal);
        DrawGunAndBeam(c.gun);
        DrawCharacter(c.character, c.facingLeft);
        DrawCurtain(c.picture);
        if (c.showClock) DrawClock(c.clockMs);
        break;
    case RUN_FRAME_LEAVE_CURTAIN:
        DrawGunAndBeam(c.gun);
        DrawStageLayer(c.stageX, c.stageY, c.heldCrystal);
        DrawCharacter(c.character, c.facingLeft);
        DrawCurtain(c.picture);
        break;
    }
}
