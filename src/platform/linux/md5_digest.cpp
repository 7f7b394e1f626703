#include "platform/md5_digest.h"

#include <stdexcept>

#include <openssl/evp.h>

namespace ZavorPlatform {

struct Md5Digest::Context {
    struct Free {
        void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
    };
    std::unique_ptr<EVP_MD_CTX, Free> handle{EVP_MD_CTX_new()};

    void Start() {
        if (handle == nullptr || EVP_DigestInit_ex(handle.get(), EVP_md5(), nullptr) != 1)
            throw std::runtime_error("MD5 is not available.");
    }
};

Md5Digest::Md5Digest() : context_(std::make_unique<Context>()) { context_->Start(); }

Md5Digest::~Md5Digest() = default;

void Md5Digest::Update(std::span<const std::uint8_t> data) {
    if (data.empty()) return;
    if (EVP_DigestUpdate(context_->handle.get(), data.data(), data.size()) != 1)
        throw std::runtime_error("MD5 update failed.");
}

Md5Hash Md5Digest::Final() {
    Md5Hash hash{};
    unsigned int size = 0;
    if (EVP_DigestFinal_ex(context_->handle.get(), hash.data(), &size) != 1 || size != hash.size())
        throw std::runtime_error("MD5 final failed.");
    context_->Start();
    return hash;
}

Md5Hash Md5Digest::Compute(std::span<const std::uint8_t> data) {
    Md5Digest digest;
    digest.Update(data);
    return digest.Final();
}

}  // namespace ZavorPlatform
