#include "drawing/x_colors.h"

#include "pdf/ascii_case.h"

#include <array>

namespace ZavorPdf::Drawing {
namespace {

struct KnownColorRow {
    XKnownColor color;
    std::string_view name;
    std::uint32_t argb;
};

constexpr std::array kKnownColors{
#define ZAVOR_KNOWN_COLOR(name, argb) KnownColorRow{XKnownColor::name, #name, argb},
#include "drawing/x_known_color_list.h"
#undef ZAVOR_KNOWN_COLOR
};

const KnownColorRow &Row(XKnownColor color) {
    auto index = static_cast<std::size_t>(color);
    return kKnownColors.at(index);
}

}  // namespace

XColor XKnownColorTable::Color(XKnownColor color) { return XColor::FromArgb(Row(color).argb); }

std::string_view XKnownColorTable::Name(XKnownColor color) { return Row(color).name; }

std::optional<XKnownColor> XKnownColorTable::FromName(std::string_view name) {
    for (const auto &row : kKnownColors)
        if (EqualsIgnoringAsciiCase(row.name, name))
            return row.color;
    return std::nullopt;
}

std::optional<XKnownColor> XKnownColorTable::FromArgb(std::uint32_t argb) {
    for (const auto &row : kKnownColors)
        if (row.argb == argb)
            return row.color;
    return std::nullopt;
}

std::vector<XKnownColor> XKnownColorTable::All() {
    std::vector<XKnownColor> all;
    for (const auto &row : kKnownColors)
        all.push_back(row.color);
    return all;
}

#define ZAVOR_KNOWN_COLOR(name, argb)                                             \
    const XPen &XPens::name() {                                                   \
        static const XPen pen = XPen::Immutable(XColor::FromArgb(std::uint32_t{argb})); \
        return pen;                                                               \
    }
#include "drawing/x_known_color_list.h"
#undef ZAVOR_KNOWN_COLOR

#define ZAVOR_KNOWN_COLOR(name, argb)                                                             \
    const XSolidBrush &XBrushes::name() {                                                         \
        static const XSolidBrush brush = XSolidBrush::Immutable(XColor::FromArgb(std::uint32_t{argb})); \
        return brush;                                                                             \
    }
#include "drawing/x_known_color_list.h"
#undef ZAVOR_KNOWN_COLOR

}  // namespace ZavorPdf::Drawing
