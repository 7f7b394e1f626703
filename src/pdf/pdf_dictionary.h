// A PDF dictionary, optionally with a stream. Every typed dictionary of the
// engine derives from it (see key_descriptor.h for the pattern).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "pdf/dictionary_elements.h"
#include "pdf/key_descriptor.h"
#include "pdf/pdf_object.h"

namespace ZavorPdf::Pdf {

class PdfDictionary : public PdfObject {
public:
    class PdfStream;
    struct Keys : KeysBase {};

    explicit PdfDictionary(PdfDocument *document = nullptr);
    PdfDictionary(const PdfDictionary &other);
    // Takes over a generic dictionary in place: elements, stream and
    // reference move to the new object (typed conversion).
    PdfDictionary(PdfDictionary &&other) noexcept;
    PdfDictionary &operator=(const PdfDictionary &) = delete;
    ~PdfDictionary() override;

    DictionaryElements &Elements() { return elements_; }
    const DictionaryElements &Elements() const { return elements_; }

    // The key table of the class; null for a plain dictionary.
    virtual const DictionaryMeta *Meta() const { return nullptr; }

    // Non-owning view of the stream, null when there is none.
    PdfStream *Stream() const { return stream_.get(); }
    // Fails with "The dictionary already has a stream.". Sets "/Length".
    PdfStream &CreateStream(std::vector<std::uint8_t> bytes);
    // Drops the stream (the "/Length" entry stays as it is).
    void RemoveStream();

    // Copies the element map (direct objects cloned, references shared)
    // and the stream bytes. Typed classes override it to keep their class.
    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfDictionary>(*this); }
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override;

private:
    DictionaryElements elements_;
    std::unique_ptr<PdfStream> stream_;
};

class PdfDictionary::PdfStream {
public:
    PdfStream(PdfDictionary *owner, std::vector<std::uint8_t> value);
    PdfStream(const PdfStream &) = delete;
    PdfStream &operator=(const PdfStream &) = delete;

    // Non-owning back pointer.
    PdfDictionary *Owner() const { return owner_; }

    const std::vector<std::uint8_t> &Value() const { return value_; }
    // Also sets the owner's "/Length" to the byte count.
    void SetValue(std::vector<std::uint8_t> value);
    std::size_t Length() const { return value_.size(); }

    // The bytes decoded through the owner's "/Filter"; when decoding is not
    // possible, the bytes of the text "«Cannot decode filter '<filter>'»".
    std::vector<std::uint8_t> UnfilteredValue() const;
    // Decodes in place, removing "/Filter" and updating "/Length". False
    // only when a filter is present and cannot be decoded.
    bool TryUnfilter();
    // Flate-encodes unfiltered bytes and sets "/Filter /FlateDecode";
    // does nothing when a filter is already set.
    void Zip();

private:
    friend class PdfDictionary;

    PdfDictionary *owner_;
    std::vector<std::uint8_t> value_;
};

using PdfStream = PdfDictionary::PdfStream;

}  // namespace ZavorPdf::Pdf
