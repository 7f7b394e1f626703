// Page text decoded through fonts: simple fonts by their encodings and
// "/Differences", composite fonts and simple ones through ToUnicode maps
// (single codes, ranges, arrays, several characters, one- and two-byte code
// spaces), glyph names, and agreement with pdftotext's words.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "page_text_files.h"
#include "pdf/content/glyph_names.h"
#include "pdf/content/pdf_text_extractor.h"
#include "support/platform_support.h"

namespace {

using ZavorPdf::Pdf::Content::GlyphNameToUnicode;
using ZavorPdf::Pdf::Content::PdfTextExtractor;
using namespace ZavorTest::PageText;

struct GlyphCase {
    std::string_view name;
    std::u16string_view text;
};

void PrintTo(const GlyphCase &glyph, std::ostream *os) { *os << '"' << glyph.name << '"'; }

class GlyphNames : public testing::TestWithParam<GlyphCase> {};

TEST_P(GlyphNames, ReadAsTheirText) { EXPECT_EQ(GlyphNameToUnicode(GetParam().name), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Names, GlyphNames,
    testing::Values(GlyphCase{"a", u"a"}, GlyphCase{"Z", u"Z"}, GlyphCase{"adieresis", u"\u00E4"},
                    GlyphCase{"germandbls", u"\u00DF"}, GlyphCase{"fi", u"fi"}, GlyphCase{"ffl", u"ffl"},
                    GlyphCase{"quoteright", u"\u2019"}, GlyphCase{"Euro", u"\u20AC"}, GlyphCase{"zcaron", u"\u017E"},
                    GlyphCase{"uni00E4", u"\u00E4"}, GlyphCase{"uni00660069", u"fi"}, GlyphCase{"uniFB01", u"fi"},
                    GlyphCase{"u1F600", u"\U0001F600"}, GlyphCase{"u00E9", u"\u00E9"}, GlyphCase{"a.sc", u"a"},
                    GlyphCase{"f_f_i", u"ffi"}, GlyphCase{"T_h", u"Th"},
                    // Not names of characters: nothing.
                    GlyphCase{"uniD800", u""}, GlyphCase{"uni00e4", u""}, GlyphCase{"u110000", u""},
                    GlyphCase{"g123", u""}, GlyphCase{"", u""}));

std::string Widths(int first, int last, int width, int spaceWidth) {
    std::string widths = "/FirstChar " + std::to_string(first) + " /LastChar " + std::to_string(last) + " /Widths [";
    for (int code = first; code <= last; ++code)
        widths += std::to_string(code == 32 ? spaceWidth : width) + " ";
    return widths + "]";
}

std::u16string TextAndCompare(const std::filesystem::path &path) {
    std::u16string text = PdfTextExtractor::GetText(path, 0);
    EXPECT_GE(PopplerWordsFound(path, text), 0.95) << ZavorPlatform::Utf16ToUtf8(text);
    return text;
}

// As pdfTeX writes its Type 1 fonts: codes renamed by "/Differences",
// ligatures and accented letters among them, and words set apart by TJ
// offsets, not by blanks.
TEST(PageTextFonts, Type1WithDifferences) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext");
    const auto path = OnePage(
        "text_differences.pdf", "<< /Font << /F1 5 0 R >> >>",
        "BT /F1 12 Tf 72 700 Td [(Gr)-10(\\374\\031e)-333(aus)-333(\\304gypten)] TJ 0 -14 Td "
        "[(\\014nden)-333(\\015ach)-333(Stra\\031e,)-333(\\013)-20(\\016)-333(\\0170.)] TJ 0 -14 Td "
        "[(\\042quoted\\047)-333(\\173dash)] TJ ET",
        {"<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman " + Widths(0, 255, 500, 333) +
             " /Encoding 6 0 R >>",
         "<< /Type /Encoding /BaseEncoding /WinAnsiEncoding /Differences [11 /ff /fi /fl /ffi /ffl "
         "25 /germandbls 34 /quotedblright 39 /quoteright 123 /endash 196 /Adieresis] >>"});
    EXPECT_EQ(TextAndCompare(path), u"Gr\u00FC\u00DFe aus \u00C4gypten\r\n"
                                    u"finden flach Stra\u00DFe, ffffi ffl0.\r\n"
                                    u"\u201Dquoted\u2019 \u2013dash\r\n");
}

// TeX's Computer Modern fonts name no encoding: their programs carry it.
// Differences still override it.
TEST(PageTextFonts, EncodingOfAnEmbeddedType1Program) {
    const std::string program = "%!PS-AdobeFont-1.0: CMR10 003.002\n/FontName /CMR10 def\n"
                                "/Encoding 256 array\n0 1 255 {1 index exch /.notdef put} for\n"
                                "dup 12 /fi put\ndup 25 /germandbls put\ndup 65 /A put\ndup 97 /a put\n"
                                "dup 123 /endash put\nreadonly def\ncurrentfile eexec\n"
                                "dup 66 /B put\n";
    const auto path = OnePage("text_program_encoding.pdf", "<< /Font << /F1 5 0 R /F2 8 0 R >> >>",
                              "BT /F1 10 Tf 72 700 Td (\014A\031a\173B) Tj /F2 10 Tf (\014a) Tj ET",
                              {"<< /Type /Font /Subtype /Type1 /BaseFont /CMR10 /FontDescriptor 6 0 R >>",
                               "<< /Type /FontDescriptor /FontName /CMR10 /Flags 4 /FontFile 7 0 R >>",
                               Stream(program, " /Length1 " + std::to_string(program.size() - 10) +
                                                   " /Length2 0 /Length3 0"),
                               "<< /Type /Font /Subtype /Type1 /BaseFont /CMR10 /FontDescriptor 6 0 R "
                               "/Encoding << /Differences [97 /adieresis] >> >>"});
    // B comes after "eexec" and is not read; the standard encoding stands in.
    EXPECT_EQ(PdfTextExtractor::GetText(path, 0), u"fiA\u00DFa\u2013Bfi\u00E4\r\n");
}

TEST(PageTextFonts, BaseEncodingsByName) {
    struct Case {
        const char *encoding;
        const char *shown;
        std::u16string_view text;
    };
    const Case cases[] = {
        {"/WinAnsiEncoding", "(\\344\\200\\226\\337)", u"\u00E4\u20AC\u2013\u00DF"},
        {"/MacRomanEncoding", "(\\212\\333\\247\\336)", u"\u00E4\u00A4\u00DFfi"},
        {"/StandardEncoding", "(\\047\\140\\256\\373)", u"\u2019\u2018fi\u00DF"},
        {"/PDFDocEncoding", "(\\240\\223\\227)", u"\u20ACfi\u0160"},
        // A Type 1 font without an encoding uses the standard one.
        {"null", "(\\047\\341)", u"\u2019\u00C6"},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.encoding);
        const auto path = OnePage("text_encoding.pdf", "<< /Font << /F1 5 0 R >> >>",
                                  std::string("BT /F1 12 Tf 72 700 Td ") + test.shown + " Tj ET",
                                  {std::string("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding ") +
                                   test.encoding + " >>"});
        EXPECT_EQ(PdfTextExtractor::GetText(path, 0), std::u16string(test.text) + u"\r\n");
    }
}

