#include "pdf/pdf_text_string.h"

#include <algorithm>

#include "platform/code_page.h"

namespace ZavorPdf::Pdf::Internal {

PdfString DocEncodedTextString(std::u16string text) {
    bool fits = std::all_of(text.begin(), text.end(), [](char16_t c) {
        unsigned char byte = 0;
        return c < 0xD800 || c > 0xDFFF ? ZavorPlatform::TryUnicodeToWindows1252(c, byte) : false;
    });
    return PdfString(std::move(text), fits ? PdfStringEncoding::PDFDocEncoding : PdfStringEncoding::Unicode);
}

PdfString RawTextString(std::u16string text) {
    bool fits = std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80 || (c >= 0xA0 && c <= 0xFF); });
    return PdfString(std::move(text), fits ? PdfStringEncoding::RawEncoding : PdfStringEncoding::Unicode);
}

}  // namespace ZavorPdf::Pdf::Internal
