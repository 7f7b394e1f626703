// The CIDFontType2 descendant of a composite font; its CIDs are the glyph
// indices of the embedded font program.
#pragma once

#include <string>

#include "drawing/fonts/cmap_info.h"
#include "drawing/fonts/open_type_descriptor.h"
#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf::Advanced {

class PdfCIDFont : public PdfDictionary {
public:
    // Refers to the font descriptor that the composite font created.
    PdfCIDFont(PdfDocument *document, const std::string &baseFont, const PdfDictionary &fontDescriptor);

    // "[" then "g[w]" for each used glyph in ascending order, then "]".
    static std::string FormatWidths(const CMapInfo &cmapInfo, const Fonts::OpenType::OpenTypeDescriptor &descriptor);
    void WriteWidths(const CMapInfo &cmapInfo, const Fonts::OpenType::OpenTypeDescriptor &descriptor);
};

}  // namespace ZavorPdf::Pdf::Advanced