const char *const kToUnicode =
    "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
    "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
    "/CMapName /Test-UCS def /CMapType 2 def\n"
    "1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
    "3 beginbfchar <0001> <0048> <0002> <00660069> <0003> <0020> endbfchar\n"
    "3 beginbfrange <0010> <0014> <0061>\n<0020> <0022> [<00C4> <00DF> <FB01>]\n"
    "<0030> <0031> <004B0031> endbfrange\n"
    "endcmap CMapName currentdict /CMap defineresource pop end end";

std::string CidFont(const std::string &descriptor) {
    return "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /Zavor+Test /CIDSystemInfo << /Registry (Adobe) "
           "/Ordering (Identity) /Supplement 0 >> /FontDescriptor " +
           descriptor + " /DW 500 /W [3 [250] 16 20 600] >>";
}

const char *const kDescriptor =
    "<< /Type /FontDescriptor /FontName /Zavor+Test /Flags 32 /FontBBox [0 -200 1000 800] /ItalicAngle 0 "
    "/Ascent 800 /Descent -200 /CapHeight 700 /StemV 80 >>";

// Identity-H codes are glyph numbers; only the ToUnicode map tells the text.
TEST(PageTextFonts, Type0ThroughToUnicode) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext");
    const auto path = OnePage(
        "text_type0.pdf", "<< /Font << /F1 5 0 R >> >>",
        "BT /F1 12 Tf 72 700 Td <0001 0010 0013 0013 0014 0003 0020 0021> Tj [<0022>-400<0002>] TJ "
        "0 -14 Td <00300031 0099> Tj ET",
        {"<< /Type /Font /Subtype /Type0 /BaseFont /Zavor+Test /Encoding /Identity-H /DescendantFonts [6 0 R] "
         "/ToUnicode 7 0 R >>",
         CidFont("8 0 R"), Stream(kToUnicode), kDescriptor});
    EXPECT_EQ(TextAndCompare(path), u"Hadde \u00C4\u00DFfi fi\r\nK1K2\r\n");
}

