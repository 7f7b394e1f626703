// An extended graphics state ("/Type /ExtGState"). The drawing layer uses
// them for opacity: one per alpha value for stroking ("/CA") and one per
// alpha value for filling ("/ca"), shared by all pages of a document.
#pragma once

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

}  // namespace ZavorPdf::Pdf
