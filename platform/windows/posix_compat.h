// Forced into every game source of the Windows build: the few POSIX file calls
// the game's score file writer makes, on top of the C runtime's own. fsync is
// the runtime's _commit; a file's mode bits mean nothing on Windows; folders
// cannot be opened like files, so O_DIRECTORY makes that open fail harmlessly.
// (rename is wrapped at link time: see file_replace.cpp.)
#pragma once
#ifdef __cplusplus
#include <cstdio>
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifndef O_DIRECTORY
#define O_DIRECTORY 0x200000
#endif

static inline int fsync(int fd) { return _commit(fd); }
static inline int fchmod(int, mode_t) { return 0; }
