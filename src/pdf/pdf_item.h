// Root of the object model: every value that can appear in a PDF file.
#pragma once

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

protected:
    PdfItem() = default;
    PdfItem(const PdfItem &) = default;
    PdfItem &operator=(const PdfItem &) = default;
};

}  // namespace ZavorPdf::Pdf
