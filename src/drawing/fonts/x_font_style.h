// Style bits of a font request.
#pragma once

namespace ZavorPdf::Drawing {

enum class XFontStyle : int { Regular = 0, Bold = 1, Italic = 2, BoldItalic = 3, Underline = 4, Strikeout = 8 };

constexpr XFontStyle operator|(XFontStyle a, XFontStyle b) {
    return static_cast<XFontStyle>(static_cast<int>(a) | static_cast<int>(b));
}
constexpr XFontStyle operator&(XFontStyle a, XFontStyle b) {
    return static_cast<XFontStyle>(static_cast<int>(a) & static_cast<int>(b));
}
constexpr bool HasStyle(XFontStyle style, XFontStyle bits) { return (style & bits) == bits; }

}  // namespace ZavorPdf::Drawing
