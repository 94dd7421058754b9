// SHA-256 of a run of bytes, as lower-case hex: what the board keeps of a
// player's key, and the tag of a recording's bytes.
#pragma once
#include <cstddef>
#include <string>

// The 64 hex digits of the SHA-256 of length bytes at data (libcrypto's).
std::string Sha256Hex(const void* data, size_t length);
inline std::string Sha256Hex(const std::string& bytes) { return Sha256Hex(bytes.data(), bytes.size()); }
