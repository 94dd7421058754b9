// The ghost's track, worked out once per stage from the best run's recording.
#include "game/ghost.h"

#include <vector>

#include "game/assets.h"
#include "game/play_step.h"
#include "game/recording.h"
#include "game/replay_files.h"
#include "game/scenes.h"

namespace {

struct GhostSample {
    uint32_t clockMs;
    float camX, camY;
    Surface picture;
    int facingLeft;
};
std::vector<GhostSample> track;  // one sample per play frame of the run

}  // namespace

void LoadGhost(const char* scorePath, int stage)
{
    track.clear();
    if (scorePath == nullptr) return;
    static Recording recording;
    if (!ReadRecordingFile(RecordingPath(scorePath, stage, 1).c_str(), &recording, nullptr)) return;
    if (recording.stage != stage || recording.stageHash != StageHash()) return;
    static PlayState s;
    static PlayView view;
    StartRecordedRun(recording, &s);
    int curtainLeft = 0;
    for (const RecordedFrame& f : recording.frames) {
        if (f.curtain) {
            // Behind a death's curtain the run starts again from its respawn point.
            if (curtainLeft > 0 && --curtainLeft == 0) {
                RespawnAfterDeath(s);
                StartPlayAttempt(s);
            }
            continue;
        }
        s.frameStart = f.clockMs;
        s.runStart = 0;
        int outcome = StepPlay(s, f.mouseX, f.mouseY, f.buttons, &view);
        track.push_back({f.clockMs, s.camX, s.camY, view.character, view.facingLeft});
        if (outcome == SCENE_DIED) curtainLeft = DEATH_CURTAIN_FRAMES;
        if (outcome == SCENE_GOAL) break;
    }
}

void PlaceGhost(uint32_t clockMs, float camX, float camY, PlayView* view)
{
    view->ghost = false;
    if (track.empty()) return;
    // The last sample at or before the clock; before the run's first frame, its start.
    size_t low = 0, high = track.size();
    while (high - low > 1) {
        size_t mid = (low + high) / 2;
        if (track[mid].clockMs <= clockMs) low = mid; else high = mid;
    }
    const GhostSample& g = track[low];
    view->ghost = true;
    view->ghostX = 600 + (int)g.camX - (int)camX;
    view->ghostY = 296 + (int)g.camY - (int)camY;
    view->ghostPicture = g.picture;
    view->ghostFacingLeft = g.facingLeft;
}
