// The harness's language: Japanese, as the game has always spoken, unless
// its --lang says otherwise; its boxes have no buttons to name.
#include "platform/headless/headless.h"
#include "platform/platform.h"

int PlatformSystemLanguage() { return headless.language; }

void PlatformSetBoxLanguage(int) {}
