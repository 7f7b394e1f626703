#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "drawing/x_rect.h"
#include "geometry_test_support.h"
#include "pdf/errors.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::ArgumentException;
using ZavorPdf::InvalidOperationException;
using ZavorTest::ExpectFailure;

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
}

TEST(XRectTest, EmptyRectangleIsInfiniteAndPrintsAsEmpty) {
    XRect empty = XRect::Empty();
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.X(), kInf);
    EXPECT_EQ(empty.Y(), kInf);
    EXPECT_EQ(empty.Width(), -kInf);
    EXPECT_EQ(empty.Height(), -kInf);
    EXPECT_TRUE(empty.Size().IsEmpty());
    EXPECT_EQ(empty.ToString(), "Empty");
    EXPECT_EQ(XRect::Parse(" Empty "), empty);
    EXPECT_FALSE(XRect().IsEmpty());
    EXPECT_TRUE(XRect(XPoint(1, 2), XSize::Empty()).IsEmpty());
    XRect zero(5, 5, 0, 0);
    EXPECT_FALSE(zero.IsEmpty());
}

TEST(XRectTest, EdgesAndCornersFollowTheDownwardPage) {
    XRect r(10, 20, 30, 40);
    EXPECT_EQ(r.TopRight(), XPoint(40, 20));
    EXPECT_EQ(r.BottomLeft(), XPoint(10, 60));
    EXPECT_EQ(r.Center(), XPoint(25, 40));
    EXPECT_EQ(XRect::FromLTRB(10, 20, 40, 60), r);
    EXPECT_EQ(XRect(XPoint(40, 20), XPoint(10, 60)), r);
    EXPECT_EQ(XRect(XPoint(40, 60), XVector(-30, -40)), r);
    EXPECT_EQ(XRect(XSize(3, 4)), XRect(0, 0, 3, 4));
    EXPECT_EQ(r + XVector(1, 2), XRect(11, 22, 30, 40));
    EXPECT_EQ(r - XVector(1, 2), XRect(9, 18, 30, 40));
}

TEST(XRectTest, RefusesNegativeExtentsAndChangesToTheEmptyRectangle) {
    const std::function<void()> negative[] = {
        [] { XRect(0, 0, -1, 5); },
        [] { XRect(0, 0, 5, -1); },
        [] { XRect::FromLTRB(10, 0, 5, 5); },
        [] { XRect(XPoint(), XSize(2, -3)); },
        [] { XRect::Parse("1,2,-3,4"); },
    };
    for (const auto &call : negative)
        ExpectFailure<ArgumentException>(call, "WidthAndHeightCannotBeNegative");

    const std::function<void(XRect &)> changes[] = {
        [](XRect &r) { r.SetX(1); },
        [](XRect &r) { r.SetY(1); },
        [](XRect &r) { r.SetWidth(1); },
        [](XRect &r) { r.SetHeight(1); },
        [](XRect &r) { r.SetLocation(XPoint(1, 1)); },
        [](XRect &r) { r.SetSize(XSize(1, 1)); },
        [](XRect &r) { r.Offset(1, 1); },
        [](XRect &r) { r.Inflate(1, 1); },
        [](XRect &r) { r = r + XVector(1, 1); },
    };
    for (const auto &change : changes) {
        XRect r = XRect::Empty();
        ExpectFailure<InvalidOperationException>([&] { change(r); }, "CannotModifyEmptyRect");
        EXPECT_TRUE(r.IsEmpty());
    }

    XRect r(1, 2, 3, 4);
    ExpectFailure<ArgumentException>([&] { r.SetWidth(-1); }, "WidthCannotBeNegative");
    ExpectFailure<ArgumentException>([&] { r.SetHeight(-0.5); }, "HeightCannotBeNegative");
    ExpectFailure<ArgumentException>([&] { r.SetSize(XSize(5, -1)); }, "HeightCannotBeNegative");
    EXPECT_EQ(r, XRect(1, 2, 3, 4));
    r.SetSize(XSize::Empty());
    EXPECT_TRUE(r.IsEmpty());
}

