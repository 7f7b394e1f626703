// A brush of one colour.
#pragma once

#include "drawing/x_brush.h"
#include "drawing/x_color.h"

namespace ZavorPdf::Drawing {

class XSolidBrush : public XBrush {
public:
    XSolidBrush() = default;
    explicit XSolidBrush(XColor color) : color_(color) {}
    // A brush that can be changed, whatever the source was.
    XSolidBrush(const XSolidBrush &other) : XBrush(other), color_(other.color_) {}
    XSolidBrush &operator=(const XSolidBrush &other);

    XColor Color() const { return color_; }
    // Fails on the predefined brushes with "This XSolidBrush is immutable.".
    void SetColor(XColor value);
    bool IsImmutable() const { return immutable_; }

private:
    friend class XBrushes;
    struct ImmutableTag {};
    XSolidBrush(XColor color, ImmutableTag) : color_(color), immutable_(true) {}
    // A prvalue, so that no copy (which would be mutable) is made.
    static XSolidBrush Immutable(XColor color) { return XSolidBrush(color, ImmutableTag{}); }

    XColor color_;
    bool immutable_ = false;
};

}  // namespace ZavorPdf::Drawing
