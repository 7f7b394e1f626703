#include "drawing/x_matrix.h"

#include <cmath>
#include <functional>
#include <numbers>

#include "drawing/geometry_text.h"
#include "pdf/errors.h"

namespace ZavorPdf::Drawing {

namespace {

// Ten times the double epsilon: below this the inverse would be noise.
constexpr double kSingularLimit = 2.220446049250313e-15;
constexpr std::string_view kIdentityText = "Identity";

double Radians(double degrees) { return degrees * (std::numbers::pi / 180.0); }

[[noreturn]] void OutOfOrder() {
    throw InvalidOperationException("Temporarily out of order.");
}

}  // namespace

XMatrix::XMatrix(double m11, double m12, double m21, double m22, double offsetX, double offsetY) {
    SetFields(m11, m12, m21, m22, offsetX, offsetY);
    DeriveType();
}

void XMatrix::SetFields(double m11, double m12, double m21, double m22, double offsetX,
                        double offsetY) {
    m11_ = m11;
    m12_ = m12;
    m21_ = m21;
    m22_ = m22;
    offsetX_ = offsetX;
    offsetY_ = offsetY;
}

bool XMatrix::Has(XMatrixTypes flag) const {
    return (static_cast<int>(type_) & static_cast<int>(flag)) != 0;
}

void XMatrix::DeriveType() {
    if (m21_ != 0 || m12_ != 0) {
        type_ = XMatrixTypes::Unknown;
        return;
    }
    int kind = 0;
    if (m11_ != 1 || m22_ != 1) kind |= static_cast<int>(XMatrixTypes::Scaling);
    if (offsetX_ != 0 || offsetY_ != 0) kind |= static_cast<int>(XMatrixTypes::Translation);
    type_ = static_cast<XMatrixTypes>(kind);
}

// Every setter starts from the effective elements, so that an identity whose
// fields are still zero does not turn into a zero matrix.
void XMatrix::SetM11(double value) {
    auto e = GetElements();
    SetFields(value, e[1], e[2], e[3], e[4], e[5]);
    DeriveType();
}
void XMatrix::SetM12(double value) {
    auto e = GetElements();
    SetFields(e[0], value, e[2], e[3], e[4], e[5]);
    DeriveType();
}
void XMatrix::SetM21(double value) {
    auto e = GetElements();
    SetFields(e[0], e[1], value, e[3], e[4], e[5]);
    DeriveType();
}
void XMatrix::SetM22(double value) {
    auto e = GetElements();
    SetFields(e[0], e[1], e[2], value, e[4], e[5]);
    DeriveType();
}
void XMatrix::SetOffsetX(double value) {
    auto e = GetElements();
    SetFields(e[0], e[1], e[2], e[3], value, e[5]);
    DeriveType();
}
void XMatrix::SetOffsetY(double value) {
    auto e = GetElements();
    SetFields(e[0], e[1], e[2], e[3], e[4], value);
    DeriveType();
}

std::array<double, 6> XMatrix::GetElements() const {
    return {M11(), M12(), M21(), M22(), OffsetX(), OffsetY()};
}

bool XMatrix::IsIdentity() const {
    if (type_ == XMatrixTypes::Identity) return true;
    return m11_ == 1 && m12_ == 0 && m21_ == 0 && m22_ == 1 && offsetX_ == 0 && offsetY_ == 0;
}

double XMatrix::Determinant() const { return M11() * M22() - M12() * M21(); }

bool XMatrix::HasInverse() const { return !(std::fabs(Determinant()) < kSingularLimit); }

void XMatrix::Invert() {
    double d = Determinant();
    if (std::fabs(d) < kSingularLimit) throw InvalidOperationException("NotInvertible");
    switch (type_) {
    case XMatrixTypes::Identity:
        return;
    case XMatrixTypes::Translation:
        offsetX_ = -offsetX_;
        offsetY_ = -offsetY_;
        return;
    case XMatrixTypes::Scaling:
        m11_ = 1 / m11_;
        m22_ = 1 / m22_;
        return;
    default:
        break;
    }
    if (type_ == (XMatrixTypes::Translation | XMatrixTypes::Scaling)) {
        m11_ = 1 / m11_;
        m22_ = 1 / m22_;
        offsetX_ = -offsetX_ * m11_;
        offsetY_ = -offsetY_ * m22_;
        return;
    }
    double r = 1 / d;
    SetFields(m22_ * r, -m12_ * r, -m21_ * r, m11_ * r, (m21_ * offsetY_ - offsetX_ * m22_) * r,
              (offsetX_ * m12_ - m11_ * offsetY_) * r);
    type_ = XMatrixTypes::Unknown;
}

XMatrix XMatrix::Multiply(const XMatrix &a, const XMatrix &b) {
    auto p = a.GetElements();
    auto q = b.GetElements();
    XMatrix product;
    product.SetFields(p[0] * q[0] + p[1] * q[2], p[0] * q[1] + p[1] * q[3],
                      p[2] * q[0] + p[3] * q[2], p[2] * q[1] + p[3] * q[3],
                      p[4] * q[0] + p[5] * q[2] + q[4], p[4] * q[1] + p[5] * q[3] + q[5]);
    product.DeriveType();
    return product;
}

void XMatrix::Multiply(const XMatrix &matrix, XMatrixOrder order) {
    if (order == XMatrixOrder::Append)
        Append(matrix);
    else
        Prepend(matrix);
}

void XMatrix::Append(const XMatrix &matrix) { *this = Multiply(*this, matrix); }
void XMatrix::Prepend(const XMatrix &matrix) { *this = Multiply(matrix, *this); }

void XMatrix::Translate(double, double) { OutOfOrder(); }
void XMatrix::Scale(double, double) { OutOfOrder(); }
void XMatrix::Scale(double) { OutOfOrder(); }
void XMatrix::ScaleAt(double, double, double, double) { OutOfOrder(); }
void XMatrix::Rotate(double) { OutOfOrder(); }
void XMatrix::RotateAt(double, double, double) { OutOfOrder(); }
void XMatrix::RotateAt(double, const XPoint &) { OutOfOrder(); }
void XMatrix::Shear(double, double) { OutOfOrder(); }
void XMatrix::Skew(double, double) { OutOfOrder(); }

void XMatrix::Translate(double dx, double dy, XMatrixOrder order) {
    if (order == XMatrixOrder::Append)
        TranslateAppend(dx, dy);
    else
        TranslatePrepend(dx, dy);
}

void XMatrix::TranslateAppend(double dx, double dy) {
    auto e = GetElements();
    SetFields(e[0], e[1], e[2], e[3], e[4] + dx, e[5] + dy);
    DeriveType();
}

void XMatrix::TranslatePrepend(double dx, double dy) {
    auto e = GetElements();
    SetFields(e[0], e[1], e[2], e[3], e[4] + dx * e[0] + dy * e[2], e[5] + dx * e[1] + dy * e[3]);
    DeriveType();
}

void XMatrix::Scale(double scaleX, double scaleY, XMatrixOrder order) {
    if (order == XMatrixOrder::Append)
        ScaleAppend(scaleX, scaleY);
    else
        ScalePrepend(scaleX, scaleY);
}

void XMatrix::ScaleAppend(double scaleX, double scaleY) {
    auto e = GetElements();
    SetFields(e[0] * scaleX, e[1] * scaleY, e[2] * scaleX, e[3] * scaleY, e[4] * scaleX,
              e[5] * scaleY);
    DeriveType();
}

void XMatrix::ScalePrepend(double scaleX, double scaleY) {
    auto e = GetElements();
    SetFields(e[0] * scaleX, e[1] * scaleX, e[2] * scaleY, e[3] * scaleY, e[4], e[5]);
    DeriveType();
}

void XMatrix::ScaleAt(double scaleX, double scaleY, double centerX, double centerY,
                      XMatrixOrder order) {
    if (order == XMatrixOrder::Append)
        ScaleAtAppend(scaleX, scaleY, centerX, centerY);
    else
        ScaleAtPrepend(scaleX, scaleY, centerX, centerY);
}

void XMatrix::ScaleAtAppend(double scaleX, double scaleY, double centerX, double centerY) {
    Append(XMatrix(scaleX, 0, 0, scaleY, centerX - scaleX * centerX, centerY - scaleY * centerY));
}

void XMatrix::ScaleAtPrepend(double scaleX, double scaleY, double centerX, double centerY) {
    Prepend(XMatrix(scaleX, 0, 0, scaleY, centerX - scaleX * centerX, centerY - scaleY * centerY));
}

namespace {

// Rotation by `angle` degrees about (xc, yc); clockwise on a y-down page.
XMatrix RotationAbout(double angle, double xc, double yc) {
    double a = Radians(angle);
    double c = std::cos(a);
    double s = std::sin(a);
    return XMatrix(c, s, -s, c, xc * (1 - c) + yc * s, yc * (1 - c) - xc * s);
}

}  // namespace

void XMatrix::Rotate(double angle, XMatrixOrder order) {
    if (order == XMatrixOrder::Append)
        RotateAppend(angle);
    else
        RotatePrepend(angle);
}

void XMatrix::RotateAppend(double angle) { Append(RotationAbout(std::fmod(angle, 360.0), 0, 0)); }
void XMatrix::RotatePrepend(double angle) {
    Prepend(RotationAbout(std::fmod(angle, 360.0), 0, 0));
}

void XMatrix::RotateAt(double angle, double centerX, double centerY, XMatrixOrder order) {
    if (order == XMatrixOrder::Append)
        RotateAtAppend(angle, centerX, centerY);
    else
        RotateAtPrepend(angle, centerX, centerY);
}

void XMatrix::RotateAt(double angle, const XPoint &center, XMatrixOrder order) {
    RotateAt(angle, center.X(), center.Y(), order);
}

void XMatrix::RotateAtAppend(double angle, double centerX, double centerY) {
    Append(RotationAbout(std::fmod(angle, 360.0), centerX, centerY));
}
void XMatrix::RotateAtAppend(double angle, const XPoint &center) {
    RotateAtAppend(angle, center.X(), center.Y());
}
void XMatrix::RotateAtPrepend(double angle, double centerX, double centerY) {
    Prepend(RotationAbout(std::fmod(angle, 360.0), centerX, centerY));
}
void XMatrix::RotateAtPrepend(double angle, const XPoint &center) {
    RotateAtPrepend(angle, center.X(), center.Y());
}

void XMatrix::Shear(double shearX, double shearY, XMatrixOrder order) {
    Multiply(XMatrix(1, shearY, shearX, 1, 0, 0), order);
}
void XMatrix::ShearAppend(double shearX, double shearY) {
    Append(XMatrix(1, shearY, shearX, 1, 0, 0));
}
void XMatrix::ShearPrepend(double shearX, double shearY) {
    Prepend(XMatrix(1, shearY, shearX, 1, 0, 0));
}

void XMatrix::Skew(double skewX, double skewY, XMatrixOrder order) {
    Multiply(XMatrix(1, std::tan(Radians(skewY)), std::tan(Radians(skewX)), 1, 0, 0), order);
}
void XMatrix::SkewAppend(double skewX, double skewY) { Skew(skewX, skewY, XMatrixOrder::Append); }
void XMatrix::SkewPrepend(double skewX, double skewY) {
    Skew(skewX, skewY, XMatrixOrder::Prepend);
}

XPoint XMatrix::Transform(const XPoint &point) const {
    double x = point.X();
    double y = point.Y();
    switch (static_cast<int>(type_)) {
    case 0:
        return point;
    case 1:
        return {x + offsetX_, y + offsetY_};
    case 2:
        return {x * m11_, y * m22_};
    case 3:
        return {x * m11_ + offsetX_, y * m22_ + offsetY_};
    default:
        return {x * m11_ + y * m21_ + offsetX_, x * m12_ + y * m22_ + offsetY_};
    }
}

void XMatrix::Transform(std::span<XPoint> points) const {
    for (XPoint &point : points) point = Transform(point);
}

XVector XMatrix::Transform(const XVector &vector) const {
    double x = vector.X();
    double y = vector.Y();
    switch (static_cast<int>(type_)) {
    case 0:
    case 1:
        return vector;
    case 2:
    case 3:
        return {x * m11_, y * m22_};
    default:
        return {x * m11_ + y * m21_, x * m12_ + y * m22_};
    }
}

void XMatrix::Transform(std::span<XVector> vectors) const {
    for (XVector &vector : vectors) vector = Transform(vector);
}

std::size_t XMatrix::GetHashCode() const {
    std::size_t hash = 0;
    for (double element : GetElements()) {
        // +0 and -0 compare equal, so they must hash alike.
        double canonical = element == 0 ? 0.0 : element;
        hash = hash * 31 + std::hash<double>{}(canonical);
    }
    return hash;
}

std::string XMatrix::ToString() const {
    if (IsIdentity()) return std::string(kIdentityText);
    auto e = GetElements();
    return FormatGeometryList({e.begin(), e.end()});
}

XMatrix XMatrix::Parse(std::string_view text) {
    if (TrimGeometryText(text) == kIdentityText) return XMatrix();
    auto v = ParseGeometryList(text, 6, "XMatrix");
    return XMatrix(v[0], v[1], v[2], v[3], v[4], v[5]);
}

}  // namespace ZavorPdf::Drawing
