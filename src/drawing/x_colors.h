// The named colours, and the predefined pens and brushes of those colours.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "drawing/x_color.h"
#include "drawing/x_pen.h"
#include "drawing/x_solid_brush.h"

namespace ZavorPdf::Drawing {

enum class XKnownColor {
#define ZAVOR_KNOWN_COLOR(name, argb) name,
#include "drawing/x_known_color_list.h"
#undef ZAVOR_KNOWN_COLOR
};

class XKnownColorTable {
public:
    static XColor Color(XKnownColor color);
    // The English name ("AliceBlue").
    static std::string_view Name(XKnownColor color);
    // Case-insensitive; none for an unknown name.
    static std::optional<XKnownColor> FromName(std::string_view name);
    // The known colour with that exact ARGB value; where two names share one
    // (Aqua and Cyan), the first in name order.
    static std::optional<XKnownColor> FromArgb(std::uint32_t argb);
    static std::vector<XKnownColor> All();
};

class XColors {
public:
#define ZAVOR_KNOWN_COLOR(name, argb) \
    static XColor name() { return XColor::FromArgb(std::uint32_t{argb}); }
#include "drawing/x_known_color_list.h"
#undef ZAVOR_KNOWN_COLOR
};

// Pens of width 1; they cannot be changed, but copies of them can.
class XPens {
public:
#define ZAVOR_KNOWN_COLOR(name, argb) static const XPen &name();
#include "drawing/x_known_color_list.h"
#undef ZAVOR_KNOWN_COLOR
};

// Brushes that cannot be changed, but copies of them can.
class XBrushes {
public:
#define ZAVOR_KNOWN_COLOR(name, argb) static const XSolidBrush &name();
#include "drawing/x_known_color_list.h"
#undef ZAVOR_KNOWN_COLOR
};

}  // namespace ZavorPdf::Drawing
