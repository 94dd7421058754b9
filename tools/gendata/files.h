// Writing the generator's output files: 24-bit .bmp pictures, creating the
// folders they go in, and files that must never replace an existing one.
#pragma once
#include <string>
#include <vector>

#include "paint.h"

// Writes pic as an uncompressed 24-bit bottom-up .bmp; false on failure.
bool WriteBmp(const std::string& path, const Picture& pic);
// Writes bytes to path (folders created as needed); false on failure.
bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes);
// Creates the folder and its parents.
bool MakeDirs(const std::string& dir);
bool FileExists(const std::string& path);
