#include "pdf/pdf_annotations.h"

#include "pdf/errors.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf {

PdfDocument *PdfAnnotations::Document() const {
    if (page_ != nullptr && page_->Owner() != nullptr) return page_->Owner();
    return Owner();
}

PdfAnnotation &PdfAnnotations::Add(std::unique_ptr<PdfAnnotation> annotation) {
    if (annotation == nullptr) throw ArgumentNullException("annotation");
    PdfDocument *document = Document();
    if (document == nullptr) throw InvalidOperationException("The page belongs to no document.");
    annotation->SetOwner(document);
    PdfReference *reference = document->ReferenceTable().Add(std::move(annotation));
    Elements().AddReference(reference);
    return static_cast<PdfAnnotation &>(*reference->Value());
}

void PdfAnnotations::Remove(PdfAnnotation &annotation) {
    PdfDocument *document = Document();
    if (annotation.Owner() != document || !annotation.IsIndirect())
        throw InvalidOperationException("The annotation does not belong to this document.");
    PdfReference *reference = annotation.Reference();
    for (int i = Elements().Count() - 1; i >= 0; --i)
        if (Elements().GetReference(i) == reference) Elements().RemoveAt(i);
    document->ReferenceTable().Remove(reference->ObjectID());
}

void PdfAnnotations::Clear() {
    for (int i = Elements().Count() - 1; i >= 0; --i) Remove((*this)[i]);
}

PdfAnnotation &PdfAnnotations::operator[](int index) {
    PdfReference *reference = Elements().GetReference(index);
    PdfItem *item = reference != nullptr ? reference->Value() : Elements()[index];
    if (auto *annotation = dynamic_cast<PdfAnnotation *>(item)) return *annotation;
    auto *dictionary = dynamic_cast<PdfDictionary *>(item);
    if (dictionary == nullptr || typeid(*dictionary) != typeid(PdfDictionary))
        throw InvalidCastException("The annotation is not a dictionary.");
    auto wrapper = std::make_unique<PdfGenericAnnotation>(std::move(*dictionary));
    PdfGenericAnnotation *raw = wrapper.get();
    if (reference != nullptr) {
        if (reference->Document() == nullptr) throw InvalidOperationException("Indirect reference without document.");
        reference->Document()->ReferenceTable().ReplaceObject(*reference, std::move(wrapper));
    } else {
        Elements().SetAt(index, std::move(wrapper));
    }
    return *raw;
}

}  // namespace ZavorPdf::Pdf
