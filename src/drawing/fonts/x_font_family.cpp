#include "drawing/fonts/x_font_family.h"

#include "drawing/fonts/font_resolution.h"

namespace ZavorPdf::Drawing {

namespace {

int StyleBits(XFontStyle style) { return static_cast<int>(style); }

}  // namespace

XFontFamily::XFontFamily(std::u16string name) : name_(Fonts::ResolveFont(name, 0).name) {}

bool XFontFamily::IsStyleAvailable(XFontStyle style) const {
    Fonts::ResolvedFont font = Fonts::ResolveFont(name_, StyleBits(style));
    return font.name == name_ && font.bold == HasStyle(style, XFontStyle::Bold) &&
           font.italic == HasStyle(style, XFontStyle::Italic);
}

int XFontFamily::GetEmHeight(XFontStyle style) const {
    return Fonts::ResolveFont(name_, StyleBits(style)).descriptor->UnitsPerEm();
}

int XFontFamily::GetLineSpacing(XFontStyle style) const {
    return Fonts::ResolveFont(name_, StyleBits(style)).descriptor->LineSpacing();
}

int XFontFamily::GetCellAscent(XFontStyle style) const {
    return Fonts::ResolveFont(name_, StyleBits(style)).descriptor->CellAscent();
}

int XFontFamily::GetCellDescent(XFontStyle style) const {
    return Fonts::ResolveFont(name_, StyleBits(style)).descriptor->CellDescent();
}

}  // namespace ZavorPdf::Drawing
