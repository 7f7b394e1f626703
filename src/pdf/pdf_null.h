#pragma once

#include "pdf/pdf_item.h"

namespace ZavorPdf::Pdf {

class PdfNull final : public PdfItem {
public:
    PdfNull() = default;

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfNull>(); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return "null"; }
};

}  // namespace ZavorPdf::Pdf
