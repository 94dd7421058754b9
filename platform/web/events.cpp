// The game's event queue in the browser: only the music's ends come (a tab
// has no close button of its own to ask about, and no joysticks here).
#include <deque>

#include "platform/web/web_internal.h"

bool messageBoxOpen = false;
static std::deque<PlatformEvent> pending;

void QueueEvent(int type, int musicReason)
{
    pending.push_back(PlatformEvent{type, musicReason});
}

bool PlatformPollEvent(PlatformEvent* event)
{
    if (messageBoxOpen) return false;  // held until the box is answered
    if (pending.empty()) return false;
    *event = pending.front();
    pending.pop_front();
    return true;
}
