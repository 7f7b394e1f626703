// AES-CBC and SHA-2 against the published test vectors (NIST SP 800-38A,
// FIPS 180-4), and the padding check that tells damaged data apart.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/aes_cipher.h"

namespace ZavorPlatform {
namespace {

std::vector<std::uint8_t> Bytes(const std::string &hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string Hex(const std::vector<std::uint8_t> &bytes) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : bytes) text += {Digits[b >> 4], Digits[b & 15]};
    return text;
}

const std::string Iv = "000102030405060708090a0b0c0d0e0f";
const std::string Plain = "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51";

TEST(AesCipher, CbcVectorsBothWays) {
    struct Row {
        std::string key, sealed;
    };
    const Row rows[] = {
        {"2b7e151628aed2a6abf7158809cf4f3c", "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"},
        {"603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4",
         "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(Hex(AesCbcEncrypt(Bytes(row.key), Bytes(Iv), Bytes(Plain))), row.sealed);
        auto plain = AesCbcDecrypt(Bytes(row.key), Bytes(Iv), Bytes(row.sealed), false);
        ASSERT_TRUE(plain.has_value());
        EXPECT_EQ(Hex(*plain), Plain);
    }
}

TEST(AesCipher, PaddingIsCheckedAndRemoved) {
    std::vector<std::uint8_t> key = Bytes("2b7e151628aed2a6abf7158809cf4f3c");
    // "abc" and thirteen bytes of 13, sealed without padding of its own.
    std::vector<std::uint8_t> padded = {'a', 'b', 'c'};
    padded.resize(16, 13);
    std::vector<std::uint8_t> sealed = AesCbcEncrypt(key, Bytes(Iv), padded);
    auto plain = AesCbcDecrypt(key, Bytes(Iv), sealed, true);
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(*plain, (std::vector<std::uint8_t>{'a', 'b', 'c'}));
    padded.back() = 17;  // no padding can end in 17
    EXPECT_FALSE(AesCbcDecrypt(key, Bytes(Iv), AesCbcEncrypt(key, Bytes(Iv), padded), true).has_value());
    sealed.pop_back();  // not a whole block
    EXPECT_FALSE(AesCbcDecrypt(key, Bytes(Iv), sealed, true).has_value());
    EXPECT_FALSE(AesCbcDecrypt(key, Bytes(Iv), {}, true).has_value());
}

TEST(Sha2Digest, AbcVectors) {
    const std::vector<std::uint8_t> abc = {'a', 'b', 'c'};
    EXPECT_EQ(Hex(Sha2Digest(Sha2Variant::Sha256, abc)),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Hex(Sha2Digest(Sha2Variant::Sha384, abc)),
              "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7");
    EXPECT_EQ(Hex(Sha2Digest(Sha2Variant::Sha512, abc)),
              "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd"
              "454d4423643ce80e2a9ac94fa54ca49f");
}

}  // namespace
}  // namespace ZavorPlatform
