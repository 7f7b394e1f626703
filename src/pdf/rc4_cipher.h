// The RC4 stream cipher of encrypted PDF files. Every string and every
// stream is processed from a fresh key schedule, so the state lives only for
// one call.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace ZavorPdf::Pdf::Security {

class Rc4Cipher {
public:
    // The key schedule; the key bytes are used cyclically. An empty key
    // leaves the identity permutation.
    explicit Rc4Cipher(std::span<const std::uint8_t> key);

    // XORs the key stream into the bytes; RC4 is its own inverse.
    void Apply(std::span<std::uint8_t> bytes);

    static void Apply(std::span<const std::uint8_t> key, std::span<std::uint8_t> bytes) {
        Rc4Cipher(key).Apply(bytes);
    }

private:
    std::array<std::uint8_t, 256> state_{};
    std::uint8_t x_ = 0;
    std::uint8_t y_ = 0;
};

}  // namespace ZavorPdf::Pdf::Security
