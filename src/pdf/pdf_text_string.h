// Text strings of the information dictionary, outlines and annotations: the
// byte form the file format prefers where it can hold the text, UTF-16
// where it cannot, so that no character is lost; and the way back.
#pragma once

#include <string>

#include "pdf/pdf_string.h"

namespace ZavorPdf::Pdf::Internal {

// PDFDocEncoding when it holds every character, else UTF-16 (written with
// its byte order mark).
PdfString DocEncodedTextString(std::u16string text);
// One byte per character when every character is one that PDFDocEncoding
// holds under its Latin-1 code (where raw bytes and PDFDocEncoding agree).
PdfString RawTextString(std::u16string text);

// The text of a text string: UTF-16 when it was written so (with the byte
// order mark in a hex or a literal string), else its bytes decoded as
// PDFDocEncoding. A string made in memory is already text.
std::u16string TextStringValue(const PdfString &value);

}  // namespace ZavorPdf::Pdf::Internal
