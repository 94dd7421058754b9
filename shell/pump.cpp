// The message pump and the window procedure: what happens when the window is
// asked to close, when the music reaches its end, and when a joystick comes or goes.
#include "audio/audio.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/phrases.h"
#include "shell/shell.h"

namespace {
bool unsavedWork = false;
}

void MarkUnsavedWork(bool unsaved) { unsavedWork = unsaved; }

void WindowProc(const PlatformEvent* event)
{
    switch (event->type) {
    case PLATFORM_EVENT_CLOSE:
        // No leaves everything as it was: the scene resumes with its next frame.
        if (PlatformMessageBox(Said(unsavedWork ? PHRASE_QUIT_UNSAVED_QUESTION : PHRASE_QUIT_QUESTION),
                               Said(PHRASE_QUIT_CAPTION), PLATFORM_BOX_YESNO_QUESTION))
            ShutdownAndExit();
        break;
    case PLATFORM_EVENT_MUSIC_DONE:
        // The music loops by starting again after every end but a deliberate stop.
        if (event->musicReason != MUSIC_DONE_ABORTED) PlatformPlayMusic(true);
        break;
    case PLATFORM_EVENT_DEVICE_CHANGE:
        ScanJoysticks();
        break;
    default:
        break;
    }
}

void PumpMessages()
{
    PlatformEvent event;
    while (PlatformPollEvent(&event)) WindowProc(&event);
}
