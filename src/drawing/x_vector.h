// A displacement in the drawing plane. Unlike a point it ignores the offsets
// of a matrix.
#pragma once

#include <string>
#include <string_view>

namespace ZavorPdf::Drawing {

class XVector {
public:
    constexpr XVector() = default;
    constexpr XVector(double x, double y) : x_(x), y_(y) {}

    constexpr double X() const { return x_; }
    constexpr double Y() const { return y_; }
    constexpr void SetX(double x) { x_ = x; }
    constexpr void SetY(double y) { y_ = y; }

    double Length() const;
    constexpr double LengthSquared() const { return x_ * x_ + y_ * y_; }

    // Divides by the length. A zero vector has no direction and stays zero
    // rather than turning into NaN, which would poison every later result.
    void Normalize();
    constexpr void Negate() { x_ = -x_; y_ = -y_; }

    static constexpr double CrossProduct(const XVector &a, const XVector &b) {
        return a.x_ * b.y_ - a.y_ * b.x_;
    }
    static constexpr double Determinant(const XVector &a, const XVector &b) {
        return CrossProduct(a, b);
    }
    // Signed angle from a to b in degrees, in (-180, 180].
    static double AngleBetween(const XVector &a, const XVector &b);

    std::string ToString() const;
    static XVector Parse(std::string_view text);

    friend constexpr bool operator==(const XVector &, const XVector &) = default;

private:
    double x_ = 0;
    double y_ = 0;
};

constexpr XVector operator-(const XVector &v) { return {-v.X(), -v.Y()}; }
constexpr XVector operator+(const XVector &a, const XVector &b) {
    return {a.X() + b.X(), a.Y() + b.Y()};
}
constexpr XVector operator-(const XVector &a, const XVector &b) {
    return {a.X() - b.X(), a.Y() - b.Y()};
}
// The scalar (dot) product.
constexpr double operator*(const XVector &a, const XVector &b) {
    return a.X() * b.X() + a.Y() * b.Y();
}
constexpr XVector operator*(const XVector &v, double factor) {
    return {v.X() * factor, v.Y() * factor};
}
constexpr XVector operator*(double factor, const XVector &v) { return v * factor; }
// Fails with "Divisor is zero." like the division of a point.
XVector operator/(const XVector &v, double divisor);

}  // namespace ZavorPdf::Drawing
