// One content stream of a page: the drawing operators. A save compresses
// the stream in place; it is decoded again when drawing goes on.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf {

// Whatever still holds operators for the stream (the graphics layer's
// renderer) is asked to hand them over before the stream is written.
class PdfContentRenderer {
public:
    virtual ~PdfContentRenderer() = default;
    virtual void Close() = 0;
};

class PdfContent : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Length = "/Length";
        static constexpr const char *Filter = "/Filter";
        static constexpr const char *DecodeParms = "/DecodeParms";
        static const DictionaryMeta &Meta();
    };

    // An empty stream.
    explicit PdfContent(PdfDocument *document = nullptr);
    // Takes over a stream dictionary read from a file and decodes it at once
    // when its filter allows.
    explicit PdfContent(PdfDictionary &&dictionary);
    PdfContent(const PdfContent &other) : PdfDictionary(other) {}

    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }
    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfContent>(*this); }

    // The operators, decoded first when a save left them compressed (they
    // stay as stored when the filter is one the engine cannot decode).
    const std::vector<std::uint8_t> &Bytes();
    // Plain operators; any filter is dropped.
    void SetBytes(std::vector<std::uint8_t> bytes);
    void Append(const std::vector<std::uint8_t> &bytes);
    // A decoded copy, leaving the object as it is.
    std::vector<std::uint8_t> DecodedBytes() const;
    bool IsFiltered() const { return Elements().ContainsKey(Keys::Filter); }
    // Removes a decodable filter; false when the bytes stay filtered.
    bool Decode();

    // Non-owning; the renderer clears it before it goes away.
    PdfContentRenderer *Renderer() const { return renderer_; }
    void SetRenderer(PdfContentRenderer *renderer) { renderer_ = renderer; }

    // Finishes the renderer, then Flate-compresses the stream when the
    // document compresses content streams (or decodes it when it does not),
    // and writes it.
    void WriteObject(IO::PdfWriter &writer) const override;

private:

    PdfContentRenderer *renderer_ = nullptr;  // non-owning
};

}  // namespace ZavorPdf::Pdf
