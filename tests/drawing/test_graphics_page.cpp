// A graphics object's life on its page: creation checks, the page options,
// units and directions, disposal, and saved files that other tools read.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "drawing/x_colors.h"
#include "drawing/x_graphics.h"
#include "drawing/x_solid_brush.h"
#include "geometry_test_support.h"
#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/filters/filtering.h"
#include "pdf/filters/flate_decode.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_security_settings.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_graphics_support.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::InvalidOperationException;
using ZavorPdf::Pdf::PageSize;
using ZavorPdf::Pdf::PdfContents;
using ZavorPdf::Pdf::PdfDocument;
using ZavorPdf::Pdf::PdfPage;
using ZavorTest::ExpectFailure;
using ZavorTest::GraphicsPage;

namespace {

std::string Text(const std::vector<std::uint8_t> &bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string ContentAt(PdfPage &page, int index) { return Text(page.Contents().ContentAt(index).Bytes()); }

}  // namespace

TEST(GraphicsPageTest, CreationChecksInOrder) {
    ExpectFailure<ZavorPdf::ArgumentNullException>([] { XGraphics::FromPdfPage(nullptr); },
                                                   "Value cannot be null. (Parameter 'page')");
    PdfPage loose(PageSize::A4);
    ExpectFailure<InvalidOperationException>([&] { XGraphics::FromPdfPage(&loose); },
                                             "You cannot draw on a page that is not owned by a PdfDocument object.");
    GraphicsPage page;
    ExpectFailure<InvalidOperationException>(
        [&] { XGraphics::FromPdfPage(page.page); },
        "An XGraphics object already exists for this page and must be disposed before a new one can be created.");
    page.gfx->Dispose();
    EXPECT_NO_THROW(XGraphics::FromPdfPage(page.page)->Dispose());
    ExpectFailure<ZavorPdf::NotImplementedException>(
        [&] { XGraphics::FromPdfPage(page.page, XGraphicsPdfPageOptions::Append, static_cast<XGraphicsUnit>(9)); },
        "unit");
    ExpectFailure<InvalidOperationException>([&] { page.gfx->DrawLine(XPens::Black(), 0, 0, 1, 1); },
                                             "The XGraphics object is already disposed.");
}

TEST(GraphicsPageTest, AnUnusedGraphicsObjectStoresAnEmptyStream) {
    GraphicsPage page;
    EXPECT_EQ(page.Finish(), "");
    EXPECT_EQ(page.page->Contents().Count(), 1);
}

TEST(GraphicsPageTest, AppendPrependAndReplace) {
    PdfDocument document;
    PdfPage &page = document.AddPage();
    auto draw = [&](XGraphicsPdfPageOptions options, const char *comment) {
        auto gfx = XGraphics::FromPdfPage(&page, options);
        gfx->WriteComment(comment);
    };
    draw(XGraphicsPdfPageOptions::Append, "first");
    draw(XGraphicsPdfPageOptions::Append, "second");
    ASSERT_EQ(page.Contents().Count(), 2);
    EXPECT_EQ(ContentAt(page, 0), "% first\n");
    EXPECT_EQ(ContentAt(page, 1), "% second\n");
    draw(XGraphicsPdfPageOptions::Prepend, "before");
    ASSERT_EQ(page.Contents().Count(), 3);
    EXPECT_EQ(ContentAt(page, 0), "% before\n");
    draw(XGraphicsPdfPageOptions::Replace, "only");
    ASSERT_EQ(page.Contents().Count(), 1);
    EXPECT_EQ(ContentAt(page, 0), "% only\n");
}

TEST(GraphicsPageTest, UnitsAndDirectionsShapeTheDefaultMatrix) {
    struct Row {
        XGraphicsUnit unit;
        XPageDirection direction;
        std::string start;
        double width;
    };
    const Row rows[] = {
        {XGraphicsUnit::Point, XPageDirection::Downwards, "q\n1 0 0 -1 0 842 cm -100 Tz\n", 595},
        {XGraphicsUnit::Inch, XPageDirection::Downwards, "q\n72 0 0 -72 0 842 cm -100 Tz\n", 595 / 72.0},
        {XGraphicsUnit::Millimeter, XPageDirection::Downwards, "q\n2.835 0 0 -2.835 0 842 cm -100 Tz\n",
         595 / (72 / 25.4)},
        {XGraphicsUnit::Centimeter, XPageDirection::Upwards, "q\n28.346 0 0 28.346 0 0 cm\n", 595 / (72 / 2.54)},
        {XGraphicsUnit::Presentation, XPageDirection::Upwards, "q\n0.75 0 0 0.75 0 0 cm\n", 595 / 0.75},
        {XGraphicsUnit::Point, XPageDirection::Upwards, "q\n1 0 0 1 0 0 cm\n", 595},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.start);
        PdfDocument document;
        PdfPage &page = document.AddPage();
        page.SetSize(PageSize::A4);
        auto gfx = XGraphics::FromPdfPage(&page, XGraphicsPdfPageOptions::Append, row.unit, row.direction);
        EXPECT_NEAR(gfx->PageSize().Width(), row.width, 1e-9);
        gfx->DrawRectangle(XBrushes::Black(), 0, 0, 1, 1);
        gfx->Dispose();
        EXPECT_TRUE(ContentAt(page, 0).starts_with(row.start + "q\n")) << ContentAt(page, 0);
    }
}

