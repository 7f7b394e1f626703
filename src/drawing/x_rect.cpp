#include "drawing/x_rect.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "drawing/geometry_text.h"
#include "pdf/errors.h"

namespace ZavorPdf::Drawing {

namespace {

constexpr std::string_view kEmptyText = "Empty";

[[noreturn]] void NegativeSize() {
    throw ArgumentException("WidthAndHeightCannotBeNegative");
}

}  // namespace

XRect::XRect(double x, double y, double width, double height)
    : x_(x), y_(y), width_(width), height_(height) {
    if (width < 0 || height < 0) NegativeSize();
}

XRect::XRect(const XPoint &point1, const XPoint &point2)
    : x_(std::min(point1.X(), point2.X())),
      y_(std::min(point1.Y(), point2.Y())),
      width_(std::fabs(point2.X() - point1.X())),
      height_(std::fabs(point2.Y() - point1.Y())) {}

XRect::XRect(const XPoint &point, const XVector &vector) : XRect(point, point + vector) {}

XRect::XRect(const XPoint &location, const XSize &size) {
    if (size.IsEmpty()) {
        *this = Empty();
        return;
    }
    *this = XRect(location.X(), location.Y(), size.Width(), size.Height());
}

XRect::XRect(const XSize &size) : XRect(XPoint(), size) {}

XRect XRect::Empty() {
    XRect rect;
    rect.x_ = rect.y_ = kInfinity;
    rect.width_ = rect.height_ = -kInfinity;
    return rect;
}

XRect XRect::FromLTRB(double left, double top, double right, double bottom) {
    return XRect(left, top, right - left, bottom - top);
}

void XRect::RequireNotEmpty() const {
    if (IsEmpty()) throw InvalidOperationException("CannotModifyEmptyRect");
}

void XRect::SetX(double x) {
    RequireNotEmpty();
    x_ = x;
}

void XRect::SetY(double y) {
    RequireNotEmpty();
    y_ = y;
}

void XRect::SetWidth(double width) {
    RequireNotEmpty();
    if (width < 0) throw ArgumentException("WidthCannotBeNegative", "value");
    width_ = width;
}

void XRect::SetHeight(double height) {
    RequireNotEmpty();
    if (height < 0) throw ArgumentException("HeightCannotBeNegative", "value");
    height_ = height;
}

void XRect::SetLocation(const XPoint &location) {
    RequireNotEmpty();
    x_ = location.X();
    y_ = location.Y();
}

void XRect::SetSize(const XSize &size) {
    if (size.IsEmpty()) {
        *this = Empty();
        return;
    }
    RequireNotEmpty();
    // Checked before either is stored, so a failure leaves the rectangle as it was.
    if (size.Width() < 0) throw ArgumentException("WidthCannotBeNegative", "value");
    if (size.Height() < 0) throw ArgumentException("HeightCannotBeNegative", "value");
    width_ = size.Width();
    height_ = size.Height();
}

bool XRect::Contains(double x, double y) const {
    if (IsEmpty()) return false;
    return x >= x_ && x - width_ <= x_ && y >= y_ && y - height_ <= y_;
}

bool XRect::Contains(const XRect &rect) const {
    if (IsEmpty() || rect.IsEmpty()) return false;
    return x_ <= rect.x_ && y_ <= rect.y_ && Right() >= rect.Right() &&
           Bottom() >= rect.Bottom();
}

bool XRect::IntersectsWith(const XRect &rect) const {
    if (IsEmpty() || rect.IsEmpty()) return false;
    return rect.Left() <= Right() && rect.Right() >= Left() && rect.Top() <= Bottom() &&
           rect.Bottom() >= Top();
}

void XRect::Intersect(const XRect &rect) {
    if (!IntersectsWith(rect)) {
        *this = Empty();
        return;
    }
    double left = std::max(Left(), rect.Left());
    double top = std::max(Top(), rect.Top());
    width_ = std::max(std::min(Right(), rect.Right()) - left, 0.0);
    height_ = std::max(std::min(Bottom(), rect.Bottom()) - top, 0.0);
    x_ = left;
    y_ = top;
}

XRect XRect::Intersect(XRect a, const XRect &b) {
    a.Intersect(b);
    return a;
}

void XRect::Union(const XRect &rect) {
    if (IsEmpty()) {
        *this = rect;
        return;
    }
    if (rect.IsEmpty()) return;
    double left = std::min(Left(), rect.Left());
    double top = std::min(Top(), rect.Top());
    // An infinite extent stays infinite instead of becoming inf − inf = NaN.
    if (width_ == kInfinity || rect.width_ == kInfinity)
        width_ = kInfinity;
    else
        width_ = std::max(std::max(Right(), rect.Right()) - left, 0.0);
    if (height_ == kInfinity || rect.height_ == kInfinity)
        height_ = kInfinity;
    else
        height_ = std::max(std::max(Bottom(), rect.Bottom()) - top, 0.0);
    x_ = left;
    y_ = top;
}

void XRect::Union(const XPoint &point) { Union(XRect(point, point)); }

XRect XRect::Union(XRect a, const XRect &b) {
    a.Union(b);
    return a;
}

void XRect::Offset(double dx, double dy) {
    RequireNotEmpty();
    x_ += dx;
    y_ += dy;
}

void XRect::Inflate(double width, double height) {
    RequireNotEmpty();
    double newWidth = width_ + 2 * width;
    double newHeight = height_ + 2 * height;
    if (newWidth < 0 || newHeight < 0) {
        *this = Empty();
        return;
    }
    x_ -= width;
    y_ -= height;
    width_ = newWidth;
    height_ = newHeight;
}

XRect XRect::Inflate(XRect rect, double width, double height) {
    rect.Inflate(width, height);
    return rect;
}

void XRect::Scale(double scaleX, double scaleY) {
    if (IsEmpty()) return;
    x_ *= scaleX;
    y_ *= scaleY;
    width_ *= scaleX;
    height_ *= scaleY;
    if (scaleX < 0) {
        x_ += width_;
        width_ = -width_;
    }
    if (scaleY < 0) {
        y_ += height_;
        height_ = -height_;
    }
}

void XRect::Transform(const XMatrix &matrix) {
    if (IsEmpty()) return;
    std::array<XPoint, 4> corners{TopLeft(), TopRight(), BottomLeft(), BottomRight()};
    matrix.Transform(corners);
    XRect bounds(corners[0], corners[1]);
    bounds.Union(XRect(corners[2], corners[3]));
    *this = bounds;
}

XRect XRect::Transform(XRect rect, const XMatrix &matrix) {
    rect.Transform(matrix);
    return rect;
}

std::string XRect::ToString() const {
    if (IsEmpty()) return std::string(kEmptyText);
    return FormatGeometryList({x_, y_, width_, height_});
}

XRect XRect::Parse(std::string_view text) {
    if (TrimGeometryText(text) == kEmptyText) return Empty();
    auto v = ParseGeometryList(text, 4, "XRect");
    return XRect(v[0], v[1], v[2], v[3]);
}

XRect operator+(XRect rect, const XVector &offset) {
    rect.Offset(offset);
    return rect;
}

XRect operator-(XRect rect, const XVector &offset) {
    rect.Offset(-offset);
    return rect;
}

}  // namespace ZavorPdf::Drawing
