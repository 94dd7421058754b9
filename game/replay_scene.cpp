// The replay viewer: the recording's frames through the run's own steps and
// drawing, its clock as recorded, under the viewer's own labels.
#include "game/replay_scene.h"

#include <cstdio>
#include <string>

#include "game/assets.h"
#include "game/scenes.h"
#include "game/score.h"
#include "game/stage.h"
#include "game/stage_pack.h"
#include "gfx/text.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/phrases.h"
#include "shell/shell.h"

namespace {

const char* const VIEWER_KEYS = "SPACE  PAUSE     1 2 4  SPEED     ESC  LEAVE";

// The viewer's keys are read by their presses as well as held, so that a tap
// between two frames is not lost.
bool Pressed(int key) { return TakeKeyPresses(key) > 0; }

// True once there is nothing more to step: the run's last curtain has run,
// or the recording has no frames left (a run that went elsewhere on another
// stage file).
bool ReplayOver(const ReplayScene& v) { return RunOver(v.run) || v.next >= v.recording.frames.size(); }

// The end shows from the frame after the run's last, which is shown as the
// run showed it.
bool AtEnd(const ReplayScene& v) { return !v.stepped && ReplayOver(v); }

// The label of the top left corner.
const char* LabelOf(const ReplayScene& v)
{
    if (v.paused) return "REPLAY  PAUSE";
    if (AtEnd(v)) return "REPLAY  END";
    if (v.speed == 2) return "REPLAY  x2";
    if (v.speed == 4) return "REPLAY  x4";
    return "REPLAY";
}

// The run's time as the table took it, once the goal's curtain has run in
// the viewer too; nothing for a run that never got there.
bool EndTime(const ReplayScene& v, TimeText* time)
{
    if (!AtEnd(v) || v.run.phase != RUN_CLEARED) return false;
    *time = FormatRunTime(v.recording.timeMs);
    return true;
}

void DrawLabels(const ReplayScene& v)
{
    SetFont(24, 48, "IMPACT");
    PrintOutlined(backBuffer, 24, 12, 0x303030, 0xF0F0F0, "%s", LabelOf(v));
    // Small and grey at the bottom, where the run's own pictures show nothing
    // the viewer needs.
    SetFont(10, 20, "IMPACT");
    PrintOutlined(backBuffer, 24, 690, 0x303030, 0xC8C8C8, "%s", VIEWER_KEYS);
    TimeText time;
    if (EndTime(v, &time)) {
        // In the results screen's lettering, over the goal's wipe.
        SetFont(32, 64, "IMPACT");
        PrintOutlined(backBuffer, 585, 222, 0x649B64, 0xC8FFC8, "MAP%d", v.recording.stage);
        SetFont(64, 128, "IMPACT");
        PrintOutlined(backBuffer, 486, 290, 0x9B649B, 0xFFC8FF, "%s", time.clock);
        SetFont(32, 64, "IMPACT");
        PrintOutlined(backBuffer, 732, 344, 0x9B649B, 0xFFC8FF, "%s", time.fraction);
        SetFont(16, 32, "IMPACT");
        PrintOutlined(backBuffer, 587, 450, 0x303030, 0xF0F0F0, "ESC  LEAVE");
    }
    ReleaseFont();
}

// The labels as the trace names them.
std::string LabelFields(const ReplayScene& v)
{
    std::string fields = std::string("\"label\":\"") + LabelOf(v) + "\",\"keys\":\"" + VIEWER_KEYS + "\"";
    TimeText time;
    if (EndTime(v, &time)) fields += std::string(",\"time\":\"") + time.clock + time.fraction + "\"";
    return fields;
}

}  // namespace

SceneChange EnterReplay(ReplayScene& v, FrameClock& clock)
{
    std::string why;
    if (!ReadRecordingFile(v.path.c_str(), &v.recording, &why)) {
        std::string text = std::string(Said(PHRASE_CANNOT_REPLAY)) + v.path + "\n" + why;
        PlatformMessageBox(text.c_str(), Said(PHRASE_ERROR_CAPTION), PLATFORM_BOX_OK_ERROR);
        return EndScenes();
    }
    // A custom stage's run is shown on the pack's stage its hash names,
    // wherever that stands in the pack given with --stages.
    const StagePack* pack = PackInPlay();
    if (v.recording.custom && pack && PackStageWithHash(*pack, v.recording.stageHash))
        v.recording.stage = PackStageWithHash(*pack, v.recording.stageHash);
    LoadStage(v.recording.stage);
    if (StageHash() != v.recording.stageHash)
        fprintf(stderr, "Prismveldt: %s was played on another file of stage %d; it may not replay as it was\n",
                v.path.c_str(), v.recording.stage);
    StartRecordedRun(v.recording, &v.run);
    // Presses from before the viewer are not its own.
    for (int key : {int(VK_SPACE), int(VK_ESCAPE), int('1'), int('2'), int('4')}) TakeKeyPresses(key);
    clock.frameStart = GameTimeMs();
    SetMouseCursor(0);
    DrawRunFrame(v.frame);  // until the first frame: the stage as it starts
    return Stay();
}

void StepReplay(ReplayScene& v, const FrameClock&, FrameEnd* end)
{
    // Each press of Space turns the pause over once; a key held since the
    // frame before was counted when it went down.
    if (TakeKeyPresses(VK_SPACE) % 2 == 1) v.paused = !v.paused;
    for (int key : {1, 2, 4})
        if (Pressed('0' + key) || IsKeyDown('0' + key)) v.speed = key;
    if (Pressed(VK_ESCAPE) || IsKeyDown(VK_ESCAPE)) {
        v.leaving = true;
        end->kind = FRAME_SILENT;
        return;
    }

    // Several recorded frames to one shown at higher speeds; the last is
    // drawn. Frames are drawn exactly as the run showed them.
    v.stepped = false;
    for (int step = 0; !v.paused && step < v.speed && !ReplayOver(v); step++) {
        // Behind a death's curtain the stage is loaded again, as in play:
        // after the curtain's last frame has been drawn for good.
        if (v.reloadStage) LoadStage(v.recording.stage);
        v.reloadStage = false;
        const RecordedFrame& f = v.recording.frames[v.next++];
        RunInput in;
        in.frameStart = f.clockMs;
        in.mouseX = f.mouseX;
        in.mouseY = f.mouseY;
        in.buttons = f.buttons;
        StepRun(v.run, in, &v.frame);
        v.stepped = true;
        if (v.frame.event == RUN_EVENT_RESPAWNED) v.reloadStage = true;
    }
    // The frame is drawn afresh every time, so that no label of a frame
    // before shows through the next.
    DrawRunFrame(v.frame);
    DrawLabels(v);
    *end = FrameEnd{FRAME_SHOWN, "replay", SCENE_PLAYING, v.recording.stage,
                    PlatformTracing() ? LabelFields(v) : ""};
}

SceneChange AfterReplayFrame(ReplayScene& v, FrameClock&) { return v.leaving ? EndScenes() : Stay(); }
