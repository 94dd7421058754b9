// Replacing a file in one step on POSIX systems (the desktop and headless
// builds): the new text goes to a temporary file beside the old one, reaches
// the disk, and is renamed over it, so a crash or power loss mid-write leaves
// either the old file or the new one, never a torn one.
#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static void SetError(char* errorText, size_t errorSize, const char* what, int err)
{
    if (errorText && errorSize > 0)
        std::snprintf(errorText, errorSize, "%s: %s", what, std::strerror(err));
}

static std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool PlatformReplaceFile(const char* path, const void* data, size_t size, char* errorText,
                         size_t errorSize)
{
    // The replacement keeps the old file's permissions; a new file gets the
    // usual ones for a data file.
    mode_t mode = 0644;
    struct stat old;
    if (stat(path, &old) == 0)
        mode = old.st_mode & 07777;

    std::string temporary = std::string(path) + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) {
        SetError(errorText, errorSize, "cannot create a temporary file", errno);
        return false;
    }
    fchmod(fd, mode);

    const char* p = static_cast<const char*>(data);
    size_t left = size;
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            close(fd);
            unlink(temporary.c_str());
            SetError(errorText, errorSize, "cannot write", err);
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (fsync(fd) != 0) {
        int err = errno;
        close(fd);
        unlink(temporary.c_str());
        SetError(errorText, errorSize, "cannot flush", err);
        return false;
    }
    if (close(fd) != 0) {
        int err = errno;
        unlink(temporary.c_str());
        SetError(errorText, errorSize, "cannot close", err);
        return false;
    }
    if (rename(temporary.c_str(), path) != 0) {
        int err = errno;
        unlink(temporary.c_str());
        SetError(errorText, errorSize, "cannot replace", err);
        return false;
    }
    // Make the rename itself survive a power loss.
    int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

