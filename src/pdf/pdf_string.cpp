#include "pdf/pdf_string.h"

#include "pdf/errors.h"
#include "pdf/pdf_encodings.h"
#include "pdf/pdf_writer.h"
#include "platform/code_page.h"

namespace ZavorPdf::Pdf {

const char *EncodingName(PdfStringEncoding encoding) {
    switch (encoding) {
    case PdfStringEncoding::RawEncoding: return "RawEncoding";
    case PdfStringEncoding::StandardEncoding: return "StandardEncoding";
    case PdfStringEncoding::PDFDocEncoding: return "PDFDocEncoding";
    case PdfStringEncoding::WinAnsiEncoding: return "WinAnsiEncoding";
    case PdfStringEncoding::MacRomanEncoding: return "MacRomanEncoding";
    case PdfStringEncoding::MacExpertEncoding: return "MacExpertEncoding";
    case PdfStringEncoding::Unicode: return "Unicode";
    }
    return "Unknown";
}

PdfString PdfString::FromBytes(const std::vector<std::uint8_t> &bytes, PdfStringFlags flags) {
    return PdfString(Internal::RawEncoding().GetString(bytes), flags);
}

std::vector<std::uint8_t> PdfString::EncodedBytes() const {
    switch (Encoding()) {
    case PdfStringEncoding::RawEncoding: return Internal::RawEncoding().GetBytes(value_);
    case PdfStringEncoding::PDFDocEncoding: return Internal::DocEncoding().GetBytes(value_);
    case PdfStringEncoding::WinAnsiEncoding: return Internal::WinAnsiEncoding().GetBytes(value_);
    case PdfStringEncoding::Unicode: return Internal::UnicodeEncoding().GetBytes(value_);
    default: break;
    }
    throw NotImplementedException(std::string("Encoding ") + EncodingName(Encoding()) + " is not implemented.");
}

std::u16string PdfString::ToStringFromPdfDocEncoded(const std::u16string &text) {
    std::u16string result(text);
    for (char16_t &c : result)
        if (c < 0x100) c = Internal::PdfDocEncodingToUnicode(static_cast<std::uint8_t>(c));
    return result;
}

void PdfString::WriteObject(IO::PdfWriter &writer) const { writer.Write(*this); }

std::string PdfString::ToString() const { return "(" + ZavorPlatform::Utf16ToUtf8(value_) + ")"; }

}  // namespace ZavorPdf::Pdf
