// The values of one font face that PDF font objects and text layout need,
// in design units unless a name says otherwise. Shared process-wide through
// FontDescriptorStock; immutable once built.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "drawing/fonts/font_data.h"

namespace ZavorPdf::Fonts::OpenType {

class OpenTypeDescriptor {
public:
    // `data` is not owned and must outlive the descriptor (FontDataStock
    // keeps font data for the process).
    OpenTypeDescriptor(std::string fontName, const FontData &data);

    const FontData &Data() const { return *data_; }
    const std::string &FontName() const { return fontName_; }
    bool IsSymbolFont() const { return data_->IsSymbolFont(); }
    // What symbol fonts add to a character code before the lookup.
    char16_t SymbolOffset() const { return symbolOffset_; }

    double ItalicAngle() const { return italicAngle_; }
    int XMin() const { return xMin_; }
    int YMin() const { return yMin_; }
    int XMax() const { return xMax_; }
    int YMax() const { return yMax_; }
    int UnderlinePosition() const { return underlinePosition_; }
    int UnderlineThickness() const { return underlineThickness_; }
    int StrikeoutPosition() const { return strikeoutPosition_; }
    int StrikeoutSize() const { return strikeoutSize_; }
    int StemV() const { return 0; }
    int UnitsPerEm() const { return unitsPerEm_; }
    int Ascender() const { return ascender_; }
    int Descender() const { return descender_; }
    int Leading() const { return leading_; }
    int CapHeight() const { return capHeight_; }
    int XHeight() const { return xHeight_; }
    // PDF widths (1/1000 em) of the WinAnsi codes 0-255.
    const std::array<int, 256> &Widths() const { return widths_; }

    // Cell metrics as the platform's text services report them: ascent and
    // descent of the Windows metrics, and a line spacing that adds the part
    // of the line gap not already inside them.
    int CellAscent() const { return cellAscent_; }
    int CellDescent() const { return cellDescent_; }
    int LineSpacing() const { return lineSpacing_; }

    // Through the format-4 map; 0 (the missing glyph) when the map lacks it.
    int CharCodeToGlyphIndex(char16_t ch) const;
    // The width in 1/1000 em; indices past the metrics take the last one.
    int GlyphIndexToPdfWidth(int glyph) const;
    int DesignUnitsToPdf(double value) const;

private:
    void InitializeMetrics();
    void InitializeWidths();

    std::string fontName_;
    const FontData *data_;  // non-owning, process lifetime
    char16_t symbolOffset_ = 0;
    double italicAngle_ = 0;
    int xMin_ = 0, yMin_ = 0, xMax_ = 0, yMax_ = 0;
    int underlinePosition_ = 0, underlineThickness_ = 0;
    int strikeoutPosition_ = 0, strikeoutSize_ = 0;
    int unitsPerEm_ = 0, ascender_ = 0, descender_ = 0, leading_ = 0;
    int capHeight_ = 0, xHeight_ = 0;
    int cellAscent_ = 0, cellDescent_ = 0, lineSpacing_ = 0;
    std::array<int, 256> widths_{};
};

}  // namespace ZavorPdf::Fonts::OpenType
