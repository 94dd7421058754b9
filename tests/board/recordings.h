// Real recordings for the board's tests: the committed whole-game replay
// (tests/replays/fullgame.txt) played once by the headless harness in a
// fresh game folder, which keeps each stage's run beside its score file as
// txt/stageN-rank1.replay; the four files' text, stage 1 first.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <fstream>
#include <vector>

#include "game/recording.h"
#include "tests/harness_run.h"

namespace board_test {

namespace fs = std::filesystem;

// Plays the replay the first time it is called (a few seconds); empty when the
// harness or the game data is not built, or a stage's recording is missing.
inline const std::vector<std::string>& StageRecordings()
{
    static std::vector<std::string> texts;
    static bool tried = false;
    if (tried) return texts;
    tried = true;
    if (!harness::HarnessBuilt()) return texts;
    // Kept in the build folder for the harness as built now (its size and
    // time name the folder), so each test program plays the replay once.
    struct stat built;
    if (stat(harness::HARNESS.c_str(), &built) != 0) return texts;
    std::string kept = std::string(BUILD_DIR) + "/board-recordings/" + std::to_string(built.st_size) + "-" +
                       std::to_string(built.st_mtim.tv_sec) + "." + std::to_string(built.st_mtim.tv_nsec);
    std::vector<std::string> cached;
    for (int n = 1; n <= 4; n++) {
        std::string text = harness::ReadText(kept + "/stage" + std::to_string(n) + ".replay");
        if (!text.empty()) cached.push_back(text);
    }
    if (cached.size() == 4) return texts = cached;
    char pattern[] = "/tmp/prismveldt-board-rec-XXXXXX";
    if (!mkdtemp(pattern)) return texts;
    std::string folder = pattern;
    const std::string data = harness::DATA;
    fs::create_directory_symlink(data + "/bmp", folder + "/bmp");
    fs::create_directory_symlink(data + "/se", folder + "/se");
    if (fs::exists(data + "/fonts")) fs::create_directory_symlink(data + "/fonts", folder + "/fonts");
    fs::create_directory(folder + "/txt");
    for (int n = 1; n <= 4; n++) {
        std::string name = "/txt/dw_stage" + std::to_string(n) + ".txt";
        fs::copy_file(data + name, folder + name);
    }
    std::string script = harness::ReadText(std::string(SOURCE_DIR) + "/tests/replays/fullgame.txt");
    harness::RunGame(folder, script, 40000);
    std::vector<std::string> found;
    for (int n = 1; n <= 4; n++) {
        std::string text = harness::ReadText(folder + "/txt/stage" + std::to_string(n) + "-rank1.replay");
        if (text.empty()) break;
        found.push_back(text);
    }
    fs::remove_all(folder);
    if (found.size() != 4) return texts;
    texts = found;
    // Written beside and renamed into place, so that a test program started
    // meanwhile never reads half a file.
    std::error_code error;
    fs::remove_all(std::string(BUILD_DIR) + "/board-recordings", error);
    fs::create_directories(kept, error);
    for (int n = 1; n <= 4; n++) {
        std::string name = kept + "/stage" + std::to_string(n) + ".replay";
        std::ofstream(name + ".new", std::ios::binary) << texts[n - 1];
        fs::rename(name + ".new", name, error);
    }
    return texts;
}

// Another true run made from one: the pointer's height in the first frame
// that does not fire counts for nothing in the rules, so every k gives a run
// of its own inputs that clears the stage as the original does.
inline std::string TrueVariant(const std::string& text, int k)
{
    Recording r;
    ParseRecording(text.data(), text.size(), &r, nullptr);
    for (RecordedFrame& f : r.frames)
        if (!f.curtain && f.buttons == 0) {
            f.mouseY = 1000 + k;
            break;
        }
    return FormatRecording(r);
}

}  // namespace board_test
