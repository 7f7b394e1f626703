// A link area on a page: to a page of the same document, to a web address,
// or launching a file. Links have no visible border.
#pragma once

#include <string>

#include "pdf/pdf_annotation.h"

namespace ZavorPdf::Pdf {

enum class PdfLinkType { Document = 0, Web = 1, File = 2 };

class PdfLinkAnnotation final : public PdfAnnotation {
public:
    explicit PdfLinkAnnotation(PdfDocument *document = nullptr);
    explicit PdfLinkAnnotation(PdfDictionary &&dictionary) : PdfAnnotation(std::move(dictionary)) {}
    PdfLinkAnnotation(const PdfLinkAnnotation &other) = default;

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfLinkAnnotation>(*this); }

    // The destination page is 1-based; when written it is brought into the
    // range of the document's pages.
    static std::unique_ptr<PdfLinkAnnotation> CreateDocumentLink(const PdfRectangle &rectangle,
                                                                 int destinationPage);
    static std::unique_ptr<PdfLinkAnnotation> CreateWebLink(const PdfRectangle &rectangle, std::u16string url);
    static std::unique_ptr<PdfLinkAnnotation> CreateFileLink(const PdfRectangle &rectangle,
                                                             std::u16string fileName);

    PdfLinkType LinkType() const { return linkType_; }
    int DestinationPage() const { return destinationPage_; }
    const std::u16string &Url() const { return url_; }

    // Adds the borderless look, the destination or the action, then writes
    // the dictionary.
    void WriteObject(IO::PdfWriter &writer) const override;

private:
    std::string ActionLiteral(IO::PdfWriter &writer) const;

    PdfLinkType linkType_ = PdfLinkType::Document;
    int destinationPage_ = 0;
    std::u16string url_;
};

}  // namespace ZavorPdf::Pdf
