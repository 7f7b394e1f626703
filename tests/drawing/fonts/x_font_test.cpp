// Font requests: resolution through the installed fonts, metrics, widths
// and the PDF options.
#include <gtest/gtest.h>

#include "drawing/fonts/font_resolution.h"
#include "drawing/fonts/x_font.h"
#include "pdf/errors.h"
#include "support/platform_support.h"

namespace {

using namespace ZavorPdf::Drawing;
using ZavorPdf::Pdf::PdfFontEmbedding;
using ZavorPdf::Pdf::PdfFontEncoding;

TEST(XFontTest, FamiliesResolveToInstalledFaces) {
    ZAVOR_SKIP_ON_WINDOWS("fontconfig's substitutes by name (Windows keeps the family asked for)");
    struct Row {
        std::u16string requested;
        XFontStyle style;
        std::u16string name;
        XFontStyle available;
    };
    for (const Row &row : {Row{u"Arial", XFontStyle::Regular, u"Liberation Sans", XFontStyle::Regular},
                           Row{u"arial", XFontStyle::BoldItalic, u"Liberation Sans", XFontStyle::BoldItalic},
                           Row{u"Times New Roman", XFontStyle::Italic, u"Liberation Serif", XFontStyle::Italic},
                           Row{u"Courier New", XFontStyle::Bold | XFontStyle::Underline, u"Liberation Mono",
                               XFontStyle::Bold},
                           // A family with one regular face serves every style.
                           Row{u"DejaVu Math TeX Gyre", XFontStyle::BoldItalic, u"DejaVu Math TeX Gyre",
                               XFontStyle::Regular}}) {
        XFont font(row.requested, 12, row.style);
        EXPECT_EQ(font.Name(), row.name);
        EXPECT_EQ(font.RequestedFamilyName(), row.requested);
        EXPECT_EQ(font.AvailableStyle(), row.available);
        EXPECT_EQ(font.Style(), row.style);
    }
}

TEST(XFontTest, UnknownFamilyGetsThePlatformDefault) {
    XFont font(u"Zavor No Such Family", 10);
    EXPECT_NE(font.Name(), u"Zavor No Such Family");
    EXPECT_FALSE(font.Name().empty());
    EXPECT_GT(font.UnitsPerEm(), 0);
    EXPECT_EQ(XFontFamily(u"Zavor No Such Family").Name(), font.Name());
}

TEST(XFontTest, MetricsAndHeightOfLiberationSans) {
    ZAVOR_SKIP_ON_WINDOWS("fontconfig's substitutes by name (Windows keeps the family asked for)");
    XFont font(u"Arial", 12);
    EXPECT_EQ(font.UnitsPerEm(), 2048);
    EXPECT_EQ(font.CellAscent(), 1854);
    EXPECT_EQ(font.CellDescent(), 434);
    EXPECT_EQ(font.CellSpace(), 2355);
    EXPECT_DOUBLE_EQ(font.GetHeight(), 12.0 * 2355 / 2048);
    EXPECT_EQ(font.Metrics().CapHeight, 1409);
    EXPECT_EQ(font.Metrics().XHeight, 1082);
    EXPECT_EQ(font.Metrics().StrikethroughPosition, 530);
    XFontFamily family = font.FontFamily();
    EXPECT_EQ(family.Name(), u"Liberation Sans");
    EXPECT_EQ(family.GetLineSpacing(XFontStyle::Regular), 2355);
    EXPECT_EQ(family.GetEmHeight(XFontStyle::Bold), 2048);
    EXPECT_TRUE(family.IsStyleAvailable(XFontStyle::BoldItalic));
    EXPECT_FALSE(XFontFamily(u"DejaVu Math TeX Gyre").IsStyleAvailable(XFontStyle::Bold));
}

TEST(XFontTest, MeasuredWidthsMatchTheWrittenWidths) {
    XFont ansi(u"Arial", 10);
    // "Aa ": 666 + 556 + 277 thousandths of the em.
    EXPECT_DOUBLE_EQ(ansi.MeasureWidth(u"Aa "), 14.99);
    // Characters that code page 1252 lacks are measured as written: "a".
    EXPECT_DOUBLE_EQ(ansi.MeasureWidth(u"\u0101"), 5.56);
    EXPECT_DOUBLE_EQ(ansi.MeasureWidth(u""), 0);
    XFont unicode(u"Arial", 10, XFontStyle::Regular, XPdfFontOptions(PdfFontEncoding::Unicode));
    EXPECT_DOUBLE_EQ(unicode.MeasureWidth(u"Aa "), 14.99);
    EXPECT_DOUBLE_EQ(unicode.MeasureWidth(u"\u0101"), 5.56);
}

TEST(XFontTest, EmSizeMustBePositive) {
    for (double size : {0.0, -3.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        try {
            XFont font(u"Arial", size);
            ADD_FAILURE() << size;
        } catch (const ZavorPdf::ArgumentException &e) {
            EXPECT_STREQ(e.what(), "The em size must be a number greater than 0.");
            EXPECT_EQ(e.ParamName(), "emSize");
        }
    }
}

TEST(XFontTest, PdfOptionConstructors) {
    struct Row {
        XPdfFontOptions options;
        PdfFontEncoding encoding;
        PdfFontEmbedding embedding;
    };
    const std::vector<std::uint8_t> bytes{1, 2, 3};
    for (const Row &row : {
             Row{XPdfFontOptions(), PdfFontEncoding::WinAnsi, PdfFontEmbedding::Default},
             Row{XPdfFontOptions(PdfFontEncoding::Unicode, PdfFontEmbedding::Always), PdfFontEncoding::Unicode,
                 PdfFontEmbedding::Always},
             Row{XPdfFontOptions(PdfFontEncoding::Unicode), PdfFontEncoding::Unicode, PdfFontEmbedding::None},
             Row{XPdfFontOptions(PdfFontEmbedding::Automatic), PdfFontEncoding::WinAnsi, PdfFontEmbedding::Automatic},
             Row{XPdfFontOptions(true, bytes), PdfFontEncoding::Unicode, PdfFontEmbedding::None},
             Row{XPdfFontOptions(false, bytes), PdfFontEncoding::WinAnsi, PdfFontEmbedding::None},
             Row{XPdfFontOptions(false), PdfFontEncoding::WinAnsi, PdfFontEmbedding::Default},
             Row{XPdfFontOptions(false, true), PdfFontEncoding::WinAnsi, PdfFontEmbedding::Default},
             Row{XPdfFontOptions(false, std::string("Arial")), PdfFontEncoding::WinAnsi, PdfFontEmbedding::Default},
             Row{XPdfFontOptions(true, true, "Arial", "arial.ttf"), PdfFontEncoding::WinAnsi, PdfFontEmbedding::Default},
             Row{XPdfFontOptions(PdfFontEmbedding::None, true), PdfFontEncoding::WinAnsi, PdfFontEmbedding::Default},
         }) {
        EXPECT_EQ(row.options.FontEncoding(), row.encoding);
        EXPECT_EQ(row.options.FontEmbedding(), row.embedding);
        EXPECT_EQ(row.options.Embed(), row.embedding != PdfFontEmbedding::None);
    }
    EXPECT_TRUE(XFont(u"Arial", 8, XFontStyle::Regular, XPdfFontOptions(PdfFontEncoding::Unicode)).Unicode());
    EXPECT_FALSE(XFont(u"Arial", 8).Unicode());
}

}  // namespace
