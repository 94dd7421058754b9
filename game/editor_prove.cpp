// The editor's proof: the quick checks, the solver in slices, the recording.
#include "game/editor_prove.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>

#include "game/motion.h"
#include "game/play_state.h"
#include "game/run_step.h"
#include "game/stage.h"
#include "game/verify.h"
#include "platform/platform.h"
#include "shell/shell.h"
#include "tools/solve/field.h"
#include "tools/solve/search.h"
#include "tools/solve/sim.h"

namespace {

// The character's centre as every run begins.
constexpr int START_X = (int)START_CAM_X + PLAYER_SCREEN_X, START_Y = (int)START_CAM_Y + PLAYER_SCREEN_Y;

bool Open(int code) { return !IsSolidTile(code) && !IsDeadlyTile(code); }

}  // namespace

std::string ProofProblem()
{
    if (!solve::BodyFits(START_X, START_Y, 0)) return "the start lies in a solid tile";
    if (IsDeadlyTile(TileAt(START_X + 2, START_Y)) || IsDeadlyTile(TileAt(START_X - 2, START_Y)))
        return "the start lies in a deadly tile";
    bool goal = false;
    for (int r = 0; r < MAP_ROWS; r++)
        for (int c = 0; c < MAP_COLS; c++) goal = goal || tileMap[r][c] == TILE_GOAL;
    if (!goal) return "there is no goal tile";
    std::vector<char> seen(MAP_CELLS, 0);
    std::deque<int> next{START_Y / TILE_SIZE * MAP_COLS + START_X / TILE_SIZE};
    seen[next.front()] = 1;
    while (!next.empty()) {
        int cell = next.front();
        next.pop_front();
        int r = cell / MAP_COLS, c = cell % MAP_COLS;
        if (tileMap[r][c] == TILE_GOAL) return "";
        const int DR[4] = {1, -1, 0, 0}, DC[4] = {0, 0, 1, -1};
        for (int k = 0; k < 4; k++) {
            int nr = r + DR[k], nc = c + DC[k];
            if (nr < 0 || nc < 0 || nr >= MAP_ROWS || nc >= MAP_COLS) continue;
            int n = nr * MAP_COLS + nc;
            if (seen[n] || !Open(tileMap[nr][nc])) continue;
            seen[n] = 1;
            next.push_back(n);
        }
    }
    return "every goal is walled off from the start";
}

void StartProof(Proof* p, const std::vector<int>& cells)
{
    *p = Proof{};
    p->cells = cells;
    memcpy(tileMap, cells.data(), sizeof tileMap);
    std::string problem = ProofProblem();
    if (!problem.empty()) {
        p->status = PROOF_REFUSED;
        p->text = "not clearable: " + problem;
        return;
    }
    p->field = std::make_shared<solve::Field>(solve::MakeField());
    p->search = std::make_shared<solve::SearchRun>();
    solve::Moment start;
    BeginRun(start.run, PlayState{});
    solve::StartSearch(*p->search, *p->field, start, solve::SearchSettings{});
    for (int r = 0; r < MAP_ROWS; r++)
        for (int c = 0; c < MAP_COLS; c++)
            if (tileMap[r][c] == TILE_GOAL) {
                p->goalX.push_back(c * TILE_SIZE + TILE_SIZE / 2);
                p->goalY.push_back(r * TILE_SIZE + TILE_SIZE / 2);
            }
    p->status = PROOF_SEARCHING;
    p->startedMs = PlatformTimeMs();
    p->text = "proving...";
}

std::string ParText(uint32_t ms)
{
    char text[32];
    snprintf(text, sizeof text, "%u:%02u.%u", ms / 60000, ms / 1000 % 60, ms % 1000 / 100);
    return text;
}

