// Where the page text puts blanks and line breaks: TJ offsets, the text
// state operators that move the pen (Tc, Tw, Tz, TL, T*, ' and "), moved
// baselines, transformed coordinates and forms, in a font of known widths.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "page_text_files.h"
#include "pdf/content/pdf_text_extractor.h"
#include "support/platform_support.h"

namespace {

using ZavorPdf::Pdf::Content::PdfTextExtractor;
using namespace ZavorTest::PageText;

// Every glyph 600/1000 wide, the blank too: at 10 points a blank is 6
// points, and a gap of more than 1.8 points separates words.
const char *const kResources = "<< /Font << /F1 5 0 R >> /XObject << /X1 6 0 R >> >>";

std::string Courier() {
    std::string widths = "[";
    for (int code = 32; code <= 126; ++code)
        widths += "600 ";
    return "<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding /FirstChar 32 "
           "/LastChar 126 /Widths " +
           widths + "] >>";
}

std::filesystem::path Page(const std::string &name, const std::string &content) {
    return OnePage(name, kResources, content,
                   {Courier(), Stream("BT /F1 10 Tf 72 600 Td (in the form) Tj ET",
                                      " /Type /XObject /Subtype /Form /BBox [0 0 500 500] /Matrix [1 0 0 1 0 -10]")});
}

struct LayoutCase {
    const char *what;
    std::string content;  // after "BT /F1 10 Tf 72 700 Td"
    std::u16string_view text;
};

void PrintTo(const LayoutCase &layout, std::ostream *os) { *os << layout.what; }

class PageTextLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(PageTextLayout, BlanksAndLineBreaks) {
    // The cases run as processes of their own, side by side: each writes
    // its own file.
    std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    const auto path = Page("text_layout_" + name.substr(name.rfind('/') + 1) + ".pdf",
                           "BT /F1 10 Tf 72 700 Td " + GetParam().content + " ET");
    EXPECT_EQ(PdfTextExtractor::GetText(path, 0), std::u16string(GetParam().text) + u"\r\n") << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Moves, PageTextLayout,
    testing::Values(
        LayoutCase{"word gap in TJ", "[(Hello)-250(World)] TJ", u"Hello World"},
        LayoutCase{"kerning in TJ", "[(Hel)-50(lo)120(Wor)-170(ld)] TJ", u"HelloWorld"},
        LayoutCase{"blank in the string", "[(Hello )-250(World)] TJ", u"Hello World"},
        LayoutCase{"blank after a gap", "[(Hello)-250( World)] TJ", u"Hello World"},
        LayoutCase{"strings placed by Td", "(one) Tj 20 0 Td (two) Tj 19 0 Td (three) Tj", u"one twothree"},
        LayoutCase{"Tc widens each glyph", "5 Tc (ab) Tj (cd) Tj ET BT /F1 10 Tf 116 700 Td (ef) Tj", u"abcdef"},
        LayoutCase{"Tw widens blanks only", "20 Tw (a b) Tj ET BT /F1 10 Tf 110 700 Td (c) Tj", u"a bc"},
        LayoutCase{"Tz narrows glyphs", "50 Tz (abcd) Tj ET BT /F1 10 Tf 84 700 Td (ef) Tj ET "
                                        "BT /F1 10 Tf 50 Tz 72 680 Td (abcd) Tj ET BT /F1 10 Tf 87 680 Td (ef) Tj",
                   u"abcdef\r\nabcd ef"},
        LayoutCase{"T* by TL", "12 TL (one) Tj T* (two) Tj T* T* (three) Tj", u"one\r\ntwo\r\nthree"},
        LayoutCase{"TD sets the leading", "(one) Tj 0 -12 TD (two) Tj T* (three) Tj", u"one\r\ntwo\r\nthree"},
        LayoutCase{"quote", "12 TL (one) Tj (two) ' (three) '", u"one\r\ntwo\r\nthree"},
        LayoutCase{"double quote sets Tw and Tc",
                   "12 TL (a) Tj 100 0 (b c) \" ET BT /F1 10 Tf 190 688 Td (d) Tj", u"a\r\nb cd"},
        LayoutCase{"Tm", "(one) Tj 1 0 0 1 72 650 Tm (two) Tj 1 0 0 1 97 650 Tm (three) Tj",
                   u"one\r\ntwo three"},
        LayoutCase{"rise stays on the line", "(x) Tj 3 Ts (2) Tj 0 Ts (y) Tj", u"x2y"},
        LayoutCase{"moving back on the line", "(right) Tj -100 0 Td (left) Tj", u"right left"},
        LayoutCase{"scaled by cm", "ET 2 0 0 2 0 0 cm BT /F1 10 Tf [(a)-100(b)-400(c)] TJ", u"ab c"},
        LayoutCase{"text in a form", "(page) Tj ET /X1 Do BT /F1 10 Tf 72 600 Td (after) Tj",
                   u"page\r\nin the form\r\nafter"},
        LayoutCase{"q and Q keep the font state", "ET q 2 0 0 2 0 0 cm BT /F1 5 Tf (a) Tj ET Q BT 10 0 Td (b) Tj",
                   u"a b"}));

// pdftotext reads a page of all these the same, word for word. (It takes
// letters spaced wider than a fifth of the font size for words of their
// own; we read them as the word they spell.)
TEST(PageTextLayoutFiles, AgreesWithPdftotext) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext");
    const auto path = Page("text_layout_all.pdf",
                           "BT /F1 10 Tf 72 700 Td 12 TL [(Der)-400(Text)-400(auf)30(der)-500(Seite.)] TJ "
                           "T* 0.5 Tc (Gesperrt) Tj 0 Tc ( und normal.) ' 5 0 (Mit \\(Klammern\\) und Tw.) \" "
                           "T* 80 Tz [(Schmal)-300(gesetzt)] TJ 100 Tz ET /X1 Do");
    const std::u16string text = PdfTextExtractor::GetText(path, 0);
    EXPECT_EQ(text, u"Der Text aufder Seite.\r\nGesperrt\r\nund normal.\r\nMit (Klammern) und Tw.\r\n"
                    u"Schmal gesetzt\r\nin the form\r\n");
    EXPECT_GE(PopplerWordsFound(path, text), 0.95);
}

}  // namespace
