#include "pdf/pdf_text_string.h"

#include <algorithm>

#include "pdf/pdf_encodings.h"

namespace ZavorPdf::Pdf::Internal {

PdfString DocEncodedTextString(std::u16string text) {
    bool fits = PdfDocEncodingHolds(text);
    return PdfString(std::move(text), fits ? PdfStringEncoding::PDFDocEncoding : PdfStringEncoding::Unicode);
}

PdfString RawTextString(std::u16string text) {
    bool fits = std::all_of(text.begin(), text.end(), [](char16_t c) { return TryPdfDocByte(c) == c; });
    return PdfString(std::move(text), fits ? PdfStringEncoding::RawEncoding : PdfStringEncoding::Unicode);
}

std::u16string TextStringValue(const PdfString &value) {
    if (value.Encoding() != PdfStringEncoding::RawEncoding) return value.Value();
    // Bytes as read from a file. The reader takes only hex strings with the
    // byte order mark for UTF-16; other writers put it in literal strings.
    const std::u16string &bytes = value.Value();
    if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        Bytes units;
        for (std::size_t i = 2; i < bytes.size(); ++i) units.push_back(static_cast<std::uint8_t>(bytes[i]));
        return UnicodeEncoding().GetString(units);
    }
    return PdfString::ToStringFromPdfDocEncoded(bytes);
}

}  // namespace ZavorPdf::Pdf::Internal
