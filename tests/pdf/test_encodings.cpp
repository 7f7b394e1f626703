// The text encodings of PDF strings.
#include <gtest/gtest.h>

#include "pdf/pdf_encodings.h"
#include "pdf/pdf_string.h"

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
