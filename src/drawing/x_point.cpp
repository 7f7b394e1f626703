#include "drawing/x_point.h"

#include "drawing/geometry_text.h"
#include "pdf/errors.h"

namespace ZavorPdf::Drawing {

std::string XPoint::ToString() const { return FormatGeometryList({x_, y_}); }

XPoint XPoint::Parse(std::string_view text) {
    auto values = ParseGeometryList(text, 2, "XPoint");
    return {values[0], values[1]};
}

XPoint operator/(const XPoint &p, double divisor) {
    if (divisor == 0) throw ArgumentException("Divisor is zero.", "divisor");
    return {p.X() / divisor, p.Y() / divisor};
}

}  // namespace ZavorPdf::Drawing
