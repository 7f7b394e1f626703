// How lines are stroked: colour, width, caps, joins and dashes.
#pragma once

#include <vector>

#include "drawing/x_color.h"

namespace ZavorPdf::Drawing {

enum class XLineJoin { Miter = 0, Round = 1, Bevel = 2 };
enum class XLineCap { Flat = 0, Round = 1, Square = 2 };
enum class XDashStyle { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Custom = 5 };

class XPen {
public:
    explicit XPen(XColor color, double width = 1);
    // A pen that can be changed, whatever the source was.
    XPen(const XPen &other);
    XPen &operator=(const XPen &other);

    XPen Clone() const { return XPen(*this); }

    // Every setter fails on the predefined pens with "This XPen is immutable.".
    XColor Color() const { return color_; }
    void SetColor(XColor value);
    double Width() const { return width_; }
    void SetWidth(double value);
    XLineJoin LineJoin() const { return lineJoin_; }
    void SetLineJoin(XLineJoin value);
    XLineCap LineCap() const { return lineCap_; }
    void SetLineCap(XLineCap value);
    double MiterLimit() const { return miterLimit_; }
    void SetMiterLimit(double value);
    XDashStyle DashStyle() const { return dashStyle_; }
    void SetDashStyle(XDashStyle value);
    double DashOffset() const { return dashOffset_; }
    void SetDashOffset(double value);
    // In multiples of the width. Every value must be greater than zero
    // ("Dash pattern value must greater than zero."); sets the style to Custom.
    const std::vector<double> &DashPattern() const { return dashPattern_; }
    void SetDashPattern(std::vector<double> value);

    bool IsImmutable() const { return immutable_; }

private:
    friend class XPens;
    // The predefined pens.
    struct ImmutableTag {};
    XPen(XColor color, ImmutableTag) : color_(color), immutable_(true) {}
    // A prvalue, so that no copy (which would be mutable) is made.
    static XPen Immutable(XColor color) { return XPen(color, ImmutableTag{}); }
    void CheckMutable() const;

    XColor color_;
    double width_ = 1;
    XLineJoin lineJoin_ = XLineJoin::Miter;
    XLineCap lineCap_ = XLineCap::Flat;
    double miterLimit_ = 0;
    XDashStyle dashStyle_ = XDashStyle::Solid;
    double dashOffset_ = 0;
    std::vector<double> dashPattern_;
    bool immutable_ = false;
};

}  // namespace ZavorPdf::Drawing
