#include <gtest/gtest.h>

#include <string>

#include "drawing/x_unit.h"
#include "geometry_test_support.h"
#include "pdf/errors.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::ArgumentException;
using ZavorPdf::InvalidCastException;
using ZavorTest::ExpectFailure;

namespace {

struct UnitRow {
    XGraphicsUnit unit;
    double value;   // in the unit
    double points;  // the same length in points
    const char *text;
};

// One inch in every unit, plus a length that is no whole number in any.
const UnitRow kUnitRows[] = {
    {XGraphicsUnit::Point, 72, 72, "72pt"},
    {XGraphicsUnit::Inch, 1, 72, "1in"},
    {XGraphicsUnit::Millimeter, 25.4, 72, "25.4mm"},
    {XGraphicsUnit::Centimeter, 2.54, 72, "2.54cm"},
    {XGraphicsUnit::Presentation, 96, 72, "96pu"},
    {XGraphicsUnit::Centimeter, 2.5, 70.86614173228347, "2.5cm"},
    {XGraphicsUnit::Millimeter, -3, -8.503937007874017, "-3mm"},
};

double InUnit(const XUnit &u, XGraphicsUnit unit) {
    switch (unit) {
    case XGraphicsUnit::Point: return u.Point();
    case XGraphicsUnit::Inch: return u.Inch();
    case XGraphicsUnit::Millimeter: return u.Millimeter();
    case XGraphicsUnit::Centimeter: return u.Centimeter();
    case XGraphicsUnit::Presentation: return u.Presentation();
    }
    return 0;
}

}  // namespace

TEST(XUnitTest, ConvertsBothWaysAndPrintsItsSuffix) {
    for (const UnitRow &row : kUnitRows) {
        SCOPED_TRACE(row.text);
        XUnit u(row.value, row.unit);
        EXPECT_DOUBLE_EQ(u.Point(), row.points);
        EXPECT_DOUBLE_EQ(static_cast<double>(u), row.points);
        EXPECT_DOUBLE_EQ(InUnit(XUnit::FromPoint(row.points), row.unit), row.value);
        EXPECT_EQ(InUnit(u, row.unit), row.value);  // its own unit is not rounded
        EXPECT_EQ(u.ToString(), row.text);
        EXPECT_EQ(XUnit::Parse(row.text), u);

        XUnit converted = XUnit::FromPoint(row.points);
        converted.ConvertType(row.unit);
        EXPECT_EQ(converted.Type(), row.unit);
        EXPECT_DOUBLE_EQ(converted.Value(), row.value);
    }
}

TEST(XUnitTest, ConvertsBetweenUnitsOtherThanPoints) {
    EXPECT_DOUBLE_EQ(XUnit::FromInch(1).Millimeter(), 25.4);
    EXPECT_DOUBLE_EQ(XUnit::FromInch(2).Presentation(), 192);
    EXPECT_DOUBLE_EQ(XUnit::FromCentimeter(1).Millimeter(), 10);
    EXPECT_DOUBLE_EQ(XUnit::FromMillimeter(254).Inch(), 10);
    EXPECT_DOUBLE_EQ(XUnit::FromPresentation(48).Centimeter(), 1.27);
}

TEST(XUnitTest, NumbersAreLengthsInPointsAndEqualityNeedsTheSameUnit) {
    XUnit fromInt = 12;
    XUnit fromDouble = 7.5;
    EXPECT_EQ(fromInt.Type(), XGraphicsUnit::Point);
    EXPECT_EQ(fromInt.Value(), 12);
    EXPECT_EQ(fromDouble, XUnit::FromPoint(7.5));
    EXPECT_EQ(XUnit::FromInch(1).Point(), 72);
    EXPECT_FALSE(XUnit::FromInch(1) == XUnit::FromPoint(72));
    EXPECT_FALSE(XUnit::FromInch(1) == 72.0);
    EXPECT_TRUE(XUnit::FromPoint(72) == 72.0);
    double sum = XUnit::FromInch(1) + XUnit::FromPoint(6);
    EXPECT_EQ(sum, 78);

    XUnit u = XUnit::FromMillimeter(10);
    u.SetInch(2);
    EXPECT_EQ(u, XUnit::FromInch(2));
    u.SetPresentation(3);
    EXPECT_EQ(u, XUnit::FromPresentation(3));
}

TEST(XUnitTest, ParsesTextWithCommaBlanksAndAnyCase) {
    struct {
        const char *text;
        XUnit expected;
    } rows[] = {
        {"2,5 cm", XUnit::FromCentimeter(2.5)},
        {"12", XUnit::FromPoint(12)},
        {"  7.5MM ", XUnit::FromMillimeter(7.5)},
        {"+3in", XUnit::FromInch(3)},
        {"-1.5 Pu", XUnit::FromPresentation(-1.5)},
        {".5cm", XUnit::FromCentimeter(0.5)},
        {"10 pt", XUnit::FromPoint(10)},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(XUnit::Parse(row.text), row.expected);
        EXPECT_EQ(XUnit(std::string_view(row.text)), row.expected);
    }
    EXPECT_NEAR(XUnit::Parse("2,5 cm"), 70.866, 0.001);
}

TEST(XUnitTest, RejectsTextsThatAreNoLength) {
    struct {
        const char *text;
        const char *message;
    } rows[] = {
        {"3 px", "Unknown unit type: 'px'"},
        {"3 CMX", "Unknown unit type: 'cmx'"},
        {"4e2", "Unknown unit type: 'e2'"},
        {"abc", "String 'abc' is not a valid value for structure 'XUnit'."},
        {"", "String '' is not a valid value for structure 'XUnit'."},
        {"1.2.3cm", "String '1.2.3cm' is not a valid value for structure 'XUnit'."},
        {"+-3", "String '+-3' is not a valid value for structure 'XUnit'."},
        {" 5-3 in", "String ' 5-3 in' is not a valid value for structure 'XUnit'."},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        ExpectFailure<ArgumentException>([&] { XUnit::Parse(row.text); }, row.message);
    }
}

TEST(XUnitTest, UnknownUnitCodeFailsEveryConversion) {
    XUnit odd(1, static_cast<XGraphicsUnit>(9));
    ExpectFailure<InvalidCastException>([&] { (void)odd.Point(); }, "Unknown unit type: 9");
    ExpectFailure<InvalidCastException>([&] { (void)odd.Inch(); }, "Unknown unit type: 9");
    ExpectFailure<InvalidCastException>([&] { (void)static_cast<double>(odd); },
                                        "Unknown unit type: 9");
    ExpectFailure<InvalidCastException>([&] { (void)odd.ToString(); }, "Unknown unit type: 9");
    XUnit target = XUnit::FromInch(1);
    ExpectFailure<InvalidCastException>(
        [&] { target.ConvertType(static_cast<XGraphicsUnit>(-1)); }, "Unknown unit type: -1");
    EXPECT_EQ(target, XUnit::FromInch(1));
}
