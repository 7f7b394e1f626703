#include "drawing/x_pen.h"

#include <cmath>
#include <string>

#include "pdf/errors.h"

namespace ZavorPdf::Drawing {
namespace {

template <class E>
void CheckEnum(E value, int last, const char *type) {
    int number = static_cast<int>(value);
    if (number < 0 || number > last)
        throw ArgumentException("The value of argument 'value' (" + std::to_string(number) +
                                    ") is invalid for Enum type '" + type + "'.",
                                "value");
}

void CheckFinite(double value) {
    if (!std::isfinite(value))
        throw ArgumentException("The value must be a finite number.", "value");
}

}  // namespace

XPen::XPen(XColor color, double width) : color_(color) {
    CheckFinite(width);
    width_ = width;
}

XPen::XPen(const XPen &other)
    : color_(other.color_), width_(other.width_), lineJoin_(other.lineJoin_), lineCap_(other.lineCap_),
      miterLimit_(other.miterLimit_), dashStyle_(other.dashStyle_), dashOffset_(other.dashOffset_),
      dashPattern_(other.dashPattern_) {}

XPen &XPen::operator=(const XPen &other) {
    CheckMutable();
    XPen copy(other);
    color_ = copy.color_;
    width_ = copy.width_;
    lineJoin_ = copy.lineJoin_;
    lineCap_ = copy.lineCap_;
    miterLimit_ = copy.miterLimit_;
    dashStyle_ = copy.dashStyle_;
    dashOffset_ = copy.dashOffset_;
    dashPattern_ = std::move(copy.dashPattern_);
    return *this;
}

void XPen::CheckMutable() const {
    if (immutable_)
        throw ArgumentException("This XPen is immutable.", "XPen");
}

void XPen::SetColor(XColor value) {
    CheckMutable();
    color_ = value;
}

void XPen::SetWidth(double value) {
    CheckMutable();
    CheckFinite(value);
    width_ = value;
}

void XPen::SetLineJoin(XLineJoin value) {
    CheckMutable();
    CheckEnum(value, 2, "XLineJoin");
    lineJoin_ = value;
}

void XPen::SetLineCap(XLineCap value) {
    CheckMutable();
    CheckEnum(value, 2, "XLineCap");
    lineCap_ = value;
}

void XPen::SetMiterLimit(double value) {
    CheckMutable();
    CheckFinite(value);
    miterLimit_ = value;
}

void XPen::SetDashStyle(XDashStyle value) {
    CheckMutable();
    CheckEnum(value, 5, "XDashStyle");
    dashStyle_ = value;
}

void XPen::SetDashOffset(double value) {
    CheckMutable();
    CheckFinite(value);
    dashOffset_ = value;
}

void XPen::SetDashPattern(std::vector<double> value) {
    CheckMutable();
    for (double entry : value)
        // NaN fails too: it is not greater than zero.
        if (!(entry > 0) || !std::isfinite(entry))
            throw ArgumentException("Dash pattern value must greater than zero.", "value");
    dashPattern_ = std::move(value);
    dashStyle_ = XDashStyle::Custom;
}

}  // namespace ZavorPdf::Drawing
