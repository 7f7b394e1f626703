// The annotations of one page (its "/Annots" array of references). The
// annotations are indirect objects owned by the document's reference table.
#pragma once

#include <memory>

#include "pdf/pdf_annotation.h"
#include "pdf/pdf_array.h"

namespace ZavorPdf::Pdf {

class PdfPage;

class PdfAnnotations : public PdfArray {
public:
    explicit PdfAnnotations(PdfDocument *document = nullptr) : PdfArray(document) {}
    // Takes over an "/Annots" array read from a file.
    explicit PdfAnnotations(PdfArray &&array) : PdfArray(std::move(array)) {}
    PdfAnnotations(const PdfAnnotations &other) : PdfArray(other) {}

    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfAnnotations>(*this); }

    // Non-owning; the page whose "/Annots" this is.
    PdfPage *Page() const { return page_; }
    void SetPage(PdfPage *page) { page_ = page; }

    int Count() const { return Elements().Count(); }
    // Gives the annotation the page's document, makes it indirect and
    // appends its reference. A null annotation fails (argument
    // "annotation").
    PdfAnnotation &Add(std::unique_ptr<PdfAnnotation> annotation);
    // Drops the annotation from the array and from the document; one of
    // another document fails with "The annotation does not belong to this
    // document.".
    void Remove(PdfAnnotation &annotation);
    // Removes all, from the last to the first.
    void Clear();
    // A plain dictionary read from a file becomes a PdfGenericAnnotation in
    // place. Out of range fails (argument "index").
    PdfAnnotation &operator[](int index);

private:
    PdfDocument *Document() const;

    PdfPage *page_ = nullptr;  // non-owning
};

}  // namespace ZavorPdf::Pdf
