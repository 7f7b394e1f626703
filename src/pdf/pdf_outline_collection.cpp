#include "pdf/pdf_outline_collection.h"

#include "pdf/errors.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf {

PdfOutline &PdfOutlineCollection::Add(std::unique_ptr<PdfOutline> outline) {
    if (outline == nullptr) throw ArgumentNullException("outline");
    PdfPage *page = outline->DestinationPage();
    if (page != nullptr && page->Owner() != document_)
        throw ArgumentException("Destination page must belong to this document.", "outline");
    if (document_ == nullptr) throw InvalidOperationException("The outline belongs to no document.");
    outline->SetOwner(document_);
    outline->parent_ = owner_;
    bool opened = outline->Opened();
    auto *added = static_cast<PdfOutline *>(document_->ReferenceTable().Add(std::move(outline))->Value());
    items_.push_back(added);
    if (opened)
        for (PdfOutline *ancestor = owner_; ancestor != nullptr; ancestor = ancestor->parent_) ++ancestor->openCount_;
    return *added;
}

PdfOutline &PdfOutlineCollection::Add(std::u16string title, PdfPage *destinationPage) {
    return Add(std::make_unique<PdfOutline>(std::move(title), destinationPage, false));
}

PdfOutline &PdfOutlineCollection::Add(std::u16string title, PdfPage *destinationPage, bool opened) {
    return Add(std::make_unique<PdfOutline>(std::move(title), destinationPage, opened));
}

PdfOutline &PdfOutlineCollection::Add(std::u16string title, PdfPage *destinationPage, bool opened,
                                      PdfOutlineStyle style) {
    return Add(std::make_unique<PdfOutline>(std::move(title), destinationPage, opened, style));
}

PdfOutline &PdfOutlineCollection::Add(std::u16string title, PdfPage *destinationPage, bool opened,
                                      PdfOutlineStyle style, PdfRgbColor textColor) {
    return Add(std::make_unique<PdfOutline>(std::move(title), destinationPage, opened, style, textColor));
}

PdfOutline &PdfOutlineCollection::operator[](int index) const {
    if (index < 0 || index >= Count())
        throw ArgumentOutOfRangeException("The index of an outline is out of range.", "index");
    return *items_[static_cast<std::size_t>(index)];
}

int PdfOutlineCollection::IndexOf(const PdfOutline &outline) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == &outline) return static_cast<int>(i);
    return -1;
}

}  // namespace ZavorPdf::Pdf
