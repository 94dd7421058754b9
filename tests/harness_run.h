// The one way the tests run the real game: the headless harness in a game
// folder, with a script, the trace read back line by line into events with
// the fields the tests look at, and the shots it took read back.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

namespace harness {

inline const std::string HARNESS = std::string(BUILD_DIR) + "/prismveldt-headless";
inline const std::string GAME = std::string(BUILD_DIR) + "/prismveldt";
inline const std::string DATA = std::string(BUILD_DIR) + "/data";

inline bool HarnessBuilt()
{
    return access(HARNESS.c_str(), X_OK) == 0 && std::filesystem::exists(DATA + "/txt/dw_stage1.txt") &&
           std::filesystem::exists(DATA + "/bmp/character/kyara.bmp");
}

inline std::string StringField(const std::string& line, const std::string& name)
{
    std::string key = "\"" + name + "\":\"";
    size_t at = line.find(key);
    if (at == std::string::npos) return "";
    at += key.size();
    return line.substr(at, line.find('"', at) - at);
}

// A number field as written (NaN and infinities read as NaN), or otherwise.
inline double NumberField(const std::string& line, const std::string& name, double otherwise)
{
    std::string key = "\"" + name + "\":";
    size_t at = line.find(key);
    if (at == std::string::npos) return otherwise;
    const char* start = line.c_str() + at + key.size();
    char* end = nullptr;
    double value = std::strtod(start, &end);
    return end == start ? NAN : value;
}

// One line of the trace.
struct Event {
    std::string line;
    std::string ev;
    long long n = -1;          // frames
    std::string scene;         // frames
    int sceneId = 0;           // frames
    int stageNo = 0;           // frames
    std::string text, caption, answer;  // dialogs, standard output
    std::string op, path;      // sound and music
    int code = -1;             // exit
};

struct GameRun {
    int status = -1;  // exit status, or -1 when killed by a signal
    std::vector<Event> events;
    std::string output;  // standard output and error of the harness
    std::vector<const Event*> Frames(const std::string& scene = "") const
    {
        std::vector<const Event*> frames;
        for (const Event& e : events)
            if (e.ev == "frame" && (scene.empty() || e.scene == scene)) frames.push_back(&e);
        return frames;
    }
    std::vector<const Event*> Dialogs() const
    {
        std::vector<const Event*> boxes;
        for (const Event& e : events)
            if (e.ev == "dialog") boxes.push_back(&e);
        return boxes;
    }
};

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::vector<Event> ReadTrace(const std::string& path)
{
    std::vector<Event> events;
    std::ifstream trace(path);
    for (std::string line; std::getline(trace, line);) {
        Event e;
        e.line = line;
        e.ev = StringField(line, "ev");
        e.n = (long long)NumberField(line, "n", -1);
        e.scene = StringField(line, "scene");
        e.sceneId = (int)NumberField(line, "sceneId", 0);
        e.stageNo = (int)NumberField(line, "stageNo", 0);
        e.text = StringField(line, "text");
        e.caption = StringField(line, "caption");
        e.answer = StringField(line, "answer");
        e.op = StringField(line, "op");
        e.path = StringField(line, "path");
        e.code = (int)NumberField(line, "code", -1);
        events.push_back(e);
    }
    return events;
}

// Runs the game in folder with the script; the script, the trace and the
// harness's output are kept in the folder. prefix goes before the command
// (variables, prlimit, setpriv, ...), options after it (--frame-hashes, ...).
inline GameRun RunGame(const std::string& folder, const std::string& script, long long maxFrames,
                       const std::string& prefix = "", const std::string& options = "")
{
    std::string scriptPath = folder + "/script.txt", tracePath = folder + "/trace.jsonl",
                outputPath = folder + "/output.txt";
    std::ofstream(scriptPath) << script;
    std::string command = prefix + " '" + HARNESS + "' --dir '" + folder + "' --script '" +
                          scriptPath + "' --trace '" + tracePath + "' --max-frames " +
                          std::to_string(maxFrames) + " " + options + " >'" + outputPath + "' 2>&1";
    GameRun run;
    int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.output = ReadText(outputPath);
    run.events = ReadTrace(tracePath);
    return run;
}

// A picture the harness shot, read back with libpng: 0xRRGGBB per pixel.
inline std::vector<uint32_t> ReadShot(const std::string& path, int* width, int* height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<uint32_t> pixels;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return pixels;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return pixels;
    *width = (int)image.width;
    *height = (int)image.height;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        pixels.push_back((uint32_t)rgb[i] << 16 | (uint32_t)rgb[i + 1] << 8 | rgb[i + 2]);
    return pixels;
}

}  // namespace harness
