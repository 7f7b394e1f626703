// One content stream of a page: the drawing operators, kept decoded in
// memory and Flate-compressed only while being written.
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

    // The stream bytes as stored (decoded unless the filter is unknown).
    const std::vector<std::uint8_t> &Bytes() const;
    void SetBytes(std::vector<std::uint8_t> bytes);
    void Append(const std::vector<std::uint8_t> &bytes);
    // The bytes with any filter removed.
    std::vector<std::uint8_t> DecodedBytes() const;
    // Still filtered: a filter the engine cannot decode.
    bool IsFiltered() const { return Elements().ContainsKey(Keys::Filter); }

    // Non-owning; the renderer clears it before it goes away.
    PdfContentRenderer *Renderer() const { return renderer_; }
    void SetRenderer(PdfContentRenderer *renderer) { renderer_ = renderer; }

    // Finishes the renderer and, when the document compresses content
    // streams, writes the bytes Flate-compressed. The object keeps its
    // decoded bytes, so that drawing can go on after a save.
    void WriteObject(IO::PdfWriter &writer) const override;

private:
    bool ShouldCompress() const;

    PdfContentRenderer *renderer_ = nullptr;  // non-owning
};

}  // namespace ZavorPdf::Pdf
