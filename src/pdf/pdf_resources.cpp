#include "pdf/pdf_resources.h"

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf {
namespace {

constexpr ResourceKind kAllKinds[] = {ResourceKind::Font,      ResourceKind::Image,   ResourceKind::Form,
                                      ResourceKind::ExtGState, ResourceKind::Pattern, ResourceKind::Shading};

std::unique_ptr<PdfArray> ProcSet() {
    auto array = std::make_unique<PdfArray>();
    array->Elements().Reserve(5);
    for (const char *name : {"/PDF", "/Text", "/ImageB", "/ImageC", "/ImageI"})
        array->Elements().Add(std::make_unique<PdfName>(name));
    return array;
}

}  // namespace

PdfResources PdfResources::ForPage(PdfPage &page) {
    if (PdfDictionary *existing = page.Elements().GetDictionary(PdfPage::Keys::Resources))
        return PdfResources(*existing);
    auto created = std::make_unique<PdfDictionary>(page.Owner());
    created->Elements().SetObject("/ProcSet", ProcSet());
    PdfDictionary &result = *created;
    page.Elements().SetObject(PdfPage::Keys::Resources, std::move(created));
    return PdfResources(result);
}

const char *PdfResources::SubdictionaryKey(ResourceKind kind) {
    switch (kind) {
    case ResourceKind::Font: return "/Font";
    case ResourceKind::Image:
    case ResourceKind::Form: return "/XObject";
    case ResourceKind::ExtGState: return "/ExtGState";
    case ResourceKind::Pattern: return "/Pattern";
    case ResourceKind::Shading: return "/Shading";
    }
    throw ArgumentException("Unknown resource kind.", "kind");
}

const char *PdfResources::NamePrefix(ResourceKind kind) {
    switch (kind) {
    case ResourceKind::Font: return "/F";
    case ResourceKind::Image: return "/I";
    case ResourceKind::Form: return "/Fm";
    case ResourceKind::ExtGState: return "/GS";
    case ResourceKind::Pattern: return "/Pa";
    case ResourceKind::Shading: return "/Sh";
    }
    throw ArgumentException("Unknown resource kind.", "kind");
}

PdfDictionary &PdfResources::Subdictionary(ResourceKind kind) {
    const char *key = SubdictionaryKey(kind);
    if (PdfDictionary *existing = dictionary_->Elements().GetDictionary(key))
        return *existing;
    auto created = std::make_unique<PdfDictionary>(dictionary_->Owner());
    // Most pages use one font, one image or one state: every page keeps
    // these dictionaries until the document is saved.
    created->Elements().Reserve(1);
    PdfDictionary &result = *created;
    dictionary_->Elements().SetObject(key, std::move(created));
    return result;
}

bool PdfResources::NameInUse(const std::string &name) const {
    for (ResourceKind kind : kAllKinds) {
        PdfDictionary *sub = dictionary_->Elements().GetDictionary(SubdictionaryKey(kind));
        if (sub != nullptr && sub->Elements().ContainsKey(name))
            return true;
    }
    return false;
}

std::string PdfResources::Add(ResourceKind kind, const PdfObject &object) {
    if (!object.IsIndirect())
        throw InvalidOperationException("PdfObject must be an indirect object.");
    PdfDictionary &sub = Subdictionary(kind);
    for (const auto &entry : sub.Elements().Entries()) {
        auto *reference = dynamic_cast<PdfReference *>(sub.Elements()[entry.key]);
        if (reference != nullptr && reference->Value() == &object)
            return entry.key;
    }
    std::string name;
    for (int number = 0;; ++number) {
        name = NamePrefix(kind) + std::to_string(number);
        if (!NameInUse(name))
            break;
    }
    sub.Elements().SetReference(name, object);
    return name;
}

}  // namespace ZavorPdf::Pdf