TEST(XRectTest, UnionAndIntersection) {
    const XRect empty = XRect::Empty();
    struct {
        XRect a, b, unite, common;
        bool meet;
    } rows[] = {
        {{0, 0, 10, 10}, {5, 5, 10, 10}, {0, 0, 15, 15}, {5, 5, 5, 5}, true},
        {{0, 0, 10, 10}, {20, 5, 5, 5}, {0, 0, 25, 10}, empty, false},
        // Shared edge: they meet in a line of zero width.
        {{0, 0, 10, 10}, {10, 0, 5, 5}, {0, 0, 15, 10}, {10, 0, 0, 5}, true},
        {{0, 0, 10, 10}, {2, 3, 4, 5}, {0, 0, 10, 10}, {2, 3, 4, 5}, true},
        {{0, 0, 10, 10}, empty, {0, 0, 10, 10}, empty, false},
        {empty, {1, 2, 3, 4}, {1, 2, 3, 4}, empty, false},
        {empty, empty, empty, empty, false},
        {{0, 0, kInf, 1}, {-5, 0, 1, 1}, {-5, 0, kInf, 1}, empty, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.a.ToString() + " with " + row.b.ToString());
        EXPECT_EQ(XRect::Union(row.a, row.b), row.unite);
        EXPECT_EQ(XRect::Union(row.b, row.a), row.unite);
        EXPECT_EQ(XRect::Intersect(row.a, row.b), row.common);
        EXPECT_EQ(row.a.IntersectsWith(row.b), row.meet);
    }
    XRect grown(1, 1, 1, 1);
    grown.Union(XPoint(-1, 5));
    EXPECT_EQ(grown, XRect(-1, 1, 3, 4));
}

TEST(XRectTest, ContainsIncludesTheEdges) {
    XRect r(0, 0, 10, 10);
    EXPECT_TRUE(r.Contains(0, 0));
    EXPECT_TRUE(r.Contains(XPoint(10, 10)));
    EXPECT_FALSE(r.Contains(10.001, 5));
    EXPECT_FALSE(r.Contains(5, -0.001));
    EXPECT_TRUE(r.Contains(XRect(0, 0, 10, 10)));
    EXPECT_TRUE(r.Contains(XRect(2, 2, 3, 3)));
    EXPECT_FALSE(r.Contains(XRect(2, 2, 9, 3)));
    EXPECT_FALSE(r.Contains(XRect::Empty()));
    EXPECT_FALSE(XRect::Empty().Contains(XPoint(0, 0)));
}

TEST(XRectTest, InflateScaleAndTransform) {
    struct {
        double dx, dy;
        XRect expected;
    } inflations[] = {
        {5, 2, {5, 8, 30, 24}},
        {-10, 0, {20, 10, 0, 20}},
        {-10.5, 0, XRect::Empty()},  // shrunk past nothing
        {0, -11, XRect::Empty()},
    };
    for (const auto &row : inflations)
        EXPECT_EQ(XRect::Inflate(XRect(10, 10, 20, 20), row.dx, row.dy), row.expected);

    XRect scaled(10, 20, 30, 40);
    scaled.Scale(2, -1);
    EXPECT_EQ(scaled, XRect(20, -60, 60, 40));
    XRect empty = XRect::Empty();
    empty.Scale(2, 2);
    EXPECT_TRUE(empty.IsEmpty());

    struct {
        XMatrix matrix;
        XRect expected;
    } transforms[] = {
        {XMatrix(), {0, 0, 10, 20}},
        {XMatrix(0, 1, -1, 0, 0, 0), {-20, 0, 20, 10}},
        {XMatrix(2, 0, 0, -1, 1, 100), {1, 80, 20, 20}},
        {XMatrix(1, 0, 1, 1, 0, 0), {0, 0, 30, 20}},
    };
    for (const auto &row : transforms) {
        SCOPED_TRACE(row.matrix.ToString());
        EXPECT_EQ(XRect::Transform(XRect(0, 0, 10, 20), row.matrix), row.expected);
    }
    EXPECT_TRUE(XRect::Transform(XRect::Empty(), XMatrix(2, 0, 0, 2, 1, 1)).IsEmpty());
}

TEST(XRectTest, TextForm) {
    EXPECT_EQ(XRect(10, 20.5, 0.25, 4).ToString(), "10,20.5,0.25,4");
    EXPECT_EQ(XRect::Parse(" 10 , 20.5,0.25, 4 "), XRect(10, 20.5, 0.25, 4));
    ExpectFailure<ArgumentException>(
        [] { XRect::Parse("1,2,3"); }, "String '1,2,3' is not a valid value for structure 'XRect'.");
    ExpectFailure<ArgumentException>(
        [] { XRect::Parse("Empty,1"); },
        "String 'Empty,1' is not a valid value for structure 'XRect'.");
}
