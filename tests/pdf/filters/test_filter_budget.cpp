// The filters charge what they decode to the budget of the file a stream
// comes from, and stop decoding where it runs out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filter_test_support.h"
#include "pdf/errors.h"
#include "pdf/filters/ascii_hex_decode.h"
#include "pdf/filters/filtering.h"
#include "pdf/filters/flate_decode.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_name.h"
#include "pdf/read_budget.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf;
using namespace ZavorPdf::Pdf::Filters;
using ZavorTest::Bytes;
using ZavorTest::ExpectThrowMessage;

constexpr const char *Refused = "The streams of the file decode to more than 1000 bytes in all.";

std::vector<std::uint8_t> Hex(const std::vector<std::uint8_t> &bytes) {
    return Filtering::ASCIIHexDecode().Encode(bytes);
}

// Each case decodes to 600 bytes: the first stream fits a budget of 1000,
// the second does not, and after that nothing more does.
TEST(FilterBudget, SecondStreamOfAFileIsRefusedAndTheFileStaysRefused) {
    const std::vector<std::uint8_t> plain(600, 'x');
    const std::vector<std::uint8_t> flate = Filtering::FlateDecode().Encode(plain);
    PdfArray chain;
    chain.Elements().Add(std::make_unique<PdfName>("/ASCIIHexDecode"));
    chain.Elements().Add(std::make_unique<PdfName>("/FlateDecode"));
    const struct {
        const char *name;
        std::vector<std::uint8_t> data;
        std::unique_ptr<PdfItem> filter;
        std::size_t charged;  // by the first stream
    } cases[] = {
        {"flate", flate, std::make_unique<PdfName>("/FlateDecode"), 600},
        {"hex", Hex(plain), std::make_unique<PdfName>("/AHx"), 600},
        {"ascii85 zeros", Bytes(std::string(150, 'z') + "~>"), std::make_unique<PdfName>("/A85"), 600},
        // Both stages count: the hex stage yields the Flate bytes.
        {"hex, then flate", Hex(flate), chain.Clone(), 600 + flate.size()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ReadBudget budget(1000, 0);
        EXPECT_EQ(Filtering::Decode(c.data, c.filter.get(), &budget)->size(), 600u);
        EXPECT_EQ(budget.DecodedRoom(), 1000 - c.charged);
        ExpectThrowMessage<ReadBudgetExceededException>([&] { Filtering::Decode(c.data, c.filter.get(), &budget); },
                                                        Refused);
        EXPECT_EQ(budget.DecodedRoom(), 0u);
        PdfName hex("/AHx");
        ExpectThrowMessage<ReadBudgetExceededException>([&] { Filtering::Decode(Bytes("41>"), &hex, &budget); },
                                                        Refused);
        // Without a budget the same data decodes as always.
        EXPECT_EQ(Filtering::Decode(c.data, c.filter.get())->size(), 600u);
    }
}

// The own limit of a filter still speaks for itself where it is the
// smaller one; the budget's refusal names the budget.
TEST(FilterBudget, TheSmallerLimitNamesItself) {
    const std::vector<std::uint8_t> flate = Filtering::FlateDecode().Encode(std::vector<std::uint8_t>(600, 'x'));
    ReadBudget large(5000, 0);
    const FilterParms parms(nullptr, &large);
    ExpectThrowMessage<PdfReaderException>([&] { FlateDecode::Inflate(flate, 100, &parms); },
                                           "Flate data inflates to more than 100 bytes.");
    EXPECT_EQ(large.DecodedRoom(), 5000u);
    ReadBudget small(100, 0);
    const FilterParms tight(nullptr, &small);
    ExpectThrowMessage<ReadBudgetExceededException>([&] { FlateDecode::Inflate(flate, 1000, &tight); },
                                                    "The streams of the file decode to more than 100 bytes in all.");
}

TEST(FilterBudget, FollowsTheFileSize) {
    const std::size_t MiB = std::size_t{1} << 20;
    const struct {
        std::size_t fileSize, decoded, items;
    } cases[] = {
        {0, 8 * MiB, 65536},                     // floors
        {16 * 1024, 8 * MiB, 65536},             // 256 times is below the floor
        {MiB, 256 * MiB, 262144},                // 256 times, a quarter
        {4 * MiB, 512 * MiB, MiB},               // decoded at its ceiling
        {256 * MiB, 512 * MiB, 16 * MiB},        // both at their ceilings
    };
    for (const auto &c : cases) {
        ReadBudget budget = ReadBudget::ForFileSize(c.fileSize);
        EXPECT_EQ(budget.DecodedLimit(), c.decoded) << c.fileSize;
        EXPECT_EQ(budget.ItemLimit(), c.items) << c.fileSize;
    }
}

}  // namespace
