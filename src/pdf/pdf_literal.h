// Text that already is PDF syntax (an operand such as "[1 0 0 1 0 0]") and
// is written unchanged.
#pragma once

#include <string>

#include "pdf/pdf_item.h"

namespace ZavorPdf::Pdf {

class PdfLiteral final : public PdfItem {
public:
    explicit PdfLiteral(std::string value) : value_(std::move(value)) {}
    const std::string &Value() const { return value_; }

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfLiteral>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return value_; }

private:
    std::string value_;
};

}  // namespace ZavorPdf::Pdf
