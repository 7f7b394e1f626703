// Text the engine draws reads back exactly through the page-text
// extractor: WinAnsi TrueType fonts and Unicode (Type 0, Identity-H with a
// ToUnicode map) fonts, on lines of their own and side by side.
#include <gtest/gtest.h>

#include <filesystem>

#include "drawing/fonts/pdf_font_tables.h"
#include "drawing/x_colors.h"
#include "drawing/x_graphics.h"
#include "drawing/x_solid_brush.h"
#include "pdf/content/pdf_text_extractor.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
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
