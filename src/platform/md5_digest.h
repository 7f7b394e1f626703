// MD5 digests (RFC 1321) for the key derivation of encrypted files. The
// digest is no protection by itself; the file format prescribes it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace ZavorPlatform {

using Md5Hash = std::array<std::uint8_t, 16>;

// One running digest; Final() returns the hash and starts the next one, so
// an instance can be used again and again.
class Md5Digest {
public:
    Md5Digest();
    ~Md5Digest();
    Md5Digest(const Md5Digest &) = delete;
    Md5Digest &operator=(const Md5Digest &) = delete;

    void Update(std::span<const std::uint8_t> data);
    Md5Hash Final();

    static Md5Hash Compute(std::span<const std::uint8_t> data);

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

}  // namespace ZavorPlatform
