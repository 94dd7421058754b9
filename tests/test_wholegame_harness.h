// The whole-game and title tests' view of a run: a game folder of their own
// built from build/data, played through tests/harness_run.h, and the trace
// read as scenes and sound and music calls.
#pragma once
#include <gtest/gtest.h>

#include "tests/harness_run.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using namespace harness;
typedef Event TraceEvent;

// A game folder of its own: the pictures and sounds of build/data linked in,
// the stage files linked, and a score file to play with.
class HarnessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (access(HARNESS.c_str(), X_OK) != 0 || !fs::exists(DATA + "/txt/dw_stage1.txt"))
            GTEST_SKIP() << "needs " << HARNESS << " and " << DATA << " (build everything first)";
        char pattern[] = "/tmp/prismveldt-game-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        fs::create_directory_symlink(DATA + "/bmp", folder + "/bmp");
        fs::create_directory_symlink(DATA + "/se", folder + "/se");
        if (fs::exists(DATA + "/fonts"))
            fs::create_directory_symlink(DATA + "/fonts", folder + "/fonts");
        fs::create_directory(folder + "/txt");
        for (int stage = 1; stage <= 4; stage++) {
            std::string name = "/txt/dw_stage" + std::to_string(stage) + ".txt";
            fs::create_symlink(DATA + name, folder + name);
        }
    }
    void TearDown() override
    {
        if (!folder.empty())
            fs::remove_all(folder);
    }

    void PutScores(const std::string& text)
    {
        std::ofstream(folder + "/txt/scoretime.txt", std::ios::binary) << text;
    }
    std::string Scores()
    {
        std::ifstream in(folder + "/txt/scoretime.txt", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    GameRun Play(const std::string& script, long long maxFrames)
    {
        return RunGame(folder, script, maxFrames);
    }

    std::string folder;
};

// The frames' scenes as runs: "title x1", "start-curtain x25", ...
struct SceneRun {
    std::string scene;
    int frames;
    long long first;  // frame number of its first frame
    int stageNo;      // of its first frame
};

inline std::vector<SceneRun> SceneRuns(const GameRun& run)
{
    std::vector<SceneRun> runs;
    for (const TraceEvent& e : run.events) {
        if (e.ev != "frame")
            continue;
        if (!runs.empty() && runs.back().scene == e.scene)
            runs.back().frames++;
        else
            runs.push_back({e.scene, 1, e.n, e.stageNo});
    }
    return runs;
}

// Sound and music calls as "music play ./se/tw044.mp3", "sound stop", ...
inline std::vector<std::string> AudioCalls(const GameRun& run)
{
    std::vector<std::string> calls;
    for (const TraceEvent& e : run.events) {
        if (e.ev == "sound" || e.ev == "music")
            calls.push_back(e.ev + " " + e.op + (e.path.empty() ? "" : " " + e.path));
    }
    return calls;
}

inline std::string Describe(const std::vector<SceneRun>& runs)
{
    std::string text;
    for (const SceneRun& r : runs)
        text += r.scene + " x" + std::to_string(r.frames) + " @" + std::to_string(r.first) + "\n";
    return text;
}

// The play lines of a committed script, from "# stage N" to its results,
// moved so that the first one falls on startFrame; *lastFrame (when given) is
// where the last one falls. Empty when the script has no such part.
inline std::string ShiftedPlayPart(const std::string& path, int stage, int startFrame, int* lastFrame = nullptr)
{
    std::ifstream file(path);
    std::string line, part;
    bool in = false, first = true;
    int shift = 0;
    while (std::getline(file, line)) {
        if (line == "# stage " + std::to_string(stage)) {
            in = true;
            continue;
        }
        if (!in) continue;
        if (line.rfind("# results", 0) == 0) break;
        std::istringstream fields(line);
        int frame;
        std::string rest;
        if (!(fields >> frame)) continue;
        std::getline(fields, rest);
        if (first) shift = startFrame - frame;
        first = false;
        if (lastFrame) *lastFrame = frame + shift;
        part += std::to_string(frame + shift) + rest + "\n";
    }
    return part;
}

const char* const TITLE_MUSIC = "music play ./se/tw044.mp3";
const char* const STAGE_MUSIC = "music play ./se/nv_24.mp3";
const char* const CLICK = "sound play ./se/se_tavelkorinsu_system24.wav";

}  // namespace
