#include "pdf/pdf_link_annotation.h"

#include <algorithm>

#include "pdf/pdf_document.h"
#include "pdf/pdf_encoders.h"
#include "pdf/pdf_literal.h"
#include "pdf/pdf_number_format.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_security_hook.h"
#include "pdf/pdf_writer.h"
#include "platform/code_page.h"

namespace ZavorPdf::Pdf {

PdfLinkAnnotation::PdfLinkAnnotation(PdfDocument *document) : PdfAnnotation(document) {
    Elements().SetName(Keys::Subtype, "/Link");
}

std::unique_ptr<PdfLinkAnnotation> PdfLinkAnnotation::CreateDocumentLink(const PdfRectangle &rectangle,
                                                                         int destinationPage) {
    auto link = std::make_unique<PdfLinkAnnotation>();
    link->SetRectangle(rectangle);
    link->linkType_ = PdfLinkType::Document;
    link->destinationPage_ = destinationPage;
    return link;
}

std::unique_ptr<PdfLinkAnnotation> PdfLinkAnnotation::CreateWebLink(const PdfRectangle &rectangle,
                                                                    std::u16string url) {
    auto link = std::make_unique<PdfLinkAnnotation>();
    link->SetRectangle(rectangle);
    link->linkType_ = PdfLinkType::Web;
    link->url_ = std::move(url);
    return link;
}

std::unique_ptr<PdfLinkAnnotation> PdfLinkAnnotation::CreateFileLink(const PdfRectangle &rectangle,
                                                                     std::u16string fileName) {
    auto link = std::make_unique<PdfLinkAnnotation>();
    link->SetRectangle(rectangle);
    link->linkType_ = PdfLinkType::File;
    link->url_ = std::move(fileName);
    return link;
}

// The address as a literal string in code page 1252, encrypted with this
// object's key when the file is.
std::string PdfLinkAnnotation::ActionLiteral(IO::PdfWriter &writer) const {
    std::string text = ZavorPlatform::UnicodeToWindows1252(url_);
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    IO::PdfSecurityHook *security = writer.SecurityHandler();
    if (security != nullptr && IsIndirect()) security->SetHashKey(ObjectID());
    std::string literal = Internal::PdfEncoders::FormatStringLiteral(
        bytes, false, Internal::UnicodePrefix::None, Internal::StringForm::Literal, security);
    if (linkType_ == PdfLinkType::Web) return "<</S/URI/URI" + literal + ">>";
    return "<</Type/Action/S/Launch/F<</Type/Filespec/F" + literal + ">> >>";
}

void PdfLinkAnnotation::WriteObject(IO::PdfWriter &writer) const {
    // Writing completes the dictionary, as pages do with their group.
    auto &self = const_cast<PdfLinkAnnotation &>(*this);
    DictionaryElements &elements = self.Elements();
    if (!elements.ContainsKey(Keys::BS))
        elements.SetValue(Keys::BS, std::make_unique<PdfLiteral>("<</Type/Border/W 0>>"));
    if (!elements.ContainsKey(Keys::Border))
        elements.SetValue(Keys::Border, std::make_unique<PdfLiteral>("[0 0 0]"));
    PdfDocument *document = Owner();
    if (linkType_ == PdfLinkType::Document) {
        int count = document != nullptr ? document->PageCount() : 0;
        if (count > 0) {
            // Page numbers below 1 go to the first page, like those past the
            // end go to the last.
            int number = std::clamp(destinationPage_, 1, count);
            const PdfPage &page = document->Pages()[number - 1];
            elements.SetValue(Keys::Dest, std::make_unique<PdfLiteral>(
                                              "[" + FormatInteger(page.ObjectNumber()) + " 0 R/XYZ null null 0]"));
        }
    } else {
        elements.SetValue(Keys::A, std::make_unique<PdfLiteral>(ActionLiteral(writer)));
    }
    PdfDictionary::WriteObject(writer);
}

}  // namespace ZavorPdf::Pdf
