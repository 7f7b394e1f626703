#include "platform/random_id.h"

#include <stdexcept>

#include "platform/win32/bcrypt_provider.h"

namespace ZavorPlatform {

std::array<std::uint8_t, 16> NewGuid() {
    std::array<std::uint8_t, 16> bytes{};
    if (!Succeeded(BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()),
                                   BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
        throw std::runtime_error("The system's random number source failed.");
    // Version 4 in the high nibble of byte 6, RFC 4122 variant in byte 8, so
    // that the identifier reads as a random GUID to anyone who decodes it.
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    return bytes;
}

}  // namespace ZavorPlatform
