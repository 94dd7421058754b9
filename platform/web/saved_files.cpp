// Writing the game's files in the browser: the POSIX writer (temporary file,
// rename) on emscripten's file system, then the saved folder goes through to
// IndexedDB before the game carries on, so a tab closed right after a new
// best time still has it on the next visit.
#include "platform/web/web_internal.h"

bool PosixReplaceFile(const char* path, const void* data, size_t size, char* errorText,
                      size_t errorSize, int flags);
void PosixUnlockFile();

bool PlatformReplaceFile(const char* path, const void* data, size_t size, char* errorText,
                         size_t errorSize, int flags)
{
    bool written = PosixReplaceFile(path, data, size, errorText, errorSize, flags);
    if (written) SyncSavedFiles();
    return written;
}

// What changed under the lock (files renamed and removed beside the score
// file) reaches the browser's storage before the next copy may look.
void PlatformUnlockFile()
{
    PosixUnlockFile();
    SyncSavedFiles();
}
