#include <gtest/gtest.h>

#include <map>

#include "filter_test_support.h"
#include "pdf/errors.h"
#include "pdf/filters/filtering.h"
#include "pdf/filters/lzw_decode.h"
#include "pdf/read_budget.h"

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf::Filters;
using ZavorTest::Bytes;
using ZavorTest::ExpectThrowMessage;

namespace {

constexpr int Clear = 256;
constexpr int End = 257;

// The width a reader with early change expects when its table's next free
// entry is nextCode.
int Width(int nextCode) {
    return nextCode >= 2047 ? 12 : nextCode >= 1023 ? 11 : nextCode >= 511 ? 10 : 9;
}

// Packs codes most significant bit first, following the reader's table growth.
std::vector<std::uint8_t> Pack(const std::vector<int> &codes) {
    std::vector<std::uint8_t> out;
    std::uint32_t bits = 0;
    int count = 0;
    int next = 258;
    bool first = true;
    for (const int code : codes) {
        const int width = Width(next);
        bits = bits << width | static_cast<std::uint32_t>(code);
        count += width;
        while (count >= 8) {
            count -= 8;
            out.push_back(static_cast<std::uint8_t>(bits >> count));
        }
        if (code == Clear) {
            next = 258;
            first = true;
        } else if (code != End) {
            if (!first && next < 4096) {
                ++next;
            }
            first = false;
        }
    }
    if (count > 0) {
        out.push_back(static_cast<std::uint8_t>(bits << (8 - count)));
    }
    return out;
}

// A plain LZW writer: clear code first, a new clear code whenever the table
// is full, end code last.
std::vector<int> Compress(const std::vector<std::uint8_t> &data) {
    std::map<std::vector<std::uint8_t>, int> table;
    int next = 258;
    std::vector<int> codes{Clear};
    std::vector<std::uint8_t> current;
    auto codeOf = [&](const std::vector<std::uint8_t> &s) { return s.size() == 1 ? s[0] : table.at(s); };
    for (const std::uint8_t byte : data) {
        auto extended = current;
        extended.push_back(byte);
        if (current.empty() || extended.size() == 1 || table.count(extended) != 0) {
            current = extended;
            continue;
        }
        codes.push_back(codeOf(current));
        table[extended] = next++;
        if (next == 4096) {
            codes.push_back(Clear);
            table.clear();
            next = 258;
        }
        current = {byte};
    }
    if (!current.empty()) {
        codes.push_back(codeOf(current));
    }
    codes.push_back(End);
    return codes;
}

TEST(LzwDecodeTest, DecodesTheClassicExample) {
    // "-----A---B" as codes 256 45 258 258 65 259 66 257 in 9 bits.
    const std::vector<std::uint8_t> encoded{0x80, 0x0B, 0x60, 0x50, 0x22, 0x0C, 0x0C, 0x85, 0x01};
    EXPECT_EQ(Pack({Clear, 45, 258, 258, 65, 259, 66, End}), encoded);
    EXPECT_EQ(Filtering::LzwDecode().Decode(encoded), Bytes("-----A---B"));
    EXPECT_EQ(Filtering::Decode(encoded, "/LZW"), Bytes("-----A---B"));
}

TEST(LzwDecodeTest, RoundTripsThroughEveryCodeWidthAndTableReset) {
    std::vector<std::uint8_t> text;
    for (int i = 0; text.size() < 200000; ++i) {
        const auto line = Bytes("1 0 0 1 " + std::to_string(i * 7 % 613) + " 700 cm (Zeile " + std::to_string(i) +
                                ") Tj\n");
        text.insert(text.end(), line.begin(), line.end());
    }
    const std::vector<std::vector<std::uint8_t>> inputs{
        {},
        {'A'},
        std::vector<std::uint8_t>(5000, 'x'),  // long runs: the not-yet-known code case
        ZavorTest::RandomBytes(3000, 1),       // 12-bit codes, no reset
        ZavorTest::RandomBytes(100000, 2),     // several resets
        text,
    };
    for (const auto &input : inputs) {
        const auto encoded = Pack(Compress(input));
        EXPECT_EQ(Filtering::LzwDecode().Decode(encoded), input) << "size " << input.size();
    }
}

TEST(LzwDecodeTest, ToleratesAMissingEndCode) {
    EXPECT_EQ(Filtering::LzwDecode().Decode(Pack({Clear, 'A', 'B', 258})), Bytes("ABAB"));
    // Codes after the end code are ignored.
    EXPECT_EQ(Filtering::LzwDecode().Decode(Pack({Clear, 'A', End, 'B'})), Bytes("A"));
}

TEST(LzwDecodeTest, RefusesWhatItCannotDecode) {
    ExpectThrowMessage<NotSupportedException>(
        [] { (void)Filtering::LzwDecode().Decode(std::vector<std::uint8_t>{0x00, 0x01, 0x80}); },
        "LZW flavour not supported.");
    ExpectThrowMessage<NotImplementedException>([] { (void)Filtering::LzwDecode().Encode(Bytes("A")); },
                                                "ZavorPdf does not support LZW encoding.");
    ExpectThrowMessage<NotImplementedException>([] { (void)Filtering::Encode(Bytes("A"), "LZWDecode"); },
                                                "ZavorPdf does not support LZW encoding.");
    // A code beyond the table, and the not-yet-known code with nothing before it.
    for (const auto &codes : {std::vector<int>{Clear, 'A', 300, End}, std::vector<int>{Clear, 258, End},
                              std::vector<int>{Clear, 'A', Clear, 258, End}}) {
        ExpectThrowMessage<PdfReaderException>([&] { (void)Filtering::LzwDecode().Decode(Pack(codes)); },
                                               "LZW data holds an undefined code.");
    }
}

TEST(LzwDecodeTest, RefusesOutputBeyondTheLimit) {
    const auto encoded = Pack(Compress(std::vector<std::uint8_t>(100000, 0)));
    ASSERT_LT(encoded.size(), 1000u);
    EXPECT_EQ(LzwDecode::Expand(encoded, 100000).size(), 100000u);
    ExpectThrowMessage<PdfReaderException>([&] { (void)LzwDecode::Expand(encoded, 99999); },
                                           "LZW data decodes to more than 99999 bytes.");
}

TEST(LzwDecodeTest, ChargesTheFileBudgetAndStopsWhereItEnds) {
    const auto encoded = Pack(Compress(std::vector<std::uint8_t>(100000, 0)));
    Pdf::ReadBudget budget(150000, 0);
    const FilterParms parms(nullptr, &budget);
    EXPECT_EQ(LzwDecode::Expand(encoded, 1000000, &parms).size(), 100000u);
    EXPECT_EQ(budget.DecodedRoom(), 50000u);
    ExpectThrowMessage<Pdf::ReadBudgetExceededException>(
        [&] { (void)LzwDecode::Expand(encoded, 1000000, &parms); },
        "The streams of the file decode to more than 150000 bytes in all.");
}

}  // namespace
