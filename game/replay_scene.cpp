// The replay viewer: the recording's frames through the play frame's own
// rules and drawing, its clock as recorded.
#include "game/replay_scene.h"

#include <string>

#include "game/assets.h"
#include "game/frame.h"
#include "game/play_scene.h"
#include "game/play_step.h"
#include "game/recording.h"
#include "game/scenes.h"
#include "game/stage.h"
#include "game/stage_view.h"
#include "gfx/text.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace {

// What the viewer shows over the run: its speed, or that it is paused or over.
void DrawViewerCaption(const char* text)
{
    SetFont(24, 48, "IMPACT");
    PrintOutlined(backBuffer, 24, 12, 0x303030, 0xF0F0F0, "%s", text);
    ReleaseFont();
}

}  // namespace

void WatchRecording(const char* path)
{
    static Recording recording;
    std::string why;
    if (!ReadRecordingFile(path, &recording, &why)) {
        std::string text = std::string("再生できません:") + path + "\n" + why;
        PlatformMessageBox(text.c_str(), "エラー", PLATFORM_BOX_OK_ERROR);
        return;
    }
    stageNo = recording.stage;
    LoadStage();
    if (StageHash() != recording.stageHash)
        fprintf(stderr, "Prismveldt: %s was played on another file of stage %d; it may not replay as it was\n",
                path, recording.stage);

    static PlayState s;
    static PlayView view;
    StartRecordedRun(recording, &s);
    size_t next = 0;
    int curtainLeft = 0, curtainFrame = 0;
    bool clearing = false;  // the curtain after the goal, not after a death
    int speed = 1;
    bool paused = false, spaceWas = false;
    uint32_t frameStart = PlatformTimeMs();
    SetMouseCursor(0);
    DrawPlayFrame(view);  // until the first frame: the stage as it starts
    for (;;) {
        frameStart = WaitNextFrame(frameStart);
        bool space = IsKeyDown(VK_SPACE);
        if (space && !spaceWas) paused = !paused;
        spaceWas = space;
        for (int key : {1, 2, 4})
            if (IsKeyDown('0' + key)) speed = key;
        if (IsKeyDown(VK_ESCAPE)) return;

        // Several recorded frames to one shown at higher speeds; the last is
        // drawn. Frames are drawn exactly as the run showed them.
        bool advanced = false;
        for (int step = 0; !paused && step < speed && next < recording.frames.size(); step++) {
            const RecordedFrame& f = recording.frames[next++];
            advanced = true;
            s.frameStart = f.clockMs;
            if (f.curtain && curtainLeft > 0) {
                if (clearing) {
                    DrawClearCurtainFrame(s, curtainFrame++);
                } else {
                    DrawDeathCurtainFrame(s, curtainFrame++);
                    if (curtainFrame == DEATH_CURTAIN_FRAMES) {
                        LoadStage();
                        StartPlayAttempt(s);
                    }
                }
                curtainLeft--;
                continue;
            }
            s.runStart = 0;
            int outcome = StepPlay(s, f.mouseX, f.mouseY, f.buttons, &view);
            DrawPlayFrame(view);
            curtainFrame = 0;
            clearing = outcome == SCENE_GOAL;
            curtainLeft = outcome == SCENE_GOAL   ? CLEAR_CURTAIN_FRAMES
                          : outcome == SCENE_DIED ? DEATH_CURTAIN_FRAMES
                                                  : 0;
        }
        if (paused)
            DrawViewerCaption("PAUSE");
        else if (!advanced)
            DrawViewerCaption("END  ESC");  // after the run's last frame was shown
        else if (speed > 1)
            DrawViewerCaption(speed == 2 ? "x2" : "x4");
        FinishFrame("replay");
    }
}
