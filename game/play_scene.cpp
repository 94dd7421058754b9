// The play scene: stage after stage, frame by frame, with the curtains after a
// death, a clear and Escape, and between stages the results screen and the
// next stage's start.
#include "game/play_scene.h"

#include <cstdio>
#include <string>

#include "audio/audio.h"
#include "game/assets.h"
#include "game/checkpoints.h"
#include "game/ghost.h"
#include "game/world_ghost.h"
#include "game/motion.h"
#include "game/pause_scene.h"
#include "game/replay_files.h"
#include "game/scenes.h"
#include "game/splits.h"
#include "game/score.h"
#include "game/stage.h"
#include "game/stage_pack.h"
#include "game/stage_view.h"
#include "game/start_sequence.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace {

constexpr int KEY_E = 0x45;
constexpr int KEY_G = 0x47;
const char* const SHOT_SOUND = "./se/newSE.wav";
const char* const CHECKPOINT_SOUND = "./se/checkpoint.wav";
const char* const DEATH_SOUND = "./se/death.wav";
const char* const GOAL_SOUND = "./se/goal.wav";
// A death is felt in the hands too, when the pad can rumble.
constexpr int DEATH_RUMBLE_PERCENT = 70;
constexpr uint32_t DEATH_RUMBLE_MS = 350;

// The ghost of the best kept run of the stage being played, from wherever
// that stage keeps its times.
void LoadStageGhost(PlayScene& p)
{
    StageRecords records = RecordsOfStage(p.stage);
    LoadGhost(records.scorePath, records.row, &p.ghost);
}

// The board's ghost for the stage now loaded, when one is chosen and not
// already fetched (or being fetched) for this very stage.
void StartChosenWorldGhost(PlayScene& p)
{
    if (p.worldGhost.which == 0) return;
    if (p.worldGhost.stageHash == StageHash() && p.worldGhost.state != WORLD_GHOST_NONE) return;
    StartWorldGhost(&p.worldGhost, p.worldGhost.which, &p.worldTrack);
}

// G turns the ghost on and off; the choice is kept beside the best times.
// With online records on it goes round: off, the own best, the world
// record, the run ranked just above the player's, off; the board's two are
// for this session only.
void ToggleGhostOnG(PlayScene& p)
{
    if (p.testPlay) return;
    bool keyG = IsKeyDown(KEY_G);
    if (keyG && !p.keyGWas) {
        int which = p.worldGhost.which;
        if (OnlineReady(settings) && PackInPlay() == nullptr && p.ghostOn && which < WORLD_GHOST_ABOVE) {
            StartWorldGhost(&p.worldGhost, which + 1, &p.worldTrack);
        } else {
            if (which) StopWorldGhost(&p.worldGhost);
            p.worldGhost.which = 0;
            p.ghostOn = !p.ghostOn;
            KeepGhostWanted(scoreFilePath, p.ghostOn);
            if (p.ghostOn) LoadStageGhost(p);
        }
    }
    p.keyGWas = keyG;
}

void StartRecording(PlayScene& p)
{
    const PlayState& s = p.run.play;
    p.recording = Recording();
    p.recording.stage = p.stage;
    p.recording.custom = PackInPlay() != nullptr;
    p.recording.stageHash = StageHash();
    p.recording.beeSteps = s.beeStepsPerFrame;
    p.recording.beamLength = s.beamLength;
    p.recording.shotFrames = s.shotFrames;
    p.recording.cursorSpin = s.cursorSpin;
    p.recordingOn = true;
}

void RecordFrame(PlayScene& p, bool curtain, const RunInput& in)
{
    if (!p.recordingOn) return;
    Recording& r = p.recording;
    if (r.frames.size() >= RECORDING_MAX_FRAMES) {
        p.recordingOn = false;
        r.frames.clear();
        r.pauses.clear();
        return;
    }
    const PlayState& s = p.run.play;
    int keys = (in.keyE ? RECORDED_KEY_E : 0) | (in.keyEscape ? RECORDED_KEY_ESCAPE : 0);
    if (curtain)
        r.frames.push_back({true, s.frameStart - s.runStart, 0, 0, 0, 0});
    else
        r.frames.push_back({false, s.frameStart - s.runStart, in.mouseX, in.mouseY, in.buttons, keys});
    if (!curtain) r.playFrames++;
}

