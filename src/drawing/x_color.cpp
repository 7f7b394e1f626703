#include "drawing/x_color.h"

#include <algorithm>
#include <cmath>

#include "pdf/errors.h"
#include "pdf/pdf_number_format.h"

namespace ZavorPdf::Drawing {
namespace {

void CheckByte(int value, const char *name) {
    if (value >= 0 && value <= 255)
        return;
    std::string n = name;
    throw ArgumentException(std::to_string(value) + " is not a valid value for " + n + ". " + n +
                                " should be greater than or equal to 0 and less than or equal to 255.",
                            n);
}

float Unit(double value) {
    if (std::isnan(value))
        return 0;
    return static_cast<float>(std::clamp(value, 0.0, 1.0));
}

std::uint8_t ToByte(double unit) { return static_cast<std::uint8_t>(std::lround(std::clamp(unit, 0.0, 1.0) * 255)); }

}  // namespace

XColor XColor::FromArgb(int alpha, int red, int green, int blue) {
    CheckByte(alpha, "alpha");
    CheckByte(red, "red");
    CheckByte(green, "green");
    CheckByte(blue, "blue");
    XColor color;
    color.a_ = static_cast<float>(alpha / 255.0);
    color.SetRgb(static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green), static_cast<std::uint8_t>(blue));
    return color;
}

XColor XColor::FromArgb(std::uint32_t argb) {
    return FromArgb(static_cast<int>(argb >> 24), static_cast<int>((argb >> 16) & 0xFF),
                    static_cast<int>((argb >> 8) & 0xFF), static_cast<int>(argb & 0xFF));
}

XColor XColor::FromCmyk(double cyan, double magenta, double yellow, double black) {
    return FromCmyk(1.0, cyan, magenta, yellow, black);
}

XColor XColor::FromCmyk(double alpha, double cyan, double magenta, double yellow, double black) {
    XColor color;
    color.cs_ = XColorSpace::Cmyk;
    color.a_ = Unit(alpha);
    color.SetCmyk(cyan, magenta, yellow, black);
    return color;
}

XColor XColor::FromGrayScale(double grayScale) {
    XColor color;
    color.a_ = 1;
    color.SetGS(grayScale);
    return color;
}

void XColor::SetColorSpace(XColorSpace value) {
    if (value != XColorSpace::Rgb && value != XColorSpace::Cmyk && value != XColorSpace::GrayScale)
        throw ArgumentException("The value of argument 'value' (" + std::to_string(static_cast<int>(value)) +
                                    ") is invalid for Enum type 'XColorSpace'.",
                                "value");
    cs_ = value;
}

void XColor::SetA(double value) { a_ = Unit(value); }

void XColor::SetGS(double value) {
    cs_ = XColorSpace::GrayScale;
    std::uint8_t level = ToByte(Unit(value));
    SetRgb(level, level, level);
    gs_ = Unit(value);
}

void XColor::SetRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    r_ = red;
    g_ = green;
    b_ = blue;
    int cyan = 255 - red, magenta = 255 - green, yellow = 255 - blue;
    int black = std::min({cyan, magenta, yellow});
    if (black == 255) {
        c_ = m_ = y_ = 0;
    } else {
        double rest = 255.0 - black;
        c_ = static_cast<float>((cyan - black) / rest);
        m_ = static_cast<float>((magenta - black) / rest);
        y_ = static_cast<float>((yellow - black) / rest);
    }
    k_ = static_cast<float>(black / 255.0);
    GrayFromRgb();
}

void XColor::SetCmyk(double cyan, double magenta, double yellow, double black) {
    c_ = Unit(cyan);
    m_ = Unit(magenta);
    y_ = Unit(yellow);
    k_ = Unit(black);
    // The inverse of the RGB-to-CMYK step above, rounded to the nearest byte
    // so that a round trip gives back the bytes it started from.
    double k = k_;
    r_ = ToByte(1 - (c_ * (1 - k) + k));
    g_ = ToByte(1 - (m_ * (1 - k) + k));
    b_ = ToByte(1 - (y_ * (1 - k) + k));
    GrayFromRgb();
}

void XColor::GrayFromRgb() { gs_ = static_cast<float>((0.3 * r_ + 0.59 * g_ + 0.11 * b_) / 255.0); }

std::uint32_t XColor::ToArgb() const { return (std::uint32_t{ToByte(a_)} << 24) | Rgb(); }

std::string XColor::ToString() const {
    std::string text = "XColor(A=";
    Pdf::AppendReal(text, a_);
    text += ", R=" + std::to_string(r_) + ", G=" + std::to_string(g_) + ", B=" + std::to_string(b_);
    text += ", C=";
    Pdf::AppendReal(text, c_);
    text += ", M=";
    Pdf::AppendReal(text, m_);
    text += ", Y=";
    Pdf::AppendReal(text, y_);
    text += ", K=";
    Pdf::AppendReal(text, k_);
    return text + ")";
}

}  // namespace ZavorPdf::Drawing
