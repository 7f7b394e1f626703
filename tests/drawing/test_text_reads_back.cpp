// Text the engine draws reads back exactly through the page-text
// extractor: WinAnsi TrueType fonts and Unicode (Type 0, Identity-H with a
// ToUnicode map) fonts, on lines of their own and side by side; and a line
// of words written as one text array stands where its words stand alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "drawing/fonts/pdf_font_tables.h"
#include "drawing/x_colors.h"
#include "drawing/x_graphics.h"
#include "drawing/x_solid_brush.h"
#include "drawing/x_text_formatter.h"
#include "pdf/content/pdf_text_extractor.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_content.h"
#include "support/platform_support.h"
#include "support/test_output.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::Pdf::Advanced::PdfFontTables;
using ZavorPdf::Pdf::Content::PdfTextExtractor;

TEST(GraphicsTextReadBack, EngineFontsReadBackExactly) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext");
    const XFont winAnsi(u"Liberation Sans", 12);
    const XFont unicode(u"Liberation Sans", 12, XFontStyle::Regular,
                        XPdfFontOptions(ZavorPdf::Pdf::PdfFontEncoding::Unicode));
    ZavorPdf::Pdf::PdfDocument document;
    {
        ZavorPdf::Pdf::PdfPage &page = document.AddPage();
        page.SetSize(ZavorPdf::Pdf::PageSize::A4);
        auto gfx = XGraphics::FromPdfPage(&page);
        gfx->DrawString(u"Gr\u00FC\u00DFe aus K\u00F6ln, \u20AC 5 (brutto)", winAnsi, XBrushes::Black(), 50, 60);
        gfx->DrawString(u"\u0426\u0435\u043D\u0430 \u2014 \u03A9mega \u0141\u00F3d\u017A", unicode, XBrushes::Black(), 50,
                        80);
        // Two calls on one line, a word's width apart.
        gfx->DrawString(u"links", winAnsi, XBrushes::Black(), 50, 100);
        gfx->DrawString(u"rechts", unicode, XBrushes::Black(), 120, 100);
    }
    PdfFontTables::PrepareForSave(document);
    const std::filesystem::path path = ZavorTest::OutputPath("graphics_text_read_back.pdf");
    document.Save(path);
    PdfFontTables::Release(&document);

    const std::u16string expected = u"Gr\u00FC\u00DFe aus K\u00F6ln, \u20AC 5 (brutto)\r\n"
                                    u"\u0426\u0435\u043D\u0430 \u2014 \u03A9mega \u0141\u00F3d\u017A\r\n"
                                    u"links rechts\r\n";
    EXPECT_EQ(PdfTextExtractor::GetText(path, 0), expected);
    const std::string tool = ZavorTest::RunCommand("pdftotext -raw -enc UTF-8 '" + path.string() + "' -");
    EXPECT_EQ(tool, "Gr\u00FC\u00DFe aus K\u00F6ln, \u20AC 5 (brutto)\n\u0426\u0435\u043D\u0430 \u2014 \u03A9mega "
                    "\u0141\u00F3d\u017A\nlinks rechts\n\f");
}

namespace {

struct WordBox {
    std::string text;
    double edges[4];
};

// The words of one page as pdftotext places them.
std::vector<WordBox> WordBoxes(const std::filesystem::path &path, int page) {
    const std::string html = ZavorTest::RunCommand("pdftotext -bbox -enc UTF-8 -f " + std::to_string(page) + " -l " +
                                                   std::to_string(page) + " '" + path.string() + "' -");
    static const std::regex word(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
    std::vector<WordBox> boxes;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator(); ++it) {
        WordBox box{(*it)[5], {}};
        for (int i = 0; i < 4; ++i)
            box.edges[i] = std::stod((*it)[i + 1]);
        boxes.push_back(std::move(box));
    }
    return boxes;
}

}  // namespace

