// Writing the generator's output files: .bmp pictures (as small as a lossless
// kind the game reads makes them), creating the folders they go in, and files
// that must never replace an existing one.
#pragma once
#include <string>
#include <vector>

#include "paint.h"

// The .bmp file of pic: 8-bit with a palette (run-length encoded when that is
// smaller) if it has at most 256 colours, else uncompressed 24-bit; bottom-up.
// Decoded, it gives pic's pixels exactly (their top byte dropped).
std::vector<unsigned char> EncodeBmp(const Picture& pic);
// Writes EncodeBmp(pic); false on failure.
bool WriteBmp(const std::string& path, const Picture& pic);
// Writes bytes to path (folders created as needed); false on failure.
bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes);
// Creates the folder and its parents.
bool MakeDirs(const std::string& dir);
bool FileExists(const std::string& path);
