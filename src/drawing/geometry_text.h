// Text forms of the geometry values: numbers in the invariant format,
// separated by a comma, so that a decimal-comma locale never changes them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorPdf::Drawing {

// The shortest text that reads back as the same double ("0.1", "72", "-3.5").
std::string FormatGeometryNumber(double value);

// Reads a whole text as one number in the invariant format (an optional
// sign, digits, an optional decimal point and exponent).
bool TryParseInvariantNumber(std::string_view text, double &value);

// The numbers joined by the list separator.
std::string FormatGeometryList(const std::vector<double> &values);

// Reads exactly `count` numbers separated by the list separator (blanks
// around each number are allowed). Anything else fails with the argument
// error "String '<text>' is not a valid value for structure '<typeName>'.".
std::vector<double> ParseGeometryList(std::string_view text, std::size_t count,
                                      std::string_view typeName);

// Leading and trailing ASCII blanks removed.
std::string_view TrimGeometryText(std::string_view text);

// The failure message shared by every text parser of the geometry values.
std::string InvalidGeometryTextMessage(std::string_view text, std::string_view typeName);

}  // namespace ZavorPdf::Drawing
