#pragma once

#include "pdf/pdf_item.h"

namespace ZavorPdf::Pdf {

class PdfBoolean final : public PdfItem {
public:
    explicit PdfBoolean(bool value = false) : value_(value) {}
    bool Value() const { return value_; }

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfBoolean>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return value_ ? "true" : "false"; }

private:
    bool value_;
};

}  // namespace ZavorPdf::Pdf
