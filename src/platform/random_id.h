// Random identifiers: a new GUID for every document and every saved file.
#pragma once

#include <array>
#include <cstdint>

namespace ZavorPlatform {

// 16 bytes of a random (version 4) GUID, in the byte order in which the
// identifier is stored, from the system's cryptographic random source.
// Throws std::runtime_error when the system has no randomness to give.
std::array<std::uint8_t, 16> NewGuid();

}  // namespace ZavorPlatform
