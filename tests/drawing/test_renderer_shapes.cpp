// The exact operators of each drawing call on a fresh A4 page.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "drawing/x_colors.h"
#include "drawing/x_graphics.h"
#include "drawing/x_solid_brush.h"
#include "geometry_test_support.h"
#include "pdf/errors.h"
#include "test_graphics_support.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::ArgumentException;
using ZavorTest::GraphicsPage;
using ZavorTest::kBlackPen;
using ZavorTest::kPageEnd;
using ZavorTest::kPageStart;

namespace {

const XPen kPen(XColor::FromArgb(0, 0, 0));
const XSolidBrush kRedBrush(XColor::FromArgb(255, 0, 0));
const std::string kRedFill = "1 0 0 rg\n";

struct ShapeRow {
    const char *name;
    std::function<void(XGraphics &)> draw;
    std::string operators;  // between the page start and the page end
};

std::vector<ShapeRow> ShapeRows() {
    return {
        {"line", [](XGraphics &g) { g.DrawLine(kPen, 10, 20, 30.5, 40.25); },
         kBlackPen + "10 20 m\n30.5 40.25 l\nS\n"},
        {"lines rounded to three decimals",
         [](XGraphics &g) {
             const XPoint points[] = {{0, 0}, {1.23456, 2}, {3, 4.0005}};
             g.DrawLines(kPen, points);
         },
         kBlackPen + "0 0 m\n1.235 2 l\n3 4.001 l\nS\n"},
        {"rectangle stroked", [](XGraphics &g) { g.DrawRectangle(kPen, 10, 10, 400, 200); },
         kBlackPen + "10 10 400 200 re\nS\n"},
        {"rectangle filled", [](XGraphics &g) { g.DrawRectangle(kRedBrush, 1, 2, 3, 4); },
         kRedFill + "1 2 3 4 re\nf\n"},
        {"rectangle stroked and filled", [](XGraphics &g) { g.DrawRectangle(&kPen, &kRedBrush, XRect(1, 2, 3, 4)); },
         kBlackPen + kRedFill + "1 2 3 4 re\nB\n"},
        {"rectangles",
         [](XGraphics &g) {
             const XRect rects[] = {XRect(0, 0, 1, 1), XRect(2, 2, 1, 1)};
             g.DrawRectangles(&kPen, nullptr, rects);
         },
         kBlackPen + "0 0 1 1 re\nS\n2 2 1 1 re\nS\n"},
        {"ellipse",
         [](XGraphics &g) { g.DrawEllipse(kPen, XRect(0, 0, 200, 100)); },
         kBlackPen +
             "200 50 m\n200 77.6142 155.2285 100 100 100 c\n44.7715 100 0 77.6142 0 50 c\n"
             "0 22.3858 44.7715 0 100 0 c\n155.2285 0 200 22.3858 200 50 c\nh S\n"},
        {"ellipse filled uses the winding rule",
         [](XGraphics &g) { g.DrawEllipse(kRedBrush, XRect(0, 0, 2, 2)); },
         kRedFill +
             "2 1 m\n2 1.5523 1.5523 2 1 2 c\n0.4477 2 0 1.5523 0 1 c\n"
             "0 0.4477 0.4477 0 1 0 c\n1.5523 0 2 0.4477 2 1 c\nh f\n"},
        {"polygon with pen is closed, even-odd",
         [](XGraphics &g) {
             const XPoint points[] = {{10, 10}, {100, 10}, {50, 80}};
             g.DrawPolygon(kPen, points);
         },
         kBlackPen + "10 10 m\n100 10 l\n50 80 l\nh S\n"},
        {"polygon filled with winding",
         [](XGraphics &g) {
             const XPoint points[] = {{0, 0}, {1, 0}, {0, 1}};
             g.DrawPolygon(kRedBrush, points, XFillMode::Winding);
         },
         kRedFill + "0 0 m\n1 0 l\n0 1 l\nh f\n"},
        {"quarter arc",
         [](XGraphics &g) { g.DrawArc(kPen, 0, 0, 200, 200, 0, 90); },
         kBlackPen + "200 100 m\n200 155.228 155.228 200 100 200 c\nS\n"},
        {"quarter pie",
         [](XGraphics &g) { g.DrawPie(kRedBrush, 0, 0, 200, 200, 0, 90); },
         kRedFill + "100 100 m\n200 100 l\n200 155.228 155.228 200 100 200 c\nh f*\n"},
        {"bezier",
         [](XGraphics &g) { g.DrawBezier(kPen, {0, 0}, {1, 2}, {3, 4}, {5.00001, 6}); },
         kBlackPen + "0 0 m\n1 2 3 4 5 6 c\nS\n"},
        {"curve through three points",
         [](XGraphics &g) {
             const XPoint points[] = {{0, 0}, {30, 30}, {60, 0}};
             g.DrawCurve(kPen, points, 0.5);
         },
         kBlackPen + "0 0 m\n5 5 20 30 30 30 c\n40 30 55 5 60 0 c\nS\n"},
        {"path with a closed figure",
         [](XGraphics &g) {
             XGraphicsPath path;
             path.AddLine(0, 0, 10, 0);
             path.AddLine(10, 10, 0, 10);
             path.CloseFigure();
             g.DrawPath(kPen, path);
         },
         kBlackPen + "0 0 m\n10 0 l\n10 10 l\n0 10 l\nh\nS\n"},
        // Path points are single precision: 90 + 10 * 0.5523 lands on 95.52285.
        {"rounded rectangle",
         [](XGraphics &g) { g.DrawRoundedRectangle(kRedBrush, 0, 0, 100, 50, 20, 20); },
         kRedFill +
             "90 0 m\n95.5229 0 100 4.4772 100 10 c\n100 40 l\n100 45.5228 95.5229 50 90 50 c\n"
             "10 50 l\n4.4772 50 0 45.5228 0 40 c\n0 10 l\n0 4.4772 4.4772 0 10 0 c\nh\nf*\n"},
    };
}

}  // namespace

