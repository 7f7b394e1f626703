#include "pdf/pdf_document.h"

#include "pdf/pdf_object.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf {

PdfDocument::PdfDocument() : referenceTable_(std::make_unique<PdfReferenceTable>(this)) {}

PdfDocument::~PdfDocument() = default;

}  // namespace ZavorPdf::Pdf