TEST(GraphicsPageTest, TrimMarginsAndRotationMoveTheOrigin) {
    PdfDocument document;
    PdfPage &page = document.AddPage();
    page.SetSize(PageSize::A4);
    page.SetTrimMargins({10, 20, 30, 40});
    auto gfx = XGraphics::FromPdfPage(&page);
    EXPECT_EQ(gfx->DefaultViewMatrix(), XMatrix(1, 0, 0, -1, 10, 882));
    gfx->Dispose();
    PdfPage &turned = document.AddPage();
    turned.SetRotate(90);
    auto rotated = XGraphics::FromPdfPage(&turned);
    const std::array<double, 6> expected{0, 1, 1, 0, 0, 0};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_NEAR(rotated->DefaultViewMatrix().GetElements()[i], expected[i], 1e-12);
}

TEST(GraphicsPageTest, SavingMidwayKeepsDrawingGoing) {
    GraphicsPage page;
    page.gfx->DrawRectangle(XPens::Black(), 0, 0, 1, 1);
    std::vector<std::uint8_t> bytes;
    page.document.Save(bytes);
    // The save stored a balanced snapshot; drawing continues in the same levels.
    EXPECT_EQ(page.LastContent(), ZavorTest::kPageStart + ZavorTest::kBlackPen + "0 0 1 1 re\nS\n" +
                                      ZavorTest::kPageEnd);
    page.gfx->DrawRectangle(XPens::Black(), 2, 2, 1, 1);
    EXPECT_EQ(page.Finish(), ZavorTest::kPageStart + ZavorTest::kBlackPen + "0 0 1 1 re\nS\n2 2 1 1 re\nS\n" +
                                 ZavorTest::kPageEnd);
}

// One page per group of calls; qpdf checks every file, and the first page is
// the one to look at with pdftoppm: shapes near the top-left corner must
// appear there.
TEST(GraphicsPageTest, SavedShowcaseFile) {
    PdfDocument document;
    {
        PdfPage &page = document.AddPage();
        page.SetSize(PageSize::A4);
        auto gfx = XGraphics::FromPdfPage(&page);
        XPen pen(XColors::DarkBlue(), 3);
        gfx->DrawRectangle(pen, 20, 20, 200, 100);
        gfx->DrawEllipse(XBrushes::Orange(), XRect(250, 20, 150, 100));
        gfx->DrawPie(XBrushes::Green(), 20, 150, 150, 150, 0, 270);
        gfx->DrawRoundedRectangle(XBrushes::SteelBlue(), 250, 150, 200, 120, 40, 40);
        XPen dashed(XColors::Red(), 2);
        dashed.SetDashStyle(XDashStyle::DashDot);
        gfx->DrawArc(dashed, 20, 350, 200, 100, 180, 180);
        const XPoint star[] = {{350, 320}, {380, 420}, {300, 360}, {400, 360}, {320, 420}};
        gfx->DrawPolygon(&pen, &XBrushes::Gold(), star, XFillMode::Alternate);
        gfx->DrawRectangle(XSolidBrush(XColor::FromArgb(100, 255, 0, 0)), 100, 80, 200, 100);
    }
    {
        PdfPage &page = document.AddPage();
        auto gfx = XGraphics::FromPdfPage(&page);
        XGraphicsState state = gfx->Save();
        gfx->IntersectClip(XRect(50, 50, 100, 100));
        gfx->DrawEllipse(XBrushes::Purple(), XRect(0, 0, 200, 200));
        gfx->Restore(state);
        gfx->TranslateTransform(300, 300);
        for (int i = 0; i < 12; ++i) {
            gfx->RotateTransform(30);
            gfx->DrawLine(XPens::Black(), 0, 0, 100, 0);
        }
        gfx->Save();  // never restored: the content must still be balanced
        const XPoint wave[] = {{0, 0}, {50, 40}, {100, 0}, {150, 40}};
        gfx->DrawCurve(XPens::Blue(), wave);
    }
    std::filesystem::path path = ZavorTest::OutputPath("graphics_showcase.pdf");
    document.Save(path);
    EXPECT_TRUE(std::filesystem::exists(path));
}

