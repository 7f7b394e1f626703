// An extended graphics state ("/Type /ExtGState"). The drawing layer uses
// them for opacity: one per alpha value for stroking ("/CA") and one per
// alpha value for filling ("/ca"), shared by all pages of a document.
#pragma once

#include <cstdint>
#include <map>
#include <utility>

#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf {

class PdfExtGState : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Type = "/Type";
        static constexpr const char *StrokeAlpha = "/CA";
        static constexpr const char *NonStrokeAlpha = "/ca";
        static const DictionaryMeta &Meta();
    };

    enum class AlphaKind { Stroke, NonStroke };

    explicit PdfExtGState(PdfDocument *document);
    explicit PdfExtGState(PdfDictionary &&dictionary) : PdfDictionary(std::move(dictionary)) {}
    PdfExtGState(const PdfExtGState &other) = default;

    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }
    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfExtGState>(*this); }

    // The document's state for this alpha (0 ... 1), made and registered as
    // an indirect object the first time. Alphas that agree in their first
    // three decimals share one state.
    static PdfExtGState &ForAlpha(PdfDocument &document, AlphaKind kind, double alpha);

    // floor(alpha * 1000): the key under which states are shared.
    static int AlphaKey(double alpha);
    // The key of the alpha this state sets for the kind; -1 when it sets none.
    int KeyOf(AlphaKind kind) const;
};

// The document's opacity states by kind and alpha key. The reference table
// stays the record of which states exist: this index only remembers where
// they are, and looks at no object twice unless objects left the table or
// were numbered anew, so that every figure of a long document does not
// search the whole table again.
class PdfExtGStateTable {
public:
    // The table must outlive this index.
    explicit PdfExtGStateTable(PdfReferenceTable &table) : table_(&table) {}

    // The state with the lowest object number that sets exactly this alpha
    // for the kind, null when there is none.
    PdfExtGState *Find(PdfExtGState::AlphaKind kind, int key);

private:
    void CatchUp();
    void Forget();

    PdfReferenceTable *table_;  // non-owning
    std::map<std::pair<PdfExtGState::AlphaKind, int>, PdfReference *> states_;
    // Objects numbered below this have been looked at.
    std::int32_t nextToScan_ = 1;
    std::uint64_t dropCount_ = 0;
};

}  // namespace ZavorPdf::Pdf
