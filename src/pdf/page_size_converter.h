// The dimensions of the named paper sizes.
#pragma once

#include <optional>
#include <string_view>

#include "pdf/page_size.h"

namespace ZavorPdf::Pdf {

// Width and height in points.
struct PageDimensions {
    double width = 0;
    double height = 0;
    friend bool operator==(const PageDimensions &, const PageDimensions &) = default;
};

class PageSizeConverter {
public:
    // Fails with "Invalid PageSize." (argument "value") for Undefined and for
    // numbers that name no size.
    static PageDimensions ToSize(PageSize value);

    // True for every member of PageSize, Undefined included.
    static bool IsDefined(PageSize value);

    // The member's name ("A4", "Size10x14"), or nothing for a number that
    // names no member.
    static std::optional<std::string_view> Name(PageSize value);
    // The member of that name, compared without regard to case, or nothing.
    static std::optional<PageSize> FromName(std::string_view name);
};

}  // namespace ZavorPdf::Pdf
