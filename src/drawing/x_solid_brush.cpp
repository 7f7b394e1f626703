#include "drawing/x_solid_brush.h"

#include "pdf/errors.h"

namespace ZavorPdf::Drawing {

XSolidBrush &XSolidBrush::operator=(const XSolidBrush &other) {
    SetColor(other.color_);
    return *this;
}

void XSolidBrush::SetColor(XColor value) {
    if (immutable_)
        throw ArgumentException("This XSolidBrush is immutable.", "XSolidBrush");
    color_ = value;
}

}  // namespace ZavorPdf::Drawing