// The frame's big moment, if it had one, heard: the goal or a death (which
// end the attempt, so they win over a crystal taken in the same frame), or a
// crystal newly holding the respawn point.
void SoundTheMoment(PlayScene& p, const RunFrame& f)
{
    const char* sound = nullptr;
    bool taken = f.play.heldCrystal.row >= 0 && !(f.play.heldCrystal == p.heldCrystal);
    p.heldCrystal = f.play.heldCrystal;
    if (f.event == RUN_EVENT_GOAL) sound = GOAL_SOUND;
    else if (f.event == RUN_EVENT_DIED) sound = DEATH_SOUND;
    else if (taken) sound = CHECKPOINT_SOUND;
    if (sound == nullptr || !settings.feedbackSounds) return;
    PlayFeedbackSound(sound);
    p.feedbackStarted = true;
}

// Play stills or ends: a feedback sound still ringing stops with it.
void StopTheMoment(PlayScene& p)
{
    if (!p.feedbackStarted) return;
    StopFeedbackSound();
    p.feedbackStarted = false;
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

// The best run's splits for the stage in tileMap, worked out again only when
// the stage or its best time changed since they last were: a retry costs a
// read of the score file, not a replay.
void UpdateBestSplits(PlayScene& p)
{
    ScoreTable table;
    int32_t best = EMPTY_SLOT_MS;
    StageRecords records = RecordsOfStage(p.stage);
    if (records.scorePath != nullptr && records.row >= 1 && records.row <= STAGE_COUNT &&
        ReadScoreFile(records.scorePath, &table) == SCORE_FILE_READ)
        best = table.times[records.row - 1][0];
    if (p.bestSplitsStage == p.stage && p.bestSplitsTimeMs == best) return;
    p.bestSplitsStage = p.stage;
    p.bestSplitsTimeMs = best;
    int32_t bestMs = best;
    p.bestSplitsKnown = BestRunSplits(records.scorePath, records.row, &p.bestSplits, &bestMs);
    if (p.bestSplitsKnown) p.bestSplitsTimeMs = bestMs;
}

// A split just made is shown when the best run made one at its checkpoint.
void ShowSplit(PlayScene& p)
{
    const Split& split = p.splits.splits.back();
    const Split* best = p.bestSplitsKnown ? FindSplit(p.bestSplits, split.checkpoint) : nullptr;
    if (best == nullptr) return;
    p.shownSplit = split;
    p.shownSplitDiffMs = int32_t(int64_t(split.clockMs) - int64_t(best->clockMs));
    p.splitShownLeft = SPLIT_SHOWN_FRAMES;
}

// The split under the clock: its checkpoint and time, and how far ahead of
// or behind the best's it is.
void DrawSplit(const Split& split, int32_t diffMs)
{
    TimeText time = FormatRunTime(split.clockMs);
    char diff[32];
    FormatSplitDifference(diffMs, diff, sizeof diff);
    Colour inner = diffMs < 0 ? 0x78FF78 : diffMs > 0 ? 0x6464FF : 0xFAFAFA;  // 0xBBGGRR
    Colour outline = diffMs < 0 ? 0x1E641E : diffMs > 0 ? 0x1E1E78 : 0x505050;
    SetFont(20, 40, "IMPACT");
    PrintOutlined(backBuffer, 470, 104, 0x505050, 0xFAFAFA, "CP%d %s%s", split.checkpoint, time.clock,
                  time.fraction);
    SetFont(28, 56, "IMPACT");
    PrintOutlined(backBuffer, 690, 96, outline, inner, "%s", diff);
    ReleaseFont();
}

// A stage's run begins: the stage loaded, the bees at their nests, the
// recording started with what the run takes over from the play before it.
void StartStage(PlayScene& p, const PlayState& state)
{
    PlayState start = state;
    if (p.practice) {
        // Practice begins where the player would come back to.
        start.camX = (float)(start.respawnCamX = p.practiceCamX);
        start.camY = (float)(start.respawnCamY = p.practiceCamY);
    }
    LoadStage(p.stage);
    BeginRun(p.run, start);
    StartRecording(p);
    if (p.practice || p.testPlay) {
        p.recordingOn = false;
        p.recording.frames.clear();
    }
    p.assisted = false;
    p.skipped = false;
    // A retry held from before the run began is not a press in it.
    p.retryKeyWas = true;
    p.heldCrystal = HeldCrystal(start.respawnCamX, start.respawnCamY);
    BeginSplits(&p.splits, p.heldCrystal);
    p.splitShownLeft = 0;
}

// From now on the stage is practised from (camX, camY). A game practised in
// is no longer the whole game: its results offer the stage's choices.
void BeginPractice(PlayScene& p, int camX, int camY)
{
    p.practice = true;
    p.singleStage = true;
    p.practiceCamX = camX;
    p.practiceCamY = camY;
}

// The game is over (Escape, or the results' way out): the title again, which
// takes the bees' speed over for the next game.
SceneChange BackToTitle(PlayScene& p)
{
    StopTheMoment(p);
    if (p.testPlay) {
        StopSoundEffect();
        return Pop(PLAY_TEST_LEFT);
    }
    StopMusic("bgm");
    return Replace(Scene{TitleAfterGame(p.stage, p.run.play.beeStepsPerFrame)});
}

// A stage cleared: its run (time and recording) taken into the whole game,
// and once the last is cleared by a game that counts, its total kept, before
// the results are shown.
void NoteClearedRun(PlayScene& p)
{
    WholeGame& g = p.game;
    // A pack's game keeps no total: the best whole game is the shipped four's.
    g.counts = g.counts && RunCountsForGame(p) && p.stage == g.stagesCleared + 1 && PackInPlay() == nullptr;
    if (!g.counts) return;
    int s = p.stage - 1;
    g.stageMs[s] = p.recording.timeMs;
    g.recorded[s] = p.recordingOn;
    if (p.recordingOn) g.recordings[s] = p.recording;
    if (++g.stagesCleared < STAGE_COUNT) return;
    const Recording* made[STAGE_COUNT];
    for (int i = 0; i < STAGE_COUNT; i++) made[i] = g.recorded[i] ? &g.recordings[i] : nullptr;
    g.entry = KeepBestGame(scoreFilePath, g.stageMs, made);
}

// The last results left with a click: the closing screen when the game
// counts, else the title as ever.
SceneChange EndGame(PlayScene& p)
{
    const WholeGame& g = p.game;
    ClosingScene closing;
    // (A total past what a clock holds, some 24 days, is no total either.)
    if (!g.counts || g.stagesCleared != STAGE_COUNT || !TotalOfStages(g.stageMs, &closing.totalMs))
        return BackToTitle(p);
    StopTheMoment(p);
    for (int s = 0; s < STAGE_COUNT; s++) closing.stageMs[s] = g.stageMs[s];
    closing.entry = g.entry;
    closing.stage = p.stage;
    closing.beeSteps = p.run.play.beeStepsPerFrame;
    return Replace(Scene{closing});
}

// A new run of the stage being played, from its start and at once, taking
// over from the abandoned one only what a recording's head holds.
SceneChange RestartStage(PlayScene& p, FrameClock& clock)
{
    const PlayState& was = p.run.play;
    PlayState s;
    s.beeStepsPerFrame = was.beeStepsPerFrame;
    s.beamLength = was.beamLength;
    s.shotFrames = was.shotFrames;
    s.cursorSpin = was.cursorSpin;
    UpdateBestSplits(p);
    s.frameStart = s.runStart = clock.frameStart = GameTimeMs();
    StartStage(p, s);
    return Stay();
}

// A frame of the retry's beat: the stage's start view with "GO!", no input
// taken but the retry binding's state, so that holding it through the beat
// does not retry again. A pad pulled out during the beat is missed (and
// pauses) in the first play frame.
void StepRetryBeat(PlayScene& p, FrameEnd* end)
{
    PadState pad;
    bool padAttached = PlatformReadPad(&pad);
    p.retryKeyWas = BindingHeld(settings.bindings[ACTION_RETRY], pad, padAttached);
    SetMouseCursor(0);
    if (p.practice) DrawStartViewAt(p.practiceCamX, p.practiceCamY);
    else DrawStartView();
    if (p.practice) DrawPracticeMark();
    SetFont(160, 320, "IMPACT");
    PrintOutlined(backBuffer, 485, 200, 0x9B6464, 0xFF6464, "GO!");
    ReleaseFont();
    *end = FrameEnd{FRAME_SHOWN, "retry-beat", SCENE_PLAYING, p.stage, ""};
}

}  // namespace

