// The play scene: the stages one after another from the first it is given,
// each a run (game/run_step.h) with its curtains, then its results, and the
// next stage's start, until Escape or the last stage's results lead back to
// the title. R (the retry binding) starts the stage again from its start
// at once: a short "GO!" beat over the start view, then a new run, the one
// abandoned not kept. A run ended with E is skipped: its results show it,
// but it is never ranked or kept. The character stays at the screen's centre and the camera
// moves; the stage is reloaded behind every death's curtain, but the run
// clock goes on. Every run is recorded as it is played, for its replay.
// A game begun with START is one run of the whole game too: each stage's
// cleared run, its time and recording, is kept as it clears, and when the
// last stage is cleared by a game that counts its total is kept as the best
// (game/best_game.h) before the results show; the last results' click then
// leads to the closing screen. A game that does not count ends on the title.
// P, a pad pulled out and (with the setting) the window losing the focus
// pause play. Practice plays the stage from a point, a checkpoint chosen on
// the stage select or the respawn point held when the pause menu chose it,
// as often as the player likes: R goes back to that point, "PRACTICE" is on
// the screen, and the runs are never ranked, recorded or counted; the ghost
// (whose clock runs from the stage's start) stays away. A crystal taken as the respawn point, a death and the goal
// each sound once, at the moment the frame decides it, on the feedback path
// beside the shot (unless the setting turns them off); taking the crystal
// already held again is silent. They stop when play pauses or goes back to
// the title, so they never ring over the menus' clicks. The first time in a
// run that a crystal holds the respawn point is a split (game/splits.h):
// when the stage's best kept run made a split at the same checkpoint, the
// split's time and how far it is ahead of (green, "-") or behind (red, "+")
// the best's show under the clock for SPLIT_SHOWN_FRAMES frames; an equal
// time shows "0.00" in white, with no sign.
#pragma once
#include <vector>
#include "game/best_game.h"
#include "game/controls.h"
#include "game/ghost.h"
#include "game/world_ghost.h"
#include "game/recording.h"
#include "game/run_step.h"
#include "game/scene_frame.h"
#include "game/splits.h"
#include "game/score.h"

struct SceneChange;

// The beat between a retry and the new run's first play frame: frames of
// "GO!" over the stage's start view. With the retry's own frame the player is
// back in control 16 frames (256 ms) after the press.
constexpr int RETRY_BEAT_FRAMES = 15;

// The whole game begun with START, as one run: each stage's cleared run,
// copied as it clears (the next stage records a run of its own).
struct WholeGame {
    uint32_t stageMs[STAGE_COUNT] = {};
    Recording recordings[STAGE_COUNT];
    bool recorded[STAGE_COUNT] = {};  // false: that run outgrew what a recording holds
    int stagesCleared = 0;
    // Every stage cleared so far was cleared, in order, by a run that counts
    // (RunCountsForGame); once one does not, the game never counts again.
    bool counts = true;
    BestGameEntry entry{};  // what keeping the total did, once the last stage is cleared
};

// What a test play goes back to the editor with.
constexpr int PLAY_TEST_LEFT = 40;
constexpr int PLAY_TEST_CLEARED = 41;

struct PlayScene {
    int stage = 1;
    // The stage is played alone (chosen on the stage select): its results
    // offer a retry, the next stage alone, or the title.
    bool singleStage = false;
    // What a game takes over from the one before: the bees' speed, which
    // only the character's probes set.
    int beeSteps = 0;
    // The checkpoint (1..) the stage select chose to practise from, 0 for
    // none: read when the scene is entered.
    int practiceCheckpoint = 0;
    // Runs start from (practiceCamX, practiceCamY), the respawn point there.
    bool practice = false;
    int practiceCamX = 0, practiceCamY = 0;
    // Practice from (practiceCamX, practiceCamY) as given, from the first run.
    bool practiceFromPoint = false;
    // Played from the editor: Escape (or the pause's way out) and the goal go
    // back to it (PLAY_TEST_LEFT, PLAY_TEST_CLEARED with the run's time in
    // *testClearMs, which the editor below owns); nothing is ranked, kept or
    // recorded, and there is no ghost.
    bool testPlay = false;
    uint32_t* testClearMs = nullptr;

    Run run;
    RunFrame frame;        // the frame being stepped, for its drawing
    Recording recording;   // the run of the stage being played, frame by frame
    bool recordingOn = false;  // false once a run outgrows what a recording holds
    bool ghostOn = false;  // the ghost of the stage's best run, as the player last chose
    GhostTrack ghost;
    // With online records on, the board's ghost raced instead of the own
    // best (its which 0: none), and its track once it has verified.
    WorldGhost worldGhost;
    GhostTrack worldTrack;
    bool keyGWas = false;
    bool pauseKeyWas = false;
    bool pauseAsked = false;  // this frame's: the pause comes over play after it
    bool retryKeyWas = true;  // the retry binding was held last frame (or at the run's start)
    bool retryAsked = false;  // this frame's: the retry's beat follows it
    int retryBeatLeft = 0;    // frames of the retry's beat still to show
    // E ended the run: its results say SKIPPED, and it is never ranked or kept.
    bool skipped = false;
    PadAim aim;               // the mouse's or a stick's, whichever moved last
    bool padWas = false;      // a pad was attached last frame
    bool escapeStillHeld = false;  // Escape resumed the pause and is not let go yet
    // The window's focus is away, and the pause it asked for has been had:
    // a pause from a loss of focus comes once for each loss.
    bool focusPaused = false;
    // A frame of the run being played went at a game speed below 100: the
    // run is an assisted one, shown as such and never ranked.
    bool assisted = false;
    // The checkpoint crystal holding the respawn point as the last frame
    // left it: taking another (or the first) is what sounds.
    CrystalSpan heldCrystal;
    bool feedbackStarted = false;  // a feedback sound may still ring
    SplitTracker splits;           // the run's
    // The splits of the stage's best kept run, worked out before a run's
    // clock starts and kept for the stage while its best time stays:
    // bestSplitsStage 0 until then, bestSplitsKnown false when there is no
    // best run to play.
    int bestSplitsStage = 0;
    int32_t bestSplitsTimeMs = 0;
    bool bestSplitsKnown = false;
    std::vector<Split> bestSplits;
    int splitShownLeft = 0;        // frames the last split still shows
    Split shownSplit;
    int32_t shownSplitDiffMs = 0;  // its time less the best's at its checkpoint
    WholeGame game;
};

// Whether the run just cleared (and not yet left) counts toward its game's
// total: a run of a game begun with START (not of a stage played alone),
// played to its goal (not ended with E), never assisted and not practice
// (a game practised in is a stage played alone from then on). This is the one
// place that says which runs spoil a whole game. A stage retried with R or
// the pause menu's restart still counts: its cleared run is a whole run.
bool RunCountsForGame(const PlayScene& play);

SceneChange EnterPlay(PlayScene& play, FrameClock& clock);
void StepPlayScene(PlayScene& play, const FrameClock& clock, FrameEnd* end);
SceneChange AfterPlayFrame(PlayScene& play, FrameClock& clock);
// Back from the results (RESULTS_*), the pause (PAUSE_*), or from the next
// stage's countdown.
SceneChange ResumePlay(PlayScene& play, int result, FrameClock& clock);
