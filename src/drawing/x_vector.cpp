#include "drawing/x_vector.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "drawing/geometry_text.h"
#include "pdf/errors.h"

namespace ZavorPdf::Drawing {

double XVector::Length() const { return std::hypot(x_, y_); }

void XVector::Normalize() {
    // Scaling by the larger component first keeps x² + y² from overflowing.
    double largest = std::max(std::fabs(x_), std::fabs(y_));
    if (largest == 0 || std::isnan(largest)) return;
    if (std::isinf(largest)) {
        x_ = std::isinf(x_) ? std::copysign(1.0, x_) : 0.0;
        y_ = std::isinf(y_) ? std::copysign(1.0, y_) : 0.0;
        largest = std::max(std::fabs(x_), std::fabs(y_));
    }
    x_ /= largest;
    y_ /= largest;
    double length = Length();
    x_ /= length;
    y_ /= length;
}

double XVector::AngleBetween(const XVector &a, const XVector &b) {
    double sine = CrossProduct(a, b);
    double cosine = a * b;
    return std::atan2(sine, cosine) * (180 / std::numbers::pi);
}

std::string XVector::ToString() const { return FormatGeometryList({x_, y_}); }

XVector XVector::Parse(std::string_view text) {
    auto values = ParseGeometryList(text, 2, "XVector");
    return {values[0], values[1]};
}

XVector operator/(const XVector &v, double divisor) {
    if (divisor == 0) throw ArgumentException("Divisor is zero.", "divisor");
    return {v.X() / divisor, v.Y() / divisor};
}

}  // namespace ZavorPdf::Drawing