bool RunCountsForGame(const PlayScene& p) { return !p.singleStage && !p.practice && !p.skipped && !p.assisted; }

SceneChange EnterPlay(PlayScene& p, FrameClock& clock)
{
    SetMouseCursor(0);
    PlayState s;
    s.beeStepsPerFrame = p.beeSteps;
    if (p.practiceCheckpoint > 0) {
        // The title's countdown has loaded the stage: its checkpoints are known.
        std::vector<CrystalSpan> crystals = StageCrystals();
        if (p.practiceCheckpoint <= (int)crystals.size()) {
            int camX, camY;
            CrystalStandPoint(crystals[p.practiceCheckpoint - 1], &camX, &camY);
            BeginPractice(p, camX, camY);
        }
    }
    if (p.practiceFromPoint) BeginPractice(p, p.practiceCamX, p.practiceCamY);
    p.ghostOn = !p.testPlay && GhostWanted(scoreFilePath);
    // The ghost is worked out before the clock starts, from the stage the
    // title's countdown has loaded: it never costs the player time.
    if (p.ghostOn) LoadStageGhost(p);
    UpdateBestSplits(p);
    // One reading for both: the first frame's clock is then a whole frame.
    s.frameStart = s.runStart = clock.frameStart = GameTimeMs();
    StartStage(p, s);
    return Stay();
}

