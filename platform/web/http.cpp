// The browser's HTTP: not sent yet. Every request fails to start, so the
// online records stay quiet in the browser build (the board serves it, and
// plays its runs, without any).
#include "platform/platform.h"

int PlatformHttpStart(const char*, const char*, const char*, const void*, size_t) { return 0; }
int PlatformHttpPoll(int, int*, const char**, size_t*) { return PLATFORM_HTTP_FAILED; }
void PlatformHttpEnd(int) {}
