// The "/ToUnicode" CMap of a composite font: from the glyph indices that
// its text is written in back to the characters, for text extraction.
#pragma once

#include <string>

#include "drawing/fonts/cmap_info.h"
#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf::Advanced {

class PdfToUnicodeMap : public PdfDictionary {
public:
    // `cmapInfo` is not owned; it belongs to the font that owns this map.
    PdfToUnicodeMap(PdfDocument *document, const CMapInfo &cmapInfo)
        : PdfDictionary(document), cmapInfo_(&cmapInfo) {}

    // The CMap text of the characters recorded so far.
    std::string BuildText() const;
    // Stores BuildText() as the stream, Flate-compressed when `compress`.
    void PrepareForSave(bool compress);

private:
    const CMapInfo *cmapInfo_;  // non-owning
};

}  // namespace ZavorPdf::Pdf::Advanced
