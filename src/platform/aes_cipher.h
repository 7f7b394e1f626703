// AES in CBC mode and the SHA-2 digests that encrypted files of the newer
// security revisions prescribe. Keys of 16 or 32 bytes, 16-byte IVs.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ZavorPlatform {

enum class Sha2Variant { Sha256, Sha384, Sha512 };

// Decrypts whole blocks. With padding the PKCS#5 tail is checked and
// removed; a tail that is no such padding gives nothing, as does data that
// is not a whole number of blocks.
std::optional<std::vector<std::uint8_t>> AesCbcDecrypt(std::span<const std::uint8_t> key,
                                                       std::span<const std::uint8_t> iv,
                                                       std::span<const std::uint8_t> data, bool padded);

// Encrypts whole blocks without padding; data must be a whole number of
// blocks (the key derivation only ever passes such).
std::vector<std::uint8_t> AesCbcEncrypt(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
                                        std::span<const std::uint8_t> data);

// 32, 48 or 64 bytes.
std::vector<std::uint8_t> Sha2Digest(Sha2Variant variant, std::span<const std::uint8_t> data);

}  // namespace ZavorPlatform
