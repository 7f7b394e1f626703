#include <gtest/gtest.h>

#include "filter_test_support.h"
#include "pdf/errors.h"
#include "pdf/filters/ascii85_decode.h"
#include "pdf/filters/ascii_hex_decode.h"
#include "pdf/filters/filtering.h"

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf::Filters;
using ZavorTest::Bytes;
using ZavorTest::ExpectThrowMessage;

namespace {

TEST(RemoveWhiteSpaceTest, DropsTheSixWhiteSpaceBytesOnly) {
    const std::vector<std::uint8_t> data{'a', 0x00, 'b', 0x09, 0x0A, 'c', 0x0B, 0x0C, 0x0D, 0x20, 'd'};
    EXPECT_EQ(Filter::RemoveWhiteSpace(data), (std::vector<std::uint8_t>{'a', 'b', 'c', 0x0B, 'd'}));
    EXPECT_TRUE(Filter::RemoveWhiteSpace({}).empty());
}

TEST(ASCIIHexDecodeTest, EncodesUpperCasePairsWithoutMarkers) {
    const auto &hex = Filtering::ASCIIHexDecode();
    EXPECT_EQ(ZavorTest::Text(hex.Encode(Bytes("Hello"))), "48656C6C6F");
    EXPECT_EQ(ZavorTest::Text(hex.Encode(std::vector<std::uint8_t>{0x00, 0x0F, 0xF0, 0xFF})), "000FF0FF");
    EXPECT_TRUE(hex.Encode(std::vector<std::uint8_t>{}).empty());
}

TEST(ASCIIHexDecodeTest, DecodesKnownVectors) {
    const struct {
        std::string_view encoded;
        std::vector<std::uint8_t> decoded;
    } cases[] = {
        {"48 65 6C 6C 6F", Bytes("Hello")},
        {"414", {0x41, 0x40}},
        {"4\n1\t4\r2\f", {0x41, 0x42}},
        {"6c6C", {0x6C, 0x6C}},
        {"4142>4344", {0x41, 0x42}},
        {"7>", {0x70}},
        {"", {}},
        {">", {}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Filtering::ASCIIHexDecode().Decode(Bytes(c.encoded)), c.decoded) << c.encoded;
    }
    const auto noise = ZavorTest::RandomBytes(1000, 85);
    EXPECT_EQ(Filtering::ASCIIHexDecode().Decode(Filtering::ASCIIHexDecode().Encode(noise)), noise);
}

TEST(ASCIIHexDecodeTest, RefusesNonHexCharacters) {
    for (const std::string_view bad : {"4G", "41 0x42", "\x0B"}) {
        try {
            (void)Filtering::ASCIIHexDecode().Decode(Bytes(bad));
            ADD_FAILURE() << "accepted " << bad;
        } catch (const ArgumentException &error) {
            EXPECT_STREQ(error.what(), "Illegal character.");
            EXPECT_EQ(error.ParamName(), "data");
        }
    }
}

TEST(ASCII85DecodeTest, EncodesKnownVectors) {
    const struct {
        std::vector<std::uint8_t> data;
        std::string_view encoded;
    } cases[] = {
        {Bytes("Man is distinguished"), "9jqo^BlbD-BleB1DJ+*+F(f,q~>"},
        {Bytes("Man"), "9jqo~>"},
        {{0, 0, 0, 0}, "z~>"},
        {{0, 0, 0, 0, 0xFF}, "zrr~>"},
        {{0, 0, 0}, "!!!!~>"},
        {{0xFF, 0xFF, 0xFF, 0xFF}, "s8W-!~>"},
        {{}, "~>"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ZavorTest::Text(Filtering::ASCII85Decode().Encode(c.data)), c.encoded);
        EXPECT_EQ(Filtering::ASCII85Decode().Decode(Bytes(c.encoded)), c.data) << c.encoded;
    }
}

TEST(ASCII85DecodeTest, DecodesAcrossWhiteSpaceAndPartialGroups) {
    const auto &a85 = Filtering::ASCII85Decode();
    EXPECT_EQ(a85.Decode(Bytes("z~>")), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(a85.Decode(Bytes("87cURD_*#4DfTZ)+US~>")), Bytes("Hello, World!\n"));
    EXPECT_EQ(a85.Decode(Bytes("87cU\r\nRD_*#4 DfTZ)\t+US ~>")), Bytes("Hello, World!\n"));
    // Anything after the terminator is not part of the data.
    EXPECT_EQ(a85.Decode(Bytes("9jqo~>\x7f garbage")), Bytes("Man"));
    for (const std::size_t size : {1u, 2u, 3u, 4u, 5u, 999u, 4096u}) {
        const auto noise = ZavorTest::RandomBytes(size, static_cast<unsigned>(size));
        EXPECT_EQ(a85.Decode(a85.Encode(noise)), noise) << "size " << size;
    }
}

TEST(ASCII85DecodeTest, RefusesMalformedData) {
    for (const std::string_view missingEnd : {"9jqo^", "9jqo^~", "9jqo^~x>", ""}) {
        try {
            (void)Filtering::ASCII85Decode().Decode(Bytes(missingEnd));
            ADD_FAILURE() << "accepted " << missingEnd;
        } catch (const ArgumentException &error) {
            EXPECT_STREQ(error.what(), "Illegal character.");
            EXPECT_EQ(error.ParamName(), "data");
        }
    }
    // A lone last character, a "z" inside a group and a group above 32 bits.
    for (const std::string_view bad : {"9~>", "9jqo^9~>", "9jzqo^~>", "9jz~>", "s8W-\"~>", "uuuuu~>"}) {
        ExpectThrowMessage<InvalidOperationException>(
            [&] { (void)Filtering::ASCII85Decode().Decode(Bytes(bad)); }, "Illegal character.");
    }
}

}  // namespace
