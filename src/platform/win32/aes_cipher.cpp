#include "platform/aes_cipher.h"

#include <climits>
#include <memory>
#include <stdexcept>

#include "platform/win32/bcrypt_provider.h"

namespace ZavorPlatform {
namespace {

constexpr std::size_t kBlock = 16;

struct KeyDestroyer {
    void operator()(void *key) const { BCryptDestroyKey(static_cast<BCRYPT_KEY_HANDLE>(key)); }
};
using KeyHandle = std::unique_ptr<void, KeyDestroyer>;

KeyHandle MakeKey(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv) {
    if (key.size() != 16 && key.size() != 32) throw std::invalid_argument("An AES key has 16 or 32 bytes.");
    if (iv.size() != kBlock) throw std::invalid_argument("An AES IV has 16 bytes.");
    BCRYPT_KEY_HANDLE handle = nullptr;
    if (!Succeeded(BCryptGenerateSymmetricKey(AesCbcProvider(), &handle, nullptr, 0, const_cast<PUCHAR>(key.data()),
                                              static_cast<ULONG>(key.size()), 0)))
        throw std::runtime_error("AES is not available.");
    return KeyHandle(handle);
}

ULONG CheckedSize(std::size_t size) {
    if (size > ULONG_MAX) throw std::length_error("Too much data for one AES call.");
    return static_cast<ULONG>(size);
}

// The padding is checked here rather than by BCrypt, so that exactly the
// tails that the Linux build refuses are refused: every one of the last n
// bytes must be n, for n from 1 to 16.
bool RemovePadding(std::vector<std::uint8_t> &plain) {
    if (plain.empty()) return false;
    std::size_t count = plain.back();
    if (count == 0 || count > kBlock || count > plain.size()) return false;
    for (std::size_t i = plain.size() - count; i < plain.size(); ++i)
        if (plain[i] != count) return false;
    plain.resize(plain.size() - count);
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> AesCbcDecrypt(std::span<const std::uint8_t> key,
                                                       std::span<const std::uint8_t> iv,
                                                       std::span<const std::uint8_t> data, bool padded) {
    if (data.size() % kBlock != 0 || (padded && data.empty())) return std::nullopt;
    KeyHandle handle = MakeKey(key, iv);
    if (data.empty()) return std::vector<std::uint8_t>();
    // BCrypt writes the chaining state back into the IV it is given.
    std::vector<std::uint8_t> chain(iv.begin(), iv.end());
    std::vector<std::uint8_t> plain(data.size());
    ULONG written = 0;
    if (!Succeeded(BCryptDecrypt(static_cast<BCRYPT_KEY_HANDLE>(handle.get()), const_cast<PUCHAR>(data.data()),
                                 CheckedSize(data.size()), nullptr, chain.data(), static_cast<ULONG>(chain.size()),
                                 plain.data(), static_cast<ULONG>(plain.size()), &written, 0)))
        return std::nullopt;
    plain.resize(written);
    if (padded && !RemovePadding(plain)) return std::nullopt;
    return plain;
}

std::vector<std::uint8_t> AesCbcEncrypt(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
                                        std::span<const std::uint8_t> data) {
    if (data.size() % kBlock != 0) throw std::invalid_argument("AES without padding takes whole blocks.");
    KeyHandle handle = MakeKey(key, iv);
    if (data.empty()) return {};
    std::vector<std::uint8_t> chain(iv.begin(), iv.end());
    std::vector<std::uint8_t> sealed(data.size());
    ULONG written = 0;
    if (!Succeeded(BCryptEncrypt(static_cast<BCRYPT_KEY_HANDLE>(handle.get()), const_cast<PUCHAR>(data.data()),
                                 CheckedSize(data.size()), nullptr, chain.data(), static_cast<ULONG>(chain.size()),
                                 sealed.data(), static_cast<ULONG>(sealed.size()), &written, 0)))
        throw std::runtime_error("AES encryption failed.");
    sealed.resize(written);
    return sealed;
}

std::vector<std::uint8_t> Sha2Digest(Sha2Variant variant, std::span<const std::uint8_t> data) {
    HashAlgorithm algorithm = variant == Sha2Variant::Sha256   ? HashAlgorithm::Sha256
                              : variant == Sha2Variant::Sha384 ? HashAlgorithm::Sha384
                                                               : HashAlgorithm::Sha512;
    std::size_t size = variant == Sha2Variant::Sha256 ? 32 : variant == Sha2Variant::Sha384 ? 48 : 64;
    HashHandle hash = CreateHash(HashProvider(algorithm));
    HashData(hash, data);
    return FinishHash(hash, size);
}

}  // namespace ZavorPlatform
