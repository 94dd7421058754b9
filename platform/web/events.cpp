// The game's event queue in the browser: only the music's ends come. Closing
// the tab is asked about by the page itself (the browser's own question, the
// only one that can keep a tab open), and there are no joysticks here.
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
