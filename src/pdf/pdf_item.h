// Root of the object model: every value that can appear in a PDF file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace ZavorPdf::Pdf {

namespace IO {
class PdfWriter;
}

class PdfItem {
public:
    virtual ~PdfItem() = default;

    // A copy that the caller owns. Containers copy their direct elements;
    // indirect objects are shared through their references, never copied.
    virtual std::unique_ptr<PdfItem> Clone() const = 0;

    virtual void WriteObject(IO::PdfWriter &writer) const = 0;

    // The value in PDF syntax as far as it can be told without a writer;
    // used in messages.
    virtual std::string ToString() const = 0;

    // Kind checks without a dynamic_cast: every store and every write asks
    // them, often enough to show in the time of a large save.
    bool IsReference() const { return kind_ == Kind::Reference; }
    // Any value that can be an indirect object, containers included.
    bool IsObject() const { return kind_ >= Kind::Object; }
    bool IsDictionary() const { return kind_ == Kind::Dictionary; }
    bool IsArray() const { return kind_ == Kind::Array; }
    bool IsContainer() const { return kind_ >= Kind::Dictionary; }

protected:
    enum class Kind : std::uint8_t { Simple, Reference, Object, Dictionary, Array };

    PdfItem() = default;
    explicit PdfItem(Kind kind) : kind_(kind) {}
    PdfItem(const PdfItem &) = default;
    PdfItem &operator=(const PdfItem &) = default;

private:
    Kind kind_ = Kind::Simple;
};

}  // namespace ZavorPdf::Pdf
