// The figures of a path: point types, joining, closing and precision.
#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <functional>
#include <vector>

#include "drawing/x_graphics_path.h"
#include "geometry_test_support.h"
#include "pdf/errors.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::ArgumentException;
using ZavorTest::ExpectFailure;
using Types = std::vector<std::uint8_t>;

TEST(XGraphicsPathTest, FiguresAndTheirTypes) {
    struct Row {
        const char *name;
        std::function<void(XGraphicsPath &)> build;
        Types types;
    };
    const XPoint triangle[] = {{0, 0}, {1, 0}, {0, 1}};
    const std::vector<Row> rows = {
        {"rectangle", [](XGraphicsPath &p) { p.AddRectangle(0, 0, 1, 1); }, {0, 1, 1, 129}},
        {"polygon", [&](XGraphicsPath &p) { p.AddPolygon(triangle); }, {0, 1, 129}},
        {"ellipse", [](XGraphicsPath &p) { p.AddEllipse(0, 0, 2, 2); }, {0, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 131}},
        {"quarter pie", [](XGraphicsPath &p) { p.AddPie(0, 0, 2, 2, 0, 90); }, {0, 1, 3, 3, 131}},
        {"lines join the open figure",
         [](XGraphicsPath &p) {
             p.AddLine(0, 0, 1, 1);
             p.AddLine(1, 1, 2, 2);  // starts where the figure ends: no extra line
             p.AddLine(5, 5, 6, 6);
         },
         {0, 1, 1, 1, 1}},
        {"start figure breaks the join",
         [](XGraphicsPath &p) {
             p.AddLine(0, 0, 1, 1);
             p.StartFigure();
             p.AddLine(5, 5, 6, 6);
         },
         {0, 1, 0, 1}},
        {"close figure ends it",
         [](XGraphicsPath &p) {
             p.AddLine(0, 0, 1, 1);
             p.CloseFigure();
             p.AddArc(0, 0, 2, 2, 0, 90);
         },
         {0, 129, 0, 3, 3, 3}},
        {"closed curve", [&](XGraphicsPath &p) { p.AddClosedCurve(triangle); }, {0, 3, 3, 3, 3, 3, 3, 3, 3, 131}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        XGraphicsPath path;
        row.build(path);
        EXPECT_EQ(path.Types(), row.types);
        EXPECT_EQ(path.PointCount(), static_cast<int>(row.types.size()));
    }
}

TEST(XGraphicsPathTest, AddPathConnectsOnlyWhenAsked) {
    XGraphicsPath other;
    other.AddLine(5, 5, 6, 6);
    XGraphicsPath joined, apart;
    joined.AddLine(0, 0, 1, 1);
    apart.AddLine(0, 0, 1, 1);
    joined.AddPath(other, true);
    apart.AddPath(other, false);
    EXPECT_EQ(joined.Types(), (Types{0, 1, 1, 1}));
    EXPECT_EQ(apart.Types(), (Types{0, 1, 0, 1}));
    apart.AddPath(apart, false);  // a path may be added to itself
    EXPECT_EQ(apart.PointCount(), 8);
}

TEST(XGraphicsPathTest, PointsAreSinglePrecision) {
    XGraphicsPath path;
    path.AddLine(0.1, 1e-3, 123456.789, 2);
    EXPECT_EQ(path.PointAt(0).X(), static_cast<double>(0.1f));
    EXPECT_EQ(path.PointAt(1).X(), static_cast<double>(123456.789f));
}

TEST(XGraphicsPathTest, RoundedRectangleCornersAndSplines) {
    XGraphicsPath path;
    path.AddRoundedRectangle(0, 0, 100, 50, 20, 20);
    std::vector<XPoint> points = path.Points();
    ASSERT_EQ(points.size(), 16u);  // a start, three joining lines, four arcs of three points
    ZavorTest::ExpectPointNear(points.front(), {90, 0}, 1e-4);
    ZavorTest::ExpectPointNear(points[3], {100, 10}, 1e-4);
    ZavorTest::ExpectPointNear(points.back(), {10, 0}, 1e-4);
    // A tension of 0 gives straight segments: the control points sit on the
    // ends.
    const XPoint line[] = {{0, 0}, {3, 3}};
    std::vector<XPoint> beziers = CardinalSplineToBeziers(line, 0, false);
    ASSERT_EQ(beziers.size(), 4u);
    ZavorTest::ExpectPointNear(beziers[1], {0, 0});
    ZavorTest::ExpectPointNear(beziers[2], {3, 3});
}

TEST(XGraphicsPathTest, RefusedInput) {
    XGraphicsPath path;
    const XPoint one[] = {{1, 1}};
    const XPoint five[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
    ExpectFailure<ArgumentException>([&] { path.AddPolygon(one); }, "The point array must contain 2 or more points.");
    ExpectFailure<ArgumentException>([&] { path.AddCurve(one); }, "The point array must contain 2 or more points.");
    ExpectFailure<ArgumentException>([&] { path.AddBeziers(five); },
                                     "Invalid number of points for bezier curves. Number must fulfil 4+3n.");
    EXPECT_EQ(path.PointCount(), 0);
}

TEST(XGraphicsPathTest, TextOutlinesFollowTheBaseline) {
    XFontFamily family(u"Liberation Sans");
    XGraphicsPath path;
    path.AddString(u"", family, XFontStyle::Regular, 20, XRect(0, 0, 100, 0), XStringFormats::Default());
    EXPECT_EQ(path.PointCount(), 0);
    path.AddString(u"IL", family, XFontStyle::Regular, 20, XRect(10, 100, 0, 0), XStringFormats::Default());
    ASSERT_GT(path.PointCount(), 0);
    // Upright capitals stand on the baseline: y-down, so they lie above it,
    // and they start at the left edge of the rectangle.
    double top = 1e9, bottom = -1e9, left = 1e9;
    for (const XPoint &p : path.Points()) {
        top = std::min(top, p.Y());
        bottom = std::max(bottom, p.Y());
        left = std::min(left, p.X());
    }
    EXPECT_NEAR(bottom, 100, 0.01);
    EXPECT_NEAR(top, 100 - 20 * 1409 / 2048.0, 0.05);  // the cap height of the face
    EXPECT_GT(left, 10);
    EXPECT_LT(left, 13);
    EXPECT_EQ(path.Types().front(), 0);
    EXPECT_NE(path.Types().back() & 128, 0);  // every glyph contour is closed
    ExpectFailure<ArgumentException>(
        [&] { path.AddString(u"x", family, XFontStyle::Regular, 20, XRect(0, 0, 10, 10), XStringFormats::Default()); },
        "DrawString: With XLineAlignment.BaseLine the height of the layout rectangle must be 0.");
    // The point form swallows what the font engine refuses.
    int before = path.PointCount();
    path.AddString(u"x", family, XFontStyle::Regular, -5, XPoint(0, 0), XStringFormats::Default());
    EXPECT_EQ(path.PointCount(), before);
}
