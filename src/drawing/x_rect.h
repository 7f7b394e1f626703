// An axis-parallel rectangle: x/y is the top-left corner on a y-down page.
// The empty rectangle (x = y = +infinity, width = height = −infinity) is
// "nothing at all": it cannot be changed, and a union with it changes nothing.
// Width and height are never negative otherwise.
#pragma once

#include <limits>
#include <string>
#include <string_view>

#include "drawing/x_matrix.h"
#include "drawing/x_point.h"
#include "drawing/x_size.h"
#include "drawing/x_vector.h"

namespace ZavorPdf::Drawing {

class XRect {
public:
    constexpr XRect() = default;
    // A negative width or height fails with "WidthAndHeightCannotBeNegative".
    XRect(double x, double y, double width, double height);
    // The rectangle spanned by two opposite corners.
    XRect(const XPoint &point1, const XPoint &point2);
    XRect(const XPoint &point, const XVector &vector);
    // The empty size gives the empty rectangle.
    XRect(const XPoint &location, const XSize &size);
    explicit XRect(const XSize &size);

    static XRect Empty();
    bool IsEmpty() const { return width_ < 0; }
    static XRect FromLTRB(double left, double top, double right, double bottom);

    double X() const { return x_; }
    double Y() const { return y_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    // Setters fail with "CannotModifyEmptyRect" on the empty rectangle and
    // with "WidthCannotBeNegative" / "HeightCannotBeNegative".
    void SetX(double x);
    void SetY(double y);
    void SetWidth(double width);
    void SetHeight(double height);
    XPoint Location() const { return {x_, y_}; }
    void SetLocation(const XPoint &location);
    XSize Size() const { return IsEmpty() ? XSize::Empty() : XSize(width_, height_); }
    void SetSize(const XSize &size);

    double Left() const { return x_; }
    double Top() const { return y_; }
    double Right() const { return IsEmpty() ? -kInfinity : x_ + width_; }
    double Bottom() const { return IsEmpty() ? -kInfinity : y_ + height_; }
    XPoint TopLeft() const { return {Left(), Top()}; }
    XPoint TopRight() const { return {Right(), Top()}; }
    XPoint BottomLeft() const { return {Left(), Bottom()}; }
    XPoint BottomRight() const { return {Right(), Bottom()}; }
    XPoint Center() const { return {x_ + width_ / 2, y_ + height_ / 2}; }

    // Edges belong to the rectangle. The empty rectangle contains nothing
    // and meets nothing.
    bool Contains(double x, double y) const;
    bool Contains(const XPoint &point) const { return Contains(point.X(), point.Y()); }
    bool Contains(const XRect &rect) const;
    bool IntersectsWith(const XRect &rect) const;

    // Becomes the common part, or the empty rectangle when there is none.
    void Intersect(const XRect &rect);
    static XRect Intersect(XRect a, const XRect &b);
    void Union(const XRect &rect);
    void Union(const XPoint &point);
    static XRect Union(XRect a, const XRect &b);

    // Moving or inflating the empty rectangle fails with "CannotModifyEmptyRect".
    void Offset(double dx, double dy);
    void Offset(const XVector &offset) { Offset(offset.X(), offset.Y()); }
    // Negative amounts shrink; shrinking past nothing gives the empty rectangle.
    void Inflate(double width, double height);
    void Inflate(const XSize &size) { Inflate(size.Width(), size.Height()); }
    static XRect Inflate(XRect rect, double width, double height);
    // Scales position and extent; a negative factor mirrors, keeping the
    // extent positive. The empty rectangle stays empty.
    void Scale(double scaleX, double scaleY);
    // The axis-parallel bounding box of the four transformed corners.
    void Transform(const XMatrix &matrix);
    static XRect Transform(XRect rect, const XMatrix &matrix);

    // "Empty" for the empty rectangle, otherwise "x,y,width,height".
    std::string ToString() const;
    static XRect Parse(std::string_view text);

    friend bool operator==(const XRect &, const XRect &) = default;

private:
    static constexpr double kInfinity = std::numeric_limits<double>::infinity();
    void RequireNotEmpty() const;

    double x_ = 0;
    double y_ = 0;
    double width_ = 0;
    double height_ = 0;
};

XRect operator+(XRect rect, const XVector &offset);
XRect operator-(XRect rect, const XVector &offset);

}  // namespace ZavorPdf::Drawing
