// A date as PDF stores it: "D:yyyyMMddHHmmss+hh'mm'", written as a
// PDFDocEncoding literal string.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "pdf/pdf_item.h"
#include "platform/local_time.h"

namespace ZavorPdf::Pdf {

using ZavorPlatform::LocalDateTime;

class PdfDate final : public PdfItem {
public:
    using TimeSource = LocalDateTime (*)();

    explicit PdfDate(const LocalDateTime &value) : value_(value) {}

    // The current local time, from the time source.
    static PdfDate Now();
    static LocalDateTime CurrentTime();
    // Replaces the clock (tests); nullptr restores the system clock.
    static void SetTimeSource(TimeSource source);

    const LocalDateTime &Value() const { return value_; }

    // "D:20240131120000+01'00'".
    static std::string Format(const LocalDateTime &value);
    // Reads the date forms found in files: "D:" optional, every field after
    // the year optional, offset "Z", "+hh'mm'", "+hh'mm", "+hhmm" or none.
    // Nothing for text that is not a date.
    static std::optional<LocalDateTime> Parse(std::string_view text);

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfDate>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return Format(value_); }

private:
    LocalDateTime value_;
};

}  // namespace ZavorPdf::Pdf
