// The browser process: the game's folder (the page's data, with the saved
// files of earlier visits laid over its txt/), the options the page passes
// (an input script, frame hashes, a trace), standard output and the end.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/web/web_internal.h"

long long framesStarted = 0;
bool scripted = false;
static bool hashing = false, tracing = false;

// The saved folder lives in the browser's IndexedDB. The page reads it in
// before the game starts (as a desktop game finds its folder already there)
// and says whether it could; a browser that keeps nothing (storage turned
// off) leaves a plain folder: the game runs, and its times last the visit.
EM_JS(int, PageSavedFolderMounted, (), { return Module.savedFolderMounted ? 1 : 0; });
// Starts writing the saved folder through to IndexedDB. The browser finishes
// it on its own while the game goes on; a write asked for meanwhile follows.
EM_JS(void, WriteSavedFolder, (), { Module.web.syncSaved(); });

// What the page was opened with (?script=, ?hashes, ?trace); the script's text
// was fetched by the page before the game started.
EM_JS(char*, PageScriptText, (), {
    var text = Module.prismveldtScript;
    if (typeof text !== "string") return 0;
    var size = lengthBytesUTF8(text) + 1;
    var buffer = _malloc(size);
    stringToUTF8(text, buffer, size);
    return buffer;
});
EM_JS(int, PageWantsHashes, (), { return Module.prismveldtHashes ? 1 : 0; });
EM_JS(int, PageWantsTrace, (), { return Module.prismveldtTrace ? 1 : 0; });
EM_JS(void, PageGameEnded, (int status), {
    if (Module.onGameEnded) Module.onGameEnded(status);
});

static bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

static void CopyFile(const std::string& from, const std::string& to)
{
    FILE* in = fopen(from.c_str(), "rb");
    if (in == nullptr) return;
    FILE* out = fopen(to.c_str(), "wb");
    if (out != nullptr) {
        char buffer[16384];
        size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, in)) > 0) fwrite(buffer, 1, got, out);
        fclose(out);
    }
    fclose(in);
}

// The stages are the game's own and always come from this build's data; a
// first score file (and whatever else the data's txt/ holds) only where the
// player has none yet.
static void LayShippedFiles()
{
    DIR* folder = opendir(SHIPPED_TXT_FOLDER);
    if (folder == nullptr) return;
    while (dirent* entry = readdir(folder)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        std::string from = std::string(SHIPPED_TXT_FOLDER) + "/" + name;
        std::string to = std::string(SAVED_FOLDER) + "/" + name;
        bool stage = name.rfind("dw_stage", 0) == 0;
        struct stat info;
        if (stat(from.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        if (stage || !Exists(to)) CopyFile(from, to);
    }
    closedir(folder);
}

void SyncSavedFiles() { WriteSavedFolder(); }

void PlatformInit(int, char**)
{
    // Emscripten starts with a umask of 0777, under which every file the game
    // makes (a best run's recording, the outbox, the online key) could never
    // be opened again; a desktop's usual one instead.
    umask(022);
    if (chdir(GAME_FOLDER) != 0) fprintf(stderr, "prismveldt: no game data at %s\n", GAME_FOLDER);
    if (!PageSavedFolderMounted())
        fprintf(stderr, "prismveldt: the saved files could not be read; the best times last this visit only\n");
    LayShippedFiles();
    SyncSavedFiles();
    hashing = PageWantsHashes() != 0;
    tracing = PageWantsTrace() != 0;
    if (char* script = PageScriptText()) {
        scripted = StartScript(script);
        free(script);
    }
}

// The page passes no command line.
const char* const* PlatformCommandOptions()
{
    static const char* const none[] = {nullptr};
    return none;
}
const char* PlatformCommandUsage() { return ""; }
const char* PlatformProgramName() { return "prismveldt"; }

void PlatformExit(int status)
{
    fflush(stdout);
    fflush(stderr);
    PageGameEnded(status);
    emscripten_force_exit(status);
    __builtin_unreachable();  // the runtime has ended
}

void PlatformWriteStdout(const char* text)
{
    fputs(text, stdout);
    fflush(stdout);
}

// The harness's frame lines, on the console for a test to read.
void PlatformTraceFrame(const char* fields)
{
    if (!tracing) return;
    printf("trace {\"ev\":\"frame\",\"n\":%lld,\"t\":%u,%s}\n", framesStarted - 1, PlatformTimeMs(), fields);
}

bool PlatformTracing() { return tracing; }

bool WebHashingFrames() { return hashing; }