Recording ProofRecording(const std::vector<short>& mouseX, const std::vector<short>& mouseY,
                         const std::vector<bool>& firing)
{
    // A custom stage's run: it verifies against the stage file it names by
    // its hash (--verify NAME.proof.replay --stage NAME.txt).
    Recording r;
    r.stage = 1;
    r.custom = true;
    r.stageHash = StageHash();
    Run run;
    StartRecordedRun(r, &run);
    RunFrame frame;
    uint32_t clock = 0;
    for (size_t i = 0; i < mouseX.size() && !RunOver(run); i++) {
        clock += FRAME_PERIOD_MS;
        RunInput in;
        in.frameStart = clock;
        in.mouseX = mouseX[i];
        in.mouseY = mouseY[i];
        in.buttons = firing[i] ? 1 : 0;
        bool curtain = RunInCurtain(run);
        StepRun(run, in, &frame);
        if (curtain) r.frames.push_back({true, clock, 0, 0, 0, 0});
        else {
            r.frames.push_back({false, clock, in.mouseX, in.mouseY, in.buttons, 0});
            r.playFrames++;
        }
    }
    // The goal's curtain to its end: its clock is the run's time.
    while (!RunOver(run) && r.frames.size() < RECORDING_MAX_FRAMES) {
        clock += FRAME_PERIOD_MS;
        RunInput in;
        in.frameStart = clock;
        StepRun(run, in, &frame);
        r.frames.push_back({true, clock, 0, 0, 0, 0});
    }
    r.timeMs = clock;
    return r;
}

void StepProof(Proof* p, int slices, uint32_t budgetMs)
{
    if (p->status != PROOF_SEARCHING) return;
    solve::SearchRun& s = *p->search;
    uint32_t from = PlatformTimeMs();
    for (int i = 0; i < slices && s.status == solve::SEARCH_GOING; i++) {
        solve::StepSearch(s, 1);
        if (!s.children.empty()) {
            const solve::Moment& m = *s.children.back().moment;
            double x = m.run.play.camX + PLAYER_SCREEN_X, y = m.run.play.camY + PLAYER_SCREEN_Y;
            for (size_t g = 0; g < p->goalX.size(); g++) {
                double d = std::hypot(x - p->goalX[g], y - p->goalY[g]);
                if (d < p->nearest && s.bestScore >= 1e18) {
                    p->nearest = d;
                    p->marked = true;
                    p->markX = (int)x;
                    p->markY = (int)y;
                }
            }
        }
        if (PlatformTimeMs() - from >= budgetMs) break;
    }
    p->frame = s.frame;
    if (s.bestScore < 1e18) {
        p->marked = true;
        p->markX = (int)s.bestX;
        p->markY = (int)s.bestY;
    }
    uint32_t seconds = (PlatformTimeMs() - p->startedMs) / 1000;
    if (s.status == solve::SEARCH_GOING) {
        char text[96];
        snprintf(text, sizeof text, "proving... %d play frames deep, %u s", s.frame, seconds);
        p->text = text;
        return;
    }
    if (s.status == solve::SEARCH_FOUND) {
        std::vector<short> x, y;
        std::vector<bool> firing;
        for (const solve::Input& in : s.inputs) {
            x.push_back(in.mouseX);
            y.push_back(in.mouseY);
            firing.push_back(in.firing);
        }
        memcpy(tileMap, p->cells.data(), sizeof tileMap);
        p->recording = ProofRecording(x, y, firing);
        std::string why;
        if (VerifyRecordingOnStage(p->recording, &why)) {
            p->status = PROOF_CLEARABLE;
            p->text = "clearable, par " + ParText(p->recording.timeMs);
            p->marked = false;
        } else {
            // The solver's own model and the game disagree: no proof.
            p->status = PROOF_NO_ROUTE;
            p->text = "the run found does not verify (" + why + ")";
        }
    } else {
        p->status = PROOF_NO_ROUTE;
        p->text = "no route found in " + std::to_string(seconds) + " s";
    }
    p->field.reset();
    p->search.reset();
}
