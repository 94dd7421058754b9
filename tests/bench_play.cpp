// Play speed: the work of one play frame (its rules and its drawing, no pacing wait)
// over a long autopiloted run through a stage with bees, spikes and the beam,
// reported as the median and the 99th percentile; and the stage load at a
// death, at the next stage, and from scratch.
//
// Needs the game's data folder: $PRISMVELDT_DATA, else build/data or
// build-play/data next to the sources.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <time.h>
#include <vector>

#include "game/assets.h"
#include "game/bees.h"
#include "game/gun.h"
#include "game/motion.h"
#include "game/run_step.h"
#include "game/stage.h"
#include "gfx/rotate.h"
#include "input/input.h"
#include "gfx/screen.h"
#include "game/scenes.h"
#include "shell/shell.h"

namespace fs = std::filesystem;

namespace {

bool ready = false;

// This thread's processor time: on a busy machine the wall clock also counts
// the time other programs had the processor.
double ThreadCpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Loads the start-up pictures once, from the data folder.
bool PrepareGame()
{
    if (ready) return true;
    std::vector<fs::path> candidates;
    if (const char* env = std::getenv("PRISMVELDT_DATA")) candidates.push_back(env);
    fs::path source = fs::path(__FILE__).parent_path().parent_path();
    candidates.push_back(source / "build" / "data");
    candidates.push_back(source / "build-play" / "data");
    for (const fs::path& dir : candidates) {
        if (!fs::exists(dir / "bmp" / "stage" / "haikei.bmp") || !fs::exists(dir / "txt")) continue;
        fs::current_path(dir);
        displayMode = DISPLAY_WINDOWED;
        screenWidth = 1280;
        screenHeight = 720;
        InstallShellHooks();
        FillTrigTables();
        LoadAssets();
        ready = true;
        return true;
    }
    return false;
}

// Flies toward the next waypoint, shooting any awake bee that comes close.
void Steer(const PlayState& s, float tx, float ty, int* mouseX, int* mouseY, int* buttons)
{
    *buttons = MOUSE_LEFT;
    for (int i = 0; i < s.beeCount; ++i) {
        if (s.bees[i].state != BEE_ACTIVE) continue;
        float bx = s.bees[i].x + 32 - s.camX, by = s.bees[i].y + 32 - s.camY;
        if (std::hypot(bx - 640, by - 350) < 420) {
            *mouseX = (int)bx;
            *mouseY = (int)by;
            return;
        }
    }
    float dx = tx - (s.camX + 640), dy = ty - (s.camY + 360);
    float d = std::hypot(dx, dy);
    *mouseX = 640 - (int)(dx / d * 200);
    *mouseY = 360 - (int)(dy / d * 200);
}


void BM_PlayFrame(benchmark::State& state)
{
    if (!PrepareGame()) {
        state.SkipWithError("no data folder");
        return;
    }
    // The tunnel stage: bees in the roof, spikes, checkpoints, a long beam.
    const float route[][2] = {{674, 2000}, {1100, 1860}, {12000, 1860}, {12320, 2040}};
    static Run run;
    static RunFrame frame;
    LoadStage(4);
    BeginRun(run, PlayState());
    int mouseX = 640, mouseY = 360, buttons = 0;
    size_t next = 0;
    int restFrames = 0;
    uint32_t clock = 0;
    std::vector<double> ms, cpu;
    ms.reserve(state.max_iterations);
    cpu.reserve(state.max_iterations);
    for (auto _ : state) {
        const PlayState& s = run.play;
        // Every 200th frame the player lets go for a while: falling, drifting, idle.
        if (restFrames > 0) {
            --restFrames;
            buttons = 0;
        } else {
            if (std::hypot(route[next][0] - (s.camX + 640), route[next][1] - (s.camY + 360)) < 24 && next < 3)
                ++next;
            Steer(s, route[next][0], route[next][1], &mouseX, &mouseY, &buttons);
            if (ms.size() % 200 == 199) restFrames = 40;
        }
        RunInput in;
        in.frameStart = clock += 16;
        in.mouseX = mouseX;
        in.mouseY = mouseY;
        in.buttons = buttons;
        double cpuStart = ThreadCpuMs();
        auto start = std::chrono::steady_clock::now();
        StepRun(run, in, &frame);
        DrawRunFrame(frame);
        auto end = std::chrono::steady_clock::now();
        cpu.push_back(ThreadCpuMs() - cpuStart);
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());

        // As the play scene does: the stage again behind a death's curtain, a
        // new run after the goal's.
        if (frame.event == RUN_EVENT_RESPAWNED) {
            LoadStage(4);
            next = 1;
        } else if (RunOver(run)) {
            BeginRun(run, PlayState());
            next = 0;
        }
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    state.counters["p50_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[ms.size() * 99 / 100];
    state.counters["cpu_p50_ms"] = cpu[cpu.size() / 2];
    state.counters["cpu_p99_ms"] = cpu[cpu.size() * 99 / 100];
}
BENCHMARK(BM_PlayFrame)->Iterations(6000)->Unit(benchmark::kMillisecond);

// A death: the same stage again, so the picture needs no redrawing.
void BM_LoadStageAfterDeath(benchmark::State& state)
{
    if (!PrepareGame()) {
        state.SkipWithError("no data folder");
        return;
    }
    LoadStage(4);
    for (auto _ : state) LoadStage(4);
}
BENCHMARK(BM_LoadStageAfterDeath)->Unit(benchmark::kMillisecond);

// The next stage: every cell that differs is redrawn.
void BM_LoadStageNextStage(benchmark::State& state)
{
    if (!PrepareGame()) {
        state.SkipWithError("no data folder");
        return;
    }
    int stage = 1;
    LoadStage(stage);
    for (auto _ : state) {
        stage = stage % 4 + 1;
        LoadStage(stage);
    }
}
BENCHMARK(BM_LoadStageNextStage)->Unit(benchmark::kMillisecond);

// The whole picture redrawn (what the first load does after creating it).
void BM_LoadStageFromScratch(benchmark::State& state)
{
    if (!PrepareGame()) {
        state.SkipWithError("no data folder");
        return;
    }
    for (auto _ : state) {
        InvalidateLevel();
        LoadStage(2);
    }
}
BENCHMARK(BM_LoadStageFromScratch)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The very first load: nothing rendered yet.
void BM_LoadStageFirstEver(benchmark::State& state)
{
    if (!PrepareGame()) {
        state.SkipWithError("no data folder");
        return;
    }
    for (auto _ : state) {
        DeleteLevel();
        LoadStage(1);
    }
}
BENCHMARK(BM_LoadStageFirstEver)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
