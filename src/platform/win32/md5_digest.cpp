#include "platform/md5_digest.h"

#include <algorithm>

#include "platform/win32/bcrypt_provider.h"

namespace ZavorPlatform {

struct Md5Digest::Context {
    HashHandle hash;

    // A finished BCrypt hash cannot be used again on every Windows version
    // (BCRYPT_HASH_REUSABLE_FLAG came later), so each digest gets a new one.
    void Start() { hash = CreateHash(HashProvider(HashAlgorithm::Md5)); }
};

Md5Digest::Md5Digest() : context_(std::make_unique<Context>()) { context_->Start(); }

Md5Digest::~Md5Digest() = default;

void Md5Digest::Update(std::span<const std::uint8_t> data) { HashData(context_->hash, data); }

Md5Hash Md5Digest::Final() {
    std::vector<std::uint8_t> digest = FinishHash(context_->hash, Md5Hash{}.size());
    Md5Hash hash{};
    std::copy(digest.begin(), digest.end(), hash.begin());
    context_->Start();
    return hash;
}

Md5Hash Md5Digest::Compute(std::span<const std::uint8_t> data) {
    Md5Digest digest;
    digest.Update(data);
    return digest.Final();
}

}  // namespace ZavorPlatform
