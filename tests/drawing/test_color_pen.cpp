// Colours, named colours, pens and brushes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "drawing/x_colors.h"
#include "drawing/x_pen.h"
#include "drawing/x_solid_brush.h"
#include "geometry_test_support.h"
#include "pdf/errors.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::ArgumentException;
using ZavorTest::ExpectFailure;

TEST(XColorTest, FromArgbRejectsComponentsOutsideAByte) {
    struct Row {
        int a, r, g, b;
        std::string message;
    };
    const std::vector<Row> rows = {
        {256, 0, 0, 0,
         "256 is not a valid value for alpha. alpha should be greater than or equal to 0 and less than or equal to 255."},
        {0, -1, 0, 0,
         "-1 is not a valid value for red. red should be greater than or equal to 0 and less than or equal to 255."},
        {0, 0, 300, 0,
         "300 is not a valid value for green. green should be greater than or equal to 0 and less than or equal to 255."},
        {0, 0, 0, -7,
         "-7 is not a valid value for blue. blue should be greater than or equal to 0 and less than or equal to 255."},
    };
    for (const Row &row : rows)
        ExpectFailure<ArgumentException>([&] { XColor::FromArgb(row.a, row.r, row.g, row.b); }, row.message);
}

TEST(XColorTest, RgbAndCmykStayInStep) {
    struct Row {
        int r, g, b;
        double c, m, y, k;
    };
    const Row rows[] = {
        {255, 0, 0, 0, 1, 1, 0},
        {50, 50, 50, 0, 0, 0, 205 / 255.0},
        {0, 0, 0, 0, 0, 0, 1},
        {255, 255, 255, 0, 0, 0, 0},
        {0, 128, 255, 1, 127 / 255.0, 0, 0},
        {100, 150, 200, 0.5, 0.25, 0, 55 / 255.0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::to_string(row.r) + "," + std::to_string(row.g) + "," + std::to_string(row.b));
        XColor color = XColor::FromArgb(row.r, row.g, row.b);
        EXPECT_NEAR(color.C(), row.c, 1e-6);
        EXPECT_NEAR(color.M(), row.m, 1e-6);
        EXPECT_NEAR(color.Y(), row.y, 1e-6);
        EXPECT_NEAR(color.K(), row.k, 1e-6);
        XColor back = XColor::FromCmyk(color.C(), color.M(), color.Y(), color.K());
        EXPECT_EQ(back.Rgb(), color.Rgb());
        EXPECT_EQ(back.ColorSpace(), XColorSpace::Cmyk);
    }
}

TEST(XColorTest, AlphaEmptyAndPacking) {
    XColor color = XColor::FromArgb(50, 1, 2, 3);
    EXPECT_FLOAT_EQ(static_cast<float>(color.A()), 50 / 255.0f);
    EXPECT_EQ(color.Rgb(), 0x010203u);
    EXPECT_EQ(color.ToArgb(), 0x32010203u);
    EXPECT_EQ(XColor::FromArgb(1, 2, 3).A(), 1.0);
    EXPECT_TRUE(XColor::Empty().IsEmpty());
    EXPECT_FALSE(XColor::FromArgb(0, 0, 0, 0).IsEmpty());  // transparent black is a colour
    XColor gray = XColor::FromGrayScale(0.5);
    EXPECT_EQ(gray.Rgb(), 0x808080u);
    EXPECT_EQ(gray.ColorSpace(), XColorSpace::GrayScale);
}

TEST(XKnownColorTest, NamesAndValues) {
    EXPECT_EQ(XKnownColorTable::All().size(), 141u);
    EXPECT_EQ(XColors::Blue().ToArgb(), 0xFF0000FFu);
    EXPECT_EQ(XColors::Transparent().ToArgb(), 0x00FFFFFFu);
    EXPECT_EQ(XColors::DarkGoldenrod().Rgb(), 0xB8860Bu);
    EXPECT_EQ(XKnownColorTable::FromName("steelblue"), XKnownColor::SteelBlue);
    EXPECT_EQ(XKnownColorTable::FromName("NoSuchColour"), std::nullopt);
    EXPECT_EQ(XKnownColorTable::Name(XKnownColor::AliceBlue), "AliceBlue");
    // Aqua and Cyan share a value; the first name wins.
    EXPECT_EQ(XKnownColorTable::FromArgb(0xFF00FFFF), XKnownColor::Aqua);
    EXPECT_EQ(XBrushes::Blue().Color(), XColors::Blue());
    EXPECT_EQ(XPens::Red().Width(), 1.0);
}

TEST(XPenTest, PredefinedPensAndBrushesCannotChangeButCopiesCan) {
    const XPen &red = XPens::Red();
    EXPECT_TRUE(red.IsImmutable());
    ExpectFailure<ArgumentException>([&] { const_cast<XPen &>(red).SetWidth(3); }, "This XPen is immutable.");
    XPen copy = red;
    copy.SetWidth(3);
    EXPECT_EQ(copy.Width(), 3.0);
    EXPECT_EQ(XPens::Red().Width(), 1.0);
    const XSolidBrush &blue = XBrushes::Blue();
    ExpectFailure<ArgumentException>([&] { const_cast<XSolidBrush &>(blue).SetColor(XColors::Red()); },
                                      "This XSolidBrush is immutable.");
    XSolidBrush brush = blue;
    brush.SetColor(XColors::Red());
    EXPECT_EQ(brush.Color(), XColors::Red());
}

TEST(XPenTest, DashPatternValuesMustBePositive) {
    XPen pen(XColors::Black());
    for (double bad : {0.0, -1.0, std::nan("")})
        ExpectFailure<ArgumentException>([&] { pen.SetDashPattern({1, bad}); },
                                         "Dash pattern value must greater than zero.");
    EXPECT_EQ(pen.DashStyle(), XDashStyle::Solid);
    pen.SetDashPattern({2, 1});
    EXPECT_EQ(pen.DashStyle(), XDashStyle::Custom);
}
