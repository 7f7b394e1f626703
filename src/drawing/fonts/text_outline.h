// Glyph outlines of a text, for drawing text as a path.
#pragma once

#include <string_view>
#include <vector>

#include "drawing/fonts/x_font.h"
#include "platform/font_outline.h"

namespace ZavorPdf::Fonts {

// The outlines of the text's glyphs at the font's em size, the first
// glyph's origin at (x, baselineY), y growing downwards. Glyphs advance by
// the same widths that MeasureWidth and the PDF font resources use, and
// simple (WinAnsi) fonts show the characters that code page 1252 keeps.
// Point types: 0 starts a figure, 1 ends a line, 3 is a cubic Bezier point,
// 0x80 closes the figure.
std::vector<ZavorPlatform::OutlinePoint> TextOutline(const Drawing::XFont &font, std::u16string_view text, double x,
                                                     double baselineY);

}  // namespace ZavorPdf::Fonts
