#include "drawing/x_size.h"

#include "drawing/geometry_text.h"

namespace ZavorPdf::Drawing {

namespace {
constexpr std::string_view kEmptyText = "Empty";
}

std::string XSize::ToString() const {
    if (IsEmpty()) return std::string(kEmptyText);
    return FormatGeometryList({width_, height_});
}

XSize XSize::Parse(std::string_view text) {
    if (TrimGeometryText(text) == kEmptyText) return Empty();
    auto values = ParseGeometryList(text, 2, "XSize");
    return {values[0], values[1]};
}

}  // namespace ZavorPdf::Drawing
