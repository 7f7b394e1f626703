#include "drawing/fonts/open_type_descriptor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/code_page.h"

namespace ZavorPdf::Fonts::OpenType {

OpenTypeDescriptor::OpenTypeDescriptor(std::string fontName, const FontData &data)
    : fontName_(std::move(fontName)), data_(&data) {
    InitializeMetrics();
    InitializeWidths();
}

void OpenTypeDescriptor::InitializeMetrics() {
    const FontHeaderTable &head = data_->Head();
    const HorizontalHeaderTable &hhea = data_->Hhea();
    const std::optional<OS2Table> &os2 = data_->OS2();
    unitsPerEm_ = head.unitsPerEm;
    xMin_ = head.xMin;
    yMin_ = head.yMin;
    xMax_ = head.xMax;
    yMax_ = head.yMax;
    if (const auto &post = data_->Post()) {
        italicAngle_ = post->italicAngle;
        underlinePosition_ = post->underlinePosition;
        underlineThickness_ = post->underlineThickness;
    }
    ascender_ = hhea.ascender;
    descender_ = hhea.descender;
    leading_ = hhea.lineGap;
    capHeight_ = hhea.ascender;
    if (os2) {
        strikeoutPosition_ = os2->yStrikeoutPosition;
        strikeoutSize_ = os2->yStrikeoutSize;
        symbolOffset_ = static_cast<char16_t>(os2->usFirstCharIndex & 0xFF00);
        if (os2->sTypoAscender != 0) ascender_ = os2->usWinAscent;
        if (os2->sTypoDescender != 0) descender_ = hhea.descender < 0 ? -os2->usWinDescent : os2->usWinDescent;
        if (os2->version >= 2 && os2->sCapHeight != 0) capHeight_ = os2->sCapHeight;
    }
    xHeight_ = os2 && os2->version >= 2 && os2->sxHeight != 0 ? os2->sxHeight
                                                                : static_cast<int>(std::floor(0.66 * ascender_));
    cellAscent_ = os2 ? os2->usWinAscent : hhea.ascender;
    cellDescent_ = os2 ? os2->usWinDescent : std::abs(hhea.descender);
    int cell = cellAscent_ + cellDescent_;
    int extraGap = hhea.lineGap - (cell - (hhea.ascender - hhea.descender));
    lineSpacing_ = cell + std::max(0, extraGap);
}

void OpenTypeDescriptor::InitializeWidths() {
    for (int code = 0; code < 256; ++code) {
        char16_t ch;
        if (IsSymbolFont()) {
            ch = static_cast<char16_t>(code + symbolOffset_);
        } else {
            char byte = static_cast<char>(code);
            ch = ZavorPlatform::Windows1252ToUnicode(std::string_view(&byte, 1))[0];
        }
        widths_[code] = GlyphIndexToPdfWidth(CharCodeToGlyphIndex(ch));
    }
}

int OpenTypeDescriptor::CharCodeToGlyphIndex(char16_t ch) const {
    int glyph = data_->Cmap().cmap4.GlyphIndex(ch);
    // A map pointing past the font's glyphs is damage; show the missing glyph.
    return glyph < data_->GlyphCount() ? glyph : 0;
}

int OpenTypeDescriptor::GlyphIndexToPdfWidth(int glyph) const {
    const auto &metrics = data_->Hmtx();
    glyph = std::clamp(glyph, 0, static_cast<int>(metrics.size()) - 1);
    int advance = metrics[static_cast<std::size_t>(glyph)].advanceWidth;
    return unitsPerEm_ == 1000 ? advance : advance * 1000 / unitsPerEm_;
}

int OpenTypeDescriptor::DesignUnitsToPdf(double value) const {
    return static_cast<int>(std::lround(value * 1000 / unitsPerEm_));
}

}  // namespace ZavorPdf::Fonts::OpenType
