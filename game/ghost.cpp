// The ghost's track, worked out once per stage from the best run's recording.
#include "game/ghost.h"

#include <cstdio>
#include <string>
#include <vector>

#include "game/assets.h"
#include "game/run_step.h"
#include "game/recorded_run.h"
#include "game/recording.h"
#include "game/replay_files.h"
#include "game/scene_frame.h"
#include "game/score.h"

void LoadGhost(const char* scorePath, int stage, GhostTrack* ghost)
{
    std::vector<GhostSample>& track = ghost->samples;
    track.clear();
    track.shrink_to_fit();
    if (scorePath == nullptr) return;
    // The run of the table's first entry, and only that: a recording that
    // pairs with no entry is no one's best run. Its size is bounded by what a
    // run of that time can hold.
    ScoreTable table;
    if (ReadScoreFile(scorePath, &table) != SCORE_FILE_READ) return;
    Recording recording;
    std::string why;
    if (!FindKeptRecording(scorePath, table, stage, 1, &recording, &why)) {
        if (!why.empty())
            fprintf(stderr, "Prismveldt: the best run of stage %d cannot be raced (%s); no ghost\n",
                    stage, why.c_str());
        return;
    }
    if (recording.stageHash != StageHash()) return;  // played on another stage file
    TrackRecordedRun(recording, ghost);
}

void TrackRecordedRun(const Recording& recording, GhostTrack* ghost)
{
    std::vector<GhostSample>& track = ghost->samples;
    track.clear();
    track.reserve((size_t)recording.playFrames);
    PlayRecordedRun(recording, [&](const RecordedFrame& f, const Run& run, const RunFrame& frame) {
        track.push_back({f.clockMs, run.play.camX, run.play.camY, frame.play.character, frame.play.facingLeft});
    });
}

void PlaceGhost(const GhostTrack& ghost, uint32_t clockMs, float camX, float camY, PlayView* view)
{
    const std::vector<GhostSample>& track = ghost.samples;
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
