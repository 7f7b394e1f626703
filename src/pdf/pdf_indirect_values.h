// The indirect twins of the simple values: a number, string, name, boolean
// or null that must live as an indirect object of its own (for example a
// stream length written after the stream).
#pragma once

#include <cstdint>
#include <string>

#include "pdf/pdf_object.h"
#include "pdf/pdf_string.h"

namespace ZavorPdf::Pdf {

class PdfBooleanObject final : public PdfObject {
public:
    explicit PdfBooleanObject(bool value = false, PdfDocument *document = nullptr)
        : PdfObject(document), value_(value) {}
    bool Value() const { return value_; }

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfBooleanObject>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return value_ ? "true" : "false"; }

private:
    bool value_;
};

class PdfNumberObject : public PdfObject {
public:
    virtual double AsDouble() const = 0;

protected:
    using PdfObject::PdfObject;
};

class PdfIntegerObject final : public PdfNumberObject {
public:
    explicit PdfIntegerObject(std::int32_t value = 0, PdfDocument *document = nullptr)
        : PdfNumberObject(document), value_(value) {}
    std::int32_t Value() const { return value_; }
    double AsDouble() const override { return value_; }

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfIntegerObject>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return std::to_string(value_); }

private:
    std::int32_t value_;
};

class PdfUIntegerObject final : public PdfNumberObject {
public:
    explicit PdfUIntegerObject(std::uint32_t value = 0, PdfDocument *document = nullptr)
        : PdfNumberObject(document), value_(value) {}
    std::uint32_t Value() const { return value_; }
    double AsDouble() const override { return value_; }

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfUIntegerObject>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return std::to_string(value_); }

private:
    std::uint32_t value_;
};

class PdfRealObject final : public PdfNumberObject {
public:
    explicit PdfRealObject(double value = 0, PdfDocument *document = nullptr)
        : PdfNumberObject(document), value_(value) {}
    double Value() const { return value_; }
    double AsDouble() const override { return value_; }

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfRealObject>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override;

private:
    double value_;
};

class PdfStringObject final : public PdfObject {
public:
    explicit PdfStringObject(PdfString value = PdfString(), PdfDocument *document = nullptr)
        : PdfObject(document), value_(std::move(value)) {}
    const PdfString &Value() const { return value_; }

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfStringObject>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return value_.ToString(); }

private:
    PdfString value_;
};

class PdfNameObject final : public PdfObject {
public:
    // Fails like PdfName for a text without the leading "/".
    explicit PdfNameObject(std::string value, PdfDocument *document = nullptr);
    const std::string &Value() const { return value_; }

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfNameObject>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return value_; }

private:
    std::string value_;
};

class PdfNullObject final : public PdfObject {
public:
    explicit PdfNullObject(PdfDocument *document = nullptr) : PdfObject(document) {}

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfNullObject>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return "null"; }
};

}  // namespace ZavorPdf::Pdf
