// Reading typed values out of items, shared by the array and dictionary
// accessors. Each accepts the direct value and its indirect twin, and fails
// with the getter's invalid-cast message otherwise.
#pragma once

#include <cstdint>
#include <string>

#include "pdf/dictionary_elements.h"
#include "pdf/pdf_rectangle.h"

namespace ZavorPdf::Pdf {
class PdfItem;
}

namespace ZavorPdf::Pdf::Internal {

// The value behind a reference, or the item itself; null for a reference
// without value.
PdfItem *Resolve(PdfItem *item);

// True for a missing item or PDF null, which read as the neutral value.
bool IsAbsent(const PdfItem *item);

bool ReadBoolean(const PdfItem &item);
std::int32_t ReadInteger(const PdfItem &item);
double ReadReal(const PdfItem &item);
std::u16string ReadString(const PdfItem &item);
std::string ReadName(const PdfItem &item);
// A PdfRectangle, or an array of exactly four numbers.
PdfRectangle ReadRectangle(const PdfItem &item);
PdfMatrix ReadMatrix(const PdfItem &item);

}  // namespace ZavorPdf::Pdf::Internal
