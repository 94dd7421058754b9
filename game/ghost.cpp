// The ghost's track, worked out once per stage from the best run's recording.
#include "game/ghost.h"

#include <cstdio>
#include <string>
#include <vector>

#include "game/assets.h"
#include "game/play_step.h"
#include "game/recording.h"
#include "game/replay_files.h"
#include "game/scenes.h"
#include "game/score.h"

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
    track.shrink_to_fit();
    if (scorePath == nullptr) return;
    // The run of the table's first entry, and only that: a recording that
    // pairs with no entry is no one's best run. Its size is bounded by what a
    // run of that time can hold.
    ScoreTable table;
    if (ReadScoreFile(scorePath, &table) != SCORE_FILE_READ) return;
    static Recording recording;
    std::string why;
    if (!FindKeptRecording(scorePath, table, stage, 1, &recording, &why)) {
        if (!why.empty())
            fprintf(stderr, "Prismveldt: the best run of stage %d cannot be raced (%s); no ghost\n",
                    stage, why.c_str());
        return;
    }
    if (recording.stageHash != StageHash()) return;  // played on another stage file
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
    recording = Recording();  // the track is all the ghost needs from now on
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
