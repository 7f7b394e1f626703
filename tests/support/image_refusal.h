// The failure every table of damaged or unsupported pictures expects: the
// decoder refuses with an ImageError of the kind and, where given, the
// exact message.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/image_decoder.h"

namespace ZavorTest {

inline void ExpectRefused(const std::vector<std::uint8_t> &bytes, ZavorPlatform::ImageError::Kind kind,
                          const char *message) {
    try {
        ZavorPlatform::DecodeImage(bytes);
        ADD_FAILURE() << "decoded";
    } catch (const ZavorPlatform::ImageError &e) {
        EXPECT_EQ(e.GetKind(), kind) << e.what();
        if (message != nullptr) {
            EXPECT_STREQ(e.what(), message);
        }
    }
}

// A row of such a table.
struct RefusedPicture {
    const char *name;
    std::vector<std::uint8_t> bytes;
    ZavorPlatform::ImageError::Kind kind;
    const char *message;
};

inline void ExpectEachRefused(std::span<const RefusedPicture> cases) {
    for (const RefusedPicture &c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRefused(c.bytes, c.kind, c.message);
    }
}

// Edits that damage a file for such tables.

// The offset of the first marker 0xFF `marker` at or after `from`.
inline std::size_t FindMarker(const std::vector<std::uint8_t> &bytes, std::uint8_t marker, std::size_t from = 0) {
    for (std::size_t at = from; at + 1 < bytes.size(); ++at)
        if (bytes[at] == 0xFF && bytes[at + 1] == marker) return at;
    ADD_FAILURE() << "no marker";
    return 0;
}

inline std::vector<std::uint8_t> Patched(std::vector<std::uint8_t> bytes, std::size_t at, std::uint8_t value) {
    bytes.at(at) = value;
    return bytes;
}

// The first `size` bytes.
inline std::vector<std::uint8_t> Cut(const std::vector<std::uint8_t> &bytes, std::size_t size) {
    return {bytes.begin(), bytes.begin() + static_cast<long>(size)};
}

// The first `size` bytes and a JPEG end marker: a file whose coded data ends early.
inline std::vector<std::uint8_t> EndedAt(const std::vector<std::uint8_t> &bytes, std::size_t size) {
    std::vector<std::uint8_t> out = Cut(bytes, size);
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

}  // namespace ZavorTest
