// Writing the game's files in the browser: the POSIX writer (temporary file,
// rename) on emscripten's file system, then the saved folder goes through to
// IndexedDB before the game carries on, so a tab closed right after a new
// best time still has it on the next visit.
#include "platform/web/web_internal.h"

bool PosixReplaceFile(const char* path, const void* data, size_t size, char* errorText,
                      size_t errorSize);
void PosixRemoveReplaceLeftovers(const char* path);

bool PlatformReplaceFile(const char* path, const void* data, size_t size, char* errorText,
                         size_t errorSize)
{
    bool written = PosixReplaceFile(path, data, size, errorText, errorSize);
    if (written) SyncSavedFiles();
    return written;
}

void PlatformRemoveReplaceLeftovers(const char* path)
{
    PosixRemoveReplaceLeftovers(path);
    SyncSavedFiles();
}
