// A length together with its unit. It reads as a number of points wherever a
// plain number is expected, and a plain number is a length in points.
#pragma once

#include <string>
#include <string_view>

namespace ZavorPdf::Drawing {

enum class XGraphicsUnit { Point = 0, Inch = 1, Millimeter = 2, Centimeter = 3, Presentation = 4 };

class XUnit {
public:
    constexpr XUnit() = default;
    constexpr XUnit(double points) : value_(points) {}  // NOLINT: implicit by design
    constexpr XUnit(double value, XGraphicsUnit type) : value_(value), type_(type) {}
    // Text such as "2,5 cm" or "12"; see Parse.
    explicit XUnit(std::string_view text) : XUnit(Parse(text)) {}

    static constexpr XUnit Zero() { return XUnit(); }
    static constexpr XUnit FromPoint(double value) { return {value, XGraphicsUnit::Point}; }
    static constexpr XUnit FromInch(double value) { return {value, XGraphicsUnit::Inch}; }
    static constexpr XUnit FromMillimeter(double value) {
        return {value, XGraphicsUnit::Millimeter};
    }
    static constexpr XUnit FromCentimeter(double value) {
        return {value, XGraphicsUnit::Centimeter};
    }
    static constexpr XUnit FromPresentation(double value) {
        return {value, XGraphicsUnit::Presentation};
    }

    constexpr double Value() const { return value_; }
    constexpr XGraphicsUnit Type() const { return type_; }

    // The length expressed in the named unit. Any conversion of a value whose
    // unit code is unknown fails with an invalid-cast error.
    double Point() const;
    double Inch() const;
    double Millimeter() const;
    double Centimeter() const;
    double Presentation() const;
    // Take the number as a length in the named unit (the unit changes too).
    void SetPoint(double value) { *this = FromPoint(value); }
    void SetInch(double value) { *this = FromInch(value); }
    void SetMillimeter(double value) { *this = FromMillimeter(value); }
    void SetCentimeter(double value) { *this = FromCentimeter(value); }
    void SetPresentation(double value) { *this = FromPresentation(value); }
    // Keeps the length, expresses it in another unit.
    void ConvertType(XGraphicsUnit type);

    operator double() const { return Point(); }  // NOLINT: implicit by design

    // The number followed by the unit suffix: "2.5cm", "12pt".
    std::string ToString() const;
    // Trims the text, reads "," as ".", then a number made of digits, ".",
    // "-" and "+", then an optional unit "cm", "in", "mm", "pt" or "pu" in
    // any case (none means points).
    static XUnit Parse(std::string_view text);

    // Same unit and same number: 1 in is not equal to 72 pt.
    friend constexpr bool operator==(const XUnit &, const XUnit &) = default;
    // A plain number is a length in points.
    friend constexpr bool operator==(const XUnit &a, double points) { return a == XUnit(points); }

private:
    double value_ = 0;
    XGraphicsUnit type_ = XGraphicsUnit::Point;
};

// Points in one unit of the given kind; fails for an unknown unit code.
double PointsPerUnit(XGraphicsUnit type);

}  // namespace ZavorPdf::Drawing
