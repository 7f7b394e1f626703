// A PDF name. The text keeps its leading "/" and holds one byte per
// character, as the name stands in the file before "#xx" escaping.
#pragma once

#include <string>
#include <string_view>

#include "pdf/pdf_item.h"

namespace ZavorPdf::Pdf {

class PdfName final : public PdfItem {
public:
    // Fails with "A PDF name must start with a slash (/)." for an empty
    // text or one without the leading "/".
    explicit PdfName(std::string value);

    const std::string &Value() const { return value_; }

    bool operator==(const PdfName &other) const { return value_ == other.value_; }
    bool operator==(std::string_view text) const { return value_ == text; }

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfName>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return value_; }

private:
    std::string value_;
};

}  // namespace ZavorPdf::Pdf
