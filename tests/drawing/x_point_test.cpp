#include <gtest/gtest.h>

#include <functional>

#include "drawing/x_point.h"
#include "drawing/x_size.h"
#include "drawing/x_vector.h"
#include "geometry_test_support.h"
#include "pdf/errors.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::ArgumentException;
using ZavorTest::ExpectFailure;
using ZavorTest::ExpectPointNear;

TEST(XPointTest, DivisionByZeroFails) {
    const std::function<void()> divisions[] = {
        [] { (void)(XPoint(1, 2) / 0); },
        [] { (void)(XPoint(0, 0) / -0.0); },
        [] { (void)(XVector(1, 2) / 0); },
    };
    for (const auto &division : divisions)
        ExpectFailure<ArgumentException>(division, "Divisor is zero.");
}

TEST(XVectorTest, LengthsAnglesAndProducts) {
    XVector v(3, 4);
    EXPECT_EQ(v.Length(), 5);
    EXPECT_EQ(v.LengthSquared(), 25);
    EXPECT_EQ(v * XVector(2, 1), 10);
    EXPECT_EQ(XPoint(4, 6) - XPoint(1, 2), v);
    EXPECT_EQ(XVector::CrossProduct(XVector(1, 0), XVector(0, 1)), 1);
    EXPECT_EQ(XVector::Determinant(XVector(2, 3), XVector(4, 5)), -2);

    struct {
        XVector a, b;
        double degrees;
    } angles[] = {
        {{1, 0}, {0, 1}, 90}, {{0, 1}, {1, 0}, -90}, {{1, 0}, {-1, 0}, 180},
        {{1, 1}, {2, 2}, 0},  {{1, 0}, {1, 1}, 45},
    };
    for (const auto &row : angles)
        EXPECT_NEAR(XVector::AngleBetween(row.a, row.b), row.degrees, 1e-12);
}

TEST(XVectorTest, NormalizeKeepsDirectionAndSurvivesExtremes) {
    struct {
        XVector input, expected;
    } rows[] = {
        {{3, 4}, {0.6, 0.8}},
        {{0, -2}, {0, -1}},
        {{1e300, 1e300}, {0.7071067811865476, 0.7071067811865476}},  // x² overflows
        {{3e-300, 4e-300}, {0.6, 0.8}},                              // x² underflows
        {{0, 0}, {0, 0}},  // no direction: stays zero instead of NaN
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.input.ToString());
        XVector v = row.input;
        v.Normalize();
        EXPECT_NEAR(v.X(), row.expected.X(), 1e-9);
        EXPECT_NEAR(v.Y(), row.expected.Y(), 1e-9);
    }
}

TEST(XSizeTest, EmptyValueAndConversions) {
    EXPECT_TRUE(XSize::Empty().IsEmpty());
    EXPECT_FALSE(XSize().IsEmpty());
    EXPECT_FALSE(XSize(-1, 2).IsEmpty());
    EXPECT_EQ(XSize::Empty().ToString(), "Empty");
    EXPECT_TRUE(XSize::Parse("Empty").IsEmpty());
    EXPECT_EQ(static_cast<XPoint>(XSize(2, 3)), XPoint(2, 3));
    EXPECT_EQ(static_cast<XVector>(XSize(2, 3)), XVector(2, 3));
    EXPECT_EQ(XSize(2, 3) * 2, XSize(4, 6));
}

TEST(GeometryTextTest, ListsRoundTripInTheInvariantFormat) {
    EXPECT_EQ(XPoint(1.5, -2).ToString(), "1.5,-2");
    EXPECT_EQ(XSize(595, 841.89).ToString(), "595,841.89");
    EXPECT_EQ(XVector(0.1, 1e21).ToString(), "0.1,1e+21");
    EXPECT_EQ(XPoint::Parse(" 1.5 ,\t-2 "), XPoint(1.5, -2));
    EXPECT_EQ(XPoint::Parse("+1,.5"), XPoint(1, 0.5));
    XPoint third(1.0 / 3, 2.0 / 3);
    EXPECT_EQ(XPoint::Parse(third.ToString()), third);
    EXPECT_EQ(XVector::Parse("3,4"), XVector(3, 4));
    EXPECT_EQ(XSize::Parse("3,4"), XSize(3, 4));
    struct {
        const char *text;
        std::function<void(const char *)> parse;
        const char *type;
    } failures[] = {
        {"1", [](const char *t) { XPoint::Parse(t); }, "XPoint"},
        {"1,2,3", [](const char *t) { XPoint::Parse(t); }, "XPoint"},
        {"1;2", [](const char *t) { XPoint::Parse(t); }, "XPoint"},
        {"1,5 2", [](const char *t) { XSize::Parse(t); }, "XSize"},
        {"a,b", [](const char *t) { XVector::Parse(t); }, "XVector"},
        {"1,", [](const char *t) { XVector::Parse(t); }, "XVector"},
    };
    for (const auto &row : failures) {
        SCOPED_TRACE(row.text);
        ExpectFailure<ArgumentException>([&] { row.parse(row.text); },
                                         std::string("String '") + row.text +
                                             "' is not a valid value for structure '" + row.type +
                                             "'.");
    }
}
