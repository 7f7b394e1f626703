#include "pdf/pdf_ext_gstate.h"

#include <algorithm>
#include <cmath>

#include "pdf/pdf_document.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"

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
    if (PdfExtGState *existing = document.ExtGStates().Find(kind, key))
        return *existing;
    auto created = std::make_unique<PdfExtGState>(&document);
    created->Elements().SetReal(KeyFor(kind), key / 1000.0);
    PdfExtGState &result = *created;
    document.ReferenceTable().Add(std::move(created));
    return result;
}

namespace {

// A state that sets one alpha and nothing else (besides its type).
PdfExtGState *AlphaOnlyState(PdfReference *reference, PdfExtGState::AlphaKind kind, int key) {
    auto *state = dynamic_cast<PdfExtGState *>(reference->Value());
    if (state == nullptr || state->Elements().Count() != 2 || state->KeyOf(kind) != key)
        return nullptr;
    return state;
}

}  // namespace

void PdfExtGStateTable::Forget() {
    states_.clear();
    nextToScan_ = 1;
    dropCount_ = table_->DropCount();
}

void PdfExtGStateTable::CatchUp() {
    // References may be gone once objects left the table, and numbering
    // anew can put unseen objects below the mark.
    if (table_->DropCount() != dropCount_ || table_->MaxObjectNumber() + 1 < nextToScan_)
        Forget();
    for (PdfReference *reference : table_->ReferencesFrom(nextToScan_)) {
        auto *state = dynamic_cast<PdfExtGState *>(reference->Value());
        if (state == nullptr || state->Elements().Count() != 2)
            continue;
        for (auto kind : {PdfExtGState::AlphaKind::Stroke, PdfExtGState::AlphaKind::NonStroke})
            if (int key = state->KeyOf(kind); key >= 0)
                states_.try_emplace({kind, key}, reference);
    }
    nextToScan_ = table_->MaxObjectNumber() + 1;
}

PdfExtGState *PdfExtGStateTable::Find(PdfExtGState::AlphaKind kind, int key) {
    CatchUp();
    auto found = states_.find({kind, key});
    if (found == states_.end())
        return nullptr;
    if (PdfExtGState *state = AlphaOnlyState(found->second, kind, key))
        return state;
    // Changed since it was seen: look at everything again.
    Forget();
    CatchUp();
    found = states_.find({kind, key});
    return found != states_.end() ? AlphaOnlyState(found->second, kind, key) : nullptr;
}

}  // namespace ZavorPdf::Pdf
