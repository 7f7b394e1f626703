// Turns the object model into the bytes of a classic PDF file. The writer
// keeps the category of the last byte so that tokens get a separating blank
// only where PDF needs one.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/pdf_object_id.h"

namespace ZavorPdf::Pdf {
class PdfBoolean;
class PdfDictionary;
class PdfDocument;
class PdfInteger;
class PdfLiteral;
class PdfName;
class PdfObject;
class PdfReal;
class PdfRectangle;
class PdfReference;
class PdfString;
class PdfUInteger;
}  // namespace ZavorPdf::Pdf

namespace ZavorPdf::Pdf::IO {

class PdfSecurityHook;

enum class PdfWriterLayout { Compact = 0, Standard = 1, Indented = 2, Verbose = 3 };
enum class PdfWriterOptions { Regular = 0, OmitStream = 1, OmitInflation = 2 };
enum class CharCat { NewLine = 0, Character = 1, Delimiter = 2 };
enum class StreamOutput { Write, Omit };

// Where the bytes go; the writer counts them itself.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Write(const std::uint8_t *data, std::size_t size) = 0;
    virtual void Flush() {}
};

// One cross-reference entry: byte position and generation of an object.
struct XrefEntry {
    std::int32_t position = 0;
    std::uint16_t generation = 0;
};

class PdfWriter {
public:
    // Appends to the vector, which must outlive the writer.
    explicit PdfWriter(std::vector<std::uint8_t> &sink, PdfSecurityHook *security = nullptr);
    // Writes to the stream, which must outlive the writer; write errors
    // are raised as ZavorPdfException.
    explicit PdfWriter(std::ostream &sink, PdfSecurityHook *security = nullptr);
    // Writes to a sink of the caller's making (a file written as the
    // document goes, rather than kept whole in memory).
    explicit PdfWriter(std::unique_ptr<ByteSink> sink, PdfSecurityHook *security = nullptr);
    PdfWriter(const PdfWriter &) = delete;
    PdfWriter &operator=(const PdfWriter &) = delete;
    ~PdfWriter();

    PdfWriterLayout Layout() const { return PdfWriterLayout::Compact; }
    PdfWriterOptions Options() const { return PdfWriterOptions::Regular; }
    // Non-owning; null when nothing is encrypted.
    PdfSecurityHook *SecurityHandler() const { return security_; }
    void SetSecurityHandler(PdfSecurityHook *security) { security_ = security; }

    // Bytes written so far.
    std::int32_t Position() const { return static_cast<std::int32_t>(position_); }
    CharCat LastCategory() const { return lastCat_; }

    void Write(bool value);
    void Write(std::int32_t value);
    void Write(std::uint32_t value);
    void Write(double value);
    void Write(const PdfBoolean &value);
    void Write(const PdfInteger &value);
    void Write(const PdfUInteger &value);
    void Write(const PdfReal &value);
    void Write(const PdfName &name);
    // A dictionary key or any name given as text with its leading "/".
    void WriteName(std::string_view name);
    void Write(const PdfString &value);
    void Write(const PdfLiteral &literal);
    void Write(const PdfRectangle &rectangle);
    void Write(const PdfReference &reference);
    void Write(const std::vector<std::uint8_t> &bytes);

    // The text in PDFDocEncoding as a literal string.
    void WriteDocString(std::u16string_view text);
    // With unicode: a UTF-16 hex string after "<FEFF".
    void WriteDocString(std::u16string_view text, bool unicode);
    void WriteDocStringHex(std::u16string_view text);

    // Bytes unchanged (one byte per char); empty input writes nothing.
    void WriteRaw(std::string_view text);
    void WriteRaw(char c);
    // A line feed unless the last byte already was one.
    void NewLine();

    // Frames of objects; see the dictionary and array WriteObject.
    void WriteBeginObject(const PdfObject &object);
    void WriteEndObject();
    void WriteStream(const PdfDictionary &dictionary, StreamOutput output = StreamOutput::Write);

    // "%PDF-1.4" and the binary comment line.
    void WriteFileHeader(const PdfDocument &document);
    void WriteFileHeader(int version);
    // "xref", the subsection "0 n+1", the free head entry and one 20-byte
    // entry per object, in object number order.
    void WriteXrefTable(const std::vector<XrefEntry> &entries);
    // "trailer" and the trailer dictionary, never encrypted.
    void WriteTrailer(const PdfDictionary &trailer);
    // "startxref", the position of "xref" and "%%EOF".
    void WriteEof(std::int32_t startxref);

    void Flush();

private:
    struct OpenObject {
        const PdfObject *object;
        bool isIndirect;
        bool isArray;
        bool hasStream = false;
    };

    void WriteSeparator(CharCat category);
    void WriteBytes(const std::uint8_t *data, std::size_t size);
    void WriteString(std::string_view text, CharCat lastCategory);
    void WriteNumberText(std::string_view text);
    static CharCat CategoryOf(std::uint8_t byte);

    std::unique_ptr<ByteSink> sink_;
    std::uint64_t position_ = 0;
    CharCat lastCat_ = CharCat::NewLine;
    std::vector<OpenObject> stack_;
    PdfSecurityHook *security_;  // non-owning
};

}  // namespace ZavorPdf::Pdf::IO
