// A simple TrueType font in WinAnsi encoding: one byte per character.
#pragma once

#include "drawing/fonts/pdf_font.h"

namespace ZavorPdf::Pdf::Advanced {

class PdfTrueTypeFont : public PdfFont {
public:
    // Registers its font descriptor in the document right away; the font
    // itself is made indirect by the font table.
    PdfTrueTypeFont(PdfDocument *document, const Drawing::XFont &font);

    // Widths always; the subset font program with embedding Always or
    // Automatic.
    void PrepareForSave() override;

private:
    void WriteWidths();
};

}  // namespace ZavorPdf::Pdf::Advanced
