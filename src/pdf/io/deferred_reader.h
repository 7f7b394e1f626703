// Objects of a file opened to be read only are parsed when first used, so
// that a page count reads the trailer, the catalog and the page tree, not
// every page's content. What a full read does to an object happens here to
// each one on its own: a stream's length recovered, strings and streams
// decrypted, an object stream's members read, damage marked.
#pragma once

#include <cstdint>
#include <memory>

#include "pdf/pdf_document.h"

namespace ZavorPdf::Pdf {
class PdfStandardSecurityHandler;
}

namespace ZavorPdf::Pdf::IO {

class Parser;

class DeferredReader final : public DeferredObjects {
public:
    // Loading one object may need another first (an object stream, the
    // parameters of its filter); deeper than this the object is damaged.
    static constexpr int MaxNesting = 32;

    // Marks every object that the table places in the file and that is not
    // read yet as deferred; the reader returned then reads them for the
    // document, which must own it. The handler, if any, is the document's
    // own "/Encrypt" dictionary.
    static std::unique_ptr<DeferredReader> Install(PdfDocument &document, std::unique_ptr<Parser> parser,
                                                   PdfStandardSecurityHandler *handler);

    DeferredReader(PdfDocument &document, std::unique_ptr<Parser> parser, PdfStandardSecurityHandler *handler);
    ~DeferredReader() override;

    void Load(PdfReference &reference) override;

private:
    void LoadPlaced(PdfReference &reference);
    void LoadStreamed(std::int32_t stream);

    PdfDocument &document_;  // non-owning, owns this
    std::unique_ptr<Parser> parser_;
    PdfStandardSecurityHandler *handler_;  // non-owning, may be null
    int nesting_ = 0;
};

}  // namespace ZavorPdf::Pdf::IO
