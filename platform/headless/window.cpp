// The headless window: remembers how the shell shaped it, writes the asked-for
// frames as PNG pictures, and answers message boxes from the script.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/headless/headless.h"
#include "platform/headless/png.h"
#include "platform/platform.h"

void PlatformSetWindowTitle(const char* title) { headless.windowTitle = title; }

bool PlatformTestFullscreen(int width, int height)
{
    return !headless.refuseFullscreen && width > 0 && height > 0;
}

void PlatformSetFullscreen(int width, int height)
{
    headless.fullscreen = true;
    headless.windowX = 0;
    headless.windowY = 0;
    headless.clientWidth = width;
    headless.clientHeight = height;
    headless.windowCaptionless = true;
}

void PlatformRestoreDisplay() { headless.fullscreen = false; }

bool PlatformIsFullscreen() { return headless.fullscreen; }

bool PlatformWindowFocused()
{
    bool focused = headless.focused && !headless.focusLost;
    headless.focusLost = false;
    return focused;
}

// Traced only when it changes, so that a game that never turns it on traces
// as it always did.
void PlatformSetVsync(bool on)
{
    if (on == headless.vsync) return;
    headless.vsync = on;
    TraceLine(std::string("\"ev\":\"vsync\",\"on\":") + (on ? "true" : "false"));
}

void PlatformSetWindowed(int x, int y, int clientWidth, int clientHeight, bool captionless)
{
    headless.fullscreen = false;
    headless.windowX = x;
    headless.windowY = y;
    headless.clientWidth = clientWidth;
    headless.clientHeight = clientHeight;
    headless.windowCaptionless = captionless;
}

void PlatformPresent(const uint32_t* pixels, int width, int height, int pitch)
{
    long long frame = headless.framesStarted - 1;
    if (headless.frameHashes != nullptr) {
        fprintf(headless.frameHashes, "%lld %d %d %016llx\n", frame, width, height,
                (unsigned long long)HashFrame(pixels, width, height, pitch));
        if (ferror(headless.frameHashes))
            HarnessOutputFailed("the frame hashes", headless.frameHashesPath);
    }
    if (frame < 0 || headless.shots.count(frame) == 0) return;
    std::error_code ignored;  // a folder that cannot be made shows as a failed write
    std::filesystem::create_directories(headless.shotDir, ignored);
    char name[32];
    snprintf(name, sizeof name, "/frame-%06lld.png", frame);
    std::string path = headless.shotDir + name;
    // Shots are for looking at, not keeping: fast compression.
    if (!WritePng(path, pixels, width, height, pitch, 1))
        fprintf(stderr, "prismveldt-headless: cannot write %s\n", path.c_str());
}

void PlatformDestroyWindow() {}

// The harness's boxes are lines of its trace: nothing to letter.
void PlatformLetterBoxes(const BoxLettering&) {}

bool PlatformMessageBox(const char* text, const char* caption, int style)
{
    const char* answer = "ok";
    bool result = true;
    if (style != PLATFORM_BOX_OK_ERROR) {
        result = false;  // an empty queue answers no
        if (!headless.script.answers.empty()) {
            result = headless.script.answers.front();
            headless.script.answers.pop_front();
        }
        answer = result ? "yes" : "no";
    }
    std::string fields = "\"ev\":\"dialog\",\"text\":\"";
    AppendJsonEscaped(&fields, text);
    fields += "\",\"caption\":\"";
    AppendJsonEscaped(&fields, caption);
    fields += "\",\"answer\":\"";
    fields += answer;
    fields += '"';
    TraceLine(fields);
    return result;
}

// The boxes here are modal: the answer comes at once.
int PlatformAskBox(const char* text, const char* caption, int style)
{
    return PlatformMessageBox(text, caption, style) ? 1 : 0;
}
