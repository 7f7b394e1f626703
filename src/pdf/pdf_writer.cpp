#include "pdf/pdf_writer.h"

#include <algorithm>
#include <limits>

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_boolean.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_encoders.h"
#include "pdf/pdf_encodings.h"
#include "pdf/pdf_literal.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_number_format.h"
#include "pdf/pdf_rectangle.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_security_hook.h"
#include "pdf/pdf_string.h"

namespace ZavorPdf::Pdf::IO {
namespace {

class VectorSink final : public ByteSink {
public:
    explicit VectorSink(std::vector<std::uint8_t> &target) : target_(target) {}
    void Write(const std::uint8_t *data, std::size_t size) override { target_.insert(target_.end(), data, data + size); }

private:
    std::vector<std::uint8_t> &target_;
};

class StreamSink final : public ByteSink {
public:
    explicit StreamSink(std::ostream &target) : target_(target) {}
    void Write(const std::uint8_t *data, std::size_t size) override {
        target_.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
        if (!target_) throw ZavorPdfException("Cannot write to the output stream.");
    }
    void Flush() override {
        target_.flush();
        if (!target_) throw ZavorPdfException("Cannot write to the output stream.");
    }

private:
    std::ostream &target_;
};

using Internal::PdfEncoders;
using Internal::StringForm;
using Internal::UnicodePrefix;

}  // namespace

PdfWriter::PdfWriter(std::vector<std::uint8_t> &sink, PdfSecurityHook *security)
    : sink_(std::make_unique<VectorSink>(sink)), security_(security) {}

PdfWriter::PdfWriter(std::ostream &sink, PdfSecurityHook *security)
    : sink_(std::make_unique<StreamSink>(sink)), security_(security) {}

PdfWriter::PdfWriter(std::unique_ptr<ByteSink> sink, PdfSecurityHook *security)
    : sink_(std::move(sink)), security_(security) {
    if (sink_ == nullptr) throw ArgumentNullException("sink");
}

PdfWriter::~PdfWriter() = default;

void PdfWriter::Flush() { sink_->Flush(); }

CharCat PdfWriter::CategoryOf(std::uint8_t byte) {
    switch (byte) {
    case '\n': return CharCat::NewLine;
    case '%':
    case '(':
    case ')':
    case '/':
    case '<':
    case '>':
    case '[':
    case ']':
    case '{':
    case '}': return CharCat::Delimiter;
    default: return CharCat::Character;
    }
}

void PdfWriter::WriteBytes(const std::uint8_t *data, std::size_t size) {
    if (size == 0) return;
    if (position_ + size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
        throw ZavorPdfException("The file is too large.");
    sink_->Write(data, size);
    position_ += size;
    lastCat_ = CategoryOf(data[size - 1]);
}

void PdfWriter::WriteString(std::string_view text, CharCat lastCategory) {
    WriteBytes(reinterpret_cast<const std::uint8_t *>(text.data()), text.size());
    if (!text.empty()) lastCat_ = lastCategory;
}

// A blank only between two tokens that would otherwise run together.
void PdfWriter::WriteSeparator(CharCat category) {
    if (lastCat_ == CharCat::Character && category == CharCat::Character) WriteString(" ", CharCat::Character);
}

void PdfWriter::WriteNumberText(std::string_view text) {
    WriteSeparator(CharCat::Character);
    WriteString(text, CharCat::Character);
}

void PdfWriter::Write(bool value) { WriteNumberText(value ? "true" : "false"); }
void PdfWriter::Write(std::int32_t value) { WriteNumberText(FormatInteger(value)); }
void PdfWriter::Write(std::uint32_t value) { WriteNumberText(FormatInteger(value)); }
void PdfWriter::Write(double value) { WriteNumberText(FormatReal(value)); }
void PdfWriter::Write(const PdfBoolean &value) { Write(value.Value()); }
void PdfWriter::Write(const PdfInteger &value) { Write(value.Value()); }
void PdfWriter::Write(const PdfUInteger &value) { Write(value.Value()); }
void PdfWriter::Write(const PdfReal &value) { Write(value.Value()); }
void PdfWriter::Write(const PdfName &name) { WriteName(name.Value()); }

void PdfWriter::WriteName(std::string_view name) {
    WriteSeparator(CharCat::Delimiter);
    // Brackets and braces end a name as much as the other delimiters do;
    // left bare, "/a[b" would be read back as a name and an array.
    auto escape = [](unsigned char c) {
        return c <= 0x20 || c == '#' || c == '%' || c == '(' || c == ')' || c == '/' || c == '<' || c == '>' ||
               c == '[' || c == ']' || c == '{' || c == '}';
    };
    std::size_t start = name.starts_with('/') ? 1 : 0;
    // Dictionary keys come with their slash and rarely need escapes: they
    // go out as they are, without a copy.
    if (start == 1 && std::none_of(name.begin() + 1, name.end(),
                                   [&escape](char c) { return escape(static_cast<unsigned char>(c)); })) {
        WriteString(name, CharCat::Character);
        return;
    }
    std::string text = "/";
    static constexpr char Hex[] = "0123456789ABCDEF";
    for (std::size_t i = start; i < name.size(); ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        if (escape(c)) {
            text += '#';
            text += Hex[c >> 4];
            text += Hex[c & 0x0F];
        } else {
            text += static_cast<char>(c);
        }
    }
    WriteString(text, CharCat::Character);
}

void PdfWriter::Write(const PdfString &value) {
    WriteSeparator(CharCat::Delimiter);
    StringForm form = value.IsHexLiteral() ? StringForm::Hex : StringForm::Literal;
    if (value.Value().empty()) {
        WriteString(form == StringForm::Hex ? "<>" : "()", CharCat::Delimiter);
        return;
    }
    bool unicode = value.Encoding() == PdfStringEncoding::Unicode;
    std::string text = PdfEncoders::FormatStringLiteral(value.EncodedBytes(), unicode, UnicodePrefix::ByteOrderMark,
                                                        form, security_);
    WriteString(text, CharCat::Delimiter);
}

void PdfWriter::Write(const PdfLiteral &literal) {
    WriteSeparator(CharCat::Character);
    WriteString(literal.Value(), CharCat::Character);
}

void PdfWriter::Write(const PdfRectangle &rectangle) {
    WriteSeparator(CharCat::Delimiter);
    std::string text = "[";
    AppendReal(text, rectangle.X1());
    text += ' ';
    AppendReal(text, rectangle.Y1());
    text += ' ';
    AppendReal(text, rectangle.X2());
    text += ' ';
    AppendReal(text, rectangle.Y2());
    text += ']';
    WriteString(text, CharCat::Delimiter);
}

void PdfWriter::Write(const PdfReference &reference) {
    WriteNumberText(reference.ObjectID().ToString() + " R");
}

void PdfWriter::Write(const std::vector<std::uint8_t> &bytes) { WriteBytes(bytes.data(), bytes.size()); }

void PdfWriter::WriteDocString(std::u16string_view text) {
    WriteSeparator(CharCat::Delimiter);
    std::string literal = PdfEncoders::FormatStringLiteral(Internal::DocEncoding().GetBytes(text), false,
                                                           UnicodePrefix::None, StringForm::Literal, security_);
    WriteString(literal, CharCat::Delimiter);
}

void PdfWriter::WriteDocString(std::u16string_view text, bool unicode) {
    if (!unicode) return WriteDocString(text);
    WriteSeparator(CharCat::Delimiter);
    std::string hex = PdfEncoders::FormatStringLiteral(Internal::UnicodeEncoding().GetBytes(text), true,
                                                       UnicodePrefix::ByteOrderMark, StringForm::Hex, security_);
    WriteString(hex, CharCat::Delimiter);
}

void PdfWriter::WriteDocStringHex(std::u16string_view text) {
    WriteSeparator(CharCat::Delimiter);
    std::string hex = PdfEncoders::FormatStringLiteral(Internal::DocEncoding().GetBytes(text), false,
                                                       UnicodePrefix::None, StringForm::Hex, security_);
    WriteString(hex, CharCat::Delimiter);
}

void PdfWriter::WriteRaw(std::string_view text) {
    WriteBytes(reinterpret_cast<const std::uint8_t *>(text.data()), text.size());
}

void PdfWriter::WriteRaw(char c) { WriteRaw(std::string_view(&c, 1)); }

void PdfWriter::NewLine() {
    if (lastCat_ != CharCat::NewLine) WriteRaw('\n');
}

}  // namespace ZavorPdf::Pdf::IO
