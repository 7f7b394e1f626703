#include "platform/aes_cipher.h"

#include <memory>
#include <stdexcept>

#include <openssl/evp.h>

namespace ZavorPlatform {
namespace {

struct CipherFree {
    void operator()(EVP_CIPHER_CTX *context) const { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherFree>;

const EVP_CIPHER *CbcFor(std::size_t keySize) {
    if (keySize == 16) return EVP_aes_128_cbc();
    if (keySize == 32) return EVP_aes_256_cbc();
    throw std::invalid_argument("An AES key has 16 or 32 bytes.");
}

CipherContext Start(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv, bool encrypt,
                    bool padded) {
    if (iv.size() != 16) throw std::invalid_argument("An AES IV has 16 bytes.");
    CipherContext context(EVP_CIPHER_CTX_new());
    if (context == nullptr ||
        EVP_CipherInit_ex(context.get(), CbcFor(key.size()), nullptr, key.data(), iv.data(), encrypt ? 1 : 0) != 1)
        throw std::runtime_error("AES is not available.");
    EVP_CIPHER_CTX_set_padding(context.get(), padded ? 1 : 0);
    return context;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> AesCbcDecrypt(std::span<const std::uint8_t> key,
                                                       std::span<const std::uint8_t> iv,
                                                       std::span<const std::uint8_t> data, bool padded) {
    if (data.size() % 16 != 0 || (padded && data.empty())) return std::nullopt;
    CipherContext context = Start(key, iv, false, padded);
    std::vector<std::uint8_t> plain(data.size() + 16);
    int written = 0, tail = 0;
    if (EVP_CipherUpdate(context.get(), plain.data(), &written, data.data(), static_cast<int>(data.size())) != 1)
        return std::nullopt;
    if (EVP_CipherFinal_ex(context.get(), plain.data() + written, &tail) != 1) return std::nullopt;
    plain.resize(static_cast<std::size_t>(written + tail));
    return plain;
}

std::vector<std::uint8_t> AesCbcEncrypt(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
                                        std::span<const std::uint8_t> data) {
    if (data.size() % 16 != 0) throw std::invalid_argument("AES without padding takes whole blocks.");
    CipherContext context = Start(key, iv, true, false);
    std::vector<std::uint8_t> sealed(data.size() + 16);
    int written = 0, tail = 0;
    if (EVP_CipherUpdate(context.get(), sealed.data(), &written, data.data(), static_cast<int>(data.size())) != 1 ||
        EVP_CipherFinal_ex(context.get(), sealed.data() + written, &tail) != 1)
        throw std::runtime_error("AES encryption failed.");
    sealed.resize(static_cast<std::size_t>(written + tail));
    return sealed;
}

std::vector<std::uint8_t> Sha2Digest(Sha2Variant variant, std::span<const std::uint8_t> data) {
    const EVP_MD *md = variant == Sha2Variant::Sha256   ? EVP_sha256()
                       : variant == Sha2Variant::Sha384 ? EVP_sha384()
                                                        : EVP_sha512();
    std::vector<std::uint8_t> hash(EVP_MAX_MD_SIZE);
    unsigned int size = 0;
    if (EVP_Digest(data.data(), data.size(), hash.data(), &size, md, nullptr) != 1)
        throw std::runtime_error("SHA-2 is not available.");
    hash.resize(size);
    return hash;
}

}  // namespace ZavorPlatform
