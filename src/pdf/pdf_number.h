// The direct numbers of PDF syntax.
#pragma once

#include <cstdint>

#include "pdf/pdf_item.h"

namespace ZavorPdf::Pdf {

class PdfNumber : public PdfItem {
public:
    // Every number widens to a double without loss.
    virtual double AsDouble() const = 0;

protected:
    PdfNumber() = default;
};

class PdfInteger final : public PdfNumber {
public:
    explicit PdfInteger(std::int32_t value = 0) : value_(value) {}
    std::int32_t Value() const { return value_; }
    double AsDouble() const override { return value_; }

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfInteger>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return std::to_string(value_); }

private:
    std::int32_t value_;
};

class PdfUInteger final : public PdfNumber {
public:
    explicit PdfUInteger(std::uint32_t value = 0) : value_(value) {}
    std::uint32_t Value() const { return value_; }
    double AsDouble() const override { return value_; }

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfUInteger>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return std::to_string(value_); }

private:
    std::uint32_t value_;
};

class PdfReal final : public PdfNumber {
public:
    explicit PdfReal(double value = 0) : value_(value) {}
    double Value() const { return value_; }
    double AsDouble() const override { return value_; }

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfReal>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override;

private:
    double value_;
};

}  // namespace ZavorPdf::Pdf
