// The failure every table of damaged or unsupported pictures expects: the
// decoder refuses with an ImageError of the kind and, where given, the
// exact message.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
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

}  // namespace ZavorTest
