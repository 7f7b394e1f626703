#include <gtest/gtest.h>

#include "filter_test_support.h"
#include "pdf/errors.h"
#include "pdf/filters/ascii85_decode.h"
#include "pdf/filters/ascii_hex_decode.h"
#include "pdf/filters/filtering.h"
#include "pdf/filters/flate_decode.h"
#include "pdf/filters/lzw_decode.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf::Filters;
using ZavorTest::Bytes;
using ZavorTest::ExpectThrowMessage;
using ZavorPdf::Pdf::PdfArray;
using ZavorPdf::Pdf::PdfName;

namespace {

std::unique_ptr<PdfArray> FilterArray(std::initializer_list<const char *> names) {
    auto array = std::make_unique<PdfArray>();
    for (const char *name : names) {
        array->Elements().Add(std::make_unique<PdfName>(name));
    }
    return array;
}

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

TEST(FilteringTest, AppliesAFilterValueNameOrArrayInOrder) {
    const auto hello = Bytes("Hello, filter chain");
    const auto zipped = Filtering::FlateDecode().Encode(hello);
    const auto a85Zipped = Filtering::ASCII85Decode().Encode(zipped);

    const PdfName fl("/Fl");
    const PdfName dct("/DCTDecode");
    EXPECT_EQ(Filtering::Decode(zipped, &fl), hello);
    EXPECT_EQ(Filtering::Decode(a85Zipped, FilterArray({"/ASCII85Decode", "/FlateDecode"}).get()), hello);
    // The other order feeds ASCII85 text to the inflater.
    ExpectThrowMessage<PdfReaderException>(
        [&] { (void)Filtering::Decode(a85Zipped, FilterArray({"/FlateDecode", "/ASCII85Decode"}).get()); },
        "Flate data is damaged: incorrect header check");
    EXPECT_EQ(Filtering::Decode(hello, FilterArray({}).get()), hello);

    EXPECT_FALSE(Filtering::Decode(zipped, FilterArray({"/FlateDecode", "/DCTDecode"}).get()).has_value());
    EXPECT_FALSE(Filtering::Decode(hello, &dct).has_value());
    ExpectThrowMessage<NotImplementedException>(
        [&] { (void)Filtering::Decode(zipped, FilterArray({"/FlateDecode", "/flatedecode"}).get()); },
        "Unknown filter: flatedecode");
}

TEST(FilteringTest, YieldsNothingForOtherFilterValues) {
    const auto data = Bytes("48 65");
    const ZavorPdf::Pdf::PdfInteger number(3);
    EXPECT_FALSE(Filtering::Decode(data, &number).has_value());
    EXPECT_FALSE(Filtering::Decode(data, static_cast<const ZavorPdf::Pdf::PdfItem *>(nullptr)).has_value());
    auto mixed = FilterArray({"/AHx"});
    mixed->Elements().Add(std::make_unique<ZavorPdf::Pdf::PdfInteger>(1));
    EXPECT_FALSE(Filtering::Decode(data, mixed.get()).has_value());
}

TEST(FilteringTest, LooksThroughIndirectFilterValues) {
    ZavorPdf::Pdf::PdfDocument document;
    auto &table = document.ReferenceTable();
    auto *name = table.Add(std::make_unique<ZavorPdf::Pdf::PdfNameObject>("/AHx"));
    auto *array = table.Add(FilterArray({"/AHx", "/AHx"}));
    auto withIndirectName = std::make_unique<PdfArray>(&document);
    withIndirectName->Elements().AddReference(name);

    EXPECT_EQ(Filtering::Decode(Bytes("4142"), name), Bytes("AB"));
    EXPECT_EQ(Filtering::Decode(Bytes("3431203432"), array), Bytes("AB"));
    EXPECT_EQ(Filtering::Decode(Bytes("4142"), withIndirectName.get()), Bytes("AB"));
}

}  // namespace
