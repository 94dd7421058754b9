// Shared by the bad-input tests: game folders of a test's own (the built
// pictures and sounds linked in, stage and score files written by the test),
// played through the real game (tests/harness_run.h).
#pragma once
#include <gtest/gtest.h>

#include "tests/harness_run.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace badinput {

namespace fs = std::filesystem;

using namespace harness;

// A game folder in /tmp: bmp/ and se/ link to the built ones unless the test
// asks for copies it can damage, fonts/ links, txt/ holds the built stages and
// a score file, all real files the test may overwrite.
class GameFolder {
public:
    explicit GameFolder(bool copyPictures = false, bool copySounds = false)
    {
        char pattern[] = "/tmp/prismveldt-bad-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        path = pattern;
        Place("bmp", copyPictures);
        Place("se", copySounds);
        if (fs::exists(DATA + "/fonts")) fs::create_directory_symlink(DATA + "/fonts", path + "/fonts");
        fs::create_directory(path + "/txt");
        for (int stage = 1; stage <= 4; stage++) {
            std::string name = "/txt/dw_stage" + std::to_string(stage) + ".txt";
            fs::copy_file(DATA + name, path + name);
        }
        std::string scores;
        for (int entry = 0; entry < 20; entry++) scores += " " + std::to_string(300000 + entry * 1000);
        std::ofstream(path + "/txt/scoretime.txt") << scores;
    }
    ~GameFolder()
    {
        if (!path.empty()) fs::remove_all(path);
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    void Write(const std::string& relative, const std::string& bytes)
    {
        fs::remove(path + "/" + relative);
        std::ofstream(path + "/" + relative, std::ios::binary) << bytes;
    }

    // Runs the game here with the script; the trace is read back.
    GameRun Play(const std::string& script, long long maxFrames, const std::string& env = "",
                 const std::string& options = "") const
    {
        return RunGame(path, script, maxFrames, env, options);
    }

    std::string path;

private:
    void Place(const std::string& name, bool copy)
    {
        if (copy) fs::copy(DATA + "/" + name, path + "/" + name, fs::copy_options::recursive);
        else fs::create_directory_symlink(DATA + "/" + name, path + "/" + name);
    }
};

// A stage file of 40 rows of 200 codes made by cell(row, col).
inline std::string StageText(const std::function<long long(int, int)>& cell)
{
    std::string text;
    for (int row = 0; row < 40; row++) {
        for (int col = 0; col < 200; col++) {
            text += std::to_string(cell(row, col));
            text += col == 199 ? '\n' : ' ';
        }
    }
    return text;
}

inline std::string Le16(int v) { return std::string{(char)(v & 0xFF), (char)((v >> 8) & 0xFF)}; }
inline std::string Le32(int64_t v)
{
    return Le16((int)(v & 0xFFFF)) + Le16((int)((v >> 16) & 0xFFFF));
}

// A .bmp with an info header; the fields are the caller's, true or not.
inline std::string Bmp(int64_t width, int64_t height, int bpp, int compression, const std::string& palette,
                const std::string& pixels, int64_t colorsUsed = 0, int64_t offset = -1,
                int64_t fileSize = -1)
{
    std::string info = Le32(40) + Le32(width) + Le32(height) + Le16(1) + Le16(bpp) +
                       Le32(compression) + Le32((int64_t)pixels.size()) + Le32(2835) + Le32(2835) +
                       Le32(colorsUsed) + Le32(0);
    int64_t start = 14 + (int64_t)info.size() + (int64_t)palette.size();
    if (offset < 0) offset = start;
    if (fileSize < 0) fileSize = start + (int64_t)pixels.size();
    return "BM" + Le32(fileSize) + Le32(0) + Le32(offset) + info + palette + pixels;
}

// One red pixel.
inline const std::string TINY_BMP = Bmp(1, 1, 24, 0, "", std::string("\0\0\xff\0", 4));

// Every picture under the built bmp/ folder, as the game names it.
inline std::vector<std::string> BuiltPictures()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(DATA + "/bmp"))
        if (entry.is_regular_file() && entry.path().extension() == ".bmp")
            names.push_back("./bmp/" + fs::relative(entry.path(), DATA + "/bmp").string());
    std::sort(names.begin(), names.end());
    return names;
}

// A folder whose every picture is one pixel: start-up takes no time, and the
// game has to draw from pictures far smaller than the parts it copies.
struct TinyPictureFolder : GameFolder {
    TinyPictureFolder()
    {
        fs::remove(path + "/bmp");
        for (const std::string& name : BuiltPictures()) {
            fs::create_directories(fs::path(path + "/" + name).parent_path());
            Write(name, TINY_BMP);
        }
    }
};

// START clicked on frame 3 (the title's fourth frame); the countdown ends and
// play starts on frame PLAY_START.
constexpr long long PLAY_START = 279;
inline const std::string START_GAME =
    "0 mouse 300 580\n"
    "3 down lmb\n";

// The start of a shell script that plays the desktop game ($GAME) under a
// private X server: the game started, its full-screen question answered No
// with a key. The game speaks Japanese there, as the tests read its boxes;
// its process is $game.
inline const std::string START_DESKTOP_GAME_SH = R"SH(
LC_ALL= LC_MESSAGES= LANG=ja_JP.UTF-8 "$GAME" >game.out 2>game.err &
game=$!
w=""; i=0
while [ -z "$w" ] && [ $i -lt 150 ]; do
  sleep 0.1; i=$((i+1))
  for c in $(xdotool search --name . 2>/dev/null); do
    [ "$(xdotool getwindowname "$c" 2>/dev/null)" = "確認" ] && w=$c
  done
done
[ -n "$w" ] || { echo "no question"; kill $game; exit 3; }
xdotool windowfocus --sync "$w" 2>/dev/null; xdotool key n 2>/dev/null
)SH";

// The dialogs of the game, as the trace shows them.
inline const std::string CLOSE_TEXT = "本当に終了しますか？";
inline const std::string CLOSE_CAPTION = "終了確認です";

// The stage 1 replay with the whole flight started `late` frames later: the
// character stands on its start with the button let go, then flies as
// before, so the run is as true and about `late` frames slower.
inline std::string Late(const std::string& script, int late)
{
    std::string out;
    std::istringstream in(script);
    bool flying = false;
    for (std::string line; std::getline(in, line);) {
        if (line == "# stage 1") {
            flying = true;
            out += line + "\n276 up lmb\n" + std::to_string(276 + late) + " down lmb\n";
            continue;
        }
        long long frame;
        char rest[128];
        if (flying && sscanf(line.c_str(), "%lld %127[^\n]", &frame, rest) == 2)
            line = std::to_string(frame + late) + " " + rest;
        out += line + "\n";
    }
    return out;
}

}  // namespace badinput
