// The 2-D affine transformation of the drawing layer, in row-vector form:
// a point (x, y) becomes (x·m11 + y·m21 + offsetX, x·m12 + y·m22 + offsetY),
// and A·B applies A first. The kind flags let the frequent cases (identity,
// pure offset, pure scaling) skip work.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "drawing/x_point.h"
#include "drawing/x_vector.h"

namespace ZavorPdf::Drawing {

enum class XMatrixOrder { Prepend = 0, Append = 1 };

// Kind flags; Translation | Scaling means scale plus offset.
enum class XMatrixTypes { Identity = 0, Translation = 1, Scaling = 2, Unknown = 4 };

constexpr XMatrixTypes operator|(XMatrixTypes a, XMatrixTypes b) {
    return static_cast<XMatrixTypes>(static_cast<int>(a) | static_cast<int>(b));
}

class XMatrix {
public:
    // The identity.
    constexpr XMatrix() = default;
    XMatrix(double m11, double m12, double m21, double m22, double offsetX, double offsetY);

    static XMatrix Identity() { return XMatrix(); }
    void SetIdentity() { *this = XMatrix(); }

    // The effective elements: an identity reads 1, 0, 0, 1, 0, 0 whatever
    // the fields hold.
    double M11() const { return type_ == XMatrixTypes::Identity ? 1.0 : m11_; }
    double M12() const { return type_ == XMatrixTypes::Identity ? 0.0 : m12_; }
    double M21() const { return type_ == XMatrixTypes::Identity ? 0.0 : m21_; }
    double M22() const { return type_ == XMatrixTypes::Identity ? 1.0 : m22_; }
    double OffsetX() const { return type_ == XMatrixTypes::Identity ? 0.0 : offsetX_; }
    double OffsetY() const { return type_ == XMatrixTypes::Identity ? 0.0 : offsetY_; }
    void SetM11(double value);
    void SetM12(double value);
    void SetM21(double value);
    void SetM22(double value);
    void SetOffsetX(double value);
    void SetOffsetY(double value);

    // m11, m12, m21, m22, offsetX, offsetY.
    std::array<double, 6> GetElements() const;
    std::array<double, 6> Elements() const { return GetElements(); }
    XMatrixTypes Type() const { return type_; }

    bool IsIdentity() const;
    double Determinant() const;
    bool HasInverse() const;
    // In place; a (nearly) singular matrix fails with "NotInvertible" and is
    // left unchanged.
    void Invert();

    void Multiply(const XMatrix &matrix, XMatrixOrder order);
    void Multiply(const XMatrix &matrix) { Append(matrix); }
    void MultiplyPrepend(const XMatrix &matrix) { Prepend(matrix); }
    void Append(const XMatrix &matrix);
    void Prepend(const XMatrix &matrix);
    static XMatrix Multiply(const XMatrix &first, const XMatrix &second);

    // The order-less forms are withdrawn: callers must say whether the step
    // comes before or after the existing transformation. Each one fails with
    // "Temporarily out of order.".
    void Translate(double dx, double dy);
    void Scale(double scaleX, double scaleY);
    void Scale(double scale);
    void ScaleAt(double scaleX, double scaleY, double centerX, double centerY);
    void Rotate(double angle);
    void RotateAt(double angle, double centerX, double centerY);
    void RotateAt(double angle, const XPoint &center);
    void Shear(double shearX, double shearY);
    void Skew(double skewX, double skewY);

    void Translate(double dx, double dy, XMatrixOrder order);
    void TranslateAppend(double dx, double dy);
    void TranslatePrepend(double dx, double dy);

    void Scale(double scaleX, double scaleY, XMatrixOrder order);
    void Scale(double scale, XMatrixOrder order) { Scale(scale, scale, order); }
    void ScaleAppend(double scaleX, double scaleY);
    void ScaleAppend(double scale) { ScaleAppend(scale, scale); }
    void ScalePrepend(double scaleX, double scaleY);
    void ScalePrepend(double scale) { ScalePrepend(scale, scale); }
    void ScaleAt(double scaleX, double scaleY, double centerX, double centerY, XMatrixOrder order);
    void ScaleAtAppend(double scaleX, double scaleY, double centerX, double centerY);
    void ScaleAtPrepend(double scaleX, double scaleY, double centerX, double centerY);

    // Angles in degrees, clockwise on a y-down page.
    void Rotate(double angle, XMatrixOrder order);
    void RotateAppend(double angle);
    void RotatePrepend(double angle);
    void RotateAt(double angle, double centerX, double centerY, XMatrixOrder order);
    void RotateAt(double angle, const XPoint &center, XMatrixOrder order);
    void RotateAtAppend(double angle, double centerX, double centerY);
    void RotateAtAppend(double angle, const XPoint &center);
    void RotateAtPrepend(double angle, double centerX, double centerY);
    void RotateAtPrepend(double angle, const XPoint &center);

    void Shear(double shearX, double shearY, XMatrixOrder order);
    void ShearAppend(double shearX, double shearY);
    void ShearPrepend(double shearX, double shearY);
    // Angles in degrees.
    void Skew(double skewX, double skewY, XMatrixOrder order);
    void SkewAppend(double skewX, double skewY);
    void SkewPrepend(double skewX, double skewY);

    XPoint Transform(const XPoint &point) const;
    void Transform(std::span<XPoint> points) const;
    void TransformPoints(std::span<XPoint> points) const { Transform(points); }
    // Offsets do not move a vector.
    XVector Transform(const XVector &vector) const;
    void Transform(std::span<XVector> vectors) const;

    std::size_t GetHashCode() const;
    // "Identity", or the six elements separated by the list separator.
    std::string ToString() const;
    static XMatrix Parse(std::string_view text);

    friend bool operator==(const XMatrix &a, const XMatrix &b) {
        return a.GetElements() == b.GetElements();
    }

private:
    void SetFields(double m11, double m12, double m21, double m22, double offsetX, double offsetY);
    void DeriveType();
    bool Has(XMatrixTypes flag) const;

    // While type_ is Identity the fields are not consulted; they may still
    // hold zeros from value initialisation.
    double m11_ = 0, m12_ = 0, m21_ = 0, m22_ = 0, offsetX_ = 0, offsetY_ = 0;
    XMatrixTypes type_ = XMatrixTypes::Identity;
};

inline XMatrix operator*(const XMatrix &first, const XMatrix &second) {
    return XMatrix::Multiply(first, second);
}
inline XPoint operator*(const XPoint &point, const XMatrix &matrix) {
    return matrix.Transform(point);
}
inline XVector operator*(const XVector &vector, const XMatrix &matrix) {
    return matrix.Transform(vector);
}

}  // namespace ZavorPdf::Drawing
