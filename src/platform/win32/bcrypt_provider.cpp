#include "platform/win32/bcrypt_provider.h"

#include <climits>
#include <stdexcept>

namespace ZavorPlatform {
namespace {

// The handles are never closed: the plug-in may be unloaded while the
// process goes on, but closing them at that moment would call into another
// library during the loader's lock.
BCRYPT_ALG_HANDLE Open(const wchar_t *algorithm) {
    BCRYPT_ALG_HANDLE provider = nullptr;
    if (!Succeeded(BCryptOpenAlgorithmProvider(&provider, algorithm, nullptr, 0)))
        throw std::runtime_error("The system offers no cryptographic algorithm of that kind.");
    return provider;
}

ULONG CheckedSize(std::size_t size) {
    if (size > ULONG_MAX) throw std::length_error("Too much data for one hash call.");
    return static_cast<ULONG>(size);
}

}  // namespace

bool Succeeded(NTSTATUS status) { return status >= 0; }

BCRYPT_ALG_HANDLE HashProvider(HashAlgorithm algorithm) {
    // One provider per algorithm; the function-local statics are made once,
    // also when two threads ask at the same moment.
    switch (algorithm) {
    case HashAlgorithm::Md5: {
        static BCRYPT_ALG_HANDLE md5 = Open(BCRYPT_MD5_ALGORITHM);
        return md5;
    }
    case HashAlgorithm::Sha256: {
        static BCRYPT_ALG_HANDLE sha256 = Open(BCRYPT_SHA256_ALGORITHM);
        return sha256;
    }
    case HashAlgorithm::Sha384: {
        static BCRYPT_ALG_HANDLE sha384 = Open(BCRYPT_SHA384_ALGORITHM);
        return sha384;
    }
    case HashAlgorithm::Sha512: {
        static BCRYPT_ALG_HANDLE sha512 = Open(BCRYPT_SHA512_ALGORITHM);
        return sha512;
    }
    }
    throw std::invalid_argument("No provider is kept for that algorithm.");
}

BCRYPT_ALG_HANDLE AesCbcProvider() {
    static BCRYPT_ALG_HANDLE aes = [] {
        BCRYPT_ALG_HANDLE provider = Open(BCRYPT_AES_ALGORITHM);
        // The property takes the mode's name with its terminating zero.
        if (!Succeeded(BCryptSetProperty(provider, BCRYPT_CHAINING_MODE,
                                         reinterpret_cast<PUCHAR>(const_cast<wchar_t *>(BCRYPT_CHAIN_MODE_CBC)),
                                         sizeof(BCRYPT_CHAIN_MODE_CBC), 0)))
            throw std::runtime_error("AES is not available.");
        return provider;
    }();
    return aes;
}

HashHandle CreateHash(BCRYPT_ALG_HANDLE provider) {
    BCRYPT_HASH_HANDLE hash = nullptr;
    // Without an object buffer BCrypt allocates the hash's state itself.
    if (!Succeeded(BCryptCreateHash(provider, &hash, nullptr, 0, nullptr, 0, 0)))
        throw std::runtime_error("The hash cannot be started.");
    return HashHandle(hash);
}

void HashData(const HashHandle &hash, std::span<const std::uint8_t> data) {
    if (data.empty()) return;
    if (!Succeeded(BCryptHashData(static_cast<BCRYPT_HASH_HANDLE>(hash.get()),
                                  const_cast<PUCHAR>(data.data()), CheckedSize(data.size()), 0)))
        throw std::runtime_error("The hash cannot take the data.");
}

std::vector<std::uint8_t> FinishHash(const HashHandle &hash, std::size_t size) {
    std::vector<std::uint8_t> digest(size);
    if (!Succeeded(BCryptFinishHash(static_cast<BCRYPT_HASH_HANDLE>(hash.get()), digest.data(),
                                    static_cast<ULONG>(digest.size()), 0)))
        throw std::runtime_error("The hash cannot be finished.");
    return digest;
}

}  // namespace ZavorPlatform
