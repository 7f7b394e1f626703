// Text strings of outlines and annotations: the byte form the file format
// prefers where it can hold the text, UTF-16 where it cannot, so that no
// character is lost.
#pragma once

#include <string>

#include "pdf/pdf_string.h"

namespace ZavorPdf::Pdf::Internal {

// PDFDocEncoding when every character exists in code page 1252.
PdfString DocEncodedTextString(std::u16string text);
// One byte per character when every character is Latin-1 outside the C1
// controls (where raw bytes and PDFDocEncoding agree).
PdfString RawTextString(std::u16string text);

}  // namespace ZavorPdf::Pdf::Internal
