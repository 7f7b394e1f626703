// A width and a height. The empty size (both −infinity) stands for "no
// extent at all", as opposed to a size of zero.
#pragma once

#include <limits>
#include <string>
#include <string_view>

#include "drawing/x_point.h"
#include "drawing/x_vector.h"

namespace ZavorPdf::Drawing {

class XSize {
public:
    constexpr XSize() = default;
    constexpr XSize(double width, double height) : width_(width), height_(height) {}

    static constexpr XSize Empty() {
        constexpr double minusInfinity = -std::numeric_limits<double>::infinity();
        return {minusInfinity, minusInfinity};
    }
    // Only the empty value itself; a negative size is a size like any other.
    constexpr bool IsEmpty() const { return *this == Empty(); }

    constexpr double Width() const { return width_; }
    constexpr double Height() const { return height_; }
    constexpr void SetWidth(double width) { width_ = width; }
    constexpr void SetHeight(double height) { height_ = height; }

    explicit constexpr operator XPoint() const { return {width_, height_}; }
    explicit constexpr operator XVector() const { return {width_, height_}; }

    // "Empty" for the empty size, otherwise "width,height".
    std::string ToString() const;
    static XSize Parse(std::string_view text);

    friend constexpr bool operator==(const XSize &, const XSize &) = default;

private:
    double width_ = 0;
    double height_ = 0;
};

constexpr XSize operator*(const XSize &s, double factor) {
    return {s.Width() * factor, s.Height() * factor};
}
constexpr XSize operator*(double factor, const XSize &s) { return s * factor; }

}  // namespace ZavorPdf::Drawing