// Type 3 glyphs measure in the font's own matrix; without a ToUnicode map
// a composite font's glyph numbers give no text at all.
TEST(PageTextFonts, Type3WidthsAndUnmappedGlyphNumbers) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext");
    const std::string glyph = "50 0 0 0 40 70 d1 0 0 40 70 re f";
    const auto path = OnePage(
        "text_type3.pdf", "<< /Font << /F1 5 0 R /F2 8 0 R >> >>",
        "BT /F1 10 Tf 72 700 Td [(abc)-400(ab)] TJ 39 0 Td (c) Tj /F2 10 Tf 0 -20 Td <00010002> Tj ET",
        {"<< /Type /Font /Subtype /Type3 /FontBBox [0 0 50 70] /FontMatrix [0.01 0 0 0.01 0 0] "
         "/CharProcs << /a 6 0 R /b 6 0 R /c 6 0 R >> /Encoding 7 0 R /FirstChar 97 /LastChar 99 "
         "/Widths [50 50 50] /Resources << >> >>",
         Stream(glyph), "<< /Type /Encoding /Differences [97 /a /b /c] >>",
         "<< /Type /Font /Subtype /Type0 /BaseFont /Zavor+Test /Encoding /Identity-H /DescendantFonts [9 0 R] >>",
         CidFont("10 0 R"), kDescriptor});
    // A glyph is 5 points wide at 10 points: "c" stands 10 points after
    // "ab", a word apart.
    // (pdftotext gives the glyph numbers as control codes.)
    EXPECT_EQ(PdfTextExtractor::GetText(path, 0), u"abc ab c\r\n");
    EXPECT_EQ(ZavorTest::RunCommand("pdftotext -raw '" + path.string() + "' -"), "abc ab c\n\x01\x02\n\f");
}

// Identity-V advances down the page: a column reads as a line, the next
// column as the next line, and a positive TJ offset moves down.
TEST(PageTextFonts, VerticalColumnsAreLines) {
    const auto path = OnePage(
        "text_vertical.pdf", "<< /Font << /F1 5 0 R >> >>",
        "BT /F1 12 Tf 300 700 Td <0001 0010> Tj [500 <0011 0012>] TJ -20 0 Td <0013 0014> Tj ET",
        {"<< /Type /Font /Subtype /Type0 /BaseFont /Zavor+Test /Encoding /Identity-V /DescendantFonts [6 0 R] "
         "/ToUnicode 7 0 R >>",
         CidFont("8 0 R"), Stream(kToUnicode), kDescriptor});
    EXPECT_EQ(PdfTextExtractor::GetText(path, 0), u"Ha bc\r\nde\r\n");
}

// A code space of one- and two-byte codes in an embedded encoding CMap,
// and a simple font whose ToUnicode map overrides its encoding.
TEST(PageTextFonts, MixedCodeLengthsAndSimpleFontMaps) {
    const std::string codeSpace = "2 begincodespacerange <00> <7F> <8000> <FFFF> endcodespacerange\n";
    const std::string encoding = "begincmap\n/CMapName /Mixed def\n" + codeSpace +
                                 "1 begincidrange <00> <7F> 0 endcidrange\nendcmap";
    const std::string toUnicode = "begincmap\n" + codeSpace +
                                  "2 beginbfchar <41> <0041> <8001> <00E9> endbfchar\n"
                                  "1 beginbfrange <61> <63> <0078> endbfrange\nendcmap";
    const auto path = OnePage(
        "text_mixed_codes.pdf", "<< /Font << /F1 5 0 R /F2 9 0 R >> >>",
        "BT /F1 12 Tf 72 700 Td <41800142> Tj /F2 12 Tf ( abcd) Tj ET",
        {"<< /Type /Font /Subtype /Type0 /BaseFont /Zavor+Test /Encoding 7 0 R /DescendantFonts [6 0 R] "
         "/ToUnicode 8 0 R >>",
         CidFont("10 0 R"), Stream(encoding, " /Type /CMap /CMapName /Mixed"), Stream(toUnicode),
         "<< /Type /Font /Subtype /TrueType /BaseFont /Arial /Encoding /WinAnsiEncoding /ToUnicode 8 0 R >>",
         kDescriptor});
    // 0x42 has no text; the TrueType font's "d" is not in its map and
    // falls back to the encoding.
    EXPECT_EQ(PdfTextExtractor::GetText(path, 0), u"A\u00E9 xyzd\r\n");
    // Some writers give a one-byte font a map of two-byte codes.
    const auto quirk = OnePage("text_simple_wide_map.pdf", "<< /Font << /F3 5 0 R >> >>",
                               "BT /F3 12 Tf 72 700 Td (AB) Tj ET",
                               {"<< /Type /Font /Subtype /TrueType /BaseFont /Arial /ToUnicode 6 0 R >>",
                                Stream("begincmap 1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
                                       "1 beginbfchar <0041> <00C5> endbfchar endcmap")});
    EXPECT_EQ(PdfTextExtractor::GetText(quirk, 0), u"\u00C5B\r\n");
}

}  // namespace
