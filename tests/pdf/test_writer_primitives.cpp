// Byte forms of the writer's tokens: numbers, names, strings, the separator
// rule and the frames of direct and indirect objects.
#include <clocale>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_boolean.h"
#include "pdf/pdf_date.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_literal.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_null.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_number_format.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_writer.h"
#include "support/platform_support.h"

namespace ZavorPdf::Pdf {
namespace {

using IO::PdfWriter;

std::string Text(const std::vector<std::uint8_t> &bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string Written(const PdfItem &item) {
    std::vector<std::uint8_t> bytes;
    PdfWriter writer(bytes);
    item.WriteObject(writer);
    return Text(bytes);
}

struct RealCase {
    double value;
    const char *text;
};

TEST(WriterNumbers, RealsFollowTheThreeDecimalRule) {
    const RealCase cases[] = {
        {0.5, "0.5"},         {12.0, "12"},          {1.23456, "1.235"},   {-0.0001, "0"},
        {1.0005, "1.001"},    {-2.5, "-2.5"},        {3.0, "3"},           {0.0, "0"},
        {-0.0, "0"},          {0.0005, "0.001"},     {-0.0005, "-0.001"},  {0.00049999, "0"},
        {999.9995, "1000"},   {-999.9995, "-1000"},  {9.9999, "10"},       {0.1 + 0.2, "0.3"},
        {1e15, "1000000000000000"}, {1e20, "100000000000000000000"}, {123456.78949, "123456.789"},
        {2.675, "2.675"},     {1.0015, "1.002"},     {595.2756, "595.276"}, {-1e-300, "0"},
    };
    for (const auto &c : cases) EXPECT_EQ(FormatReal(c.value), c.text) << "value " << c.value;
}

TEST(WriterNumbers, RepeatedValuesKeepTheirOwnDecimals) {
    // Line after line repeats the same step; the text written last must not
    // stand in for the same value at another precision or another value.
    const struct {
        double value;
        int decimals;
        const char *text;
    } cases[] = {{11.499, 4, "11.499"},  {11.499, 4, "11.499"}, {11.499, 2, "11.5"}, {11.499, 4, "11.499"},
                 {-11.499, 4, "-11.499"}, {1.23456, 2, "1.23"},  {1.23456, 3, "1.235"}, {1.23456, 2, "1.23"}};
    for (const auto &c : cases)
        EXPECT_EQ(FormatReal(c.value, c.decimals), c.text) << c.value << " to " << c.decimals;
}

TEST(WriterNumbers, NonFiniteValuesBecomeZero) {
    EXPECT_EQ(FormatReal(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(FormatReal(std::numeric_limits<double>::infinity()), "0");
    EXPECT_EQ(FormatReal(-std::numeric_limits<double>::infinity()), "0");
}

TEST(WriterNumbers, IntegersAndBooleans) {
    EXPECT_EQ(Written(PdfInteger(-42)), "-42");
    EXPECT_EQ(Written(PdfInteger(std::numeric_limits<std::int32_t>::min())), "-2147483648");
    EXPECT_EQ(Written(PdfUInteger(4294967295u)), "4294967295");
    EXPECT_EQ(Written(PdfBoolean(true)), "true");
    EXPECT_EQ(Written(PdfBoolean(false)), "false");
    EXPECT_EQ(Written(PdfNull()), " null ");
}

TEST(WriterNumbers, GermanLocaleChangesNoByte) {
    ZAVOR_SKIP_ON_WINDOWS("POSIX locale names");
    const char *previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous != nullptr ? previous : "C";
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "locale de_DE.UTF-8 is not installed";
    std::vector<std::uint8_t> bytes;
    {
        PdfWriter writer(bytes);
        writer.Write(1234567.125);
        writer.Write(-0.5);
        writer.Write(PdfRectangle(0, 0, 595.2756, 841.8898));
        writer.Write(std::int32_t{1000000});
    }
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(Text(bytes), "1234567.125 -0.5[0 0 595.276 841.89]1000000");
}

struct NameCase {
    const char *name;
    const char *written;
};

TEST(WriterNames, EscapesBlanksControlsAndDelimiters) {
    const NameCase cases[] = {
        {"/Type", "/Type"},         {"/A B", "/A#20B"},          {"/A\tB", "/A#09B"},
        {"/A#B", "/A#23B"},         {"/a%b", "/a#25b"},          {"/(x)", "/#28x#29"},
        {"/a/b", "/a#2Fb"},         {"/<>", "/#3C#3E"},          {"/a[b]{c}", "/a#5Bb#5D#7Bc#7D"},
        {"/\xE4", "/\xE4"},         {"/", "/"},                  {"/A\nB", "/A#0AB"},
    };
    for (const auto &c : cases) EXPECT_EQ(Written(PdfName(c.name)), c.written) << c.name;
}

TEST(WriterNames, MustStartWithSlash) {
    for (const char *bad : {"", "Type", " /Type"}) {
        try {
            PdfName name(bad);
            FAIL() << "accepted " << bad;
        } catch (const ArgumentException &e) {
            EXPECT_STREQ(e.what(), "A PDF name must start with a slash (/).");
        }
    }
}

struct StringCase {
    PdfString value;
    std::string written;
};

TEST(WriterStrings, LiteralHexAndUnicodeForms) {
    using F = PdfStringFlags;
    const StringCase cases[] = {
        {PdfString(u"a(b)\\x"), "(a\\(b\\)\\\\x)"},
        {PdfString(u"line\nfeed\rret\ttab\bbs"), "(line\\nfeed\\rret\\ttab\\bbs)"},
        {PdfString(std::u16string(u"\x01\x1F\x7F\xFF", 4)), "(\x01\x1F\x7F\xFF)"},
        {PdfString(std::u16string(u"\0z", 2)), std::string("(\0z)", 4)},
        {PdfString(u"\u00E4", PdfStringEncoding::Unicode), "<FEFF00E4>"},
        {PdfString(u"\u00E4", F::Unicode | F::HexLiteral), "<FEFF00E4>"},
        {PdfString(u"AB", F::RawEncoding | F::HexLiteral), "<4142>"},
        {PdfString(u"\u20AC", PdfStringEncoding::WinAnsiEncoding), "(\x80)"},
        {PdfString(u"\u20AC\u2014", PdfStringEncoding::PDFDocEncoding), "(\xA0\x84)"},
        {PdfString(u"", PdfStringEncoding::Unicode), "()"},
        {PdfString(u"", F::MacRomanEncoding | F::HexLiteral), "<>"},
        {PdfString(u"\U0001F600", PdfStringEncoding::Unicode), "<FEFFD83DDE00>"},
    };
    for (const auto &c : cases) EXPECT_EQ(Written(c.value), c.written);
}

TEST(WriterStrings, LongUnicodeStringBreaksAfterEvery48Bytes) {
    // 60 units: the unit at byte offset 48 is the 25th, at 96 the 49th.
    std::u16string text;
    for (int i = 0; i < 60; ++i) text += static_cast<char16_t>(u'A' + i % 26);
    std::string expected = "<FEFF";
    for (int i = 0; i < 60; ++i) {
        char unit[5];
        std::snprintf(unit, sizeof unit, "%04X", static_cast<unsigned>(text[static_cast<std::size_t>(i)]));
        expected += unit;
        if (i == 24 || i == 48) expected += '\n';
    }
    expected += '>';
    EXPECT_EQ(Written(PdfString(text, PdfStringEncoding::Unicode)), expected);
}

TEST(WriterStrings, UnimplementedEncodingsAreRefusedByName) {
    for (auto encoding : {PdfStringEncoding::StandardEncoding, PdfStringEncoding::MacRomanEncoding,
                          PdfStringEncoding::MacExpertEncoding}) {
        try {
            Written(PdfString(u"x", encoding));
            FAIL();
        } catch (const NotImplementedException &e) {
            EXPECT_NE(std::string(e.what()).find(EncodingName(encoding)), std::string::npos) << e.what();
        }
    }
}

TEST(WriterStrings, DocStringsAndDates) {
    std::vector<std::uint8_t> bytes;
    PdfWriter writer(bytes);
    writer.WriteDocString(u"f\u00FCr (x)");
    writer.WriteDocString(u"\u00E4", true);
    writer.WriteDocStringHex(u"\u00FC!");
    writer.WriteDocString(u"");
    PdfDate(LocalDateTime{2024, 1, 31, 12, 0, 0, 60}).WriteObject(writer);
    EXPECT_EQ(Text(bytes), "(f\xFCr \\(x\\))<FEFF00E4><FC21>()(D:20240131120000+01'00')");
}

// The separator rule: a blank only between two tokens of the Character
// kind; a name separates itself by its slash.
TEST(WriterSeparator, BlankOnlyBetweenCharacterTokens) {
    std::vector<std::uint8_t> bytes;
    PdfWriter writer(bytes);
    writer.Write(PdfName("/Type"));
    writer.Write(PdfName("/Catalog"));
    writer.NewLine();
    writer.Write(PdfName("/Length"));
    writer.Write(std::int32_t{42});
    writer.Write(PdfName("/Filter"));
    writer.NewLine();
    writer.NewLine();
    writer.Write(PdfBoolean(true));
    writer.Write(PdfLiteral("q"));
    writer.Write(PdfString(u"s"));
    writer.Write(2.5);
    writer.Write(PdfRectangle(1, 2, 3, 4));
    writer.Write(PdfRectangle(1, 2, 3, 4));
    writer.WriteRaw("");
    writer.Write(std::vector<std::uint8_t>{});
    EXPECT_EQ(Text(bytes), "/Type/Catalog\n/Length 42/Filter\ntrue q(s)2.5[1 2 3 4][1 2 3 4]");
}

TEST(WriterSeparator, ReferencesAfterNamesAndNumbers) {
    PdfDocument document(DocumentSetup::Empty);
    PdfReference *catalog = document.ReferenceTable().Add(std::make_unique<PdfDictionary>());
    PdfReference *pages = document.ReferenceTable().Add(std::make_unique<PdfDictionary>());
    PdfArray array;
    array.Elements().Add(std::make_unique<PdfInteger>(7));
    array.Elements().AddReference(catalog);
    array.Elements().AddReference(pages);
    array.Elements().Add(std::make_unique<PdfName>("/N"));
    array.Elements().AddReference(pages);

    PdfDictionary dictionary;
    dictionary.Elements().SetReference("/Root", catalog);
    dictionary.Elements().SetValue("/Kids", array.Clone());
    EXPECT_EQ(Written(dictionary), "<<\n/Root 1 0 R\n/Kids[7 1 0 R 2 0 R/N 2 0 R]\n>>\n");
}

TEST(WriterObjects, DirectDictionaryInsideArrayAndDictionary) {
    PdfArray array;
    auto inner = std::make_unique<PdfDictionary>();
    inner->Elements().SetName("/S", "Transparency");
    inner->Elements().SetBoolean("/I", false);
    array.Elements().Add(std::make_unique<PdfInteger>(1));
    array.Elements().Add(std::move(inner));
    array.Elements().Add(std::make_unique<PdfInteger>(2));
    EXPECT_EQ(Written(array), "[1\n<<\n/S/Transparency\n/I false\n>>\n2]");

    PdfDictionary outer;
    outer.Elements().SetName("/Type", "/Page");
    auto group = std::make_unique<PdfDictionary>();
    group->Elements().SetName("/CS", "/DeviceRGB");
    outer.Elements().SetValue("/Group", std::move(group));
    outer.Elements().SetValue("/Empty", std::make_unique<PdfArray>());
    EXPECT_EQ(Written(outer), "<<\n/Type/Page\n/Group\n<<\n/CS/DeviceRGB\n>>\n/Empty[]\n>>\n");
}

TEST(WriterObjects, IndirectObjectsWrittenInFull) {
    PdfDocument document(DocumentSetup::Empty);
    auto &table = document.ReferenceTable();
    auto *stream = static_cast<PdfDictionary *>(table.Add(std::make_unique<PdfDictionary>())->Value());
    std::string content = "BT /F1 12 Tf (Hi) Tj ET";
    stream->CreateStream(std::vector<std::uint8_t>(content.begin(), content.end()));
    EXPECT_EQ(Written(*stream), "1 0 obj\n<<\n/Length 23\n>>\nstream\nBT /F1 12 Tf (Hi) Tj ET\nendstream\nendobj\n");

    auto *empty = static_cast<PdfDictionary *>(table.Add(std::make_unique<PdfDictionary>())->Value());
    empty->CreateStream({});
    EXPECT_EQ(Written(*empty), "2 0 obj\n<<\n/Length 0\n>>\nstream\nendstream\nendobj\n");

    auto *array = static_cast<PdfArray *>(table.Add(std::make_unique<PdfArray>())->Value());
    array->Elements().Add(std::make_unique<PdfReal>(0.25));
    array->Elements().Add(std::make_unique<PdfName>("/X"));
    EXPECT_EQ(Written(*array), "3 0 obj\n[\n0.25/X\n]\nendobj\n");

    auto *dictionary = static_cast<PdfDictionary *>(table.Add(std::make_unique<PdfDictionary>())->Value());
    EXPECT_EQ(Written(*dictionary), "4 0 obj\n<<\n>>\nendobj\n");
}

TEST(WriterObjects, StreamEndingInLineFeedGetsNoSecondOne) {
    PdfDocument document(DocumentSetup::Empty);
    auto *stream = static_cast<PdfDictionary *>(
        document.ReferenceTable().Add(std::make_unique<PdfDictionary>())->Value());
    stream->CreateStream({'q', '\n'});
    EXPECT_EQ(Written(*stream), "1 0 obj\n<<\n/Length 2\n>>\nstream\nq\nendstream\nendobj\n");
}

TEST(WriterFile, HeaderXrefTrailerAndEnd) {
    PdfDocument document(DocumentSetup::Empty);
    std::vector<std::uint8_t> bytes;
    PdfWriter writer(bytes);
    writer.WriteFileHeader(document);
    std::int32_t first = writer.Position();
    auto *catalog = static_cast<PdfDictionary *>(
        document.ReferenceTable().Add(std::make_unique<PdfDictionary>())->Value());
    catalog->Elements().SetName("/Type", "/Catalog");
    catalog->WriteObject(writer);
    std::int32_t startxref = writer.Position();
    writer.WriteXrefTable({{first, 0}});
    PdfDictionary trailer;
    trailer.Elements().SetInteger("/Size", 2);
    trailer.Elements().SetReference("/Root", *catalog);
    writer.WriteTrailer(trailer);
    writer.WriteEof(startxref);

    std::string expected =
        "%PDF-1.4\n%\xD3\xF4\xCC\xE1\n"
        "1 0 obj\n<<\n/Type/Catalog\n>>\nendobj\n"
        "xref\n0 2\n0000000000 65535 f \n0000000015 00000 n \n"
        "trailer\n<<\n/Size 2\n/Root 1 0 R\n>>\n"
        "startxref\n50\n%%EOF\n";
    EXPECT_EQ(first, 15);
    EXPECT_EQ(startxref, 50);
    EXPECT_EQ(Text(bytes), expected);
}

TEST(WriterFile, VersionAndEntryWidths) {
    std::vector<std::uint8_t> bytes;
    PdfWriter writer(bytes);
    writer.WriteFileHeader(17);
    std::size_t xrefStart = bytes.size();
    writer.WriteXrefTable({{123456789, 0}, {7, 65535}});
    std::string text = Text(bytes);
    EXPECT_EQ(text.substr(0, 9), "%PDF-1.7\n");
    std::string xref = text.substr(xrefStart);
    EXPECT_EQ(xref, "xref\n0 3\n0000000000 65535 f \n0123456789 00000 n \n0000000007 65535 n \n");
    for (std::size_t pos = xref.find("0000000000"); pos < xref.size(); pos += 20)
        EXPECT_EQ(xref[pos + 19], '\n');
}

TEST(WriterFile, StreamSinkFailureRaises) {
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    PdfWriter writer(broken);
    EXPECT_THROW(writer.WriteRaw("x"), ZavorPdfException);
}

}  // namespace
}  // namespace ZavorPdf::Pdf
