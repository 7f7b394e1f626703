#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "drawing/x_matrix.h"
#include "geometry_test_support.h"
#include "pdf/errors.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::ArgumentException;
using ZavorPdf::InvalidOperationException;
using ZavorTest::ExpectFailure;
using ZavorTest::ExpectPointNear;
using Elements = std::array<double, 6>;

namespace {

constexpr XMatrixTypes kScaleAndOffset = XMatrixTypes::Translation | XMatrixTypes::Scaling;

// Scale by (2, 4), then move by (6, 8): every kind shortcut is off the table.
XMatrix ScaleAndOffset() { return XMatrix(2, 0, 0, 4, 6, 8); }
// Every element different and non-zero, so that swapped elements show.
XMatrix General() { return XMatrix(1, 2, 3, 4, 5, 6); }
// An exact quarter turn, so that products stay exact.
XMatrix QuarterTurn() { return XMatrix(0, 1, -1, 0, 0, 0); }

struct OperationRow {
    const char *name;
    std::function<XMatrix()> start;
    std::function<void(XMatrix &)> operation;
    Elements expected;
    XMatrixTypes kind;
};

}  // namespace

TEST(XMatrixTest, DefaultIsTheIdentity) {
    XMatrix m;
    EXPECT_TRUE(m.IsIdentity());
    EXPECT_EQ(m.Type(), XMatrixTypes::Identity);
    EXPECT_EQ(m.Elements(), (Elements{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(m.M11(), 1);
    EXPECT_EQ(m.M22(), 1);
    EXPECT_EQ(m.Transform(XPoint(3, 4)), XPoint(3, 4));
    EXPECT_EQ(m, XMatrix(1, 0, 0, 1, 0, 0));
    XMatrix negativeZero(2, -0.0, 0, 4, 6, 8);
    EXPECT_EQ(negativeZero, ScaleAndOffset());
    EXPECT_EQ(negativeZero.GetHashCode(), ScaleAndOffset().GetHashCode());
    EXPECT_EQ(m.Determinant(), 1);
}

// Expected elements follow from the row-vector products by hand.
TEST(XMatrixTest, OperationsGiveExactElementsAndKinds) {
    const OperationRow rows[] = {
        {"TranslateAppend", ScaleAndOffset, [](XMatrix &m) { m.TranslateAppend(1, 2); },
         {2, 0, 0, 4, 7, 10}, kScaleAndOffset},
        {"TranslatePrepend", ScaleAndOffset, [](XMatrix &m) { m.TranslatePrepend(1, 2); },
         {2, 0, 0, 4, 8, 16}, kScaleAndOffset},
        {"Translate Append", ScaleAndOffset,
         [](XMatrix &m) { m.Translate(1, 2, XMatrixOrder::Append); }, {2, 0, 0, 4, 7, 10},
         kScaleAndOffset},
        {"ScaleAppend", ScaleAndOffset, [](XMatrix &m) { m.ScaleAppend(3, 5); },
         {6, 0, 0, 20, 18, 40}, kScaleAndOffset},
        {"ScalePrepend", ScaleAndOffset, [](XMatrix &m) { m.ScalePrepend(3, 5); },
         {6, 0, 0, 20, 6, 8}, kScaleAndOffset},
        {"Scale one factor Prepend", ScaleAndOffset,
         [](XMatrix &m) { m.Scale(0.5, XMatrixOrder::Prepend); }, {1, 0, 0, 2, 6, 8},
         XMatrixTypes::Translation | XMatrixTypes::Scaling},
        {"general TranslateAppend", General, [](XMatrix &m) { m.TranslateAppend(1, 1); },
         {1, 2, 3, 4, 6, 7}, XMatrixTypes::Unknown},
        {"general TranslatePrepend", General, [](XMatrix &m) { m.TranslatePrepend(1, 1); },
         {1, 2, 3, 4, 9, 12}, XMatrixTypes::Unknown},
        {"general ScaleAppend", General, [](XMatrix &m) { m.ScaleAppend(2, 3); },
         {2, 6, 6, 12, 10, 18}, XMatrixTypes::Unknown},
        {"general ScalePrepend", General, [](XMatrix &m) { m.ScalePrepend(2, 3); },
         {2, 4, 9, 12, 5, 6}, XMatrixTypes::Unknown},
        {"general Append", General, [](XMatrix &m) { m.Append(QuarterTurn()); },
         {-2, 1, -4, 3, -6, 5}, XMatrixTypes::Unknown},
        {"general Prepend", General, [](XMatrix &m) { m.Prepend(QuarterTurn()); },
         {3, 4, -1, -2, 5, 6}, XMatrixTypes::Unknown},
        {"Append", ScaleAndOffset, [](XMatrix &m) { m.Append(QuarterTurn()); },
         {0, 2, -4, 0, -8, 6}, XMatrixTypes::Unknown},
        {"Multiply", ScaleAndOffset, [](XMatrix &m) { m.Multiply(QuarterTurn()); },
         {0, 2, -4, 0, -8, 6}, XMatrixTypes::Unknown},
        {"Prepend", ScaleAndOffset, [](XMatrix &m) { m.Prepend(QuarterTurn()); },
         {0, 4, -2, 0, 6, 8}, XMatrixTypes::Unknown},
        {"Multiply Prepend", ScaleAndOffset,
         [](XMatrix &m) { m.Multiply(QuarterTurn(), XMatrixOrder::Prepend); },
         {0, 4, -2, 0, 6, 8}, XMatrixTypes::Unknown},
        {"ShearAppend", ScaleAndOffset, [](XMatrix &m) { m.ShearAppend(0.5, 0); },
         {2, 0, 2, 4, 10, 8}, XMatrixTypes::Unknown},
        {"ShearPrepend", ScaleAndOffset, [](XMatrix &m) { m.ShearPrepend(0.5, 0); },
         {2, 0, 1, 4, 6, 8}, XMatrixTypes::Unknown},
        {"ScaleAtAppend", XMatrix::Identity, [](XMatrix &m) { m.ScaleAtAppend(2, 3, 1, 1); },
         {2, 0, 0, 3, -1, -2}, kScaleAndOffset},
        {"ScaleAtPrepend", ScaleAndOffset, [](XMatrix &m) { m.ScaleAtPrepend(2, 2, 1, 1); },
         {4, 0, 0, 8, 4, 4}, kScaleAndOffset},
        {"neutral scale keeps identity", XMatrix::Identity,
         [](XMatrix &m) { m.ScaleAppend(1, 1); }, {1, 0, 0, 1, 0, 0}, XMatrixTypes::Identity},
        {"scale only", XMatrix::Identity, [](XMatrix &m) { m.ScalePrepend(2); },
         {2, 0, 0, 2, 0, 0}, XMatrixTypes::Scaling},
        {"translate only", XMatrix::Identity, [](XMatrix &m) { m.TranslatePrepend(5, 0); },
         {1, 0, 0, 1, 5, 0}, XMatrixTypes::Translation},
        {"translation undone", XMatrix::Identity,
         [](XMatrix &m) {
             m.TranslateAppend(5, -1);
             m.TranslateAppend(-5, 1);
         },
         {1, 0, 0, 1, 0, 0}, XMatrixTypes::Identity},
        {"setter on identity", XMatrix::Identity, [](XMatrix &m) { m.SetM11(3); },
         {3, 0, 0, 1, 0, 0}, XMatrixTypes::Scaling},
        {"setter makes it general", ScaleAndOffset, [](XMatrix &m) { m.SetM21(1); },
         {2, 0, 1, 4, 6, 8}, XMatrixTypes::Unknown},
    };
    for (const OperationRow &row : rows) {
        SCOPED_TRACE(row.name);
        XMatrix m = row.start();
        row.operation(m);
        EXPECT_EQ(m.GetElements(), row.expected);
        EXPECT_EQ(m.Type(), row.kind);
    }
}

TEST(XMatrixTest, OrderDecidesWhichStepComesFirst) {
    XMatrix prepended;
    prepended.ScalePrepend(2);
    prepended.TranslatePrepend(10, 0);
    EXPECT_EQ(prepended.Transform(XPoint(1, 1)), XPoint(22, 2));  // moved by 20

    XMatrix appended;
    appended.ScaleAppend(2);
    appended.TranslateAppend(10, 0);
    EXPECT_EQ(appended.Transform(XPoint(1, 1)), XPoint(12, 2));  // moved by 10

    XMatrix move(1, 0, 0, 1, 10, 0);
    XMatrix twice(2, 0, 0, 2, 0, 0);
    EXPECT_EQ((move * twice).Transform(XPoint()), XPoint(20, 0));
    EXPECT_EQ(XMatrix::Multiply(twice, move).Transform(XPoint()), XPoint(10, 0));
}

TEST(XMatrixTest, RotatesClockwiseOnADownwardPage) {
    XMatrix m;
    m.RotatePrepend(90);
    EXPECT_EQ(m.Type(), XMatrixTypes::Unknown);
    ExpectPointNear(m.Transform(XPoint(1, 0)), XPoint(0, 1));
    ExpectPointNear(XPoint(0, 1) * m, XPoint(-1, 0));

    XMatrix fullTurns;
    fullTurns.RotateAppend(450);
    XMatrix quarter;
    quarter.RotateAppend(90);
    EXPECT_EQ(fullTurns, quarter);

    XMatrix backwards;
    backwards.Rotate(-90, XMatrixOrder::Append);
    ExpectPointNear(backwards.Transform(XPoint(1, 0)), XPoint(0, -1));

    XMatrix about;
    about.RotateAtPrepend(90, XPoint(10, 20));
    ExpectPointNear(about.Transform(XPoint(10, 20)), XPoint(10, 20));
    ExpectPointNear(about.Transform(XPoint(11, 20)), XPoint(10, 21));

    // Rotating about a centre after a move: the move happens first.
    XMatrix moved(1, 0, 0, 1, 5, 0);
    moved.RotateAt(180, 0, 0, XMatrixOrder::Append);
    ExpectPointNear(moved.Transform(XPoint(1, 0)), XPoint(-6, 0));

    XMatrix afterMove(1, 0, 0, 1, 5, 0);
    afterMove.RotateAppend(90);
    ExpectPointNear(afterMove.Transform(XPoint(1, 0)), XPoint(0, 6));
    XMatrix beforeMove(1, 0, 0, 1, 5, 0);
    beforeMove.RotatePrepend(90);
    ExpectPointNear(beforeMove.Transform(XPoint(1, 0)), XPoint(5, 1));

    XMatrix skewed;
    skewed.SkewAppend(45, 0);
    ExpectPointNear(skewed.Transform(XPoint(0, 2)), XPoint(2, 2));
}

TEST(XMatrixTest, PointsUseOffsetsAndVectorsDoNot) {
    struct {
        XMatrix matrix;
        XPoint point;
        XVector vector;
    } rows[] = {
        {XMatrix(), {1, 1}, {1, 1}},
        {XMatrix(1, 0, 0, 1, 6, 8), {7, 9}, {1, 1}},
        {XMatrix(2, 0, 0, 4, 0, 0), {2, 4}, {2, 4}},
        {ScaleAndOffset(), {8, 12}, {2, 4}},
        {XMatrix(0, 2, -4, 0, -8, 6), {-12, 8}, {-4, 2}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.matrix.ToString());
        EXPECT_EQ(row.matrix.Transform(XPoint(1, 1)), row.point);
        EXPECT_EQ(row.matrix.Transform(XVector(1, 1)), row.vector);
        std::vector<XPoint> points{{1, 1}, {0, 0}};
        row.matrix.TransformPoints(points);
        EXPECT_EQ(points[0], row.point);
        EXPECT_EQ(points[1], row.matrix.Transform(XPoint(0, 0)));
        std::vector<XVector> vectors{{1, 1}};
        row.matrix.Transform(std::span<XVector>(vectors));
        EXPECT_EQ(vectors[0], row.vector);
    }
}

TEST(XMatrixTest, InvertsEachKind) {
    struct {
        XMatrix matrix;
        Elements inverse;
    } rows[] = {
        {XMatrix(), {1, 0, 0, 1, 0, 0}},
        {XMatrix(1, 0, 0, 1, 5, -7), {1, 0, 0, 1, -5, 7}},
        {XMatrix(2, 0, 0, 4, 0, 0), {0.5, 0, 0, 0.25, 0, 0}},
        {ScaleAndOffset(), {0.5, 0, 0, 0.25, -3, -2}},
        {XMatrix(0, 2, -4, 0, -8, 6), {0, -0.25, 0.5, 0, -3, -2}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.matrix.ToString());
        XMatrix m = row.matrix;
        ASSERT_TRUE(m.HasInverse());
        m.Invert();
        EXPECT_EQ(m.GetElements(), row.inverse);
        EXPECT_TRUE((row.matrix * m).IsIdentity());
    }

    XMatrix turned;
    turned.RotateAtAppend(33, 4, 5);
    turned.ScalePrepend(3, 0.5);
    XMatrix inverse = turned;
    inverse.Invert();
    ExpectPointNear((XPoint(7, -2) * turned) * inverse, XPoint(7, -2));
}

TEST(XMatrixTest, RefusesToInvertSingularMatricesAndStaysUnchanged) {
    const XMatrix singular[] = {
        XMatrix(1, 2, 2, 4, 3, 3),
        XMatrix(1e-8, 0, 0, 1e-8, 0, 0),  // determinant 1e-16, below the limit
        XMatrix(0, 0, 0, 0, 0, 0),
    };
    for (const XMatrix &original : singular) {
        SCOPED_TRACE(original.ToString());
        XMatrix m = original;
        EXPECT_FALSE(m.HasInverse());
        ExpectFailure<InvalidOperationException>([&] { m.Invert(); }, "NotInvertible");
        EXPECT_EQ(m, original);
    }
    EXPECT_TRUE(XMatrix(1e-7, 0, 0, 1e-7, 0, 0).HasInverse());
}

TEST(XMatrixTest, TransformationsWithoutAnOrderAreWithdrawn) {
    const std::function<void(XMatrix &)> calls[] = {
        [](XMatrix &m) { m.Translate(1, 2); },
        [](XMatrix &m) { m.Scale(2, 3); },
        [](XMatrix &m) { m.Scale(2); },
        [](XMatrix &m) { m.ScaleAt(2, 3, 4, 5); },
        [](XMatrix &m) { m.Rotate(30); },
        [](XMatrix &m) { m.RotateAt(30, 1, 2); },
        [](XMatrix &m) { m.RotateAt(30, XPoint(1, 2)); },
        [](XMatrix &m) { m.Shear(1, 2); },
        [](XMatrix &m) { m.Skew(10, 20); },
    };
    for (const auto &call : calls) {
        XMatrix m = ScaleAndOffset();
        ExpectFailure<InvalidOperationException>([&] { call(m); }, "Temporarily out of order.");
        EXPECT_EQ(m, ScaleAndOffset());
    }
}

TEST(XMatrixTest, TextFormRoundTrips) {
    EXPECT_EQ(XMatrix().ToString(), "Identity");
    EXPECT_EQ(ScaleAndOffset().ToString(), "2,0,0,4,6,8");
    EXPECT_EQ(XMatrix(0.1, -2.5, 0, 1e-20, 3, 4).ToString(), "0.1,-2.5,0,1e-20,3,4");
    EXPECT_EQ(XMatrix::Parse(" Identity "), XMatrix());
    EXPECT_EQ(XMatrix::Parse("2, 0, 0, 4, 6, 8"), ScaleAndOffset());
    XMatrix odd(1.0 / 3, 2, 3, 4, -1e300, 5e-324);
    EXPECT_EQ(XMatrix::Parse(odd.ToString()), odd);
    for (const char *text : {"1,2,3", "1,2,3,4,5,6,7", "1,2,3,4,5,x", "1,2,,4,5,6", ""}) {
        SCOPED_TRACE(text);
        ExpectFailure<ArgumentException>(
            [&] { XMatrix::Parse(text); },
            std::string("String '") + text + "' is not a valid value for structure 'XMatrix'.");
    }
}
