// Reading a game file whole, never past a limit: the one way the pictures,
// the score file, the recordings and the first copy of the player's score
// file are read; and its streamed form for the stages and the ghost's
// setting, whose readers need only the file's start.
//
// It lives with the graphics library because that is the lowest layer of the
// game's own code, compiled into every build (desktop, harness, Windows,
// browser), and both the pictures here and the game above read through it;
// platform/ has no file that every backend links, and it needs nothing of a
// backend but platform/platform.h.
//
// A game file is a regular file: a folder, a pipe or a device in its place is
// refused before a byte is read (PlatformOpenFile), as is a file whose size is
// past the limit; a file that grows past the limit while it is read is cut
// short there and refused too. No more than the limit (and a piece) is ever
// read, nor held.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

enum {
    WHOLE_FILE_OK = 0,
    WHOLE_FILE_MISSING,      // nothing at that path
    WHOLE_FILE_NOT_REGULAR,  // a folder, a pipe, a device: never a game file
    WHOLE_FILE_UNREADABLE,   // there, but it may not be opened (permissions)
    WHOLE_FILE_TOO_LARGE,    // its size is past the limit: not a byte was kept
    WHOLE_FILE_OVERRAN,      // it gave more than the limit, though its size said less
    WHOLE_FILE_READ_ERROR    // reading it failed part way
};

// How large a file may be, from its first bytes: a picture's header says how
// large its file can need to be. Gets the first WHOLE_FILE_HEAD_BYTES bytes
// of the file (all of it, when shorter) and returns the most bytes the file
// may hold, or a negative number when the head is not one of its kind.
typedef int64_t (*LimitFromHead)(const uint8_t* head, size_t length);
constexpr size_t WHOLE_FILE_HEAD_BYTES = 256;

// Reads the regular file at path whole into *bytes (replacing what it held)
// and returns WHOLE_FILE_OK, or why not, with *bytes then empty. limit is the
// most bytes the file may hold; with limitFromHead, the head's own limit
// applies too, and a head that is not of its kind counts as
// WHOLE_FILE_TOO_LARGE. The file's size is allocated at once (so that a
// failed allocation happens under the caller's memory task) and read in as
// few reads as the system allows.
int ReadWholeFile(const char* path, uint64_t limit, std::string* bytes,
                  LimitFromHead limitFromHead = nullptr);
// As a limit: whatever size the head allows (or the memory holds).
constexpr uint64_t WHOLE_FILE_ANY_SIZE = UINT64_MAX;

// Receives the pieces of ReadFileStart in order; returns false to stop
// reading there. The bytes are only valid during the call.
typedef bool (*TakeFilePiece)(void* context, const char* bytes, size_t length);

// Reads the regular file at path from its start, a piece of at most
// WHOLE_FILE_PIECE_BYTES at a time, handing each to take, until the file
// ends, take returns false, or `most` bytes have been handed over (the last
// piece is cut there): what lies beyond is never read, and the file's size
// does not matter. Returns WHOLE_FILE_OK for any of those ends, else why not
// (MISSING, NOT_REGULAR, UNREADABLE before a piece, READ_ERROR after some).
constexpr size_t WHOLE_FILE_PIECE_BYTES = 16384;
int ReadFileStart(const char* path, uint64_t most, TakeFilePiece take, void* context);
