// Bounded reads of a game file, whole or its start (gfx/whole_file.h), over
// the platform's three file calls.
#include "gfx/whole_file.h"

#include <algorithm>
#include <cstring>

#include "platform/platform.h"

namespace {

// Opens path as PlatformOpenFile does, in this file's terms.
int Open(const char* path, PlatformFile** file, uint64_t* size) {
    switch (PlatformOpenFile(path, file, size)) {
    case PLATFORM_FILE_OK: return WHOLE_FILE_OK;
    case PLATFORM_FILE_MISSING: return WHOLE_FILE_MISSING;
    case PLATFORM_FILE_NOT_REGULAR: return WHOLE_FILE_NOT_REGULAR;
    default: return WHOLE_FILE_UNREADABLE;
    }
}

// Up to n bytes into buffer, however many reads that takes: fewer only at
// the file's end. -1 when a read fails.
long long ReadUpTo(PlatformFile* file, char* buffer, size_t n) {
    size_t have = 0;
    while (have < n) {
        long long got = PlatformReadFile(file, buffer + have, n - have);
        if (got < 0) return -1;
        if (got == 0) break;
        have += size_t(got);
    }
    return (long long)have;
}

int ReadOpened(PlatformFile* file, uint64_t size, uint64_t limit, LimitFromHead limitFromHead,
               std::string* bytes) {
    char head[WHOLE_FILE_HEAD_BYTES];
    size_t headSize = 0;
    if (limitFromHead) {
        long long got = ReadUpTo(file, head, sizeof head);
        if (got < 0) return WHOLE_FILE_READ_ERROR;
        headSize = size_t(got);
        int64_t largest = limitFromHead(reinterpret_cast<const uint8_t*>(head), headSize);
        if (largest < 0) return WHOLE_FILE_TOO_LARGE;
        limit = std::min(limit, uint64_t(largest));
    }
    // Nor more than a string can hold (about 2 GB in the browser's 32-bit build).
    limit = std::min<uint64_t>(limit, bytes->max_size());
    if (size > limit) return WHOLE_FILE_TOO_LARGE;
    // A file that grew since it was opened may have given more already.
    size_t expected = size_t(std::max<uint64_t>(size, headSize));
    if (expected > limit) return WHOLE_FILE_OVERRAN;
    bytes->resize(expected);
    std::memcpy(bytes->data(), head, headSize);
    long long got = ReadUpTo(file, bytes->data() + headSize, expected - headSize);
    if (got < 0) return WHOLE_FILE_READ_ERROR;
    bytes->resize(headSize + size_t(got));  // a file shorter than its size said
    // Whatever lies past the size it gave: a file that grew as it was read.
    char more[4096];
    while ((got = PlatformReadFile(file, more, sizeof more)) > 0) {
        if (bytes->size() + uint64_t(got) > limit) return WHOLE_FILE_OVERRAN;
        bytes->append(more, size_t(got));
    }
    return got < 0 ? WHOLE_FILE_READ_ERROR : WHOLE_FILE_OK;
}

}  // namespace

int ReadWholeFile(const char* path, uint64_t limit, std::string* bytes, LimitFromHead limitFromHead) {
    std::string().swap(*bytes);
    PlatformFile* file = nullptr;
    uint64_t size = 0;
    int state = Open(path, &file, &size);
    if (state != WHOLE_FILE_OK) return state;
    state = ReadOpened(file, size, limit, limitFromHead, bytes);
    PlatformCloseFile(file);
    if (state != WHOLE_FILE_OK) std::string().swap(*bytes);
    return state;
}

int ReadFileStart(const char* path, uint64_t most, TakeFilePiece take, void* context) {
    PlatformFile* file = nullptr;
    uint64_t size = 0;
    int state = Open(path, &file, &size);
    if (state != WHOLE_FILE_OK) return state;
    char piece[WHOLE_FILE_PIECE_BYTES];
    for (uint64_t total = 0; total < most;) {
        long long got = PlatformReadFile(file, piece, size_t(std::min<uint64_t>(sizeof piece, most - total)));
        if (got < 0) state = WHOLE_FILE_READ_ERROR;
        if (got <= 0) break;
        total += uint64_t(got);
        if (!take(context, piece, size_t(got))) break;
    }
    PlatformCloseFile(file);
    return state;
}
