// A colour as outlines and annotations store it: three bytes, or empty. The
// object model does not depend on the drawing layer, so its colours are
// taken over through From().
#pragma once

#include <cstdint>

namespace ZavorPdf::Pdf {

class PdfRgbColor {
public:
    constexpr PdfRgbColor() = default;
    constexpr PdfRgbColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
        : r_(red), g_(green), b_(blue), empty_(false) {}

    // Any colour with IsEmpty(), R(), G() and B(), such as XColor; an empty
    // colour stays empty.
    template <class Color>
    static PdfRgbColor From(const Color &color) {
        if (color.IsEmpty()) return {};
        return {color.R(), color.G(), color.B()};
    }

    constexpr bool IsEmpty() const { return empty_; }
    constexpr std::uint8_t R() const { return r_; }
    constexpr std::uint8_t G() const { return g_; }
    constexpr std::uint8_t B() const { return b_; }

    friend constexpr bool operator==(const PdfRgbColor &, const PdfRgbColor &) = default;

private:
    std::uint8_t r_ = 0, g_ = 0, b_ = 0;
    bool empty_ = true;
};

}  // namespace ZavorPdf::Pdf
