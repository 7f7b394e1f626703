#include "pdf/pdf_number_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace ZavorPdf::Pdf {
namespace {

constexpr int SignificantDigits = 15;
constexpr int DefaultDecimals = 3;
constexpr int MaxDecimals = 9;

// The decimal digits of a finite value, worked on in a buffer on the stack:
// the writer formats every coordinate of every page through here.
constexpr int MaxIntegerDigits = 309;

struct LastFraction {
    std::uint64_t bits = 0;
    int decimals = 0;
    unsigned char size = 0;  // none kept while 0
    char text[32];
};

void AppendFraction(std::string &out, double value, int Decimals);

}  // namespace

void AppendReal(std::string &out, double value) { AppendReal(out, value, DefaultDecimals); }

void AppendReal(std::string &out, double value, int decimals) {
    const int Decimals = std::clamp(decimals, 0, MaxDecimals);
    if (!std::isfinite(value)) {
        out += '0';
        return;
    }
    // Whole numbers below 10^15 have no more than 15 digits and nothing to
    // round: the common gaps between words and many coordinates take the
    // short way.
    if (std::abs(value) < 1e15 && value == std::trunc(value)) {
        char whole[20];
        auto written = std::to_chars(whole, whole + sizeof whole, static_cast<std::int64_t>(value));
        out.append(whole, written.ptr);
        return;
    }
    // A page of text moves down by the same step line after line: the last
    // fraction is kept with its text.
    thread_local LastFraction last;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    if (last.size > 0 && last.bits == bits && last.decimals == Decimals) {
        out.append(last.text, last.size);
        return;
    }
    const std::size_t before = out.size();
    AppendFraction(out, value, Decimals);
    const std::size_t written = out.size() - before;
    last.size = 0;
    if (written <= sizeof last.text) {
        out.copy(last.text, written, before);
        last.bits = bits;
        last.decimals = Decimals;
        last.size = static_cast<unsigned char>(written);
    }
}

namespace {

void AppendFraction(std::string &out, double value, int Decimals) {
    // Scientific form with 15 significant digits: "d.dddddddddddddde+xx".
    char buffer[40];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                                SignificantDigits - 1);
    const char *text = buffer;
    bool negative = *text == '-';
    if (negative) ++text;
    const char *ePos = std::find(text, static_cast<const char *>(result.ptr), 'e');
    char digits[SignificantDigits];
    int digitCount = 0;
    digits[digitCount++] = text[0];
    for (const char *p = text + 2; p < ePos && digitCount < SignificantDigits; ++p) digits[digitCount++] = *p;
    const char *exponentText = ePos + 1;
    if (*exponentText == '+') ++exponentText;
    int exponent = 0;
    std::from_chars(exponentText, result.ptr, exponent);

    // Integer digits, then one fraction digit more than kept (for the
    // rounding), behind a leading zero that takes a carry out of the front.
    int pointPos = exponent + 1;
    int integerCount = pointPos > 0 ? pointPos : 1;
    auto digitAt = [&](int index) { return index >= 0 && index < digitCount ? digits[index] : '0'; };
    char work[1 + MaxIntegerDigits + MaxDecimals + 1];
    work[0] = '0';
    char *integerPart = work + 1;
    char *fraction = integerPart + integerCount;
    for (int i = 0; i < integerCount; ++i) integerPart[i] = pointPos > 0 ? digitAt(i) : '0';
    for (int i = 0; i <= Decimals; ++i) fraction[i] = digitAt(pointPos + i);

    // Halves away from zero: the magnitude is rounded, the sign kept apart.
    if (fraction[Decimals] >= '5') {
        for (char *p = fraction + Decimals - 1; p >= work; --p) {
            if (*p != '9') {
                ++*p;
                break;
            }
            *p = '0';
        }
    }
    int fractionCount = Decimals;
    while (fractionCount > 0 && fraction[fractionCount - 1] == '0') --fractionCount;
    const char *integerStart = work;
    while (integerStart < fraction - 1 && *integerStart == '0') ++integerStart;

    bool zero = *integerStart == '0' && fractionCount == 0;
    if (negative && !zero) out += '-';
    out.append(integerStart, static_cast<std::size_t>(fraction - integerStart));
    if (fractionCount > 0) {
        out += '.';
        out.append(fraction, static_cast<std::size_t>(fractionCount));
    }
}

}  // namespace

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
