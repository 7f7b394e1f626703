// The text encodings of PDF strings.
#include <gtest/gtest.h>

#include "pdf/pdf_encodings.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_text_string.h"

namespace ZavorPdf::Pdf::Internal {
namespace {

Bytes B(std::initializer_list<int> values) {
    Bytes bytes;
    for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

TEST(DocEncoding, HighRangeBothWays) {
    struct Case {
        std::uint8_t byte;
        char16_t unicode;
    };
    const Case cases[] = {
        {0x80, 0x2022}, {0x81, 0x2020}, {0x83, 0x2026}, {0x84, 0x2014}, {0x85, 0x2013}, {0x86, 0x0192},
        {0x8A, 0x2212}, {0x8C, 0x201E}, {0x8D, 0x201C}, {0x8E, 0x201D}, {0x92, 0x2122}, {0x93, 0xFB01},
        {0x94, 0xFB02}, {0x95, 0x0141}, {0x96, 0x0152}, {0x97, 0x0160}, {0x98, 0x0178}, {0x99, 0x017D},
        {0x9A, 0x0131}, {0x9E, 0x017E}, {0xA0, 0x20AC},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PdfDocEncodingToUnicode(c.byte), c.unicode) << int(c.byte);
        EXPECT_EQ(DocEncoding().GetBytes(std::u16string(1, c.unicode)), Bytes{c.byte}) << int(c.byte);
    }
    EXPECT_EQ(PdfDocEncodingToUnicode(0x9F), 0xFFFD);
}

TEST(DocEncoding, EveryByteExceptTheUndefinedSurvivesTheRoundTrip) {
    for (int b = 0; b < 256; ++b) {
        if (b == 0x9F) continue;
        Bytes bytes{static_cast<std::uint8_t>(b)};
        EXPECT_EQ(DocEncoding().GetBytes(DocEncoding().GetString(bytes)), bytes) << b;
    }
}

TEST(DocEncoding, CharactersOutsideTheEncoding) {
    // Latin-1 letters are themselves; the no-break space becomes a blank;
    // others take a look-alike or "?".
    EXPECT_EQ(DocEncoding().GetBytes(u"f\u00FCr \u00E9t\u00E9"), B({'f', 0xFC, 'r', ' ', 0xE9, 't', 0xE9}));
    EXPECT_EQ(DocEncoding().GetBytes(u"a\u00A0b"), B({'a', ' ', 'b'}));
    EXPECT_EQ(DocEncoding().GetBytes(u"\u0101"), B({'a'}));     // a with macron
    EXPECT_EQ(DocEncoding().GetBytes(u"\u4E2D"), B({'?'}));
    EXPECT_EQ(DocEncoding().GetBytes(u"\U0001F600x"), B({'?', 'x'}));
}

TEST(DocEncoding, HoldsExactlyTheCharactersOfItsTable) {
    struct Case {
        char16_t unicode;
        int byte;  // -1: PDFDocEncoding lacks the character
    };
    const Case cases[] = {
        {u'A', 0x41},    {0x0017, 0x17}, {0x0018, -1},   {0x001F, -1},   {0x02D8, 0x18}, {0x02C6, 0x1A},
        {0x02DC, 0x1F},  {0x007F, 0x7F}, {0x0080, -1},   {0x0085, -1},   {0x009F, -1},   {0x00A0, -1},
        {0x20AC, 0xA0},  {0x2013, 0x85}, {0x00A1, 0xA1}, {0x00AD, -1},   {0x00E4, 0xE4}, {0x00FF, 0xFF},
        {0xFFFD, -1},    {0x03A9, -1},   {0xD83D, -1},   {0x0100, -1},
    };
    for (const Case &c : cases) {
        std::optional<std::uint8_t> byte = TryPdfDocByte(c.unicode);
        EXPECT_EQ(byte ? int(*byte) : -1, c.byte) << std::hex << int(c.unicode);
        EXPECT_EQ(PdfDocEncodingHolds(std::u16string(1, c.unicode)), c.byte >= 0) << std::hex << int(c.unicode);
        if (c.byte >= 0) {
            EXPECT_EQ(PdfDocEncodingToUnicode(static_cast<std::uint8_t>(c.byte)), c.unicode);
        }
    }
    // The code page's circumflex and tilde are the accents, not a "?".
    EXPECT_EQ(DocEncoding().GetBytes(u"\u02C6\u02DC\u0018"), B({0x1A, 0x1F, '?'}));
}

TEST(TextStrings, PdfDocEncodingWhereItHoldsEveryCharacterElseUtf16) {
    struct Case {
        std::u16string text;
        PdfStringEncoding doc;  // DocEncodedTextString
        PdfStringEncoding raw;  // RawTextString
    };
    const Case cases[] = {
        {u"Gr\u00FC\u00DFe", PdfStringEncoding::PDFDocEncoding, PdfStringEncoding::RawEncoding},
        {u"Preis 5 \u20AC \u2013", PdfStringEncoding::PDFDocEncoding, PdfStringEncoding::Unicode},
        {u"Dach\u02C6", PdfStringEncoding::PDFDocEncoding, PdfStringEncoding::Unicode},
        {u"a\u00A0b", PdfStringEncoding::Unicode, PdfStringEncoding::Unicode},
        {u"Trenn\u00ADung", PdfStringEncoding::Unicode, PdfStringEncoding::Unicode},
        {u"\u03A9mega", PdfStringEncoding::Unicode, PdfStringEncoding::Unicode},
    };
    for (const Case &c : cases) {
        PdfString doc = DocEncodedTextString(c.text);
        EXPECT_EQ(doc.Encoding(), c.doc) << doc.ToString();
        EXPECT_EQ(RawTextString(c.text).Encoding(), c.raw) << doc.ToString();
        EXPECT_EQ(TextStringValue(doc), c.text);
    }
}

TEST(TextStrings, ReadBackFromTheBytesOfAFile) {
    // As the reader hands strings over: one unit per byte, UTF-16 only for
    // hex strings with the byte order mark.
    EXPECT_EQ(TextStringValue(PdfString(u"5 \u00A0 \u0085 \u001A\u00FC")), u"5 \u20AC \u2013 \u02C6\u00FC");
    std::u16string literal(u"\u00FE\u00FF\u0003\u00A9\u0000x", 6);
    EXPECT_EQ(TextStringValue(PdfString(literal, PdfStringFlags::RawEncoding)), u"\u03A9x");
    EXPECT_EQ(TextStringValue(PdfString(u"\u03A9", PdfStringFlags::Unicode | PdfStringFlags::HexLiteral)), u"\u03A9");
}

TEST(WinAnsiEncoding, CodePage1252) {
    EXPECT_EQ(WinAnsiEncoding().GetBytes(u"\u20AC\u201E\u00E4"), B({0x80, 0x84, 0xE4}));
    EXPECT_EQ(WinAnsiEncoding().GetString(B({0x80, 0x96, 0x41})), u"\u20AC\u2013A");
}

TEST(RawEncodings, OneOrTwoBytesPerUnit) {
    EXPECT_EQ(RawEncoding().GetBytes(u"A\u00FF\u0141"), B({0x41, 0xFF, 0x41}));
    EXPECT_EQ(RawEncoding().GetString(B({0x00, 0x80, 0xFF})), std::u16string(u"\u0000\u0080\u00FF", 3));
    EXPECT_EQ(RawUnicodeEncoding().GetBytes(u"A\u20AC"), B({0x00, 0x41, 0x20, 0xAC}));
    EXPECT_EQ(RawUnicodeEncoding().GetString(B({0x00, 0x41, 0x20, 0xAC})), u"A\u20AC");
    EXPECT_EQ(RawUnicodeEncoding().GetString(B({0x12})), u"\u1200");
    EXPECT_EQ(UnicodeEncoding().GetBytes(u"\u00E4"), B({0x00, 0xE4}));
}

TEST(PdfStringText, FromPdfDocEncodedAndFromBytes) {
    std::u16string read(u"\u0084x\u00A0\u00FC");
    EXPECT_EQ(PdfString::ToStringFromPdfDocEncoded(read), u"\u2014x\u20AC\u00FC");
    PdfString raw = PdfString::FromBytes(B({0xFE, 0xFF}), PdfStringFlags::HexLiteral);
    EXPECT_EQ(raw.Value(), u"\u00FE\u00FF");
    EXPECT_TRUE(raw.IsHexLiteral());
    EXPECT_EQ(raw.Encoding(), PdfStringEncoding::RawEncoding);
}

}  // namespace
}  // namespace ZavorPdf::Pdf::Internal
