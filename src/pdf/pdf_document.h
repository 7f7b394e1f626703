// A PDF document: the owner of the reference table and the target of every
// object's Owner().
#pragma once

#include <memory>

#include "pdf/pdf_reference_table.h"

namespace ZavorPdf::Pdf {

class PdfDocument {
public:
    PdfDocument();
    PdfDocument(const PdfDocument &) = delete;
    PdfDocument &operator=(const PdfDocument &) = delete;
    ~PdfDocument();

    PdfReferenceTable &ReferenceTable() { return *referenceTable_; }
    const PdfReferenceTable &ReferenceTable() const { return *referenceTable_; }

    // The PDF version times ten (14 for PDF 1.4).
    int Version() const { return version_; }
    void SetVersion(int version) { version_ = version; }

private:
    std::unique_ptr<PdfReferenceTable> referenceTable_;
    int version_ = 14;
};

}  // namespace ZavorPdf::Pdf