void StepPlayScene(PlayScene& p, const FrameClock& clock, FrameEnd* end)
{
    if (p.retryBeatLeft > 0) {
        StepRetryBeat(p, end);
        return;
    }
    RunInput in;
    in.frameStart = clock.frameStart;
    bool playing = !RunInCurtain(p.run);
    PadState pad;
    bool padAttached = PlatformReadPad(&pad);
    if (playing) {
        // The rules read a pointer and the mouse's buttons: a stick's aim
        // becomes the pointer, and whatever fire is bound to the left button.
        int mouseX, mouseY, mouseButtons;
        GetMousePos(&mouseX, &mouseY);
        GetMouseButtons(&mouseButtons);
        StepPadAim(&p.aim, mouseX, mouseY, pad, padAttached, settings.padDeadzone,
                   settings.padLeftStickAims, &in.mouseX, &in.mouseY);
        bool fire = BindingHeld(settings.bindings[ACTION_FIRE], pad, padAttached);
        in.buttons = (fire ? MOUSE_LEFT : 0) | (mouseButtons & MOUSE_RIGHT);
        in.keyE = IsKeyDown(KEY_E);
        bool escape = IsKeyDown(VK_ESCAPE);
        if (!escape) p.escapeStillHeld = false;
        in.keyEscape = escape && !p.escapeStillHeld;
    }
    RunFrame& f = p.frame;
    StepRun(p.run, in, &f);
    const PlayState& s = p.run.play;
    // E wins over everything but Escape: a goal with E held is E's.
    if (playing && f.event == RUN_EVENT_GOAL && in.keyE) p.skipped = true;
    // The retry binding counts once for each press, and only in play: a press
    // made during a curtain is spent there.
    bool retryKey = BindingHeld(settings.bindings[ACTION_RETRY], pad, padAttached);
    bool retryPressed = retryKey && !p.retryKeyWas;
    p.retryKeyWas = retryKey;
    if (playing) {
        ToggleGhostOnG(p);
        if (p.worldGhost.which) StepWorldGhost(&p.worldGhost, &p.worldTrack);
        if (p.ghostOn && !p.practice)
            PlaceGhost(p.worldGhost.which ? p.worldTrack : p.ghost, f.play.clockMs, s.camX, s.camY, &f.play);
        else
            f.play.ghost = false;
        if (f.play.shotSound == SHOT_SOUND_PLAY) PlaySoundEffect(SHOT_SOUND);
        if (f.play.shotSound == SHOT_SOUND_STOP) StopSoundEffect();
        SoundTheMoment(p, f);
        // A practice run's clock starts at its checkpoint: it splits against nothing.
        if (!p.practice && FeedSplits(&p.splits, f.play)) ShowSplit(p);
        // P pauses once the frame is played, unless the frame ended the
        // attempt; so does a pad pulled out, in the frame it is missed, and
        // with the setting a window that lost the focus (once for each loss:
        // a pause resumed while still away plays on).
        bool pauseKey = BindingHeld(settings.bindings[ACTION_PAUSE], pad, padAttached);
        bool unplugged = p.padWas && !padAttached;
        bool focusKept = FrameKeptFocus();
        bool focusLost = settings.pauseOnFocusLoss && !focusKept && !p.focusPaused;
        p.pauseAsked = ((pauseKey && !p.pauseKeyWas) || unplugged || focusLost) && f.event == RUN_EVENT_NONE;
        p.pauseKeyWas = pauseKey;
        // R, like P, acts once the frame is played; a pause asked in the same
        // frame wins, and the pause menu has its own restart.
        p.retryAsked = retryPressed && !p.pauseAsked && f.event == RUN_EVENT_NONE;
        if (focusKept) p.focusPaused = false;
        else if (p.pauseAsked) p.focusPaused = true;
        if (f.event == RUN_EVENT_DIED && settings.padRumble) PlatformRumblePad(DEATH_RUMBLE_PERCENT, DEATH_RUMBLE_MS);
    }
    p.padWas = padAttached;
    // The pacing read the same setting for this frame's wait.
    if (settings.gameSpeed < 100) p.assisted = true;
    SetMouseCursor(0);  // the game draws its own cursor
    DrawRunFrame(f);
    if (p.assisted) DrawAssistMark();
    if (p.practice) DrawPracticeMark();
    bool splitNew = p.splitShownLeft == SPLIT_SHOWN_FRAMES;
    if (p.splitShownLeft > 0) {
        if (playing) DrawSplit(p.shownSplit, p.shownSplitDiffMs);
        p.splitShownLeft--;
    }
    if (playing) RecordFrame(p, false, in);
    else if (f.kind != RUN_FRAME_LEAVE_CURTAIN) RecordFrame(p, true, in);  // the time ends with the goal's curtain

    end->selector = f.selector;
    end->stage = p.stage;
    if (playing) {
        // A frame that ends the attempt is not shown: its curtain follows.
        end->kind = f.event == RUN_EVENT_NONE ? FRAME_SHOWN : FRAME_TRACED;
        end->name = "play";
        end->fields = PlatformTracing() ? PlayTraceFields(s) : "";
        // A split shown from this frame on: its checkpoint, time and difference.
        if (splitNew && PlatformTracing())
            end->fields += ",\"split\":" + std::to_string(p.shownSplit.checkpoint) + ",\"splitMs\":" +
                           std::to_string(p.shownSplit.clockMs) + ",\"splitDiffMs\":" +
                           std::to_string(p.shownSplitDiffMs);
    } else {
        end->kind = FRAME_SHOWN;
        end->name = f.kind == RUN_FRAME_DEATH_CURTAIN   ? "death-curtain"
                    : f.kind == RUN_FRAME_CLEAR_CURTAIN ? "clear-curtain"
                                                        : "leave-curtain";
        end->fields.clear();
    }
}