TEST(GraphicsTextReadBack, LinesOfWordsStandWhereSingleWordsStand) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext");
    // Page 1 draws boxes through the formatter, a line of words at a time;
    // page 2 draws the same words one by one at the formatter's places.
    struct Box {
        XFont font;
        XParagraphAlignment alignment;
        XRect rect;
        std::u16string text;
    };
    const XPdfFontOptions unicode(ZavorPdf::Pdf::PdfFontEncoding::Unicode);
    const Box boxes[] = {
        {XFont(u"Liberation Sans", 10), XParagraphAlignment::Left, XRect(30, 40, 250, 150),
         u"Gr\u00FC\u00DFe aus K\u00F6ln: \u00C4pfel, \u00D6fen und \u00DCbergr\u00F6\u00DFen (netto) \\ 12,50 \u20AC "
         u"Stra\u00DFe Ma\u00DF Fu\u00DF wei\u00DF hei\u00DF Spa\u00DF"},
        {XFont(u"Liberation Serif", 13, XFontStyle::Bold), XParagraphAlignment::Justify, XRect(300, 40, 260, 150),
         u"Rechnung Kunde Auftrag Lieferung Zahlung Betrag Datum Seite Zeile Absatz Dokument Vertrag Angebot "
         u"Bestellung\nArtikel Menge Preis"},
        {XFont(u"DejaVu Sans", 7.5, XFontStyle::Regular, unicode), XParagraphAlignment::Center,
         XRect(30, 250, 250, 150),
         u"\u0426\u0435\u043D\u0430 \u2014 \u03A9mega \u0141\u00F3d\u017A und so weiter, Zeile f\u00FCr Zeile "
         u"\u00FCber \u00E4u\u00DFerst viele W\u00F6rter"},
        {XFont(u"Liberation Mono", 17, XFontStyle::Italic), XParagraphAlignment::Right, XRect(300, 250, 260, 200),
         u"Ein Text rechts, der umbricht und umbricht"},
    };
    ZavorPdf::Pdf::PdfDocument document;
    for (int pass = 0; pass < 2; ++pass) {
        ZavorPdf::Pdf::PdfPage &page = document.AddPage();
        page.SetSize(ZavorPdf::Pdf::PageSize::A4);
        auto gfx = XGraphics::FromPdfPage(&page);
        XTextFormatter formatter(*gfx);
        for (const Box &box : boxes) {
            formatter.SetAlignment(box.alignment);
            if (pass == 0) {
                formatter.DrawString(box.text, box.font, XBrushes::Black(), box.rect);
                continue;
            }
            formatter.SetText(box.text);
            formatter.SetFont(box.font);
            formatter.SetLayoutRectangle(box.rect);
            formatter.PrepareLayout();
            double ascent = box.font.GetHeight() * box.font.CellAscent() / box.font.CellSpace();
            for (const XTextFormatter::Block &block : formatter.Blocks())
                if (block.Type == XTextFormatter::BlockType::Text)
                    gfx->DrawString(block.Text, box.font, XBrushes::Black(), box.rect.X() + block.Location.X(),
                                    box.rect.Y() + ascent + block.Location.Y());
        }
    }
    const std::vector<std::uint8_t> bytes = document.Pages().PageAt(0).Contents().ContentAt(0).DecodedBytes();
    const std::string lines(bytes.begin(), bytes.end());
    EXPECT_NE(lines.find("] TJ\n"), std::string::npos);
    PdfFontTables::PrepareForSave(document);
    const std::filesystem::path path = ZavorTest::OutputPath("graphics_text_lines_in_place.pdf");
    document.Save(path);
    PdfFontTables::Release(&document);

    EXPECT_EQ(PdfTextExtractor::GetText(path, 0), PdfTextExtractor::GetText(path, 1));
    const std::vector<WordBox> together = WordBoxes(path, 1);
    const std::vector<WordBox> alone = WordBoxes(path, 2);
    ASSERT_EQ(together.size(), alone.size());
    EXPECT_GT(together.size(), 50u);
    for (std::size_t i = 0; i < together.size(); ++i) {
        SCOPED_TRACE(alone[i].text);
        EXPECT_EQ(together[i].text, alone[i].text);
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(together[i].edges[k], alone[i].edges[k], 0.01);
    }
}
