// Text outlines through FreeType, placed with the font's own widths.
#include <gtest/gtest.h>

#include <algorithm>

#include "drawing/fonts/text_outline.h"

namespace {

using ZavorPdf::Drawing::XFont;
using ZavorPlatform::OutlinePoint;

TEST(TextOutlineTest, GlyphsStandOnTheBaselineAndAdvanceByTheirWidths) {
    // At 2048 points one design unit is one point.
    XFont font(u"Arial", 2048);
    std::vector<OutlinePoint> one = ZavorPdf::Fonts::TextOutline(font, u"I", 0, 0);
    // The "I" is one closed rectangle from the baseline up to the cap
    // height; its last line returns to the start.
    ASSERT_EQ(one.size(), 5u);
    EXPECT_EQ(one.front().type, 0);
    EXPECT_EQ(one.back().type, 1 | 0x80);
    EXPECT_DOUBLE_EQ(one.back().x, one.front().x);
    EXPECT_DOUBLE_EQ(one.back().y, one.front().y);
    auto [low, high] = std::minmax_element(one.begin(), one.end(), [](auto &a, auto &b) { return a.y < b.y; });
    EXPECT_DOUBLE_EQ(low->y, -1409);
    EXPECT_DOUBLE_EQ(high->y, 0);

    std::vector<OutlinePoint> two = ZavorPdf::Fonts::TextOutline(font, u"II", 10, 100);
    ASSERT_EQ(two.size(), 10u);
    double advance = font.MeasureWidth(u"I");
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(two[i].x, one[i].x + 10);
        EXPECT_DOUBLE_EQ(two[i + 5].x, one[i].x + 10 + advance);
        EXPECT_DOUBLE_EQ(two[i + 5].y, one[i].y + 100);
    }
    EXPECT_TRUE(ZavorPdf::Fonts::TextOutline(font, u" ", 0, 0).empty());
}

TEST(TextOutlineTest, CurvedGlyphsBecomeCubicSegments) {
    std::vector<OutlinePoint> o = ZavorPdf::Fonts::TextOutline(XFont(u"Arial", 12), u"o", 0, 0);
    // Two closed figures (outer and inner ring) of Bezier points.
    EXPECT_EQ(std::count_if(o.begin(), o.end(), [](auto &p) { return p.type == 0; }), 2);
    EXPECT_EQ(std::count_if(o.begin(), o.end(), [](auto &p) { return (p.type & 0x80) != 0; }), 2);
    EXPECT_GT(std::count_if(o.begin(), o.end(), [](auto &p) { return (p.type & 0x7F) == 3; }), 6);
}

}  // namespace