SceneChange AfterPlayFrame(PlayScene& p, FrameClock& clock)
{
    const PlayState& s = p.run.play;
    if (p.retryBeatLeft > 0) {
        // The beat's last frame is shown: the new run starts, its clock at zero.
        if (--p.retryBeatLeft == 0) {
            PumpMessages();
            return RestartStage(p, clock);
        }
        return Stay();
    }
    if (p.retryAsked) {
        // The run is abandoned here, its recording with it; the stage is
        // loaded again for the beat's start view.
        p.retryAsked = false;
        StopTheMoment(p);
        StopSoundEffect();
        LoadStage(p.stage);
        p.retryBeatLeft = RETRY_BEAT_FRAMES;
        return Stay();
    }
    if (p.pauseAsked) {
        p.pauseAsked = false;
        StopTheMoment(p);
        PauseScene pause;
        pause.stage = p.stage;
        return Push(Scene{pause});
    }
    switch (p.frame.event) {
    case RUN_EVENT_RESPAWNED:
        // Behind the curtain the stage is loaded again; its bees go home at
        // the next frame.
        PumpMessages();
        LoadStage(p.stage);
        return Stay();
    case RUN_EVENT_CLEARED: {
        p.recording.timeMs = s.frameStart - s.runStart;
        if (p.testPlay) {
            StopTheMoment(p);
            StopSoundEffect();
            if (p.testClearMs) *p.testClearMs = p.recording.timeMs;
            return Pop(PLAY_TEST_CLEARED);
        }
        NoteClearedRun(p);
        ResultsScene results;
        results.runTimeMs = p.recording.timeMs;
        results.stage = p.stage;
        // A run ended with E was not played to the goal: it keeps no recording.
        results.recording = p.recordingOn && !p.skipped ? &p.recording : nullptr;
        results.assisted = p.assisted;
        results.singleStage = p.singleStage;
        results.skipped = p.skipped;
        results.practice = p.practice;
        results.stageHash = p.recording.stageHash;
        results.runSplits = &p.splits.splits;
        if (p.bestSplitsKnown && !p.practice) {
            results.bestSplits = &p.bestSplits;
            results.bestTimeMs = p.bestSplitsTimeMs;
        }
        return Push(Scene{results});
    }
    case RUN_EVENT_GONE: return BackToTitle(p);
    default: return Stay();
    }
}

