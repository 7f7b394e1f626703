// A position in the drawing plane (page space: origin top-left, y down).
#pragma once

#include <string>
#include <string_view>

#include "drawing/x_vector.h"

namespace ZavorPdf::Drawing {

class XPoint {
public:
    constexpr XPoint() = default;
    constexpr XPoint(double x, double y) : x_(x), y_(y) {}

    constexpr double X() const { return x_; }
    constexpr double Y() const { return y_; }
    constexpr void SetX(double x) { x_ = x; }
    constexpr void SetY(double y) { y_ = y; }

    constexpr void Offset(double dx, double dy) { x_ += dx; y_ += dy; }
    explicit constexpr operator XVector() const { return {x_, y_}; }

    std::string ToString() const;
    static XPoint Parse(std::string_view text);

    friend constexpr bool operator==(const XPoint &, const XPoint &) = default;

private:
    double x_ = 0;
    double y_ = 0;
};

constexpr XPoint operator-(const XPoint &p) { return {-p.X(), -p.Y()}; }
constexpr XPoint operator+(const XPoint &a, const XPoint &b) {
    return {a.X() + b.X(), a.Y() + b.Y()};
}
constexpr XVector operator-(const XPoint &a, const XPoint &b) {
    return {a.X() - b.X(), a.Y() - b.Y()};
}
constexpr XPoint operator+(const XPoint &p, const XVector &v) {
    return {p.X() + v.X(), p.Y() + v.Y()};
}
constexpr XPoint operator+(const XVector &v, const XPoint &p) { return p + v; }
constexpr XPoint operator-(const XPoint &p, const XVector &v) {
    return {p.X() - v.X(), p.Y() - v.Y()};
}
constexpr XPoint operator*(const XPoint &p, double factor) {
    return {p.X() * factor, p.Y() * factor};
}
constexpr XPoint operator*(double factor, const XPoint &p) { return p * factor; }
// The scalar product of the two position vectors.
constexpr double operator*(const XPoint &a, const XPoint &b) {
    return a.X() * b.X() + a.Y() * b.Y();
}
// Fails with "Divisor is zero." when the divisor is 0.
XPoint operator/(const XPoint &p, double divisor);

}  // namespace ZavorPdf::Drawing
