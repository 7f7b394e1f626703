#include <gtest/gtest.h>

#include "filter_test_support.h"
#include "pdf/errors.h"
#include "pdf/filters/ascii85_decode.h"
#include "pdf/filters/ascii_hex_decode.h"
#include "pdf/filters/filtering.h"
#include "pdf/filters/flate_decode.h"
#include "pdf/filters/lzw_decode.h"

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf::Filters;
using ZavorTest::Bytes;
using ZavorTest::ExpectThrowMessage;

namespace {

TEST(FilteringTest, MapsNamesAndAbbreviationsToTheSharedFilters) {
    const struct {
        std::string_view name;
        const Filter *filter;
    } cases[] = {
        {"ASCIIHexDecode", &Filtering::ASCIIHexDecode()}, {"AHx", &Filtering::ASCIIHexDecode()},
        {"ASCII85Decode", &Filtering::ASCII85Decode()},   {"A85", &Filtering::ASCII85Decode()},
        {"LZWDecode", &Filtering::LzwDecode()},           {"LZW", &Filtering::LzwDecode()},
        {"FlateDecode", &Filtering::FlateDecode()},       {"Fl", &Filtering::FlateDecode()},
        {"RunLengthDecode", nullptr},                     {"CCITTFaxDecode", nullptr},
        {"JBIG2Decode", nullptr},                         {"DCTDecode", nullptr},
        {"JPXDecode", nullptr},                           {"Crypt", nullptr},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Filtering::GetFilter(c.name), c.filter) << c.name;
        EXPECT_EQ(Filtering::GetFilter("/" + std::string(c.name)), c.filter) << c.name;
    }
}

TEST(FilteringTest, RefusesUnknownNamesWithoutTheirSlash) {
    const struct {
        std::string_view name;
        std::string message;
    } cases[] = {
        {"/flatedecode", "Unknown filter: flatedecode"},
        {"Foo", "Unknown filter: Foo"},
        {"//Fl", "Unknown filter: /Fl"},
        {"/Fl ", "Unknown filter: Fl "},
        {"", "Unknown filter: "},
    };
    for (const auto &c : cases) {
        ExpectThrowMessage<NotImplementedException>([&] { (void)Filtering::GetFilter(c.name); }, c.message);
        ExpectThrowMessage<NotImplementedException>([&] { (void)Filtering::Decode(Bytes("x"), c.name); },
                                                    c.message);
    }
}

TEST(FilteringTest, LeavesUndecodableFiltersAlone) {
    EXPECT_FALSE(Filtering::Decode(Bytes("\xFF\xD8\xFF"), "/DCTDecode").has_value());
    EXPECT_FALSE(Filtering::DecodeToString(Bytes("\xFF\xD8\xFF"), "/DCTDecode").has_value());
    EXPECT_FALSE(Filtering::Encode(Bytes("x"), "/RunLengthDecode").has_value());
    EXPECT_FALSE(Filtering::Encode(u"x", "Crypt").has_value());
}

TEST(FilteringTest, EncodesAndDecodesByName) {
    EXPECT_EQ(Filtering::Encode(u"Hello", "/AHx"), Bytes("48656C6C6F"));
    // Text is taken one byte per code unit, so U+0141 becomes 0x41.
    EXPECT_EQ(Filtering::Encode(u"\u00E4\u0141", "AHx"), Bytes("E441"));
    EXPECT_EQ(Filtering::DecodeToString(Bytes("48 E4>"), "ASCIIHexDecode"), std::u16string(u"H\u00E4"));
    const auto zipped = Filtering::Encode(Bytes("BT ET"), "/Fl");
    ASSERT_TRUE(zipped.has_value());
    EXPECT_EQ(Filtering::Decode(*zipped, "/FlateDecode"), Bytes("BT ET"));
    const FilterParms parms;
    EXPECT_EQ(Filtering::Decode(*zipped, "Fl", &parms), Bytes("BT ET"));
}

}  // namespace
