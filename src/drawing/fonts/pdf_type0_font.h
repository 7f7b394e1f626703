// A composite font for Unicode text: strings hold two-byte glyph indices,
// the program is always embedded as a subset and a ToUnicode map restores
// the characters.
#pragma once

#include "drawing/fonts/pdf_cid_font.h"
#include "drawing/fonts/pdf_font.h"

namespace ZavorPdf::Pdf::Advanced {

class PdfType0Font : public PdfFont {
public:
    // Registers descriptor, descendant and ToUnicode map in the document.
    PdfType0Font(PdfDocument *document, const Drawing::XFont &font);

    PdfCIDFont &DescendantFont() const { return *descendantFont_; }
    void PrepareForSave() override;

private:
    PdfCIDFont *descendantFont_ = nullptr;  // non-owning, in the reference table
};

}  // namespace ZavorPdf::Pdf::Advanced
