// A PDF string: UTF-16 text plus the flags that choose how it turns into
// bytes when written (encoding, literal or hex form).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pdf/pdf_item.h"

namespace ZavorPdf::Pdf {

enum class PdfStringEncoding : std::uint8_t {
    RawEncoding = 0,
    StandardEncoding = 1,
    PDFDocEncoding = 2,
    WinAnsiEncoding = 3,
    MacRomanEncoding = 4,
    MacExpertEncoding = 5,
    Unicode = 6,
};

enum class PdfStringFlags : std::uint8_t {
    RawEncoding = 0,
    StandardEncoding = 1,
    PDFDocEncoding = 2,
    WinAnsiEncoding = 3,
    MacRomanEncoding = 4,
    MacExpertEncoding = 5,
    Unicode = 6,
    EncodingMask = 15,
    HexLiteral = 128,
};

constexpr PdfStringFlags operator|(PdfStringFlags a, PdfStringFlags b) {
    return static_cast<PdfStringFlags>(static_cast<std::uint8_t>(a) | static_cast<std::uint8_t>(b));
}
constexpr PdfStringFlags operator&(PdfStringFlags a, PdfStringFlags b) {
    return static_cast<PdfStringFlags>(static_cast<std::uint8_t>(a) & static_cast<std::uint8_t>(b));
}
constexpr PdfStringFlags ToFlags(PdfStringEncoding encoding) {
    return static_cast<PdfStringFlags>(static_cast<std::uint8_t>(encoding));
}

// The text of an encoding in messages ("MacRomanEncoding").
const char *EncodingName(PdfStringEncoding encoding);

class PdfString final : public PdfItem {
public:
    PdfString() = default;
    // Raw encoding: each code unit is one byte.
    explicit PdfString(std::u16string value) : value_(std::move(value)) {}
    PdfString(std::u16string value, PdfStringEncoding encoding)
        : value_(std::move(value)), flags_(ToFlags(encoding)) {}
    PdfString(std::u16string value, PdfStringFlags flags) : value_(std::move(value)), flags_(flags) {}

    // A raw byte string (one code unit per byte), as strings read from a
    // file or binary keys are held.
    static PdfString FromBytes(const std::vector<std::uint8_t> &bytes,
                               PdfStringFlags flags = PdfStringFlags::RawEncoding);

    const std::u16string &Value() const { return value_; }
    PdfStringFlags Flags() const { return flags_; }
    PdfStringEncoding Encoding() const {
        return static_cast<PdfStringEncoding>(flags_ & PdfStringFlags::EncodingMask);
    }
    bool IsHexLiteral() const { return (flags_ & PdfStringFlags::HexLiteral) == PdfStringFlags::HexLiteral; }

    // The bytes that the flags' encoding makes of the text. Standard,
    // MacRoman and MacExpert encodings are not implemented and fail naming
    // the encoding.
    std::vector<std::uint8_t> EncodedBytes() const;

    // Maps each code unit of a string read from a file (one unit per byte)
    // from PDFDocEncoding to Unicode.
    static std::u16string ToStringFromPdfDocEncoded(const std::u16string &text);

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfString>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    // The text in UTF-8 between parentheses, unescaped; for messages only.
    std::string ToString() const override;

private:
    std::u16string value_;
    PdfStringFlags flags_ = PdfStringFlags::RawEncoding;
};

}  // namespace ZavorPdf::Pdf
