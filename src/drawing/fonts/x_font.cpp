#include "drawing/fonts/x_font.h"

#include <cmath>

#include "drawing/fonts/font_messages.h"
#include "drawing/fonts/font_resolution.h"
#include "pdf/errors.h"
#include "platform/code_page.h"

namespace ZavorPdf::Drawing {

XFont::XFont(std::u16string familyName, double emSize, XFontStyle style, XPdfFontOptions pdfOptions)
    : familyName_(std::move(familyName)), emSize_(emSize), style_(style), pdfOptions_(pdfOptions) {
    Initialize();
}

XFont::XFont(const XFontFamily &family, double emSize, XFontStyle style, XPdfFontOptions pdfOptions)
    : familyName_(family.Name()), emSize_(emSize), style_(style), pdfOptions_(pdfOptions) {
    Initialize();
}

void XFont::Initialize() {
    if (!(emSize_ > 0) || !std::isfinite(emSize_))
        throw ArgumentException(Fonts::FontMessages::EmSizeNotPositive, "emSize");
    Fonts::ResolvedFont resolved = Fonts::ResolveFont(familyName_, static_cast<int>(style_));
    name_ = resolved.name;
    descriptor_ = resolved.descriptor;
    int available = (resolved.bold && Bold() ? 1 : 0) | (resolved.italic && Italic() ? 2 : 0);
    availableStyle_ = static_cast<XFontStyle>(available);
    const auto &d = *descriptor_;
    metrics_ = {d.UnitsPerEm(),        d.Ascender(),          d.Descender(),         d.Leading(),
                d.CapHeight(),         d.XHeight(),           d.UnderlinePosition(), d.UnderlineThickness(),
                d.StrikeoutPosition(), d.StrikeoutSize(),     d.ItalicAngle()};
}

double XFont::MeasureWidth(std::u16string_view text) const {
    long long units = 0;
    if (Unicode()) {
        char16_t offset = descriptor_->IsSymbolFont() ? descriptor_->SymbolOffset() : u'\0';
        for (char16_t ch : text)
            units += descriptor_->GlyphIndexToPdfWidth(descriptor_->CharCodeToGlyphIndex(static_cast<char16_t>(ch + offset)));
    } else {
        // Every word is measured: the letters the code page holds as they
        // are need no converted copy, and the rest starts a character of
        // its own, so its bytes are the same alone as in the whole text.
        const auto &widths = descriptor_->Widths();
        std::size_t i = 0;
        for (; i < text.size() && ZavorPlatform::IsWindows1252AsIs(text[i]); ++i) units += widths[text[i]];
        if (i < text.size())
            for (unsigned char byte : ZavorPlatform::UnicodeToWindows1252(text.substr(i))) units += widths[byte];
    }
    return WidthOfUnits(units);
}

}  // namespace ZavorPdf::Drawing
