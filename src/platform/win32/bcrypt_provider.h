// The BCrypt algorithm providers of the cryptographic services (MD5, SHA-2,
// AES, randomness). Opening one costs far more than using it, and the key
// derivation of encrypted files hashes many times over, so each is opened
// once per process and kept.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace ZavorPlatform {

enum class HashAlgorithm { Md5, Sha256, Sha384, Sha512 };

// Throws std::runtime_error when the system lacks the algorithm.
BCRYPT_ALG_HANDLE HashProvider(HashAlgorithm algorithm);

// AES with cipher block chaining.
BCRYPT_ALG_HANDLE AesCbcProvider();

bool Succeeded(NTSTATUS status);

struct HashDestroyer {
    void operator()(void *hash) const { BCryptDestroyHash(static_cast<BCRYPT_HASH_HANDLE>(hash)); }
};
using HashHandle = std::unique_ptr<void, HashDestroyer>;

// A running hash; BCrypt keeps its state itself.
HashHandle CreateHash(BCRYPT_ALG_HANDLE provider);
void HashData(const HashHandle &hash, std::span<const std::uint8_t> data);
std::vector<std::uint8_t> FinishHash(const HashHandle &hash, std::size_t size);

}  // namespace ZavorPlatform
