// Replacing a file in one step on POSIX systems (the desktop and headless
// builds): the new text goes to a temporary file beside the old one, reaches
// the disk, and is renamed over it, so a crash or power loss mid-write leaves
// either the old file or the new one, never a torn one. Two copies of the game
// take turns through a lock on the folder the file lies in, and neither waits
// for ever for the other.
#include "platform/platform.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the temporary files are called: the file's own name, this, and six
// characters from mkstemp. Distinct enough that a start-up may remove them.
const char* const SAVING_SUFFIX = ".saving-";

void SetError(char* errorText, size_t errorSize, const char* what, int err)
{
    if (errorText && errorSize > 0) {
        if (err != 0)
            std::snprintf(errorText, errorSize, "%s: %s", what, std::strerror(err));
        else
            std::snprintf(errorText, errorSize, "%s", what);
    }
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file the save really replaces: the path itself, or for a link the file
// at its end. False (with why) for a link that leads nowhere.
bool ResolveTarget(const char* path, std::string* target, const char** why)
{
    struct stat info;
    if (lstat(path, &info) != 0 || !S_ISLNK(info.st_mode)) {
        *target = path;
        return true;
    }
    char resolved[PATH_MAX];
    if (realpath(path, resolved) == nullptr) {
        *why = "it is a link to a file that does not exist";
        return false;
    }
    *target = resolved;
    return true;
}

// SIGXFSZ would end the game when the file-size limit is reached; ignored,
// the write fails with EFBIG instead and the old file stays.
struct IgnoreFileSizeSignal {
    struct sigaction old {};
    IgnoreFileSizeSignal()
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGXFSZ, &ignore, &old);
    }
    ~IgnoreFileSizeSignal() { sigaction(SIGXFSZ, &old, nullptr); }
};

bool WriteAll(int fd, const void* data, size_t size, int* err)
{
    const char* p = static_cast<const char*>(data);
    size_t left = size;
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            *err = errno;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

int lockFolder = -1;  // the folder PlatformLockFile holds, or -1

// How long a save waits for another copy of the game (or anyone else holding
// the folder's lock) before it gives up.
constexpr int LOCK_WAIT_MS = 3000;

// What a new data file may be: read and write for all, less the umask.
mode_t NewFileMode()
{
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

uint64_t NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint64_t)now.tv_sec * 1000 + (uint64_t)now.tv_nsec / 1000000;
}

}  // namespace

bool PlatformReplaceFile(const char* path, const void* data, size_t size, char* errorText,
                         size_t errorSize, int flags)
{
    // Only the player's own files (the score file, the settings) are written
    // through a link; any other link is replaced by the file itself, so a
    // link planted in the folder (or unpacked with it) never gets its target
    // overwritten.
    std::string target = path;
    const char* why = nullptr;
    if ((flags & REPLACE_THROUGH_LINK) && !ResolveTarget(path, &target, &why)) {
        SetError(errorText, errorSize, why, 0);
        return false;
    }
    // The replacement keeps the old file's permissions (and, when root saves,
    // its owner); a new file, or one in place of something odd, gets the
    // umask's.
    mode_t mode = NewFileMode();
    struct stat old;
    bool hadFile = lstat(target.c_str(), &old) == 0;
    if (hadFile && S_ISREG(old.st_mode)) {
        // A file nobody may write is the player's way of freezing the table.
        if ((old.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0) {
            SetError(errorText, errorSize, "the file is read-only", 0);
            return false;
        }
        mode = old.st_mode & 0777;
    }

    IgnoreFileSizeSignal quietLimit;
    std::string temporary = target + SAVING_SUFFIX + "XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) {
        SetError(errorText, errorSize, "cannot create a temporary file", errno);
        return false;
    }
    fchmod(fd, mode);
    if (hadFile && S_ISREG(old.st_mode) && geteuid() == 0) {
        if (fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Not fatal: the table is saved, owned by root.
        }
    }

    int err = 0;
    const char* failure = nullptr;
    if (!WriteAll(fd, data, size, &err)) {
        failure = "cannot write";
    } else if (fsync(fd) != 0) {
        failure = "cannot flush";
        err = errno;
    }
    if (close(fd) != 0 && failure == nullptr) {
        failure = "cannot close";
        err = errno;
    }
    if (failure == nullptr && rename(temporary.c_str(), target.c_str()) != 0) {
        failure = "cannot replace";
        err = errno;
    }
    if (failure != nullptr) {
        unlink(temporary.c_str());
        SetError(errorText, errorSize, failure, err);
        return false;
    }
    // Make the rename itself survive a power loss.
    int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

int PlatformLockFile(const char* path)
{
    PlatformUnlockFile();
    std::string target;
    const char* why = nullptr;
    if (path == nullptr || !ResolveTarget(path, &target, &why)) target = path ? path : ".";
    // The folder, not the file: the file is replaced by every save, and a
    // lock on the old one would not stop a copy that opens the new one.
    int fd = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return PLATFORM_LOCK_NONE;
    // Tried again and again rather than waited for: whoever holds it may be
    // another user's program that never lets go.
    uint64_t start = NowMs();
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            lockFolder = fd;
            return PLATFORM_LOCK_HELD;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            close(fd);
            return PLATFORM_LOCK_NONE;  // a file system without locks
        }
        if (NowMs() - start >= (uint64_t)LOCK_WAIT_MS) {
            close(fd);
            return PLATFORM_LOCK_BUSY;
        }
        timespec pause{0, 10 * 1000000};
        nanosleep(&pause, nullptr);
    }
}

void PlatformUnlockFile()
{
    if (lockFolder < 0) return;
    flock(lockFolder, LOCK_UN);
    close(lockFolder);
    lockFolder = -1;
}

namespace {

// Removes folder/name.saving-XXXXXX, whatever the six characters.
void RemoveSavingFiles(const std::string& path)
{
    std::string folder = FolderOf(path);
    std::string prefix = NameOf(path) + SAVING_SUFFIX;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            unlink((folder + "/" + name).c_str());
    }
    closedir(dir);
}

}  // namespace

void PlatformRemoveReplaceLeftovers(const char* path, int flags)
{
    if (path == nullptr || path[0] == '\0') return;
    RemoveSavingFiles(path);
    // A save through a link left its file beside the link's end.
    std::string target;
    const char* why = nullptr;
    if ((flags & REPLACE_THROUGH_LINK) && ResolveTarget(path, &target, &why) && target != path)
        RemoveSavingFiles(target);
}
