// The harness's command line and its start: options, script, trace, working folder.
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/headless/headless.h"
#include "platform/platform.h"

// The harness's own options, each with its value; the game reads --dir,
// --settings, --verify, --replay, --edit, --stages, --stage, --help and
// --version itself.
static const char* const HARNESS_OPTIONS[] = {"--script", "--trace", "--max-frames", "--shot-dir",
                                              "--shot", "--frame-hashes", "--lang", "--http-fake",
                                              "--http-log", nullptr};

const char* const* PlatformCommandOptions() { return HARNESS_OPTIONS; }
const char* PlatformCommandUsage()
{
    return " [--script FILE] [--trace FILE|-] [--max-frames N] [--shot-dir DIR] [--shot N]..."
           " [--frame-hashes FILE] [--lang en|ja] [--http-fake FILE] [--http-log FILE]";
}
const char* PlatformProgramName() { return "prismveldt-headless"; }

bool ParseHeadlessArgs(int argc, char** argv, HeadlessOptions* options, std::string* error)
{
    *options = HeadlessOptions{};
    for (int i = 1; i < argc; i++) {
        std::string option = argv[i];
        if (option == "--help" || option == "--version") continue;  // the game's, without a value
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool known = option == "--dir" || option == "--script" || option == "--trace" ||
                     option == "--max-frames" || option == "--shot-dir" || option == "--shot" ||
                     option == "--frame-hashes" || option == "--verify" || option == "--replay" ||
                     option == "--settings" || option == "--lang" || option == "--edit" ||
                     option == "--stages" || option == "--stage" ||
                     option == "--http-fake" || option == "--http-log";
        if (!known) {
            *error = "unknown option \"" + Shown(option) + "\"";
            return false;
        }
        if (value == nullptr || *value == '\0') {
            *error = option + " needs a value";
            return false;
        }
        i++;
        if (option == "--dir") options->dir = value;
        else if (option == "--script") options->scriptPath = value;
        else if (option == "--trace") options->tracePath = value;
        else if (option == "--shot-dir") options->shotDir = value;
        else if (option == "--frame-hashes") options->frameHashesPath = value;
        else if (option == "--http-fake") options->httpFakePath = value;
        else if (option == "--http-log") options->httpLogPath = value;
        else if (option == "--lang") {
            // The system's language as the game is told it: the harness's
            // traces stay in Japanese unless a test asks for English.
            std::string lang = value;
            if (lang != "en" && lang != "ja") {
                *error = "--lang takes en or ja, not \"" + Shown(lang) + "\"";
                return false;
            }
            options->language = lang == "en" ? PLATFORM_LANGUAGE_ENGLISH : PLATFORM_LANGUAGE_JAPANESE;
        }
        else if (option == "--verify" || option == "--replay" || option == "--settings" || option == "--edit" ||
                 option == "--stages" || option == "--stage") {
            // The game's own options: it reads them itself.
        }
        else {
            long long count;
            if (!ParseWholeNumber(value, 0, LLONG_MAX, &count)) {
                *error = option + " needs a whole number of frames, not \"" + Shown(value) + "\"";
                return false;
            }
            if (option == "--max-frames") options->maxFrames = count;
            else options->shots.insert(count);
        }
    }
    if (!options->shots.empty() && options->shotDir.empty()) {
        *error = "--shot needs --shot-dir";
        return false;
    }
    return true;
}

// The script may come through a pipe (a shell's <(...)), so any file that
// reads will do but a folder; a device that never ends is cut off at a size
// no script reaches.
static bool ReadScriptFile(const std::string& path, std::string* text, std::string* why)
{
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        *why = "it is a folder";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *why = "it cannot be opened";
        return false;
    }
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        text->append(chunk, static_cast<size_t>(file.gcount()));
        if (text->size() > SCRIPT_MAX_BYTES) {
            *why = "it is larger than " + std::to_string(SCRIPT_MAX_BYTES >> 20) + " MiB";
            return false;
        }
    }
    if (file.bad()) {
        *why = "it cannot be read";
        return false;
    }
    return true;
}

[[noreturn]] static void Usage(const std::string& message)
{
    TraceLine("\"ev\":\"exit\",\"code\":64");  // when the trace is already open
    CloseTrace();
    fprintf(stderr, "prismveldt-headless: %s\nusage: prismveldt-headless [--dir DIR]%s"
                    " [--verify FILE | --replay FILE] [--help] [--version]\n",
            message.c_str(), PlatformCommandUsage());
    exit(64);
}

// Paths on the command line are taken from the folder the harness started
// in, before it moves into the game's folder.
static std::string Absolute(const std::string& path)
{
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr) return path;
    return std::string(cwd) + "/" + path;
}

void PlatformInit(int argc, char** argv)
{
    HeadlessOptions options;
    std::string error;
    if (!ParseHeadlessArgs(argc, argv, &options, &error)) Usage(error);

    if (!options.scriptPath.empty()) {
        std::string text;
        if (!ReadScriptFile(options.scriptPath, &text, &error))
            Usage("cannot read the script " + options.scriptPath + ": " + error);
        if (!ParseScript(text, &headless.script, &error)) {
            fprintf(stderr, "prismveldt-headless: %s: %s\n", options.scriptPath.c_str(),
                    error.c_str());
            exit(64);
        }
    }
    if (!options.tracePath.empty() && !OpenTrace(options.tracePath))
        Usage("cannot write the trace " + options.tracePath);
    if (!options.frameHashesPath.empty()) {
        headless.frameHashesPath = options.frameHashesPath;
        headless.frameHashes = fopen(options.frameHashesPath.c_str(), "w");
        if (headless.frameHashes == nullptr)
            Usage("cannot write the frame hashes " + options.frameHashesPath);
    }
    headless.shotDir = Absolute(options.shotDir);
    headless.shots = options.shots;
    headless.maxFrames = options.maxFrames;
    headless.language = options.language;
    if (!options.httpFakePath.empty() && !ReadHttpFake(options.httpFakePath, &error))
        Usage("cannot use the HTTP answers " + options.httpFakePath + ": " + error);
    headless.httpLogPath = Absolute(options.httpLogPath);
    if (!options.dir.empty() && chdir(options.dir.c_str()) != 0)
        Usage("cannot enter the folder " + options.dir);
}
