#include "pdf/pdf_outline.h"

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_literal.h"
#include "pdf/pdf_number_format.h"
#include "pdf/pdf_outline_collection.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_text_string.h"

namespace ZavorPdf::Pdf {

const DictionaryMeta &PdfOutline::Keys::Meta() {
    static const DictionaryMeta meta({
        KeyDescriptor(Type, KeyType::Name | KeyType::Optional),
        KeyDescriptor(Title, KeyType::TextString | KeyType::Required),
        KeyDescriptor(Parent, KeyType::Dictionary | KeyType::Required),
        KeyDescriptor(Prev, KeyType::Dictionary | KeyType::Required),
        KeyDescriptor(Next, KeyType::Dictionary | KeyType::Required),
        KeyDescriptor(First, KeyType::Dictionary | KeyType::Required),
        KeyDescriptor(Last, KeyType::Dictionary | KeyType::Required),
        KeyDescriptor(Count, KeyType::Integer | KeyType::Required),
        KeyDescriptor(Dest, KeyType::ArrayOrNameOrString | KeyType::Optional),
        KeyDescriptor(A, KeyType::Dictionary | KeyType::Optional),
        KeyDescriptor(SE, KeyType::Dictionary | KeyType::Optional),
        KeyDescriptor(C, KeyType::Array | KeyType::Optional),
        KeyDescriptor(F, KeyType::Integer | KeyType::Optional),
    });
    return meta;
}

PdfOutline::PdfOutline(PdfDocument *document) : PdfDictionary(document) {}

PdfOutline::PdfOutline(PdfDictionary &&dictionary) : PdfDictionary(std::move(dictionary)) {}

PdfOutline::PdfOutline(std::u16string title, PdfPage *destinationPage, bool opened)
    : destinationPage_(destinationPage), opened_(opened) {
    SetTitle(std::move(title));
}

PdfOutline::PdfOutline(std::u16string title, PdfPage *destinationPage, bool opened, PdfOutlineStyle style,
                       PdfRgbColor textColor)
    : PdfOutline(std::move(title), destinationPage, opened) {
    SetStyle(style);
    textColor_ = textColor;
}

// A copy stands outside any tree: no parent, no children, no open count.
PdfOutline::PdfOutline(const PdfOutline &other)
    : PdfDictionary(other), destinationPage_(other.destinationPage_), opened_(other.opened_),
      textColor_(other.textColor_) {}

PdfOutline::~PdfOutline() = default;

void PdfOutline::SetTitle(std::u16string value) {
    Elements().SetValue(Keys::Title, std::make_unique<PdfString>(Internal::DocEncodedTextString(std::move(value))));
}

PdfOutlineStyle PdfOutline::Style() const {
    int value = Elements().GetInteger(Keys::F);
    return value >= 0 && value <= 3 ? static_cast<PdfOutlineStyle>(value) : PdfOutlineStyle::Regular;
}

bool PdfOutline::HasChildren() const { return outlines_ != nullptr && outlines_->HasOutline(); }

PdfOutlineCollection &PdfOutline::Outlines() {
    if (outlines_ == nullptr) outlines_ = std::make_unique<PdfOutlineCollection>(Owner(), this);
    return *outlines_;
}

void PdfOutline::PrepareForSave() {
    if (parent_ == nullptr) {
        if (!HasChildren()) return;
        Elements().SetReference(Keys::First, *outlines_->Items().front());
        Elements().SetReference(Keys::Last, *outlines_->Items().back());
        if (openCount_ > 0) Elements().SetInteger(Keys::Count, openCount_);
        else Elements().Remove(Keys::Count);
    }
    if (!HasChildren()) return;
    const std::vector<PdfOutline *> &items = outlines_->Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const PdfOutline *previous = i > 0 ? items[i - 1] : nullptr;
        const PdfOutline *next = i + 1 < items.size() ? items[i + 1] : nullptr;
        items[i]->PrepareLinks(previous, next);
        items[i]->PrepareForSave();
    }
}

// The entries of an outline that has a parent.
void PdfOutline::PrepareLinks(const PdfOutline *previous, const PdfOutline *next) {
    DictionaryElements &elements = Elements();
    elements.SetReference(Keys::Parent, *parent_);
    if (destinationPage_ != nullptr && destinationPage_->IsIndirect()) {
        auto destination = std::make_unique<PdfArray>();
        destination->Elements().AddReference(*destinationPage_);
        destination->Elements().Add(std::make_unique<PdfLiteral>("/XYZ null null 0"));
        elements.SetObject(Keys::Dest, std::move(destination));
    }
    if (previous != nullptr) elements.SetReference(Keys::Prev, *previous);
    if (next != nullptr) elements.SetReference(Keys::Next, *next);
    if (HasChildren()) {
        elements.SetReference(Keys::First, *outlines_->Items().front());
        elements.SetReference(Keys::Last, *outlines_->Items().back());
    }
    if (openCount_ > 0) elements.SetInteger(Keys::Count, opened_ ? openCount_ : -openCount_);
    PdfDocument *document = Owner();
    if (!textColor_.IsEmpty() && document != nullptr && document->Version() >= 14) {
        std::string color = "[";
        AppendReal(color, textColor_.R() / 255.0);
        color += ' ';
        AppendReal(color, textColor_.G() / 255.0);
        color += ' ';
        AppendReal(color, textColor_.B() / 255.0);
        color += ']';
        elements.SetValue(Keys::C, std::make_unique<PdfLiteral>(std::move(color)));
    }
}

}  // namespace ZavorPdf::Pdf
