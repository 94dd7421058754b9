// Fuzz target: any bytes as a recording of a run. The reader refuses with a
// short reason or reads a recording whose text reads back the same; one of
// the game's stages (from data/txt) is played through the verifier, which
// accepts only a run whose clocks never go back and whose time is its goal
// curtain's last clock.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include "game/recording.h"
#include "game/run_step.h"
#include "game/stage.h"
#include "game/verify.h"
#include "gfx/whole_file.h"

namespace {

// The shipped stages' grids, read once.
bool StageGrid(int stage, int cells[MAP_CELLS])
{
    static int grids[4][MAP_CELLS];
    static int state[4] = {};  // 0 unread, 1 read, -1 missing
    int& known = state[stage - 1];
    if (known == 0) {
        std::string path = std::string(SOURCE_DIR) + "/data/txt/dw_stage" + std::to_string(stage) + ".txt";
        std::string text;
        ReadWholeFile(path.c_str(), 4u << 20, &text);
        known = ParseStageNumbers(text.data(), text.size(), grids[stage - 1]) == MAP_CELLS ? 1 : -1;
    }
    if (known < 0) return false;
    memcpy(cells, grids[stage - 1], sizeof grids[0]);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Recording recording;
    std::string why;
    if (!ParseRecording(reinterpret_cast<const char*>(data), size, &recording, &why)) {
        if (why.empty() || why.size() > 200) abort();
        return 0;
    }
    if (recording.frames.size() > RECORDING_MAX_FRAMES || recording.stage < 1 || recording.stage > 4)
        abort();
    std::string text = FormatRecording(recording);
    Recording again;
    if (!ParseRecording(text.data(), text.size(), &again, &why) || FormatRecording(again) != text) abort();

    static int cells[MAP_CELLS];
    if (!StageGrid(recording.stage, cells)) return 0;
    memcpy(tileMap, cells, sizeof cells);
    if (!VerifyRecordingOnStage(recording, &why)) {
        if (why.empty()) abort();
        return 0;
    }
    // What the verifier accepted holds a true clock and ends with the goal's
    // 25-frame curtain.
    const auto& f = recording.frames;
    const size_t clearCurtain = 25;
    if (f.size() < clearCurtain || f.back().clockMs != recording.timeMs) abort();
    for (size_t i = 0; i < f.size(); i++) {
        int64_t before = i == 0 ? 0 : (int64_t)f[i - 1].clockMs;
        if ((int64_t)f[i].clockMs - before < 16) abort();
        if (i + clearCurtain >= f.size() && !f[i].curtain) abort();
    }
    return 0;
}