TEST(RendererShapesTest, EachCallWritesItsOperators) {
    for (const ShapeRow &row : ShapeRows()) {
        SCOPED_TRACE(row.name);
        GraphicsPage page;
        row.draw(*page.gfx);
        EXPECT_EQ(page.Finish(), kPageStart + row.operators + kPageEnd);
    }
}

TEST(RendererShapesTest, RefusedCallsWriteNothing) {
    struct Row {
        const char *name;
        std::function<void(XGraphics &)> call;
        std::string message;
    };
    const XPoint one[] = {{1, 1}};
    const XPoint five[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
    const std::vector<Row> rows = {
        {"no pen, no brush", [](XGraphics &g) { g.DrawRectangle(nullptr, nullptr, XRect(0, 0, 1, 1)); },
         "XPen or XBrush or both must not be null."},
        {"curve of one point", [&](XGraphics &g) { g.DrawCurve(kPen, one); }, "DrawCurve requires two or more points."},
        {"closed curve of one point", [&](XGraphics &g) { g.DrawClosedCurve(&kPen, nullptr, one); },
         "Not enough points."},
        {"polygon of one point", [&](XGraphics &g) { g.DrawPolygon(kPen, one); },
         "The point array must contain 2 or more points."},
        {"lines of one point", [&](XGraphics &g) { g.DrawLines(kPen, one); },
         "The point array must contain 2 or more points."},
        {"beziers of five points", [&](XGraphics &g) { g.DrawBeziers(kPen, five); },
         "Invalid number of points for bezier curves. Number must fulfil 4+3n."},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        GraphicsPage page;
        ZavorTest::ExpectFailure<ArgumentException>([&] { row.call(*page.gfx); }, row.message);
        EXPECT_EQ(page.Finish(), "");
    }
}

TEST(RendererShapesTest, CommentsAndClearing) {
    GraphicsPage page;
    page.gfx->WriteComment("one\ntwo");
    page.gfx->Clear(XColors::White());
    EXPECT_EQ(page.Finish(), "% one\n% two\n" + kPageStart + "1 1 1 rg\n0 0 595 842 re\nf\n" + kPageEnd);
}
