// The harness has no settings folder: a scripted run plays with the defaults
// whatever the player who runs it has chosen, so every test and golden frame
// stays the same on every machine. A run that wants settings names a file
// with --settings.
#include "platform/platform.h"

bool PlatformSettingsFolder(char*, size_t) { return false; }
