// A font request (family, em size in points, style) resolved against the
// installed fonts, with the metrics and widths that layout needs.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "drawing/fonts/open_type_descriptor.h"
#include "drawing/fonts/x_font_family.h"
#include "drawing/fonts/x_font_style.h"
#include "drawing/fonts/x_pdf_font_options.h"

namespace ZavorPdf::Drawing {

// In design units of the face.
struct XFontMetrics {
    int UnitsPerEm = 0;
    int Ascent = 0;
    int Descent = 0;
    int Leading = 0;
    int CapHeight = 0;
    int XHeight = 0;
    int UnderlinePosition = 0;
    int UnderlineThickness = 0;
    int StrikethroughPosition = 0;
    int StrikethroughThickness = 0;
    double ItalicAngle = 0;
};

class XFont {
public:
    // An em size that is not a positive number fails (argument "emSize");
    // a family without any installed file fails with "Cannot allocate
    // font data.".
    XFont(std::u16string familyName, double emSize, XFontStyle style = XFontStyle::Regular,
          XPdfFontOptions pdfOptions = {});
    XFont(const XFontFamily &family, double emSize, XFontStyle style, XPdfFontOptions pdfOptions = {});

    // The family of the face found, after any substitution.
    const std::u16string &Name() const { return name_; }
    // The family as requested.
    const std::u16string &RequestedFamilyName() const { return familyName_; }
    double Size() const { return emSize_; }
    XFontStyle Style() const { return style_; }
    bool Bold() const { return HasStyle(style_, XFontStyle::Bold); }
    bool Italic() const { return HasStyle(style_, XFontStyle::Italic); }
    bool Underline() const { return HasStyle(style_, XFontStyle::Underline); }
    bool Strikeout() const { return HasStyle(style_, XFontStyle::Strikeout); }
    bool IsVertical() const { return isVertical_; }
    void SetIsVertical(bool value) { isVertical_ = value; }
    const XPdfFontOptions &PdfOptions() const { return pdfOptions_; }
    bool Unicode() const { return pdfOptions_.FontEncoding() == Pdf::PdfFontEncoding::Unicode; }
    const XFontMetrics &Metrics() const { return metrics_; }
    XFontFamily FontFamily() const { return XFontFamily(name_); }
    // The bold/italic bits of the requested style that the face really has.
    XFontStyle AvailableStyle() const { return availableStyle_; }

    // Family metrics in design units.
    int UnitsPerEm() const { return descriptor_->UnitsPerEm(); }
    int CellSpace() const { return descriptor_->LineSpacing(); }
    int CellAscent() const { return descriptor_->CellAscent(); }
    int CellDescent() const { return descriptor_->CellDescent(); }
    // Line height in points.
    double GetHeight() const { return emSize_ * CellSpace() / UnitsPerEm(); }

    // Width in points of the text as it is written with this font: the
    // code page 1252 bytes with the WinAnsi widths, or the glyphs of the
    // characters for Unicode fonts.
    double MeasureWidth(std::u16string_view text) const;
    // The width in points of a sum of code-page widths (thousandths of the
    // em), exactly as MeasureWidth turns its sum into points.
    double WidthOfUnits(long long units) const { return static_cast<double>(units) * emSize_ / 1000; }
    // The widths by code-page byte, or null for a Unicode font, whose
    // widths go by glyph.
    const std::array<int, 256> *CodePageWidths() const { return Unicode() ? nullptr : &descriptor_->Widths(); }

    // The face's values; shared process-wide, never null.
    const Fonts::OpenType::OpenTypeDescriptor &Descriptor() const { return *descriptor_; }

private:
    void Initialize();

    std::u16string familyName_;
    std::u16string name_;
    double emSize_;
    XFontStyle style_;
    XFontStyle availableStyle_ = XFontStyle::Regular;
    bool isVertical_ = false;
    XPdfFontOptions pdfOptions_;
    XFontMetrics metrics_;
    const Fonts::OpenType::OpenTypeDescriptor *descriptor_ = nullptr;  // process lifetime
};

}  // namespace ZavorPdf::Drawing