// A finished page keeps its operators compressed as the save writes them;
// the file is the same as when everything is compressed at the save, also
// encrypted, also when the page is drawn on again.
TEST(GraphicsPageTest, FinishedPagesKeepTheirContentCompressed) {
    const std::string expected = ZavorTest::kPageStart + ZavorTest::kBlackPen + "0 0 1 1 re\nS\n" +
                                 ZavorTest::kPageEnd;
    GraphicsPage finished;
    GraphicsPage open;
    for (GraphicsPage *page : {&finished, &open})
        page->gfx->DrawRectangle(XPens::Black(), 0, 0, 1, 1);
    finished.gfx->Dispose();
    ZavorPdf::Pdf::PdfContent &stored = finished.page->Contents().ContentAt(0);
    EXPECT_EQ(stored.Elements().GetName("/Filter"), "/FlateDecode");
    const std::vector<std::uint8_t> plain(expected.begin(), expected.end());
    EXPECT_EQ(stored.Stream()->Value(), ZavorPdf::Pdf::Filters::Filtering::FlateDecode().Encode(plain));
    EXPECT_EQ(stored.Elements().GetInteger("/Length"), static_cast<int>(stored.Stream()->Length()));
    // The save of a page still open compresses the same bytes.
    std::vector<std::uint8_t> bytes;
    open.document.Save(bytes);
    EXPECT_EQ(open.page->Contents().ContentAt(0).Stream()->Value(), stored.Stream()->Value());

    // Drawn on again: the old stream is read for its balance, the new one
    // follows it; the encrypted file reads back with both.
    {
        auto gfx = XGraphics::FromPdfPage(finished.page);
        gfx->DrawString(u"Gr\u00FC\u00DFe danach", XFont(u"Liberation Sans", 12), XBrushes::Black(), 20, 40);
    }
    ASSERT_EQ(finished.page->Contents().Count(), 2);
    EXPECT_EQ(ContentAt(*finished.page, 0), expected);
    EXPECT_TRUE(finished.page->Contents().ContentAt(1).IsFiltered());
    finished.document.SecuritySettings().SetUserPassword(u"geheim");
    const std::filesystem::path path = ZavorTest::OutputPath("graphics_finished_page.pw-geheim.pdf");
    finished.document.Save(path);
    if (!ZavorTest::kRunningOnWindows) {  // pdftotext is a Linux tool
        const std::string text = ZavorTest::RunCommand("pdftotext -enc UTF-8 -upw geheim '" + path.string() + "' -");
        EXPECT_EQ(text, "Gr\u00FC\u00DFe danach\n\n\f");
    }

    // A document that writes its content plain keeps it plain.
    GraphicsPage uncompressed;
    uncompressed.document.Options().SetCompressContentStreams(false);
    uncompressed.gfx->DrawRectangle(XPens::Black(), 0, 0, 1, 1);
    uncompressed.gfx->Dispose();
    EXPECT_FALSE(uncompressed.page->Contents().ContentAt(0).IsFiltered());
    EXPECT_EQ(ContentAt(*uncompressed.page, 0), expected);
}
