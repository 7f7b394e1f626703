// The children of one outline. The outlines themselves are indirect
// objects owned by the document's reference table; the collection keeps
// their order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "pdf/pdf_outline.h"

namespace ZavorPdf::Pdf {

class PdfOutlineCollection {
public:
    // Both non-owning: the owner outline owns the collection, the document
    // owns the owner.
    PdfOutlineCollection(PdfDocument *document, PdfOutline *owner) : document_(document), owner_(owner) {}
    PdfOutlineCollection(const PdfOutlineCollection &) = delete;
    PdfOutlineCollection &operator=(const PdfOutlineCollection &) = delete;

    // Appends the outline as an indirect object of the document. A null
    // outline fails (argument "outline"), so does a destination page of
    // another document ("Destination page must belong to this document.").
    // An opened outline counts once more in every ancestor's open count.
    PdfOutline &Add(std::unique_ptr<PdfOutline> outline);
    PdfOutline &Add(std::u16string title, PdfPage *destinationPage);
    PdfOutline &Add(std::u16string title, PdfPage *destinationPage, bool opened);
    PdfOutline &Add(std::u16string title, PdfPage *destinationPage, bool opened, PdfOutlineStyle style);
    PdfOutline &Add(std::u16string title, PdfPage *destinationPage, bool opened, PdfOutlineStyle style,
                    PdfRgbColor textColor);

    int Count() const { return static_cast<int>(items_.size()); }
    bool HasOutline() const { return !items_.empty(); }
    // Out of range fails with "The index of an outline is out of range.".
    PdfOutline &operator[](int index) const;
    // -1 when the outline is not in this collection.
    int IndexOf(const PdfOutline &outline) const;
    const std::vector<PdfOutline *> &Items() const { return items_; }

private:
    PdfDocument *document_;              // non-owning
    PdfOutline *owner_;                  // non-owning
    std::vector<PdfOutline *> items_;    // owned by the reference table
};

}  // namespace ZavorPdf::Pdf
