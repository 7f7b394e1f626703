// A page of another PDF file copied into a document as a form XObject, so
// that it can be placed on pages like a picture.
#pragma once

#include <string>

#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf {
class PdfContent;
class PdfImportedObjectTable;
class PdfPage;
class PdfRectangle;
}  // namespace ZavorPdf::Pdf

namespace ZavorPdf::Pdf::Advanced {

class PdfFormXObject : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Type = "/Type";
        static constexpr const char *Subtype = "/Subtype";
        static constexpr const char *BBox = "/BBox";
        static constexpr const char *Matrix = "/Matrix";
        static constexpr const char *Resources = "/Resources";
        static constexpr const char *Filter = "/Filter";
        static constexpr const char *Length = "/Length";
    };

    explicit PdfFormXObject(PdfDocument *document);
    PdfFormXObject(const PdfFormXObject &other) : PdfDictionary(other) {}

    // Builds the form of page `pageNumber` (from 1) of the table's external
    // document and files it in the table's owner. Resources shared by
    // several pages of the same file are copied once, through the table.
    // A page number outside the document fails with an ArgumentException
    // that names the page number, the page count and `displayPath`.
    static PdfFormXObject &FromExternalPage(PdfImportedObjectTable &table, int pageNumber,
                                            const std::string &displayPath);

    // The matrix that turns a page's content upright inside the form and
    // brings the lower-left corner of what is shown to the origin; the
    // identity for an upright page whose box starts at the origin.
    static PdfMatrix UprightMatrix(const PdfRectangle &mediaBox, int rotate);

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfFormXObject>(*this); }
    // Compressed as the document compresses its page content.
    void WriteObject(IO::PdfWriter &writer) const override;

private:
    void CopyResources(PdfImportedObjectTable &table, PdfPage &page);
    void TakeContent(const PdfContent &content);
};

}  // namespace ZavorPdf::Pdf::Advanced
