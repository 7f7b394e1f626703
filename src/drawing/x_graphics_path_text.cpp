// Text outlines for paths: the glyphs of the font, placed like DrawString
// places text.
#include <algorithm>
#include <cmath>

#include "drawing/fonts/x_font.h"
#include "drawing/x_graphics_path.h"
#include "pdf/errors.h"
#include "platform/font_outline.h"

namespace ZavorPdf::Drawing {

void XGraphicsPath::AddString(std::u16string_view text, const XFontFamily &family, XFontStyle style,
                              double emSize, const XRect &layoutRect, const XStringFormat &format) {
    if (format.LineAlignment() == XLineAlignment::BaseLine && layoutRect.Height() != 0)
        throw ArgumentException(
            "DrawString: With XLineAlignment.BaseLine the height of the layout rectangle must be 0.", "layoutRect");
    if (text.empty())
        return;
    AppendGlyphs(text, family, style, emSize, layoutRect, format);
}

void XGraphicsPath::AddString(std::u16string_view text, const XFontFamily &family, XFontStyle style,
                              double emSize, const XPoint &origin, const XStringFormat &format) {
    if (text.empty())
        return;
    XGraphicsPath glyphs(fillMode_);
    try {
        glyphs.AppendGlyphs(text, family, style, emSize, XRect(origin.X(), origin.Y(), 0, 0), format);
    } catch (const std::exception &) {
        // The point form is best effort: a font that cannot be read adds
        // no outlines rather than ending the drawing.
        return;
    }
    AddPath(glyphs, false);
}

void XGraphicsPath::AppendGlyphs(std::u16string_view text, const XFontFamily &family, XFontStyle style,
                                 double emSize, const XRect &layoutRect, const XStringFormat &format) {
    XFont font(family, emSize, style);
    const auto &descriptor = font.Descriptor();
    ZavorPlatform::FontOutlineFace face(descriptor.Data().Data());
    double h = font.GetHeight();
    double a = h * font.CellAscent() / font.CellSpace();
    double d = h * font.CellDescent() / font.CellSpace();
    double width = font.MeasureWidth(text);
    double x = layoutRect.X();
    if (format.Alignment() == XStringAlignment::Center)
        x += (layoutRect.Width() - width) / 2;
    else if (format.Alignment() == XStringAlignment::Far)
        x += layoutRect.Width() - width;
    double y = layoutRect.Y();
    switch (format.LineAlignment()) {
    case XLineAlignment::Near: y += a; break;
    case XLineAlignment::Center: y += 3 * a / 8 + layoutRect.Height() / 2; break;
    case XLineAlignment::Far: y += layoutRect.Height() - d; break;
    case XLineAlignment::BaseLine: break;
    }
    double unit = emSize / face.UnitsPerEm();
    for (char16_t ch : text) {
        auto glyph = static_cast<unsigned>(std::max(0, descriptor.CharCodeToGlyphIndex(ch)));
        StartFigure();
        for (const auto &point : face.GlyphOutline(glyph, emSize)) {
            auto type = static_cast<PathPointType>(point.type & 0x7F);
            Append(x + point.x, y + point.y, type);
            if ((point.type & 0x80) != 0)
                CloseFigure();
        }
        StartFigure();
        x += static_cast<double>(face.GlyphAdvance(glyph)) * unit;
    }
}

}  // namespace ZavorPdf::Drawing
