#include "drawing/x_unit.h"

#include <string>

#include "drawing/geometry_text.h"
#include "pdf/errors.h"
#include "pdf/ascii_case.h"

namespace ZavorPdf::Drawing {

namespace {

// How many of the unit make one inch.
double UnitsPerInch(XGraphicsUnit type) {
    switch (type) {
    case XGraphicsUnit::Point: return 72;
    case XGraphicsUnit::Inch: return 1;
    case XGraphicsUnit::Millimeter: return 25.4;
    case XGraphicsUnit::Centimeter: return 2.54;
    case XGraphicsUnit::Presentation: return 96;
    }
    throw InvalidCastException("Unknown unit type: " + std::to_string(static_cast<int>(type)));
}

const char *Suffix(XGraphicsUnit type) {
    switch (type) {
    case XGraphicsUnit::Point: return "pt";
    case XGraphicsUnit::Inch: return "in";
    case XGraphicsUnit::Millimeter: return "mm";
    case XGraphicsUnit::Centimeter: return "cm";
    case XGraphicsUnit::Presentation: return "pu";
    }
    throw InvalidCastException("Unknown unit type: " + std::to_string(static_cast<int>(type)));
}

// value in `from` expressed in `to`; the same unit is returned untouched so
// that no rounding creeps in.
double Convert(double value, XGraphicsUnit from, XGraphicsUnit to) {
    double perInchFrom = UnitsPerInch(from);
    double perInchTo = UnitsPerInch(to);
    if (from == to) return value;
    return value * perInchTo / perInchFrom;
}

bool IsNumberCharacter(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+';
}

XGraphicsUnit UnitFromSuffix(std::string_view suffix) {
    if (suffix.empty() || suffix == "pt") return XGraphicsUnit::Point;
    if (suffix == "cm") return XGraphicsUnit::Centimeter;
    if (suffix == "in") return XGraphicsUnit::Inch;
    if (suffix == "mm") return XGraphicsUnit::Millimeter;
    if (suffix == "pu") return XGraphicsUnit::Presentation;
    throw ArgumentException("Unknown unit type: '" + std::string(suffix) + "'");
}

}  // namespace

double PointsPerUnit(XGraphicsUnit type) { return 72 / UnitsPerInch(type); }

double XUnit::Point() const { return Convert(value_, type_, XGraphicsUnit::Point); }
double XUnit::Inch() const { return Convert(value_, type_, XGraphicsUnit::Inch); }
double XUnit::Millimeter() const { return Convert(value_, type_, XGraphicsUnit::Millimeter); }
double XUnit::Centimeter() const { return Convert(value_, type_, XGraphicsUnit::Centimeter); }
double XUnit::Presentation() const {
    return Convert(value_, type_, XGraphicsUnit::Presentation);
}

void XUnit::ConvertType(XGraphicsUnit type) {
    value_ = Convert(value_, type_, type);
    type_ = type;
}

std::string XUnit::ToString() const { return FormatGeometryNumber(value_) + Suffix(type_); }

XUnit XUnit::Parse(std::string_view text) {
    std::string normalized(TrimGeometryText(text));
    for (char &c : normalized)
        if (c == ',') c = '.';
    std::size_t numberLength = 0;
    while (numberLength < normalized.size() && IsNumberCharacter(normalized[numberLength]))
        ++numberLength;
    double value = 0;
    if (!TryParseInvariantNumber(std::string_view(normalized).substr(0, numberLength), value))
        throw ArgumentException(InvalidGeometryTextMessage(text, "XUnit"), "value");
    std::string suffix(TrimGeometryText(std::string_view(normalized).substr(numberLength)));
    for (char &c : suffix) c = AsciiLower(c);
    return XUnit(value, UnitFromSuffix(suffix));
}

}  // namespace ZavorPdf::Drawing
