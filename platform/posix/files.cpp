// Reading the game's files on POSIX systems (the desktop and headless builds).
// A game file is a regular file: a pipe put in its place would block the open
// for ever and a device such as /dev/zero would read for ever, so the file is
// opened without waiting and looked at before a byte is read.
#include "platform/platform.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

struct PlatformFile {
    int fd;
};

int PlatformOpenFile(const char* path, PlatformFile** file, uint64_t* size)
{
    *file = nullptr;
    *size = 0;
    if (path == nullptr || path[0] == '\0') return PLATFORM_FILE_MISSING;
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return PLATFORM_FILE_MISSING;
        if (errno == EISDIR) return PLATFORM_FILE_NOT_REGULAR;
        struct stat info;
        if (stat(path, &info) == 0 && !S_ISREG(info.st_mode)) return PLATFORM_FILE_NOT_REGULAR;
        return PLATFORM_FILE_UNREADABLE;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return PLATFORM_FILE_NOT_REGULAR;
    }
    // Reads of a regular file never wait anyway; the flag only served the open.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    *file = new PlatformFile{fd};
    *size = static_cast<uint64_t>(info.st_size);
    return PLATFORM_FILE_OK;
}

long long PlatformReadFile(PlatformFile* file, void* buffer, size_t size)
{
    if (file == nullptr) return -1;
    for (;;) {
        ssize_t got = read(file->fd, buffer, size);
        if (got >= 0) return got;
        if (errno != EINTR) return -1;
    }
}

void PlatformCloseFile(PlatformFile* file)
{
    if (file == nullptr) return;
    close(file->fd);
    delete file;
}
