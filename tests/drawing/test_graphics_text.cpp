// Text on a page: the text object, font selection, positions, alignment and
// the underline, and a saved file whose text other tools can read back.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "drawing/fonts/pdf_font_tables.h"
#include "drawing/x_colors.h"
#include "drawing/x_graphics.h"
#include "drawing/x_solid_brush.h"
#include "geometry_test_support.h"
#include "pdf/errors.h"
#include "pdf/pdf_number_format.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_graphics_support.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::ArgumentException;
using ZavorPdf::Pdf::Advanced::PdfFontTables;
using ZavorTest::kPageEnd;
using ZavorTest::kPageStart;

namespace {

// The font tables live beside the documents; each test lets go of its own.
struct TextPage : ZavorTest::GraphicsPage {
    ~TextPage() { PdfFontTables::Release(&document); }
};

const XSolidBrush kBlack(XColor::FromArgb(0, 0, 0));

using ZavorTest::RunCommand;

}  // namespace

TEST(GraphicsTextTest, TextObjectFontAndRelativePositions) {
    TextPage page;
    XFont font(u"Liberation Sans", 12);
    page.gfx->DrawString(u"Hello", font, kBlack, 10, 20);
    page.gfx->DrawString(u"(x)", font, kBlack, 15, 40.5);
    XFont bigger(u"Liberation Sans", 20);
    page.gfx->DrawString(u"Big", bigger, XBrushes::Red(), 0, 0);
    page.gfx->DrawLine(XPens::Black(), 0, 0, 1, 1);
    EXPECT_EQ(page.Finish(), kPageStart +
                                 "BT\n0 0 0 rg\n/F0 -12 Tf\n10 20 Td (Hello) Tj\n"
                                 "5 20.5 Td (\\(x\\)) Tj\n"
                                 "1 0 0 rg\n/F0 -20 Tf\n-15 -40.5 Td (Big) Tj\nET\n" +
                                 ZavorTest::kBlackPen + "0 0 m\n1 1 l\nS\n" + kPageEnd);
}

TEST(GraphicsTextTest, EmptyTextDrawsNothingAndBaselineNeedsAFlatRectangle) {
    TextPage page;
    XFont font(u"Liberation Sans", 12);
    page.gfx->DrawString(u"", font, kBlack, 10, 20);
    ZavorTest::ExpectFailure<ArgumentException>(
        [&] { page.gfx->DrawString(u"x", font, kBlack, XRect(0, 0, 10, 10), XStringFormats::Default()); },
        "DrawString: With XLineAlignment.BaseLine the height of the layout rectangle must be 0.");
    EXPECT_EQ(page.Finish(), "");
}

TEST(GraphicsTextTest, AlignmentInTheRectangle) {
    XFont font(u"Liberation Sans", 10);
    double h = font.GetHeight();
    double a = h * font.CellAscent() / font.CellSpace();
    double d = h * font.CellDescent() / font.CellSpace();
    double w = font.MeasureWidth(u"Hi");
    ASSERT_GT(w, 0);
    struct Row {
        XStringFormat format;
        double x, y;
    };
    const Row rows[] = {
        {XStringFormats::TopLeft(), 100, 200 + a},
        {XStringFormats::Center(), 100 + (50 - w) / 2, 200 + 3 * a / 8 + 15},
        {XStringFormats::BottomCenter(), 100 + (50 - w) / 2, 200 - d + 30},
        {XStringFormats::Make(XStringAlignment::Far, XLineAlignment::Near), 150 - w, 200 + a},
    };
    for (const Row &row : rows) {
        TextPage page;
        page.gfx->DrawString(u"Hi", font, kBlack, XRect(100, 200, 50, 30), row.format);
        std::string expected;
        ZavorPdf::Pdf::AppendReal(expected, row.x, 4);
        expected += ' ';
        ZavorPdf::Pdf::AppendReal(expected, row.y, 4);
        expected += " Td (Hi) Tj\n";
        EXPECT_NE(page.Finish().find(expected), std::string::npos) << expected;
    }
}

TEST(GraphicsTextTest, UnderlineIsOneFilledRectangleAfterTheText) {
    TextPage page;
    XFont font(u"Liberation Sans", 12, XFontStyle::Underline);
    page.gfx->DrawString(u"Under", font, kBlack, 10, 20);
    std::string content = page.Finish();
    std::size_t text = content.find("(Under) Tj\nET\n");
    ASSERT_NE(text, std::string::npos) << content;
    std::string rest = content.substr(text);
    EXPECT_NE(rest.find(" re\nf\n"), std::string::npos) << rest;
    EXPECT_EQ(rest.find(" re\nf\n"), rest.rfind(" re\nf\n"));
}

TEST(GraphicsTextTest, SavedTextReadsBack) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext");
    ZavorPdf::Pdf::PdfDocument document;
    {
        ZavorPdf::Pdf::PdfPage &page = document.AddPage();
        page.SetSize(ZavorPdf::Pdf::PageSize::A4);
        auto gfx = XGraphics::FromPdfPage(&page);
        gfx->DrawString(u"Top left Gr\u00FC\u00DFe", XFont(u"Liberation Sans", 14), XBrushes::Black(), 50, 60);
        gfx->RotateTransform(10);
        gfx->DrawString(u"Turned", XFont(u"Liberation Sans", 20, XFontStyle::Bold), XBrushes::DarkRed(),
                        XRect(200, 200, 200, 40), XStringFormats::Center());
    }
    PdfFontTables::PrepareForSave(document);
    std::filesystem::path path = ZavorTest::OutputPath("graphics_text.pdf");
    document.Save(path);
    PdfFontTables::Release(&document);
    std::string text = RunCommand("pdftotext -layout '" + path.string() + "' - 2>&1");
    EXPECT_NE(text.find("Top left Gr\u00FC\u00DFe"), std::string::npos) << text;
    EXPECT_NE(text.find("Turned"), std::string::npos) << text;
}
