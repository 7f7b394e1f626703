#include <gtest/gtest.h>

#include "filter_test_support.h"
#include "pdf/errors.h"
#include "pdf/filters/ascii_hex_decode.h"
#include "pdf/filters/filtering.h"
#include "pdf/filters/flate_decode.h"

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf::Filters;
using ZavorTest::Bytes;
using ZavorTest::ExpectThrowMessage;

namespace {

std::vector<std::uint8_t> FromHex(std::string_view hex) {
    return *Filtering::ASCIIHexDecode().Decode(Bytes(hex));
}

TEST(FlateDecodeTest, EncodesAtDefaultLevelWithHeaderAndChecksum) {
    const auto &flate = Filtering::FlateDecode();
    // An empty input still gives a complete stream: header, one empty final
    // block and the Adler-32 of nothing (1).
    EXPECT_EQ(flate.Encode(std::vector<std::uint8_t>{}), FromHex("789C030000000001"));
    EXPECT_EQ(flate.Encode(Bytes("Hello")), FromHex("789CF348CDC9C90700058C01F5"));
    EXPECT_EQ(flate.Encode(u"Hello"), FromHex("789CF348CDC9C90700058C01F5"));
}

TEST(FlateDecodeTest, RoundTripsAroundTheReadChunk) {
    const auto &flate = Filtering::FlateDecode();
    const std::size_t sizes[] = {0, 1, 32767, 32768, 32769, 65536, 1024 * 1024, 1024 * 1024 + 1};
    for (const std::size_t size : sizes) {
        const auto noise = ZavorTest::RandomBytes(size, static_cast<unsigned>(size));
        EXPECT_EQ(flate.Decode(flate.Encode(noise)), noise) << "random, size " << size;

        std::vector<std::uint8_t> text;
        while (text.size() < size) {
            const auto line = Bytes("BT /F1 12 Tf 72 700 Td (Hello) Tj ET\n");
            text.insert(text.end(), line.begin(), line.end());
        }
        text.resize(size);
        EXPECT_EQ(flate.Decode(flate.Encode(text)), text) << "text, size " << size;
    }
}

TEST(FlateDecodeTest, IgnoresBytesAfterTheEndOfTheStream) {
    auto encoded = Filtering::FlateDecode().Encode(Bytes("Hello"));
    encoded.push_back('\r');
    encoded.push_back('\n');
    EXPECT_EQ(Filtering::FlateDecode().Decode(encoded), Bytes("Hello"));
}

TEST(FlateDecodeTest, RefusesDamagedData) {
    auto valid = Filtering::FlateDecode().Encode(Bytes("Hello, Hello, Hello"));
    auto badChecksum = valid;
    badChecksum.back() ^= 0xFF;
    const auto truncated = std::vector<std::uint8_t>(valid.begin(), valid.end() - 5);
    const struct {
        const char *what;
        std::vector<std::uint8_t> data;
        std::string message;
    } cases[] = {
        {"not zlib", Bytes("plain text"), "Flate data is damaged: incorrect header check"},
        {"bad checksum", badChecksum, "Flate data is damaged: incorrect data check"},
        {"truncated", truncated, "Flate data is damaged: unexpected end of data"},
        {"empty", {}, "Flate data is damaged: unexpected end of data"},
        {"header only", FromHex("789C"), "Flate data is damaged: unexpected end of data"},
        {"bad block type", FromHex("789C07"), "Flate data is damaged: invalid block type"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ExpectThrowMessage<PdfReaderException>([&] { (void)Filtering::FlateDecode().Decode(c.data); },
                                               c.message);
    }
}

TEST(FlateDecodeTest, RefusesOutputBeyondTheLimit) {
    // 4 MiB of zeros shrink to about 4 KiB: the shape of a decompression bomb.
    const std::vector<std::uint8_t> zeros(4 * 1024 * 1024, 0);
    const auto bomb = Filtering::FlateDecode().Encode(zeros);
    ASSERT_LT(bomb.size(), 8192u);

    ExpectThrowMessage<PdfReaderException>([&] { (void)FlateDecode::Inflate(bomb, 100000); },
                                           "Flate data inflates to more than 100000 bytes.");
    ExpectThrowMessage<PdfReaderException>([&] { (void)FlateDecode::Inflate(bomb, zeros.size() - 1); },
                                           "Flate data inflates to more than 4194303 bytes.");
    // Exactly at the limit is still fine, also when it falls on a chunk edge.
    EXPECT_EQ(FlateDecode::Inflate(bomb, zeros.size()), zeros);
    EXPECT_EQ(FlateDecode::Inflate(Filtering::FlateDecode().Encode(std::vector<std::uint8_t>(32768, 7)), 32768),
              std::vector<std::uint8_t>(32768, 7));
    EXPECT_GE(FlateDecode::DefaultDecodedLimit, std::size_t{256} * 1024 * 1024);
}

}  // namespace
