#include "pdf/pdf_ext_gstate.h"

#include <algorithm>
#include <cmath>

#include "pdf/pdf_document.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf {
namespace {

const char *KeyFor(PdfExtGState::AlphaKind kind) {
    return kind == PdfExtGState::AlphaKind::Stroke ? PdfExtGState::Keys::StrokeAlpha
                                                   : PdfExtGState::Keys::NonStrokeAlpha;
}

}  // namespace

const DictionaryMeta &PdfExtGState::Keys::Meta() {
    static const DictionaryMeta meta({
        KeyDescriptor(Type, KeyType::Name | KeyType::Optional),
        KeyDescriptor(StrokeAlpha, KeyType::Real | KeyType::Optional, "1.4"),
        KeyDescriptor(NonStrokeAlpha, KeyType::Real | KeyType::Optional, "1.4"),
    });
    return meta;
}

PdfExtGState::PdfExtGState(PdfDocument *document) : PdfDictionary(document) {
    Elements().SetName(Keys::Type, "/ExtGState");
}

int PdfExtGState::AlphaKey(double alpha) {
    if (std::isnan(alpha))
        return 0;
    return static_cast<int>(std::floor(std::clamp(alpha, 0.0, 1.0) * 1000));
}

int PdfExtGState::KeyOf(AlphaKind kind) const {
    if (!Elements().ContainsKey(KeyFor(kind)))
        return -1;
    return AlphaKey(Elements().GetReal(KeyFor(kind)));
}

PdfExtGState &PdfExtGState::ForAlpha(PdfDocument &document, AlphaKind kind, double alpha) {
    int key = AlphaKey(alpha);
    // The table itself is the record of the states made so far, so that a
    // state can never outlive or miss its document.
    for (PdfReference *reference : document.ReferenceTable().AllReferences()) {
        auto *state = dynamic_cast<PdfExtGState *>(reference->Value());
        if (state != nullptr && state->Elements().Count() == 2 && state->KeyOf(kind) == key)
            return *state;
    }
    auto created = std::make_unique<PdfExtGState>(&document);
    created->Elements().SetReal(KeyFor(kind), key / 1000.0);
    PdfExtGState &result = *created;
    document.ReferenceTable().Add(std::move(created));
    return result;
}

}  // namespace ZavorPdf::Pdf
