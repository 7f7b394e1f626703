#include "platform/random_id.h"

#include <sys/random.h>

#include <cerrno>
#include <cstddef>
#include <stdexcept>

namespace ZavorPlatform {

std::array<std::uint8_t, 16> NewGuid() {
    // The kernel's source straight away: going through the crypto library
    // would load its configuration files at the start of every session.
    std::array<std::uint8_t, 16> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) throw std::runtime_error("The system's random number source failed.");
        filled += static_cast<std::size_t>(got);
    }
    // Version 4 in the high nibble of byte 6, RFC 4122 variant in byte 8, so
    // that the identifier reads as a random GUID to anyone who decodes it.
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    return bytes;
}

}  // namespace ZavorPlatform
