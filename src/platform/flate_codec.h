// Deflate and inflate in the zlib format (RFC 1950 around RFC 1951), the
// engine's only use of zlib.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace ZavorPlatform {

class FlateError : public std::runtime_error {
public:
    enum class Kind {
        Damaged,        // not zlib data, a bad checksum, or cut short
        LimitExceeded,  // would inflate past the caller's limit
        Failed,         // zlib itself failed (out of memory, bad state)
    };

    FlateError(Kind kind, const std::string &reason) : std::runtime_error(reason), kind_(kind) {}
    Kind GetKind() const noexcept { return kind_; }

private:
    Kind kind_;
};

// zlib's Adler-32 sums of the bytes, carried on from `start` (1 begins a
// zlib checksum; 0 starts both sums at nought).
std::uint32_t Adler32(std::uint32_t start, std::span<const std::uint8_t> data);

// The whole input at zlib's default level, with header and Adler-32 trailer.
std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> data);

// Inflates one zlib stream; bytes after its end are ignored. Throws
// FlateError: Damaged with zlib's reason (or "unexpected end of data" when the
// input stops short), LimitExceeded once the output would grow beyond
// decodedLimit bytes.
std::vector<std::uint8_t> Inflate(std::span<const std::uint8_t> data, std::size_t decodedLimit);

// Inflates as Inflate does and throws as it does, but keeps the output only
// when asked to: whether data inflates is known without holding what it
// inflates to. A checksum that differs after data that inflated to its end
// is no failure here: readers take such data as it is.
void CheckInflate(std::span<const std::uint8_t> data, std::size_t decodedLimit,
                  std::vector<std::uint8_t> *output = nullptr);

}  // namespace ZavorPlatform
