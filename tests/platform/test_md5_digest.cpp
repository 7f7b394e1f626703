// MD5 against the test suite of RFC 1321, and reuse of one instance.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/md5_digest.h"

namespace ZavorPlatform {
namespace {

std::string Hex(const Md5Hash &hash) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : hash) {
        text += Digits[b >> 4];
        text += Digits[b & 15];
    }
    return text;
}

std::span<const std::uint8_t> Span(const std::string &text) {
    return {reinterpret_cast<const std::uint8_t *>(text.data()), text.size()};
}

TEST(Md5Digest, Rfc1321Vectors) {
    struct Row {
        std::string input;
        const char *hash;
    };
    const std::vector<Row> rows = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const Row &row : rows) EXPECT_EQ(Hex(Md5Digest::Compute(Span(row.input))), row.hash) << row.input;
}

TEST(Md5Digest, PiecewiseUpdatesAndReuseAfterFinal) {
    Md5Digest digest;
    digest.Update(Span("message "));
    digest.Update({});
    digest.Update(Span("digest"));
    EXPECT_EQ(Hex(digest.Final()), "f96b697d7cb7938d525a2f31aaf161d0");
    // Final starts a fresh digest: nothing of the first message remains.
    digest.Update(Span("abc"));
    EXPECT_EQ(Hex(digest.Final()), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace ZavorPlatform
