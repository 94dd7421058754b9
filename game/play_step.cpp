// The rules of one play frame, in the order the game has always run them.
#include "game/play_step.h"

#include "game/assets.h"
#include "game/motion.h"
#include "game/scene_frame.h"
#include "input/input.h"

namespace {
constexpr int BACKDROP_BAND = 3840;     // the far backdrop repeats after this many frames
}  // namespace

void StartPlayAttempt(PlayState& s)
{
    s.idleFrame = 0;
    SpawnBees(s);
    s.backdropScroll = 0;
    s.fallSpeed = 0;
    s.thrust = 0;
}

void RespawnAfterDeath(PlayState& s)
{
    s.backdropScroll = 0;
    s.fallSpeed = 0;
    s.thrust = 0;
    s.camX = (float)s.respawnCamX;
    s.camY = (float)s.respawnCamY;
}

void AimGun(PlayState& s, GunView* gun, int* cursorX, int* cursorY)
{
    gun->pose = ComputeGunPose(AngleBetweenPoints(GUN_PIVOT_X, GUN_PIVOT_Y, s.mouseX, s.mouseY));
    gun->firing = s.firing == 1;
    // The beam drawn now has the length the previous frame's trace found.
    gun->beamDrawn = s.beamLength - MUZZLE_REACH;
    if (gun->beamDrawn < 0) gun->beamDrawn = 0;
    gun->spark = false;
    if (gun->firing)
        gun->spark = TraceBeam(gun->pose, s.thrust, (int)s.camX, (int)s.camY, &s.beamLength,
                               &gun->sparkX, &gun->sparkY);
    CursorOnBeamLine(gun->pose, s.mouseX, s.mouseY, cursorX, cursorY);
}

Surface CharacterPicture(const PlayState& s)
{
    if (s.firing != 0) return imgKyara;
    return (int)s.idleFrame == 0 ? imgKyara2 : imgKyara3;
}

int StepPlay(PlayState& s, int mouseX, int mouseY, int buttons, PlayView* view)
{
    s.mouseX = mouseX;
    s.mouseY = mouseY;
    s.firing = buttons;
    s.facingLeft = s.mouseX < PLAYER_SCREEN_X ? 1 : 0;
    // The backdrops are seen where they were before the character moves.
    view->farScroll = s.backdropScroll;
    s.backdropScroll += 1;
    if (s.backdropScroll == BACKDROP_BAND) s.backdropScroll = 0;
    view->middleX = (int)(s.camX / 2);

    // The right button alone does not fire; both together do.
    if (s.firing == MOUSE_RIGHT) s.firing = 0;
    if (s.firing == (MOUSE_LEFT | MOUSE_RIGHT)) s.firing = 1;

    // The strengths change after the move: a frame moves with the previous frame's.
    int outcome = MovePlayer(s, s.mouseX, s.mouseY, s.firing);
    view->shotSound = ApplyFiringState(s.firing, s.thrust, s.fallSpeed, s.beamLength, s.shotFrames);

    AimGun(s, &view->gun, &view->cursorX, &view->cursorY);
    view->stageX = (int)s.camX;
    view->stageY = (int)s.camY;
    view->character = CharacterPicture(s);
    view->facingLeft = s.facingLeft;
    // The idle pictures alternate only while the character stands still.
    if (s.firing == 0 && (int)s.fallSpeed == 0 && (int)s.thrust == 0) {
        s.idleFrame = (float)((double)s.idleFrame + 0.1);
        if (s.idleFrame >= 2.0f) s.idleFrame = 0;
    }
    bool killed = false;
    view->beeSpriteCount = StepBees(s, view->gun.pose, view->beeSprites, &killed);
    if (killed) outcome = SCENE_DIED;
    view->clockMs = s.frameStart - s.runStart;
    view->heldCrystal = HeldCrystal(s.respawnCamX, s.respawnCamY);
    s.cursorSpin += 2;
    if (s.cursorSpin > CURSOR_SPIN_LIMIT) s.cursorSpin = 0;
    view->cursorAngle = s.cursorSpin / 2;
    return outcome;
}
