#include "pdf/pdf_number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace ZavorPdf::Pdf {
namespace {

constexpr int SignificantDigits = 15;
constexpr int DefaultDecimals = 3;
constexpr int MaxDecimals = 9;

// Adds one unit in the last place of a string of decimal digits; returns
// true when the carry runs out of the front.
bool IncrementDigits(std::string &digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

}  // namespace

void AppendReal(std::string &out, double value) { AppendReal(out, value, DefaultDecimals); }

void AppendReal(std::string &out, double value, int decimals) {
    const auto Decimals = static_cast<std::size_t>(std::clamp(decimals, 0, MaxDecimals));
    if (!std::isfinite(value)) {
        out += '0';
        return;
    }
    // Scientific form with 15 significant digits: "d.dddddddddddddde+xx".
    char buffer[40];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                                SignificantDigits - 1);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    std::size_t ePos = text.find('e');
    std::string digits;
    digits += text[0];
    digits += text.substr(2, ePos - 2);
    int exponent = std::atoi(std::string(text.substr(ePos + 1)).c_str());

    // Split into integer and fraction digits around the decimal point.
    int pointPos = exponent + 1;
    std::string integerPart, fraction;
    if (pointPos <= 0) {
        integerPart = "0";
        fraction = std::string(static_cast<std::size_t>(-pointPos), '0') + digits;
    } else if (pointPos >= static_cast<int>(digits.size())) {
        integerPart = digits + std::string(static_cast<std::size_t>(pointPos) - digits.size(), '0');
    } else {
        integerPart = digits.substr(0, static_cast<std::size_t>(pointPos));
        fraction = digits.substr(static_cast<std::size_t>(pointPos));
    }
    if (fraction.size() < Decimals + 1) fraction.resize(Decimals + 1, '0');

    // Halves away from zero: the magnitude is rounded, the sign kept apart.
    bool roundUp = fraction[Decimals] >= '5';
    fraction.resize(Decimals);
    if (roundUp && IncrementDigits(fraction) && IncrementDigits(integerPart)) integerPart.insert(0, 1, '1');

    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    std::size_t firstNonZero = integerPart.find_first_not_of('0');
    integerPart = firstNonZero == std::string::npos ? "0" : integerPart.substr(firstNonZero);

    if (negative && !(integerPart == "0" && fraction.empty())) out += '-';
    out += integerPart;
    if (!fraction.empty()) {
        out += '.';
        out += fraction;
    }
}

std::string FormatReal(double value) {
    std::string out;
    AppendReal(out, value);
    return out;
}

std::string FormatReal(double value, int decimals) {
    std::string out;
    AppendReal(out, value, decimals);
    return out;
}

std::string FormatInteger(std::int64_t value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace ZavorPdf::Pdf
