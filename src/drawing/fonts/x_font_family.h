// A font family as the platform knows it, with its metrics per style.
#pragma once

#include <string>

#include "drawing/fonts/x_font_style.h"

namespace ZavorPdf::Drawing {

class XFontFamily {
public:
    // Resolves the name at once: Name() is the family that stands in for
    // it (an unknown name gets the platform's default family).
    explicit XFontFamily(std::u16string name);

    const std::u16string &Name() const { return name_; }
    // True when the family has a face with exactly these bold/italic bits.
    bool IsStyleAvailable(XFontStyle style) const;
    // In design units.
    int GetEmHeight(XFontStyle style) const;
    int GetLineSpacing(XFontStyle style) const;
    int GetCellAscent(XFontStyle style) const;
    int GetCellDescent(XFontStyle style) const;

private:
    std::u16string name_;
};

}  // namespace ZavorPdf::Drawing