SceneChange ResumePlay(PlayScene& p, int result, FrameClock& clock)
{
    PlayState& s = p.run.play;
    if (result == RESULTS_TO_TITLE || result == PAUSE_TO_TITLE) return BackToTitle(p);
    if (result == RESULTS_GAME_DONE) return EndGame(p);
    if (result == PAUSE_RESUME) {
        // The run's clock leaves the pause out: the next frame's clock is the
        // last play frame's plus only the time since the pause's last frame,
        // as if play had gone on from there. The recording keeps the pause's
        // length beside the frame it followed.
        uint32_t paused = clock.frameStart - s.frameStart;
        s.runStart += paused;
        if (p.recordingOn) p.recording.pauses.push_back({(uint32_t)p.recording.frames.size(), paused});
        // A pause resumed while the window is still away plays on.
        p.focusPaused = !FrameKeptFocus();
        // The key that resumed is still down: play takes it only once it
        // has been let go (Escape would leave the stage, P pause again).
        p.pauseKeyWas = true;
        p.retryKeyWas = true;
        p.escapeStillHeld = true;
        // The settings page may have turned the ghost on or off.
        bool ghostWas = p.ghostOn;
        p.ghostOn = !p.testPlay && GhostWanted(scoreFilePath);
        if (p.ghostOn && !ghostWas) LoadStageGhost(p);
        return Stay();
    }
    if (result == PAUSE_RESTART) {
        // A new run of the same stage from its start, at once; the one
        // abandoned is not kept. It is a real run again, not practice.
        StopSoundEffect();
        p.practice = false;
        return RestartStage(p, clock);
    }
    if (result == PAUSE_PRACTICE) {
        // Practice from the respawn point held now, after the retry's beat
        // there; the run paused is abandoned.
        StopSoundEffect();
        BeginPractice(p, s.respawnCamX, s.respawnCamY);
        LoadStage(p.stage);
        p.retryBeatLeft = RETRY_BEAT_FRAMES;
        p.retryKeyWas = true;
        return Stay();
    }
    if (result == RESULTS_NEXT_STAGE || result == RESULTS_RETRY) {
        // The next stage, or the same one again, behind its curtain and
        // countdown; a new run either way. Practice goes on with a retry,
        // from its point; the next stage is played from its start.
        bool retry = result == RESULTS_RETRY;
        if (!retry) {
            p.stage++;
            p.practice = false;
        }
        // The run may have become the best, even at an equal time.
        p.bestSplitsStage = 0;
        LoadStage(p.stage);
        OpeningCurtainScene curtain;
        if (p.practice) {
            curtain.camX = p.practiceCamX;
            curtain.camY = p.practiceCamY;
        }
        curtain.name = retry ? "retry-curtain" : "next-curtain";
        curtain.countdownName = retry ? "retry-countdown" : "next-countdown";
        curtain.selector = SCENE_NEXT_STAGE;
        curtain.stage = p.stage;
        return Push(Scene{curtain});
    }
    // The next stage's countdown is over: its run starts from the stage's
    // start, the clock at zero.
    PumpMessages();
    if (p.ghostOn) LoadStageGhost(p);
    StartChosenWorldGhost(p);
    UpdateBestSplits(p);
    s.camX = START_CAM_X;
    s.camY = START_CAM_Y;
    s.respawnCamX = (int)START_CAM_X;
    s.respawnCamY = (int)START_CAM_Y;
    s.frameStart = s.runStart = clock.frameStart = GameTimeMs();
    StartStage(p, s);
    return Stay();
}
